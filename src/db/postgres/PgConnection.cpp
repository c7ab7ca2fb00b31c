#include "db/postgres/PgConnection.h"

#include "db/CountedResultSet.h"
#include "db/LayerErrors.h"
#include "db/postgres/PgCountedQuery.h"
#include "db/postgres/PgResultSet.h"

namespace brivano::db {

PgConnection::~PgConnection() {
    // Result sets may outlive us: ending the session makes them report a
    // closed result set instead of using a freed connection.
    if (session_)
        session_->end();
}

void PgConnection::open(const QString& connectionString) {
    if (isOpen())
        throw connectionOpenError();
    auto session = std::make_shared<PgSession>();
    session->open(connectionString);
    session_.reset(std::move(session));
    counted_.reset();
}

std::unique_ptr<ResultSet> PgConnection::execute(const QString& commandText) {
    if (!isOpen())
        throw connectionClosedError();
    if (counted_ && session_->inTableRead() && counted_->text == commandText) {
        // The second reading of the table: its rows, in the same snapshot.
        return std::make_unique<PgResultSet>(session_.shared(), std::move(counted_));
    }
    counted_.reset();
    std::shared_ptr<const PgCommand> command = describePgCommand(*session_, commandText);
    if (command->columns.empty()) {
        runPreparedPgCommand(*session_);
        return std::make_unique<PgResultSet>(session_.shared(), command, PgResultSet::NoRows{});
    }
    if (session_->inTableRead())
        counted_ = command;
    const int columns = static_cast<int>(command->columns.size());
    return std::make_unique<CountedResultSet>(
        std::make_unique<PgCountedQuery>(session_.shared(), command), columns);
}

void PgConnection::close() {
    if (!isOpen())
        throw connectionClosedError();
    counted_.reset();
    const std::shared_ptr<PgSession> session = session_.shared();
    session_.reset();
    session->close();
}

void PgConnection::beginTableRead() {
    if (!isOpen())
        throw connectionClosedError();
    counted_.reset();
    session_->beginTableRead();
}

void PgConnection::endTableRead(bool completed) {
    if (!isOpen())
        throw connectionClosedError();
    counted_.reset();
    session_->endTableRead(completed);
}

void PgConnection::cancel() noexcept {
    if (const std::shared_ptr<PgSession> session = session_.current())
        session->cancel();
}

}  // namespace brivano::db
