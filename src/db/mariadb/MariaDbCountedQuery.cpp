#include "db/mariadb/MariaDbCountedQuery.h"

#include "db/CountedResultSet.h"
#include "db/LayerErrors.h"
#include "db/dialect/Dialect.h"
#include "db/mariadb/MariaDbResultSet.h"

namespace brivano::db {

namespace {

// Errors that a count must raise rather than leave to reading the rows:
// the connection is gone, or the operator stopped the statement.
bool mustRaise(const Error& error) {
    return isConnectionLost(error) || isInterrupted(error) || error.number() == kConnectionLost;
}

std::optional<std::int64_t> countRows(MariaDbSession& session, const QString& query) {
    try {
        MariaDbStatement statement(session.prepare(query), {&session});
        MYSQL_STMT* raw = statement.get();
        long long counted = 0;
        my_bool isNull = 0;
        MYSQL_BIND bind{};
        bind.buffer_type = MYSQL_TYPE_LONGLONG;
        bind.buffer = &counted;
        bind.is_null = &isNull;
        if (mysql_stmt_execute(raw) != 0 || mysql_stmt_bind_result(raw, &bind) != 0 ||
            mysql_stmt_fetch(raw) != 0 || mysql_stmt_free_result(raw) != 0)
            throw session.failure(raw);
        return isNull ? std::nullopt : std::optional<std::int64_t>(counted);
    } catch (const Error& error) {
        if (mustRaise(error))
            throw;
        // A count that fails says nothing: the command itself, read row by
        // row, answers instead, in the server's own words.
        return std::nullopt;
    }
}

}  // namespace

std::unique_ptr<ResultSet> prepareCountedMariaDb(const std::shared_ptr<MariaDbSession>& session,
                                                 const QString& commandText) {
    MariaDbStatement statement(session->prepare(commandText), {session.get()});
    const std::vector<MariaDbColumn> columns = describeMariaDbStatement(*session, statement.get());
    if (columns.empty())
        return std::make_unique<MariaDbResultSet>(session, std::move(statement));
    std::vector<CountedColumn> counted;
    for (const MariaDbColumn& column : columns)
        counted.push_back({column.name, column.computed});
    const Dialect& dialect = dialectOf(DatabaseKind::MariaDB);
    auto prepared = std::make_shared<MariaDbStatement>(std::move(statement));
    CountedResultSet::Query query{
        [session] { return session->isOpen(); },
        [session](const QString& count) { return countRows(*session, count); },
        [session, prepared] {
            return std::make_unique<MariaDbResultSet>(session, std::move(*prepared));
        },
        dialect.countStatement(commandText, counted, false).value_or(QString()),
        dialect.countStatement(commandText, counted, true).value_or(QString()),
    };
    return std::make_unique<CountedResultSet>(std::move(query), static_cast<int>(columns.size()));
}

std::unique_ptr<ResultSet> executeMariaDb(const std::shared_ptr<MariaDbSession>& session,
                                          const QString& commandText) {
    MariaDbStatement statement(session->prepare(commandText), {session.get()});
    return std::make_unique<MariaDbResultSet>(session, std::move(statement));
}

}  // namespace brivano::db
