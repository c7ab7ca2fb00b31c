#include "db/postgres/PgCountedQuery.h"

#include "db/postgres/PgQueryText.h"
#include "db/postgres/PgResultSet.h"

namespace brivano::db {

std::optional<std::int64_t> PgCountedQuery::count(bool firstOnly) {
    const int columns = static_cast<int>(command_->columns.size());
    const PgResult result =
        session_->run(pgCountStatement(command_->text, columns, firstOnly), PGRES_TUPLES_OK);
    if (PQntuples(result.get()) != 1 || PQnfields(result.get()) != 1)
        return std::nullopt;
    bool ok = false;
    const qint64 rows = QByteArray(PQgetvalue(result.get(), 0, 0)).toLongLong(&ok);
    return ok ? std::optional<std::int64_t>(rows) : std::nullopt;
}

std::unique_ptr<ResultSet> PgCountedQuery::run() {
    return std::make_unique<PgResultSet>(session_, command_);
}

}  // namespace brivano::db
