#pragma once

#include <QString>
#include <QStringList>

#include "support/TestSupport.h"

namespace brivano::test {

// The test server through its ODBC driver and through the built-in
// provider, with the tables a test makes dropped when it ends.
class PostgresTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    const QString& odbcString() const { return odbc_.connectionString; }
    const QString& nativeString() const { return native_.connectionString; }
    // Runs statements through the driver, which may write.
    void runSetup(const QStringList& statements) const;
    // A name of this test process, for a table, view or type, dropped now
    // if it exists and again when the test ends.
    QString objectName(const QString& stem, const QString& kind = QStringLiteral("TABLE"));
    // A table with a column of every type the provider reads (cN for the
    // N-th: c1 integer, c2 bigint, c12 bit(3), c23 text) and three rows.
    QString everyTypeTable();

  private:
    void drop(const QString& kind, const QString& name) const;

    TestDatabase odbc_;
    TestDatabase native_;
    QList<std::pair<QString, QString>> objects_;  // kind, name
};

// A short text of a value that keeps every bit of it: reals to their last
// digit, and the fraction of a time.
QString exactValue(const db::Value& value);

}  // namespace brivano::test
