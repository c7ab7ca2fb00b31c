#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "db/Database.h"
#include "db/OdbcColumn.h"
#include "db/OdbcSession.h"
#include "db/OdbcValueReader.h"
#include "db/ResultField.h"

namespace brivano::db {
class OdbcRowBlock;
}

namespace brivano::db {

class OdbcResultSet;

using OdbcField = ResultField<OdbcResultSet>;

// The result of one executed statement, read forward only. It stands on its
// first row after construction. Where the driver allows, rows come in blocks
// into bound buffers; otherwise one by one, with values fetched lazily in
// column order as SQLGetData requires (reading column k also reads those
// before it). At its end the statement is given back at once (drivers that
// keep a whole result in memory drop it then).
class OdbcResultSet final : public ResultSet {
  public:
    explicit OdbcResultSet(std::unique_ptr<OdbcStatement> statement);
    ~OdbcResultSet() override;

    bool atEnd() override;
    RowArrayBounds readAllRows() override;
    void moveFirst() override;
    void moveNext() override;
    int fieldCount() override;
    Field& field(int position) override;
    Field& field(const QString& name) override;

    const OdbcColumn& column(int position) const { return columns_[static_cast<size_t>(position)]; }
    // The value of a column in the current row, read when first asked for.
    const Value& valueAt(int position);

  private:
    void checkOpen() const;
    ErrorList& errors() const { return session_->errors(); }
    // Moves to the next row; at the end, gives the statement back.
    void fetchRow();
    void finish();
    void readUpTo(int position);
    const Value& blockValueAt(int position);
    // The rows from the current one to the end, read in blocks with nothing
    // bound; the result is at its end afterwards.
    std::int64_t countRemainingRows();
    std::optional<std::int64_t> rowCountFromDriver();

    friend class OdbcCountedResultSet;

    std::unique_ptr<OdbcStatement> statement_;
    OdbcSession* session_;                 // the statement's, asked on every value
    std::unique_ptr<OdbcRowBlock> block_;  // after the statement: it goes first
    SQLULEN blockRow_ = 0;
    // Rows count from 1; readInRow_ tells in which row a block value was read.
    std::uint64_t row_ = 0;
    std::vector<std::uint64_t> readInRow_;
    std::vector<OdbcColumn> columns_;
    ResultFields<OdbcResultSet> fields_;
    std::vector<Value> values_;
    // Failures of the current row's columns, raised again when asked twice.
    std::vector<std::optional<Error>> failures_;
    bool rowHasFailures_ = false;
    OdbcValueReader reader_;
    int columnsRead_ = 0;
    bool atEnd_ = false;
    bool onFirstRow_ = true;
    SQLULEN blockRowsFetched_ = 0;  // where the driver writes a block's size
};

// Runs a command at once; the result stands on its first row. On failure
// the driver's records are in the session's errors().
std::unique_ptr<OdbcResultSet> executeOdbc(const std::shared_ptr<OdbcSession>& session,
                                           const QString& commandText);

// A query whose rows are only read when asked for. Drivers that fetch a
// whole result when a query runs make measuring a table as dear as reading
// it; this result answers the at-end test and readAllRows() with count
// queries over the same command instead, and runs the command itself (as
// executeOdbc() does) only for the rows, their columns, or when a count
// query fails. Until then it stands on its first row, like any result.
class OdbcCountedResultSet final : public ResultSet {
  public:
    // `prepared` holds the command prepared; `columns` is how many columns
    // its description has (at least one); `rowsQuery` gives one row for
    // each row of the command that can be read.
    OdbcCountedResultSet(std::shared_ptr<OdbcSession> session, QString commandText,
                         std::unique_ptr<OdbcStatement> prepared, int columns, QString rowsQuery);
    ~OdbcCountedResultSet() override;

    // Prepares a SELECT command on `session` and describes its columns;
    // null when the command is no SELECT or the driver cannot describe it
    // before running it, and then nothing is left in the errors().
    static std::unique_ptr<OdbcCountedResultSet> prepare(
        const std::shared_ptr<OdbcSession>& session, const QString& commandText);

    bool atEnd() override;
    RowArrayBounds readAllRows() override;
    void moveFirst() override;
    void moveNext() override;
    int fieldCount() override;
    Field& field(int position) override;
    Field& field(const QString& name) override;

  private:
    void checkOpen() const;
    // The number of rows of `rowsQuery`, counted on the prepared
    // statement; none when the count fails, and then the command itself has
    // run (rows()).
    std::optional<std::int64_t> countRows(const QString& rowsQuery);
    // The command itself, run now; at the end at once when this result
    // already is (its columns are still described).
    ResultSet& rows();

    std::shared_ptr<OdbcSession> session_;
    QString commandText_;
    std::unique_ptr<OdbcStatement> prepared_;
    int columns_;
    QString rowsQuery_;
    std::optional<std::int64_t> rowCount_;
    std::optional<bool> hasRows_;
    bool consumed_ = false;  // readAllRows() answered from the count
    std::unique_ptr<OdbcResultSet> executed_;
};

}  // namespace brivano::db
