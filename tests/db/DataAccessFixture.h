#pragma once

// The fixture of the one test body that runs on every database: the
// data-access layer must give the engine the same behaviour whichever
// driver is behind the connection.
#include <QString>
#include <clocale>
#include <memory>
#include <string>

#include "DatabaseCases.h"

namespace brivano::test {

class DataAccessTest : public DatabaseTest {
  protected:
    std::unique_ptr<db::Connection> open() { return openConnection(connectionString()); }
};

// Runs a piece of the test with the process in another C locale.
class ProcessLocale {
  public:
    explicit ProcessLocale(const char* name) : previous_(std::setlocale(LC_ALL, nullptr)) {
        ok_ = std::setlocale(LC_ALL, name) != nullptr ||
              std::setlocale(LC_ALL, windowsName(name)) != nullptr;
    }
    ~ProcessLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    bool ok() const { return ok_; }

  private:
    // The same locale as Windows' C library names it.
    static const char* windowsName(const char* name) {
        const std::string posix = name;
        if (posix.starts_with("it_IT"))
            return "Italian_Italy.1252";
        if (posix.starts_with("en_US"))
            return "English_United States.1252";
        return name;
    }

    std::string previous_;
    bool ok_ = false;
};

// A loopback port with nobody listening: bound, read, and released again.
int closedPort();

void expectSingleLine(const QString& text);

}  // namespace brivano::test
