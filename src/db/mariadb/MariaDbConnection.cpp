#include "db/mariadb/MariaDbConnection.h"

#include <QtGlobal>

#include "db/LayerErrors.h"
#include "db/mariadb/MariaDbCountedQuery.h"
#include "texts/Texts.h"

namespace brivano::db {

namespace {

constexpr const char* kStartSnapshot = "START TRANSACTION WITH CONSISTENT SNAPSHOT, READ ONLY";
constexpr const char* kInTransaction = "SELECT @@in_transaction";

}  // namespace

MariaDbConnection::~MariaDbConnection() {
    // The session may outlive us in result sets: closing it here makes them
    // report a closed result set, and ends the snapshot now.
    if (session_)
        session_->close();
}

MariaDbSession& MariaDbConnection::session() {
    if (!isOpen())
        throw connectionClosedError();
    return *session_;
}

void MariaDbConnection::open(const QString& connectionString) {
    if (isOpen())
        throw connectionOpenError();
    const MariaDbOptions options = parseMariaDbOptions(connectionString);
    auto session = std::make_shared<MariaDbSession>();
    session->open(options);
    auto target = std::make_shared<CancelTarget>(CancelTarget{options, session->threadId()});
    session_ = std::move(session);
    inSnapshot_ = false;
    inTableRead_ = false;
    counted_.reset();
    std::lock_guard lock(cancelMutex_);
    cancelTarget_ = std::move(target);
}

std::unique_ptr<ResultSet> MariaDbConnection::execute(const QString& commandText) {
    MariaDbSession& open = session();
    open.checkUsable();
    if (inTableRead_ && counted_ == commandText) {
        // The second reading of a table: its rows, in the same snapshot.
        counted_.reset();
        return executeMariaDb(session_, commandText);
    }
    std::unique_ptr<ResultSet> result = prepareCountedMariaDb(session_, commandText);
    if (inTableRead_)
        counted_ = commandText;
    return result;
}

void MariaDbConnection::close() {
    MariaDbSession& open = session();
    {
        std::lock_guard lock(cancelMutex_);
        cancelTarget_.reset();
    }
    // A lost connection has nothing left to end: closing it only lets go.
    open.close();
    session_.reset();
}

void MariaDbConnection::beginTableRead() {
    MariaDbSession& open = session();
    open.checkUsable();
    if (!inSnapshot_) {
        open.run(kStartSnapshot);
        inSnapshot_ = true;
    }
    inTableRead_ = true;
    counted_.reset();
}

void MariaDbConnection::endTableRead(bool completed) {
    MariaDbSession& open = session();
    inTableRead_ = false;
    counted_.reset();
    if (open.isLost())
        return;  // the table's own failure told of the loss
    open.checkUsable();
    if (completed)
        return;
    // Rows left streaming are dropped; a failure that ended the transaction
    // (InnoDB rolls back a deadlock's) lets the next table start another.
    open.settle();
    if (inSnapshot_ && open.number(kInTransaction) == 0)
        inSnapshot_ = false;
}

void MariaDbConnection::cancel() noexcept {
    std::shared_ptr<const CancelTarget> target;
    {
        std::lock_guard lock(cancelMutex_);
        target = cancelTarget_;
    }
    if (!target)
        return;  // nothing open, nothing runs
    try {
        killQuery(target->options, target->threadId);
    } catch (const Error& error) {
        // The statement then runs on and ends as it will; there is nobody
        // to throw to from here, so the reason goes to the log.
        qWarning("%s", qUtf8Printable(texts::cannotStopStatement(error.description())));
    } catch (const std::exception& error) {
        qWarning("%s",
                 qUtf8Printable(texts::cannotStopStatement(QString::fromLocal8Bit(error.what()))));
    }
}

}  // namespace brivano::db
