// Values of every kind, long and short, through every database's driver
// and built-in provider: what the engine gets of a column and its rows.
#include "DataAccessFixture.h"

namespace brivano::test {
namespace {

TEST_P(DataAccessTest, ColumnKindsMapToTypeCodesSizesAndAttributes) {
    const std::vector<ColumnCase> cases = columnCases(database());
    QStringList declarations;
    QStringList literals;
    for (const ColumnCase& column : cases) {
        declarations << QString::fromUtf8(column.declaration);
        literals << QString::fromUtf8(column.literal);
    }
    const QString table = tableName(QStringLiteral("kinds"));
    runSetup({QStringLiteral("CREATE TABLE %1 (%2)").arg(table, declarations.join(u", ")),
              QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, literals.join(u", ")),
              QStringLiteral("INSERT INTO %1 (c_char) VALUES ('z')").arg(table)});

    // The window runs under the operator's regional settings: decimals must
    // still come with '.'.
    ProcessLocale italian("it_IT.UTF-8");
    ASSERT_TRUE(italian.ok()) << "locale it_IT.UTF-8 is missing (run scripts/setup)";
    auto connection = open();
    auto rs = connection->execute(QStringLiteral("Select * from ") + table);
    ASSERT_EQ(rs->fieldCount(), static_cast<int>(cases.size()));
    for (size_t k = 0; k < cases.size(); ++k) {
        const ColumnCase& expected = cases[k];
        db::Field& field = rs->field(static_cast<int>(k));
        SCOPED_TRACE(expected.declaration);
        EXPECT_EQ(field.name(), QString::fromUtf8(expected.declaration).section(u' ', 0, 0));
        EXPECT_EQ(field.type(), expected.type);
        EXPECT_EQ(field.definedSize(), expected.definedSize);
        EXPECT_EQ(field.attributes(), expected.attributes);
        // Values are reached by name, as the engine does.
        EXPECT_EQ(describeValue(rs->field(field.name()).value()),
                  QString::fromUtf8(expected.value));
    }
    rs->moveNext();
    ASSERT_FALSE(rs->atEnd());
    for (size_t k = 1; k < cases.size(); ++k) {
        SCOPED_TRACE(cases[k].declaration);
        EXPECT_TRUE(rs->field(static_cast<int>(k)).isNull());
    }
    EXPECT_FALSE(rs->field(0).isNull());
    rs->moveNext();
    EXPECT_TRUE(rs->atEnd());
}

TEST_P(DataAccessTest, LongValuesAreReadWhole) {
    const Dialect dialect = dialectOf(database());
    // 1 MiB of text with multibyte characters across every chunk border.
    const QString piece = QStringLiteral("Perché città € ");
    QString text;
    while (text.size() < 1024 * 1024) {
        text += piece;
    }
    QByteArray bytes(300 * 1024, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7 % 256);
    }
    const QString table = tableName(QStringLiteral("long_values"));
    runSetup({QStringLiteral("CREATE TABLE %1 (t %2, b %3)")
                  .arg(table, QString::fromLatin1(dialect.longText),
                       QString::fromLatin1(dialect.longBinary)),
              QStringLiteral("INSERT INTO %1 VALUES ('%2', %3)")
                  .arg(table, text, dialect.binaryLiteral(bytes))});

    auto connection = open();
    auto rs = connection->execute(QStringLiteral("Select * from ") + table);
    const db::Value& textValue = rs->field(QStringLiteral("t")).value();
    EXPECT_EQ(textValue.text().size(), text.size());
    EXPECT_TRUE(textValue.text() == text);
    const db::Value& binaryValue = rs->field(QStringLiteral("b")).value();
    EXPECT_EQ(binaryValue.data.size(), bytes.size());
    EXPECT_TRUE(binaryValue.data == bytes);
}

