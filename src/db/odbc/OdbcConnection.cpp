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
    session_.reset(std::move(session));
}

std::unique_ptr<ResultSet> OdbcConnection::execute(const QString& commandText) {
    if (!isOpen()) {
        throw connectionClosedError();
    }
    session_->checkConnected();
    if (session_->countsSelectedRows() || session_->columnRules().byDeclaredName) {
        if (auto counted = prepareCountedOdbc(session_.shared(), commandText)) {
            return counted;
        }
    }
    return executeOdbc(session_.shared(), commandText);
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
    if (const std::shared_ptr<OdbcSession> session = session_.current()) {
        session->cancel();
    }
}

void OdbcConnection::close() {
    if (!isOpen()) {
        throw connectionClosedError();
    }
    const std::shared_ptr<OdbcSession> session = session_.shared();
    session_.reset();
    session->disconnect();
}

}  // namespace brivano::db
