#include "db/ProviderConnection.h"
#include "db/ado/AdoSession.h"
#include "db/connect/OtherProvider.h"

namespace brivano::db {

std::unique_ptr<Connection> createOtherProviderConnection() {
    return std::make_unique<ProviderConnection<AdoSession>>();
}

}  // namespace brivano::db
