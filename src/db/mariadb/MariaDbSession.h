#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "db/Database.h"
#include "db/dialect/Snapshot.h"
#include "db/mariadb/MariaDbColumn.h"
#include "db/mariadb/MariaDbHandles.h"
#include "db/mariadb/MariaDbOptions.h"

namespace brivano::db {

// The built-in provider for "Provider=MariaDB;Server=...;Port=...;
// Database=...;Uid=...;Pwd=..." through the MariaDB client library: one
// connection to the server, read-only, whose tables of a run are read in one
// consistent snapshot. Every command is a prepared statement, so a text with
// two statements never runs. Columns and values come out as the ODBC path
// reads them through the MariaDB driver, so both give the same export file.
//
// Shared by the connection and its result sets (see ProviderConnection). It
// owns every statement prepared on it, and knows the one whose rows are
// streaming: the server sends nothing else until they have all been read,
// so starting another command ends that one first.
class MariaDbSession final : private Snapshot::Path {
  public:
    MariaDbSession() = default;
    MariaDbSession(const MariaDbSession&) = delete;
    MariaDbSession& operator=(const MariaDbSession&) = delete;
    ~MariaDbSession() override { end(); }

    // Connects and makes the session read-only, REPEATABLE READ.
    void open(const QString& connectionString);
    // Ends the snapshot and disconnects; a lost connection just lets go.
    void close();
    // Closes at once, even with rows still streaming: they are not read.
    void end() noexcept;
    // Open until closed, also once given up (see giveUp).
    bool isOpen() const { return connection_ != nullptr || lost_.has_value(); }
    void setStopCheck(StopCheck check) { wait_.setStopCheck(std::move(check)); }

    // The first reading of a table is counted on the server; reading it
    // again in the same table read streams its rows at once.
    std::unique_ptr<ResultSet> execute(const std::shared_ptr<MariaDbSession>& self,
                                       const QString& commandText);
    // The snapshot starts with the first table and lasts until close().
    void beginTableRead();
    void endTableRead(bool completed);
    // KILL QUERY over a second, short-lived connection; from any thread.
    void cancel() noexcept;

    // Throws connectionLostError once the connection has gone away.
    void checkUsable() const;
    bool isLost() const { return lost_.has_value(); }
    bool isUsable() const { return connection_ != nullptr && !lost_; }
    // Builds the error of a failed call; a lost connection is remembered.
    Error failure(MYSQL_STMT* statement);
    Error failure();

    // A prepared statement that the session owns until release() or its
    // close, whichever comes first. Throws the server's error.
    MYSQL_STMT* prepare(const QString& text);
    void release(MYSQL_STMT* statement) noexcept;

    // The statement calls that wait on the server, within the session's
    // read limit, returning what the blocking call would; a limit that runs
    // out, or a stop, throws and gives the connection up.
    int execute(MYSQL_STMT* statement);
    int fetch(MYSQL_STMT* statement);
    bool freeResult(MYSQL_STMT* statement);

    // Runs one of the provider's own statements, which give no rows.
    void run(const char* statement) override;

    // The statement whose rows are now streaming, and who reads them.
    void beginStream(const void* reader, MYSQL_STMT* statement) noexcept;
    // Given up by its reader (read to its end, or the reader goes).
    void endStream(const void* reader);
    bool streamsFor(const void* reader) const { return streamReader_ == reader; }
    // Ends the stream under way, if any, before another command.
    void settle();

  private:
    template <typename Call>
    auto guarded(Call call) {
        try {
            return call();
        } catch (const Error& error) {
            giveUp(error);
            throw;
        }
    }
    void giveUp(const Error& error) noexcept;
    // A text query and its stored result (null when it gives none).
    void query(const char* statement, MysqlResultHandle& result);
    // Asks the server to stop sending the rows of a stream given up early,
    // so that the rest need not all be read to be dropped.
    void stopStream() noexcept;
    std::optional<QString> value(const char* query) override;

    MariaDbOptions options_;
    NetworkWait wait_;
    MysqlHandle connection_;
    std::vector<MysqlStatementHandle> statements_;
    unsigned long threadId_ = 0;
    std::optional<Error> lost_;
    const void* streamReader_ = nullptr;
    MYSQL_STMT* stream_ = nullptr;
    bool inTableRead_ = false;
    // The command whose rows were counted in this table read.
    std::optional<QString> counted_;
    Snapshot snapshot_{dialectOf(DatabaseKind::MariaDB), *this};
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
