#include "db/ConnectionFactory.h"

namespace brivano::db {

std::unique_ptr<Connection> createConnection() {
    throw Error(0, QStringLiteral("No database provider is built in"));
}

}  // namespace brivano::db
