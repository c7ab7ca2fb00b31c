#pragma once

#include <QByteArray>
#include <QStringView>
#include <vector>

#include "db/NetworkWait.h"

namespace brivano::db {

// The libpq keywords and values for a "Provider=PostgreSQL;..." string, as
// PQconnectdbParams takes them: two lists that end with a null. Keys are
// matched without regard to case, and the ODBC driver's spellings are
// taken too (Server, Uid, Pwd, SSLMode, ...), so that a string for the
// driver opens the same database once its Driver= becomes
// Provider=PostgreSQL. A key that is neither libpq's, nor the provider's
// own, nor one of the driver's that change nothing here, is refused. What
// is not given (the password above all) is left to libpq, which looks in
// its environment variables, the password file and the service file.
class PgConnectParams {
  public:
    explicit PgConnectParams(QStringView connectionString);
    PgConnectParams(const PgConnectParams&) = delete;
    PgConnectParams& operator=(const PgConnectParams&) = delete;

    const char* const* keywords() const { return keywords_.data(); }
    const char* const* values() const { return values_.data(); }
    // The value given for a libpq keyword, or null when there is none.
    const char* value(const char* keyword) const;
    // Booleans as the driver's default reads them, "1"/"0" text, unless
    // the string says BoolsAsChar=0.
    bool boolsAsChar() const { return boolsAsChar_; }
    // Connect Timeout (or Timeout) and Read Timeout, in seconds.
    const WaitLimits& waitLimits() const { return waitLimits_; }
    // "host:port", for messages.
    QString serverName() const;

  private:
    void add(const char* keyword, QByteArray value);

    std::vector<QByteArray> storage_;  // the values' bytes, one per keyword
    std::vector<const char*> keywords_;
    std::vector<const char*> values_;
    bool boolsAsChar_ = true;
    WaitLimits waitLimits_;
};

}  // namespace brivano::db
