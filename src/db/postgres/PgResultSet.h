#pragma once

#include <memory>
#include <vector>

#include "db/ForwardResultSet.h"
#include "db/postgres/PgCopyStream.h"
#include "db/postgres/PgDescribe.h"
#include "db/postgres/PgSession.h"
#include "db/postgres/PgValueDecoder.h"

namespace brivano::db {

// The rows of one command, streamed from the server by a binary COPY and
// read forward only. It stands on its first row after construction; values
// are decoded when first asked for in a row, in any order, so that a value
// that cannot be handed over spoils only itself.
class PgResultSet final : public ForwardResultSet<PgResultSet> {
  public:
    // Starts reading the command's rows; throws the server's error.
    PgResultSet(std::shared_ptr<PgSession> session, std::shared_ptr<const PgCommand> command);
    // A command that returns no rows, already run: a result at its end.
    struct NoRows {};
    PgResultSet(std::shared_ptr<PgSession> session, std::shared_ptr<const PgCommand> command,
                NoRows);

    const PgColumn& column(int position) const {
        return command_->columns[static_cast<size_t>(position)];
    }

  private:
    friend class ForwardResultSet<PgResultSet>;
    bool connectionOpen() const { return session_->isOpen() && !stream_.abandoned(); }
    void advance();
    std::int64_t countRemainingRows();
    void readValue(int position, Value& value);

    std::shared_ptr<PgSession> session_;
    std::shared_ptr<const PgCommand> command_;
    PgCopyStream stream_;  // after session_: it goes first
    PgValueDecoder decoder_;
};

}  // namespace brivano::db
