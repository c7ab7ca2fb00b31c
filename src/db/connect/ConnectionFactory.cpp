#include "db/connect/ConnectionFactory.h"

#include "db/ConnectionString.h"
#include "db/ProviderConnection.h"
#include "db/connect/OtherProvider.h"
#include "db/mariadb/MariaDbSession.h"
#include "db/odbc/OdbcSession.h"
#include "db/postgres/PgSession.h"
#include "db/sqlite/SqliteSession.h"

namespace brivano::db {

std::unique_ptr<Connection> createConnection(const QString& connectionString) {
    switch (providerKind(connectionString)) {
        case ProviderKind::Sqlite:
            return std::make_unique<ProviderConnection<SqliteSession>>();
        case ProviderKind::PostgreSQL:
            return std::make_unique<ProviderConnection<PgSession>>();
        case ProviderKind::MariaDB:
            return std::make_unique<ProviderConnection<MariaDbSession>>();
        case ProviderKind::Other:
            return createOtherProviderConnection();
        case ProviderKind::Odbc:
            break;
    }
    return std::make_unique<ProviderConnection<OdbcSession>>();
}

}  // namespace brivano::db
