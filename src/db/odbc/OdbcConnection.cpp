#include "db/odbc/OdbcConnection.h"

#include "db/LayerErrors.h"
#include "db/odbc/OdbcCountedQuery.h"
#include "db/odbc/OdbcResultSet.h"

namespace brivano::db {

OdbcConnection::~OdbcConnection() {
    // The session may outlive us in result sets: ending it here makes them
    // report a closed result set instead of using freed handles.
    if (session_) {
        session_->end();
    }
}

void OdbcConnection::open(const QString& connectionString) {
    if (isOpen()) {
        throw connectionOpenError();
    }
    auto session = std::make_shared<OdbcSession>();
    session->connect(connectionString);
    replaceSession(std::move(session));
}

std::unique_ptr<ResultSet> OdbcConnection::execute(const QString& commandText) {
    if (!isOpen()) {
        throw connectionClosedError();
    }
    session_->checkConnected();
    if (session_->countsSelectedRows() || session_->columnRules().byDeclaredName) {
        if (auto counted = prepareCountedOdbc(session_, commandText)) {
            return counted;
        }
    }
    return executeOdbc(session_, commandText);
}

void OdbcConnection::beginTableRead() {
    if (!isOpen()) {
        throw connectionClosedError();
    }
    session_->beginTableRead();
}

void OdbcConnection::endTableRead(bool completed) {
    if (isOpen()) {
        session_->endTableRead(completed);
    }
}

void OdbcConnection::cancel() noexcept {
    std::shared_ptr<OdbcSession> session;
    {
        const std::lock_guard lock(sessionLock_);
        session = session_;
    }
    if (session) {
        session->cancel();
    }
}

void OdbcConnection::close() {
    if (!isOpen()) {
        throw connectionClosedError();
    }
    std::shared_ptr<OdbcSession> session = session_;
    replaceSession(nullptr);
    session->disconnect();
}

void OdbcConnection::replaceSession(std::shared_ptr<OdbcSession> session) {
    const std::lock_guard lock(sessionLock_);
    session_ = std::move(session);
}

}  // namespace brivano::db
