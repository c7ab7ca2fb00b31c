#pragma once

#include <memory>
#include <vector>

#include <QString>
#include "db/Database.h"
#include "db/ForwardResultSet.h"
#include "db/mariadb/MariaDbColumn.h"
#include "db/mariadb/MariaDbRowBuffers.h"
#include "db/mariadb/MariaDbSession.h"

namespace brivano::db {

// The rows of one prepared statement, streamed: executed without storing
// the result, fetched one row at a time in the binary protocol into
// buffers that every row reuses, so that memory stays flat whatever the
// table's size. It stands on its first row after construction. While it
// streams, the connection can run nothing else: another command ends the
// stream first, and this result then refuses to go on.
class MariaDbResultSet final : public ForwardResultSet<MariaDbResultSet> {
  public:
    // Executes `statement`, prepared on `session`; its columns are those
    // the server describes for the execution.
    MariaDbResultSet(std::shared_ptr<MariaDbSession> session, MariaDbStatement statement);
    ~MariaDbResultSet() override;

    const MariaDbColumn& column(int position) const {
        return columns_[static_cast<size_t>(position)];
    }

  private:
    friend class ForwardResultSet<MariaDbResultSet>;
    bool connectionOpen() const { return session_->isOpen(); }
    void advance();
    std::int64_t countRemainingRows();
    void readValue(int position, Value& value);

    void execute();
    void fetch();
    void checkStreaming() const;
    // Ends the result after a failed call, and throws its error.
    [[noreturn]] void fail();
    void finish();

    std::shared_ptr<MariaDbSession> session_;
    MariaDbStatement statement_;  // after session_: it goes first
    std::vector<MariaDbColumn> columns_;
    MariaDbRowBuffers buffers_;
};

// A query that gives rows, prepared but not yet run: its count and its
// at-end test are answered by count queries, and it streams its rows only
// when they are read. Throws the server's error when it cannot be prepared.
// A command that gives no rows runs at once.
std::unique_ptr<ResultSet> prepareCountedMariaDb(const std::shared_ptr<MariaDbSession>& session,
                                                 const QString& commandText);

// The query run at once, its rows streamed.
std::unique_ptr<ResultSet> executeMariaDb(const std::shared_ptr<MariaDbSession>& session,
                                          const QString& commandText);

}  // namespace brivano::db
