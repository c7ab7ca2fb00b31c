#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "db/Database.h"
#include "db/Error.h"
#include "db/NetworkWait.h"
#include "db/dialect/Snapshot.h"
#include "db/postgres/PgCanceller.h"
#include "db/postgres/PgHandles.h"

namespace brivano::db {

// Something that streams rows over the session's connection (a COPY under
// way). Nothing else can run on the connection until it has let go.
class PgStream {
  public:
    virtual ~PgStream() = default;
    // `drain`: the connection is wanted for something else, and the stream
    // must stop and read away what is left of it; otherwise the connection
    // is going away and must not be touched.
    virtual void letGo(bool drain) noexcept = 0;
};

struct PgCommand;

// The built-in provider for "Provider=PostgreSQL;Host=...;Port=...;
// Database=...;User ID=...;Password=..." (the ODBC driver's Server, Uid and
// Pwd are taken too): one connection to the server through libpq, opened
// read-only, and what every use of it shares: the statement under way, the
// snapshot of the run, the cancel request and the loss of the connection.
// Columns are described and values read as the PostgreSQL ODBC driver gives
// them, so that both give the same export file; rows are streamed, so
// memory stays flat whatever a table's size. Shared by the connection and
// its result sets (see ProviderConnection).
class PgSession final : private Snapshot::Path {
  public:
    PgSession() = default;
    ~PgSession() override { end(); }
    PgSession(const PgSession&) = delete;
    PgSession& operator=(const PgSession&) = delete;

    // Connects with the keywords of a "Provider=PostgreSQL;..." string and
    // makes the session read-only; throws libpq's error when it cannot.
    void open(const QString& connectionString);
    // Ends the run's snapshot and disconnects; the session is closed
    // afterwards even when that fails. A lost connection just ends: the
    // call that met the loss has reported it.
    void close();
    // Disconnects without a word (for destructors).
    void end() noexcept;

    bool isOpen() const { return connection_ != nullptr; }
    // How booleans are described: see PgConnectParams::boolsAsChar().
    bool boolsAsChar() const { return boolsAsChar_; }
    bool isLost() const { return lost_.has_value(); }

    // The first reading of a table counts its rows on the server; reading it
    // again in the same table read streams them at once, with the
    // description already made.
    std::unique_ptr<ResultSet> execute(const std::shared_ptr<PgSession>& self,
                                       const QString& commandText);

    // The connection, ready for a statement: throws when it is closed or
    // lost, and makes any stream under way let go first.
    PGconn* use();
    PGconn* handle() const { return connection_.get(); }

    // Runs one statement in the extended protocol, which takes a single
    // statement only, with text parameters; throws unless its result has
    // the status `expected`.
    PgResult run(const QByteArray& statement, ExecStatusType expected,
                 const std::vector<const char*>& parameters = {});
    // The answer to a statement just sent with a PQsend... call (`sent`
    // being what it returned), read within the session's read limit; see
    // pgCollect. Throws when the limit runs out or a stop comes, and then
    // gives the connection up.
    PgResult await(int sent);
    // The results left after a COPY's rows, in the same way.
    PgResult awaitRest();
    // The next message of a COPY (see pgCopyData), in the same way.
    int copyData(char** buffer);
    // Checks the result of a statement run on use(): throws its error.
    PgResult check(PgResult result, ExecStatusType expected);
    // Throws the error of a failed result (null: of the connection), after
    // noting a lost connection.
    [[noreturn]] void fail(const PGresult* result);

    // A stream takes the connection, and gives it back.
    void startStream(PgStream& stream);
    void endStream(const PgStream& stream) noexcept;
    // Asks the server to stop what the session runs now, and has the answer
    // come before the next statement starts.
    void cancelAndWait() noexcept { canceller_.cancel(); }
    // The same from another thread: the request goes out in the background,
    // so that a server gone silent holds nobody up.
    void cancel() noexcept { canceller_.cancelInBackground(); }
    void setStopCheck(StopCheck check) { wait_.setStopCheck(std::move(check)); }
    // Notes that the connection broke, if it did; true when it is lost.
    bool noteIfLost(const Error& cause) noexcept;

    // The run's snapshot: see Connection::beginTableRead.
    void beginTableRead();
    void endTableRead(bool completed);

  private:
    void abandonIfGivenUp(const Error& error) noexcept;
    void settle() noexcept;
    void run(const char* statement) override;
    std::optional<QString> value(const char* query) override;

    NetworkWait wait_;
    PgConnectionHandle connection_;
    PgCanceller canceller_;
    std::optional<Error> lost_;
    PgStream* stream_ = nullptr;
    bool inTableRead_ = false;
    bool boolsAsChar_ = true;
    std::shared_ptr<const PgCommand> counted_;
    Snapshot snapshot_{dialectOf(DatabaseKind::PostgreSQL), *this};
};

}  // namespace brivano::db
