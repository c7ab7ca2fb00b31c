#pragma once

#include <memory>
#include <vector>

#include "db/Database.h"
#include "db/ResultField.h"
#include "db/SqliteColumn.h"
#include "db/SqliteConnection.h"
#include "db/SqliteValueReader.h"

namespace brivano::db {

class SqliteResultSet;

using SqliteField = ResultField<SqliteResultSet>;

// The result of one statement on a SQLite file, read forward only. It
// stands on its first row after construction; values are read when first
// asked for in a row, in any order.
class SqliteResultSet final : public ResultSet {
  public:
    // Prepares and runs `commandText`; failures are in the error list.
    SqliteResultSet(std::shared_ptr<SqliteSession> session, const QString& commandText);

    bool atEnd() override;
    RowArrayBounds readAllRows() override;
    void moveFirst() override;
    void moveNext() override;
    int fieldCount() override;
    Field& field(int position) override;
    Field& field(const QString& name) override;

    const SqliteColumn& column(int position) const {
        return columns_[static_cast<size_t>(position)];
    }
    const Value& valueAt(int position);

  private:
    void checkOpen() const;
    void step();
    void finish();
    std::optional<std::int64_t> countQuery() const;

    std::shared_ptr<SqliteSession> session_;
    QString commandText_;
    SqliteSessionStatement statement_;  // after session_: it goes first
    std::vector<SqliteColumn> columns_;
    ResultFields<SqliteResultSet> fields_;
    std::vector<Value> values_;
    // The row in which each column's value was read; `row_` counts steps.
    std::vector<std::uint64_t> readInRow_;
    std::uint64_t row_ = 1;
    SqliteValueReader reader_;
    bool atEnd_ = false;
    bool onFirstRow_ = true;
    bool countable_ = false;  // a count query gives the same rows
};

}  // namespace brivano::db
