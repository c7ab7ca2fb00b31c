#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "db/mariadb/MariaDbColumn.h"
#include "db/mariadb/MariaDbHandles.h"
#include "db/mariadb/MariaDbOptions.h"

namespace brivano::db {

// One open connection to a MariaDB server, shared by the connection object
// and its result sets, so that a result set can tell when the connection
// was closed under it. It owns every statement prepared on it, and knows
// the one whose rows are streaming: the server sends nothing else until
// they have all been read, so starting another command ends that one first.
class MariaDbSession {
  public:
    MariaDbSession() = default;
    MariaDbSession(const MariaDbSession&) = delete;
    MariaDbSession& operator=(const MariaDbSession&) = delete;
    ~MariaDbSession() { close(); }

    // Connects and makes the session read-only, REPEATABLE READ.
    void open(const MariaDbOptions& options);
    // Closes at once, even with rows still streaming: they are not read.
    void close() noexcept;
    bool isOpen() const { return connection_ != nullptr; }
    unsigned long threadId() const { return threadId_; }

    // Throws connectionLostError once the connection has gone away.
    void checkUsable() const;
    bool isLost() const { return lost_.has_value(); }
    // Builds the error of a failed call; a lost connection is remembered.
    Error failure(MYSQL_STMT* statement);
    Error failure();

    // A prepared statement that the session owns until release() or its
    // close, whichever comes first. Throws the server's error.
    MYSQL_STMT* prepare(const QString& text);
    void release(MYSQL_STMT* statement) noexcept;

    // Runs one of the provider's own statements, which give no rows.
    void run(const char* statement);
    // Runs one of the provider's own queries that give one number.
    long long number(const char* query);

    // The statement whose rows are now streaming, and who reads them.
    void beginStream(const void* reader, MYSQL_STMT* statement) noexcept;
    // Given up by its reader (read to its end, or the reader goes).
    void endStream(const void* reader);
    bool streamsFor(const void* reader) const { return streamReader_ == reader; }
    // Ends the stream under way, if any, before another command.
    void settle();

  private:
    // Asks the server to stop sending the rows of a stream given up early,
    // so that the rest need not all be read to be dropped.
    void stopStream() noexcept;

    MariaDbOptions options_;
    MysqlHandle connection_;
    std::vector<MysqlStatementHandle> statements_;
    unsigned long threadId_ = 0;
    std::optional<Error> lost_;
    const void* streamReader_ = nullptr;
    MYSQL_STMT* stream_ = nullptr;
};

// Gives a statement back to the session that prepared it.
struct MariaDbStatementReleaser {
    MariaDbSession* session = nullptr;
    void operator()(MYSQL_STMT* statement) const { session->release(statement); }
};
using MariaDbStatement = std::unique_ptr<MYSQL_STMT, MariaDbStatementReleaser>;

// The columns of a prepared or executed statement; none for a statement
// that gives no rows. Throws the server's error.
std::vector<MariaDbColumn> describeMariaDbStatement(MariaDbSession& session, MYSQL_STMT* statement);

}  // namespace brivano::db
