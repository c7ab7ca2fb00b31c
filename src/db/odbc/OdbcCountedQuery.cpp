#include "db/odbc/OdbcCountedQuery.h"

#include <QStringList>
#include <optional>

#include "db/CountedResultSet.h"
#include "db/odbc/OdbcDescribe.h"
#include "db/odbc/OdbcLocaleScope.h"
#include "db/odbc/OdbcResultSet.h"
#include "db/odbc/OdbcText.h"

namespace brivano::db {

namespace {

constexpr SQLSMALLINT kQuoteChars = 8;
constexpr SQLSMALLINT kNameChars = 256;

// True for a command that reads rows: its first word is SELECT.
bool isSelect(const QString& commandText) {
    constexpr QStringView kSelect = u"select";
    const QStringView text = QStringView(commandText).trimmed();
    return text.size() > kSelect.size() && text.startsWith(kSelect, Qt::CaseInsensitive) &&
           (text[kSelect.size()].isSpace() || text[kSelect.size()] == u'*');
}

// The driver's quote for identifiers; empty when it has none.
QString identifierQuote(SQLHDBC connection) {
    SQLWCHAR buffer[kQuoteChars] = {};
    SQLSMALLINT bytes = 0;
    if (!SQL_SUCCEEDED(
            SQLGetInfoW(connection, SQL_IDENTIFIER_QUOTE_CHAR, buffer, sizeof(buffer), &bytes)))
        return {};
    return fromWideBuffer(buffer, kQuoteChars, bytes / static_cast<SQLSMALLINT>(sizeof(SQLWCHAR)))
        .trimmed();
}

// The query that reads the rows: the command itself, or, where some columns
// must be cast for the driver to hand over the server's own text, a query
// over it that casts them and keeps every column's name and place.
QString fetchQuery(const QString& commandText, const std::vector<OdbcColumn>& columns,
                   const QString& quote) {
    QStringList list;
    bool casts = false;
    for (const OdbcColumn& column : columns) {
        QString name = column.name;
        name.replace(quote, quote + quote);
        const QString quoted = quote + name + quote;
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

// One row for each row of the command that can be read. A count need not
// compute a column, and a computed one (in a view) may fail on a row that
// reading would stop at: the rows counted are those whose every column was
// computed, each named in the condition. Nothing when a derived table
// cannot take the columns (two of one name).
std::optional<QString> computedRowsQuery(const QString& commandText,
                                         const std::vector<OdbcColumn>& columns,
                                         const QString& quote) {
    QString condition;
    QStringList names;
    for (const OdbcColumn& column : columns) {
        if (column.name.isEmpty() || names.contains(column.name, Qt::CaseInsensitive))
            return std::nullopt;
        names << column.name;
        QString name = column.name;
        name.replace(quote, quote + quote);
        condition +=
            (condition.isEmpty() ? QStringLiteral("CASE WHEN ") : QStringLiteral(" + CASE WHEN ")) +
            quote + name + quote + QStringLiteral(" IS NULL THEN 1 ELSE 0 END");
    }
    return QStringLiteral("SELECT 1 AS brivano_row FROM (") + commandText +
           QStringLiteral(") AS brivano_rows WHERE ") + condition + QStringLiteral(" >= 0");
}

// SQLite counts a table without reading its rows, which makes counting
// cheaper than any fetch through its driver; but only where every column is
// a stored one (the driver names its table): an expression may fail on a
// row that a count never computes. Nothing for a command with expressions,
// which is then counted by reading it.
std::optional<QString> storedRowsQuery(OdbcHandleRef statement, const QString& commandText,
                                       SQLSMALLINT columns) {
    for (SQLUSMALLINT number = 1; number <= columns; ++number) {
        SQLWCHAR table[kNameChars] = {};
        SQLSMALLINT bytes = 0;
        if (!SQL_SUCCEEDED(SQLColAttributeW(statement.handle, number, SQL_DESC_TABLE_NAME, table,
                                            sizeof(table), &bytes, nullptr)) ||
            bytes <= 0)
            return std::nullopt;
    }
    return QStringLiteral("SELECT 1 AS brivano_row FROM (") + commandText +
           QStringLiteral(") AS brivano_rows");
}

class OdbcCountedQuery final : public CountedResultSet::Query {
  public:
    OdbcCountedQuery(std::shared_ptr<OdbcSession> session, QString fetchQuery,
                     std::unique_ptr<OdbcStatement> prepared, QString rowsQuery,
                     std::vector<OdbcColumn> columns)
        : session_(std::move(session)),
          fetchQuery_(std::move(fetchQuery)),
          prepared_(std::move(prepared)),
          rowsQuery_(std::move(rowsQuery)),
          columns_(std::move(columns)) {}

    bool connectionOpen() const override { return session_->isOpen(); }

    std::optional<std::int64_t> count(bool firstOnly) override {
        OdbcLocaleScope utf8;
        const QString query = QStringLiteral("SELECT COUNT(*) FROM (") + rowsQuery_ +
                              (firstOnly ? QStringLiteral(" LIMIT 1") : QString()) +
                              QStringLiteral(") AS brivano_count");
        const SQLHSTMT statement = prepared_->get();
        SQLFreeStmt(statement, SQL_CLOSE);  // no cursor may stay open before the next query
        SQLBIGINT counted = 0;
        SQLLEN indicator = 0;
        const bool done = SQL_SUCCEEDED(SQLExecDirectW(statement, wideArgument(query), SQL_NTS)) &&
                          SQL_SUCCEEDED(SQLFetch(statement)) &&
                          SQL_SUCCEEDED(SQLGetData(statement, 1, SQL_C_SBIGINT, &counted,
                                                   sizeof(counted), &indicator)) &&
                          indicator != SQL_NULL_DATA && counted >= 0;
        SQLFreeStmt(statement, SQL_CLOSE);
        // A count that fails says nothing: the command as it is, read row
        // by row, answers instead, in the driver's own words.
        return done ? std::optional<std::int64_t>(counted) : std::nullopt;
    }

    std::unique_ptr<ResultSet> run() override {
        prepared_->release();
        return executeOdbc(session_, fetchQuery_, columns_);
    }

  private:
    std::shared_ptr<OdbcSession> session_;
    QString fetchQuery_;
    std::unique_ptr<OdbcStatement> prepared_;
    QString rowsQuery_;
    std::vector<OdbcColumn> columns_;  // as the command describes them
};

}  // namespace

std::unique_ptr<ResultSet> prepareCountedOdbc(const std::shared_ptr<OdbcSession>& session,
                                              const QString& commandText) {
    if (!isSelect(commandText))
        return nullptr;
    OdbcLocaleScope utf8;
    const QString quote = identifierQuote(session->handle());
    if (quote.isEmpty())
        return nullptr;
    auto statement = std::make_unique<OdbcStatement>(session);
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
    std::optional<QString> rowsQuery = session->columnRules().byDeclaredName
                                           ? storedRowsQuery(statement->ref(), commandText, columns)
                                           : computedRowsQuery(commandText, described, quote);
    if (!rowsQuery)
        return nullptr;
    QString rows = fetchQuery(commandText, described, quote);
    // The command that reads its own rows describes itself once it has run
    // (SQLite's driver types an expression by its first value); one that
    // casts is described as the command it stands for.
    if (rows == commandText)
        described.clear();
    return std::make_unique<CountedResultSet>(
        std::make_unique<OdbcCountedQuery>(session, std::move(rows), std::move(statement),
                                           std::move(*rowsQuery), std::move(described)),
        columns);
}

}  // namespace brivano::db
