#include "db/mariadb/MariaDbCountedQuery.h"

#include "db/CountedResultSet.h"
#include "db/LayerErrors.h"
#include "db/mariadb/MariaDbResultSet.h"

namespace brivano::db {

namespace {

QString quoted(QString name) {
    name.replace(u'`', QStringLiteral("``"));
    return u'`' + name + u'`';
}

// The rows of `commandText` counted on the server. A stored column never
// fails to be read, an expression may (an overflow in a view): the rows
// counted are those whose every expression was computed, each named in
// the condition, as reading would compute them.
QString countQuery(const QString& commandText, const std::vector<MariaDbColumn>& columns,
                   bool firstOnly) {
    QString inner = commandText.trimmed();
    while (inner.endsWith(u';'))
        inner = inner.chopped(1).trimmed();
    QString condition;
    for (const MariaDbColumn& column : columns) {
        if (!column.computed)
            continue;
        condition += (condition.isEmpty() ? QString() : QStringLiteral(" + ")) +
                     QStringLiteral("CASE WHEN ") + quoted(column.name) +
                     QStringLiteral(" IS NULL THEN 1 ELSE 0 END");
    }
    QString rows = QStringLiteral("SELECT 1 FROM (") + inner + QStringLiteral(") AS brivano_rows");
    if (!condition.isEmpty())
        rows += QStringLiteral(" WHERE ") + condition + QStringLiteral(" >= 0");
    if (firstOnly)
        rows += QStringLiteral(" LIMIT 1");
    return QStringLiteral("SELECT COUNT(*) FROM (") + rows + QStringLiteral(") AS brivano_count");
}

// Errors that a count must raise rather than leave to reading the rows:
// the connection is gone, or the operator stopped the statement.
bool mustRaise(const Error& error) {
    return isConnectionLost(error) || isInterrupted(error) || error.number() == kConnectionLost;
}

class MariaDbCountedQuery final : public CountedResultSet::Query {
  public:
    MariaDbCountedQuery(std::shared_ptr<MariaDbSession> session, MariaDbStatement statement,
                        std::vector<MariaDbColumn> columns, QString commandText)
        : session_(std::move(session)),
          statement_(std::move(statement)),
          columns_(std::move(columns)),
          commandText_(std::move(commandText)) {}

    bool connectionOpen() const override { return session_->isOpen(); }

    std::optional<std::int64_t> count(bool firstOnly) override {
        try {
            return countRows(countQuery(commandText_, columns_, firstOnly));
        } catch (const Error& error) {
            if (mustRaise(error))
                throw;
            // A count that fails says nothing: the command itself, read row
            // by row, answers instead, in the server's own words.
            return std::nullopt;
        }
    }

    std::unique_ptr<ResultSet> run() override {
        return std::make_unique<MariaDbResultSet>(session_, std::move(statement_));
    }

  private:
    std::optional<std::int64_t> countRows(const QString& query) {
        MariaDbStatement statement(session_->prepare(query), {session_.get()});
        MYSQL_STMT* raw = statement.get();
        long long counted = 0;
        my_bool isNull = 0;
        MYSQL_BIND bind{};
        bind.buffer_type = MYSQL_TYPE_LONGLONG;
        bind.buffer = &counted;
        bind.is_null = &isNull;
        if (mysql_stmt_execute(raw) != 0 || mysql_stmt_bind_result(raw, &bind) != 0 ||
            mysql_stmt_fetch(raw) != 0 || mysql_stmt_free_result(raw) != 0)
            throw session_->failure(raw);
        return isNull ? std::nullopt : std::optional<std::int64_t>(counted);
    }

    std::shared_ptr<MariaDbSession> session_;
    MariaDbStatement statement_;
    std::vector<MariaDbColumn> columns_;
    QString commandText_;
};

}  // namespace

std::unique_ptr<ResultSet> prepareCountedMariaDb(const std::shared_ptr<MariaDbSession>& session,
                                                 const QString& commandText) {
    MariaDbStatement statement(session->prepare(commandText), {session.get()});
    std::vector<MariaDbColumn> columns = describeMariaDbStatement(*session, statement.get());
    if (columns.empty())
        return std::make_unique<MariaDbResultSet>(session, std::move(statement));
    const int count = static_cast<int>(columns.size());
    return std::make_unique<CountedResultSet>(
        std::make_unique<MariaDbCountedQuery>(session, std::move(statement), std::move(columns),
                                              commandText),
        count);
}

std::unique_ptr<ResultSet> executeMariaDb(const std::shared_ptr<MariaDbSession>& session,
                                          const QString& commandText) {
    MariaDbStatement statement(session->prepare(commandText), {session.get()});
    return std::make_unique<MariaDbResultSet>(session, std::move(statement));
}

}  // namespace brivano::db
