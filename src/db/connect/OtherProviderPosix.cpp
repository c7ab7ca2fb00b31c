#include "db/ProviderConnection.h"
#include "db/connect/OtherProvider.h"
#include "db/odbc/OdbcSession.h"

namespace brivano::db {

std::unique_ptr<Connection> createOtherProviderConnection() {
    return std::make_unique<ProviderConnection<OdbcSession>>();
}

}  // namespace brivano::db
