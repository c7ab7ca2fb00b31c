#include "db/sqlite/SqliteConnection.h"

#include "db/ConnectionString.h"
#include "db/LayerErrors.h"
#include "db/sqlite/SqliteResultSet.h"
#include "texts/Texts.h"

namespace brivano::db {

namespace {

// SQLSTATE for a connection string without the file to open.
constexpr QStringView kInvalidAttribute = u"HY000";

}  // namespace

SqliteConnection::~SqliteConnection() {
    if (session_) {
        session_->close();
    }
}

void SqliteConnection::open(const QString& connectionString) {
    if (isOpen()) {
        throw connectionOpenError();
    }
    const std::optional<QString> path = connectionAttribute(connectionString, u"Data Source");
    if (!path || path->isEmpty()) {
        throw Error(0, texts::kNoDataSource.toString(), kInvalidAttribute.toString());
    }
    auto session = std::make_shared<SqliteSession>();
    session->open(*path);
    session_.reset(std::move(session));
}

std::unique_ptr<ResultSet> SqliteConnection::execute(const QString& commandText) {
    if (!isOpen()) {
        throw connectionClosedError();
    }
    return std::make_unique<SqliteResultSet>(session_.shared(), commandText);
}

void SqliteConnection::beginTableRead() {
    if (!isOpen()) {
        throw connectionClosedError();
    }
    session_->beginTableRead();
}

void SqliteConnection::endTableRead(bool) {
    if (isOpen()) {
        session_->endTableRead();
    }
}

void SqliteConnection::cancel() noexcept {
    if (const std::shared_ptr<SqliteSession> session = session_.current()) {
        session->cancel();
    }
}

void SqliteConnection::close() {
    if (!isOpen()) {
        throw connectionClosedError();
    }
    const std::shared_ptr<SqliteSession> session = session_.shared();
    session_.reset();
    session->close();
}

}  // namespace brivano::db
