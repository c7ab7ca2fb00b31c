#pragma once

#include <memory>

#include "db/CountedResultSet.h"
#include "db/postgres/PgDescribe.h"
#include "db/postgres/PgSession.h"

namespace brivano::db {

// The first reading of a command: its rows are counted by the server, and
// read only when asked for.
class PgCountedQuery final : public CountedResultSet::Query {
  public:
    PgCountedQuery(std::shared_ptr<PgSession> session, std::shared_ptr<const PgCommand> command)
        : session_(std::move(session)), command_(std::move(command)) {}

    bool connectionOpen() const override { return session_->isOpen(); }
    // A count that fails raises the server's error: reading the rows would
    // compute the same columns, and fail the same way.
    std::optional<std::int64_t> count(bool firstOnly) override;
    std::unique_ptr<ResultSet> run() override;

  private:
    std::shared_ptr<PgSession> session_;
    std::shared_ptr<const PgCommand> command_;
};

}  // namespace brivano::db
