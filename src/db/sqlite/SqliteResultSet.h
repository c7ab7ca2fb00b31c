#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "db/ForwardResultSet.h"
#include "db/sqlite/SqliteColumn.h"
#include "db/sqlite/SqliteSession.h"
#include "db/sqlite/SqliteValueReader.h"

namespace brivano::db {

// The result of one statement on a SQLite file, read forward only. It
// stands on its first row after construction; values are read when first
// asked for in a row, in any order.
class SqliteResultSet final : public ForwardResultSet<SqliteResultSet> {
  public:
    // Prepares and runs `commandText`; throws SQLite's error when it fails.
    SqliteResultSet(std::shared_ptr<SqliteSession> session, const QString& commandText);

    const SqliteColumn& column(int position) const {
        return columns_[static_cast<size_t>(position)];
    }

  private:
    friend class ForwardResultSet<SqliteResultSet>;
    bool connectionOpen() const { return session_->isOpen(); }
    void advance();
    std::int64_t countRemainingRows();
    void readValue(int position, Value& value);

    void finish();
    std::optional<std::int64_t> countQuery() const;

    std::shared_ptr<SqliteSession> session_;
    SqliteSessionStatement statement_;  // after session_: it goes first
    std::vector<SqliteColumn> columns_;
    SqliteValueReader reader_;
    // A count that gives the rows that reading gives; empty when none does.
    QString countStatement_;
};

}  // namespace brivano::db
