#include "db/postgres/PgDescribe.h"

#include <set>
#include <utility>

namespace brivano::db {

namespace {

// The columns declared NOT NULL among those of the given tables.
constexpr char kNotNullColumns[] =
    "SELECT attrelid, attnum FROM pg_catalog.pg_attribute "
    "WHERE attnotnull AND attnum > 0 AND attrelid = ANY ($1::pg_catalog.oid[])";

// The decimals of money, as the session's lc_monetary has them.
constexpr char kMoneyScale[] = "SELECT pg_catalog.scale('0'::pg_catalog.money::pg_catalog.numeric)";

std::vector<PgFieldInfo> fieldInfos(const PGresult* description) {
    std::vector<PgFieldInfo> fields(static_cast<size_t>(PQnfields(description)));
    for (int k = 0; k < static_cast<int>(fields.size()); ++k) {
        PgFieldInfo& field = fields[static_cast<size_t>(k)];
        field.name = QString::fromUtf8(PQfname(description, k));
        field.type = PQftype(description, k);
        field.typmod = PQfmod(description, k);
        field.table = PQftable(description, k);
        field.tableColumn = PQftablecol(description, k);
    }
    return fields;
}

// Marks the columns that their tables declare NOT NULL.
void readNotNull(PgSession& session, std::vector<PgFieldInfo>& fields) {
    std::set<Oid> tables;
    for (const PgFieldInfo& field : fields) {
        if (field.table != 0)
            tables.insert(field.table);
    }
    if (tables.empty())
        return;
    QByteArray list = "{";
    for (const Oid table : tables)
        list += (list.size() > 1 ? "," : "") + QByteArray::number(table);
    list += '}';
    const PgResult result = session.run(kNotNullColumns, PGRES_TUPLES_OK, {list.constData()});
    std::set<std::pair<Oid, int>> notNull;
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        notNull.emplace(QByteArray(PQgetvalue(result.get(), row, 0)).toUInt(),
                        QByteArray(PQgetvalue(result.get(), row, 1)).toInt());
    }
    for (PgFieldInfo& field : fields)
        field.notNull = notNull.count({field.table, field.tableColumn}) > 0;
}

int moneyScale(PgSession& session) {
    const PgResult result = session.run(kMoneyScale, PGRES_TUPLES_OK);
    return QByteArray(PQgetvalue(result.get(), 0, 0)).toInt();
}

}  // namespace

std::shared_ptr<const PgCommand> describePgCommand(PgSession& session, const QString& commandText) {
    const QByteArray text = commandText.toUtf8();
    session.check(session.await(PQsendPrepare(session.use(), "", text.constData(), 0, nullptr)),
                  PGRES_COMMAND_OK);
    const PgResult description =
        session.check(session.await(PQsendDescribePrepared(session.use(), "")), PGRES_COMMAND_OK);
    std::vector<PgFieldInfo> fields = fieldInfos(description.get());
    readNotNull(session, fields);
    auto command = std::make_shared<PgCommand>();
    command->text = commandText;
    for (const PgFieldInfo& field : fields)
        command->columns.push_back(pgColumn(field, session.boolsAsChar()));
    for (const PgColumn& column : command->columns) {
        if (column.type == kPgMoneyOid) {
            command->moneyScale = moneyScale(session);
            break;
        }
    }
    return command;
}

void runPreparedPgCommand(PgSession& session) {
    PGconn* connection = session.use();
    PgResult result =
        session.await(PQsendQueryPrepared(connection, "", 0, nullptr, nullptr, nullptr, 0));
    if (result && PQresultStatus(result.get()) == PGRES_COPY_OUT) {
        // A COPY to the client: its rows are not wanted, only its end.
        char* raw = nullptr;
        while (session.copyData(&raw) > 0) {
            PQfreemem(raw);
            raw = nullptr;
        }
        result = session.awaitRest();
    }
    if (result && PQresultStatus(result.get()) == PGRES_TUPLES_OK)
        return;
    session.check(std::move(result), PGRES_COMMAND_OK);
}

}  // namespace brivano::db
