#include "db/OdbcConnection.h"

#include "db/LayerErrors.h"
#include "db/OdbcResultSet.h"

namespace brivano::db {

namespace {

// Values in a connection string go in braces when they hold a separator.
QString attributeValue(const QString& value) {
    if (!value.contains(u';') && !value.contains(u'{') && !value.startsWith(u' ')) {
        return value;
    }
    QString braced = value;
    braced.replace(u'}', QStringLiteral("}}"));
    return u'{' + braced + u'}';
}

QString withCredentials(const QString& connectionString, const QString& user,
                        const QString& password) {
    QString full = connectionString;
    if (!user.isEmpty()) {
        full += QStringLiteral(";UID=") + attributeValue(user);
    }
    if (!password.isEmpty()) {
        full += QStringLiteral(";PWD=") + attributeValue(password);
    }
    return full;
}

}  // namespace

OdbcConnection::~OdbcConnection() {
    // The session may outlive us in result sets: ending it here makes them
    // report a closed result set, and keeps it away from our error list.
    if (session_) {
        session_->end();
    }
}

void OdbcConnection::open(const QString& connectionString, const QString& user,
                          const QString& password) {
    if (isOpen()) {
        throw connectionOpenError();
    }
    errors_.clear();
    auto session = std::make_shared<OdbcSession>(errors_);
    session->connect(withCredentials(connectionString, user, password));
    session_ = std::move(session);
}

std::unique_ptr<ResultSet> OdbcConnection::execute(const QString& commandText) {
    if (!isOpen()) {
        throw connectionClosedError();
    }
    errors_.clear();
    if (session_->countsByQuery()) {
        if (auto counted = OdbcCountedResultSet::prepare(session_, commandText)) {
            return counted;
        }
        errors_.clear();
    }
    return executeOdbc(session_, commandText);
}

void OdbcConnection::close() {
    if (!isOpen()) {
        throw connectionClosedError();
    }
    errors_.clear();
    std::shared_ptr<OdbcSession> session = std::move(session_);
    session->disconnect();
}

}  // namespace brivano::db