TEST_P(DataAccessTest, LongTextIsReadWholeWhateverItHolds) {
    // Longer than one piece of a long value's reading, with a control
    // character near its start: a NUL character where it reaches us in
    // text (PostgreSQL keeps none, the SQLite ODBC driver ends text there).
    const Dialect dialect = dialectOf(database());
    const bool keepsNul =
        isMariaDb(database()) || database().kind == TestDatabase::Kind::SqliteNative;
    const int control = keepsNul ? 0 : 1;
    const QString expected = u'a' + QString(QChar(control)) + QString(5000, u'b');
    QString literal;
    if (dialect.postgres) {
        literal = QStringLiteral("'a' || chr(%1) || repeat('b', 5000)").arg(control);
    } else if (isMariaDb(database())) {
        literal = QStringLiteral("CONCAT('a', CHAR(%1), REPEAT('b', 5000))").arg(control);
    } else {
        literal = QStringLiteral("'a' || char(%1) || printf('%.5000c', 'b')").arg(control);
    }
    const QString table = tableName(QStringLiteral("control"));
    runSetup(
        {QStringLiteral("CREATE TABLE %1 (t %2)").arg(table, QString::fromLatin1(dialect.longText)),
         QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, literal)});

    auto connection = open();
    auto rs = connection->execute(QStringLiteral("Select * from ") + table);
    const QString text = rs->field(0).value().text();
    EXPECT_EQ(text.size(), expected.size());
    EXPECT_TRUE(text == expected);
}

TEST_P(DataAccessTest, EveryRowKeepsItsValuesAcrossFetchBlocks) {
    // Enough rows for several fetch blocks, some values longer than the
    // size the driver reports for their column, and nulls in between.
    constexpr int kRows = 600;
    const auto text = [](int row) {
        return row % 100 == 0 ? QString(1000, QChar(u'a' + row % 26))
                              : QStringLiteral("r%1 è").arg(row);
    };
    const QString table = tableName(QStringLiteral("blocks"));
    QStringList values;
    for (int row = 0; row < kRows; ++row) {
        values << (row % 7 == 3 ? QStringLiteral("(%1, NULL)").arg(row)
                                : QStringLiteral("(%1, '%2')").arg(row).arg(text(row)));
    }
    runSetup({QStringLiteral("CREATE TABLE %1 (id integer, t %2)")
                  .arg(table, QString::fromLatin1(dialectOf(database()).shortReportedText)),
              QStringLiteral("INSERT INTO %1 VALUES %2").arg(table, values.join(u", "))});

    auto connection = open();
    const QString query = QStringLiteral("Select * from %1 order by id").arg(table);
    EXPECT_EQ(connection->execute(query)->readAllRows().rows, kRows);
    auto rs = connection->execute(query);
    db::Field& id = rs->field(QStringLiteral("id"));
    db::Field& t = rs->field(QStringLiteral("t"));
    int row = 0;
    for (; !rs->atEnd(); rs->moveNext(), ++row) {
        ASSERT_EQ(id.value().integer, row);
        if (row % 7 == 3) {
            EXPECT_TRUE(t.isNull()) << row;
        } else {
            EXPECT_EQ(t.value().text(), text(row)) << row;
        }
    }
    EXPECT_EQ(row, kRows);
}

TEST_P(DataAccessTest, NonAsciiTextSurvivesEveryLocale) {
    const QString word = QStringLiteral("Perché città €");
    const QString table = tableName(QStringLiteral("città"));
    runSetup({QStringLiteral("CREATE TABLE %1 (x varchar(40))").arg(table),
              QStringLiteral("INSERT INTO %1 VALUES ('%2')").arg(table, word)});
    for (const char* locale : {"C", "it_IT.UTF-8", "en_US.UTF-8"}) {
        SCOPED_TRACE(locale);
        ProcessLocale scope(locale);
        ASSERT_TRUE(scope.ok()) << "locale " << locale << " is missing (run scripts/setup)";
        auto connection = open();
        auto rs = connection->execute(
            QStringLiteral("Select x as città from %1 where x = '%2'").arg(table, word));
        ASSERT_FALSE(rs->atEnd());
        EXPECT_EQ(rs->field(0).name(), QStringLiteral("città"));
        EXPECT_EQ(rs->field(QStringLiteral("città")).value().text(), word);
        // The driver's message keeps the name it could not find.
        try {
            connection->execute(QStringLiteral("Select * from nessuna_città"));
            ADD_FAILURE() << "a missing table was found";
        } catch (const Error& error) {
            EXPECT_TRUE(error.description().contains(QStringLiteral("nessuna_città")))
                << error.description().toStdString();
        }
    }
}

}  // namespace
}  // namespace brivano::test
