#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace brivano::test {

// A fresh SQLite database file in its own folder, reached through the real
// SQLite ODBC driver; set up with plain SQL statements.
class SqliteDatabase {
  public:
    SqliteDatabase();

    // Runs each statement over one connection; throws Error on a failure.
    void run(const QStringList& statements) const;
    QString connectionString() const;

  private:
    QTemporaryDir folder_;
};

}  // namespace brivano::test
