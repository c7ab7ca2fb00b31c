#pragma once

#include <QString>
#include <stdexcept>

namespace brivano {

// The one failure type of the tool. Every operation that cannot do its job
// throws it: the data-access layer (with the SQLSTATE and the driver's native
// code), the export file, the printer. `number` is the native error code
// (0 when there is none); `description` is one line of text for the operator.
// It stands with the texts, under every room, so that the system's side
// (platform) can throw it as the database side does.
class Error : public std::runtime_error {
  public:
    Error(long number, const QString& description, const QString& sqlState = {})
        : std::runtime_error(description.toStdString()),
          number_(number),
          description_(description),
          sqlState_(sqlState) {}

    long number() const { return number_; }
    const QString& description() const { return description_; }
    // Five-character SQLSTATE for errors reported by a database, else empty.
    const QString& sqlState() const { return sqlState_; }

  private:
    long number_;
    QString description_;
    QString sqlState_;
};

}  // namespace brivano
