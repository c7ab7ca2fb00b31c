#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "db/ForwardResultSet.h"
#include "db/odbc/OdbcColumn.h"
#include "db/odbc/OdbcSession.h"
#include "db/odbc/OdbcValueReader.h"

namespace brivano::db {
class OdbcRowBlock;
}

namespace brivano::db {

// The result of one executed statement, read forward only. It stands on its
// first row after construction. Where the driver allows, rows come in blocks
// into bound buffers; otherwise one by one, with values fetched lazily in
// column order as SQLGetData requires (reading column k also reads those
// before it). At its end the statement is given back at once (drivers that
// keep a whole result in memory drop it then).
class OdbcResultSet final : public ForwardResultSet<OdbcResultSet> {
  public:
    // The columns are the executed statement's own, or `declared` when
    // given: a query that casts some columns for reading is described as
    // the query it stands for.
    explicit OdbcResultSet(std::unique_ptr<OdbcStatement> statement,
                           std::vector<OdbcColumn> declared = {});
    ~OdbcResultSet() override;

    const OdbcColumn& column(int position) const { return columns_[static_cast<size_t>(position)]; }

  private:
    friend class ForwardResultSet<OdbcResultSet>;

    bool connectionOpen() const { return session_->isOpen(); }
    void advance();
    // The rows from the current one to the end; the result is at its end
    // afterwards.
    std::int64_t countRemainingRows();
    // SQLGetData may only move forward through a row's columns: the columns
    // before the one asked for are read (and kept) first.
    void readValue(int position, Value& value);

    // Moves to the next row; at the end, gives the statement back.
    void fetchRow();
    void finish();
    // The rows after the current one, read in blocks with nothing bound.
    std::int64_t countRowsAfterCurrent();
    std::optional<std::int64_t> rowCountFromDriver();

    std::unique_ptr<OdbcStatement> statement_;
    OdbcSession* session_;                 // the statement's, asked on every value
    std::unique_ptr<OdbcRowBlock> block_;  // after the statement: it goes first
    SQLULEN blockRow_ = 0;
    std::vector<OdbcColumn> columns_;
    OdbcValueReader reader_;
    int columnsRead_ = 0;
    SQLULEN blockRowsFetched_ = 0;  // where the driver writes a block's size
};

// Runs a command at once; the result stands on its first row. On failure
// the driver's error is thrown. `declared`: see OdbcResultSet.
std::unique_ptr<OdbcResultSet> executeOdbc(const std::shared_ptr<OdbcSession>& session,
                                           const QString& commandText,
                                           std::vector<OdbcColumn> declared = {});

}  // namespace brivano::db
