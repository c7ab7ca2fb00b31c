#pragma once

#include <memory>
#include <vector>

#include <QByteArray>
#include <QString>
#include "db/ForwardResultSet.h"
#include "db/postgres/PgColumn.h"
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

// COPY of a command's rows in the binary form, the command taken whole as a
// derived table (the extended protocol runs it only as the single statement
// it must be) with its columns named by position: timestamps with a time
// zone shifted to the session's, and the types without a decoder of their
// own as their output text.
QByteArray pgCopyStatement(const QString& command, const std::vector<PgColumn>& columns);

}  // namespace brivano::db
