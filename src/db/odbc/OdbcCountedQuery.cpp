#include "db/odbc/OdbcCountedQuery.h"

#include <QStringList>
#include <optional>

#include "db/CountedResultSet.h"
#include "db/dialect/Dialect.h"
#include "db/odbc/OdbcApi.h"
#include "db/odbc/OdbcColumn.h"
#include "db/odbc/OdbcResultSet.h"

namespace brivano::db {

namespace {

constexpr SQLSMALLINT kNameChars = 256;

// True for a command that reads rows: its first word is SELECT.
bool isSelect(const QString& commandText) {
    constexpr QStringView kSelect = u"select";
    const QStringView text = QStringView(commandText).trimmed();
    return text.size() > kSelect.size() && text.startsWith(kSelect, Qt::CaseInsensitive) &&
           (text[kSelect.size()].isSpace() || text[kSelect.size()] == u'*');
}

// The query that reads the rows: the command itself, or, where some columns
// must be cast for the driver to hand over the server's own text, a query
// over it that casts them and keeps every column's name and place.
QString fetchQuery(const QString& commandText, const std::vector<OdbcColumn>& columns,
                   const Dialect& dialect) {
    QStringList list;
    bool casts = false;
    for (const OdbcColumn& column : columns) {
        const QString quoted = dialect.quotedName(column.name);
        if (column.fetchCast.isEmpty()) {
            list << quoted;
        } else {
            list << quoted + QStringLiteral("::") + column.fetchCast + QStringLiteral(" AS ") +
                        quoted;
            casts = true;
        }
    }
    if (!casts)
        return commandText;
    return QStringLiteral("SELECT ") + list.join(QStringLiteral(", ")) + QStringLiteral(" FROM (") +
           commandText + QStringLiteral(") AS brivano_rows");
}

// The columns as a count sees them. Only SQLite's driver names the table of
// a stored column; elsewhere every column counts as an expression, which
// the count then computes.
std::vector<CountedColumn> countedColumns(OdbcHandleRef statement,
                                          const std::vector<OdbcColumn>& columns,
                                          bool tablesNamed) {
    std::vector<CountedColumn> counted;
    for (SQLUSMALLINT number = 1; number <= columns.size(); ++number) {
        bool computed = true;
        if (tablesNamed) {
            SQLWCHAR table[kNameChars] = {};
            SQLSMALLINT bytes = 0;
            computed =
                !SQL_SUCCEEDED(SQLColAttributeW(statement.handle, number, SQL_DESC_TABLE_NAME,
                                                table, sizeof(table), &bytes, nullptr)) ||
                bytes <= 0;
        }
        counted.push_back({columns[number - 1].name, computed});
    }
    return counted;
}

// Runs one count statement on the prepared command's handle. A count that
// fails says nothing: the command as it is, read row by row, answers
// instead, in the driver's own words.
std::optional<std::int64_t> countRows(OdbcStatement& prepared, const QString& query) {
    OdbcLocaleScope utf8;
    const SQLHSTMT statement = prepared.get();
    SQLFreeStmt(statement, SQL_CLOSE);  // no cursor may stay open before the next query
    SQLBIGINT counted = 0;
    SQLLEN indicator = 0;
    const bool done = SQL_SUCCEEDED(SQLExecDirectW(statement, wideArgument(query), SQL_NTS)) &&
                      SQL_SUCCEEDED(SQLFetch(statement)) &&
                      SQL_SUCCEEDED(SQLGetData(statement, 1, SQL_C_SBIGINT, &counted,
                                               sizeof(counted), &indicator)) &&
                      indicator != SQL_NULL_DATA && counted >= 0;
    SQLFreeStmt(statement, SQL_CLOSE);
    return done ? std::optional<std::int64_t>(counted) : std::nullopt;
}

}  // namespace

std::unique_ptr<ResultSet> prepareCountedOdbc(const std::shared_ptr<OdbcSession>& session,
                                              const QString& commandText) {
    if (!isSelect(commandText))
        return nullptr;
    OdbcLocaleScope utf8;
    auto statement = std::make_shared<OdbcStatement>(session);
    SQLSMALLINT columns = 0;
    if (!SQL_SUCCEEDED(SQLPrepareW(statement->get(), wideArgument(commandText), SQL_NTS)) ||
        !SQL_SUCCEEDED(SQLNumResultCols(statement->get(), &columns)) || columns <= 0) {
        // Running the command tells why, in the driver's own words.
        return nullptr;
    }
    std::vector<OdbcColumn> described;
    try {
        described = describeOdbcColumns(statement->ref(), session->columnRules());
    } catch (const Error&) {
        return nullptr;  // running the command tells why
    }
    const Dialect& dialect = dialectOf(session->database());
    const std::vector<CountedColumn> counted =
        countedColumns(statement->ref(), described, session->columnRules().byDeclaredName);
    const CountStatements counts = dialect.countStatements(commandText, counted);
    if (counts.all.isEmpty())
        return nullptr;
    QString rows = fetchQuery(commandText, described, dialect);
    // The command that reads its own rows describes itself once it has run
    // (SQLite's driver types an expression by its first value); one that
    // casts is described as the command it stands for.
    if (rows == commandText)
        described.clear();
    CountedResultSet::Query query{
        [session] { return session->isOpen(); },
        [statement](const QString& count) { return countRows(*statement, count); },
        [session, statement, rows, described] {
            statement->release();
            return std::unique_ptr<ResultSet>(executeOdbc(session, rows, described));
        },
        counts.all,
        counts.first,
    };
    return std::make_unique<CountedResultSet>(std::move(query), columns);
}

}  // namespace brivano::db
