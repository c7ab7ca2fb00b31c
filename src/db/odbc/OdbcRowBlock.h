#pragma once

#include <memory>
#include <vector>

#include "db/Database.h"
#include "db/odbc/OdbcColumn.h"
#include "db/odbc/OdbcSession.h"
#include "db/odbc/OdbcValueReader.h"

namespace brivano::db {

// Fetches rows in blocks into bound, column-wise buffers: one driver call
// per block instead of one per value. Used when every column fits a
// bounded buffer; a value that turns out longer than its buffer is read
// again whole with SQLGetData on its row (drivers that hold their result
// allow that), so nothing is ever cut.
class OdbcRowBlock {
  public:
    // Binds the statement's columns, or gives nothing when they cannot all
    // be bound within the block's memory (long columns, huge sizes) or the
    // driver refuses; the statement is then left as it was.
    static std::unique_ptr<OdbcRowBlock> bind(const OdbcStatement& statement,
                                              const std::vector<OdbcColumn>& columns);
    ~OdbcRowBlock();
    OdbcRowBlock(const OdbcRowBlock&) = delete;
    OdbcRowBlock& operator=(const OdbcRowBlock&) = delete;

    // Fetches the next block; false at the end of the result.
    bool fetch();
    SQLULEN rows() const { return rowsFetched_; }

    // Reads column `position` of row `row` of the block into `value`.
    void read(SQLULEN row, int position, const OdbcColumn& column, Value& value,
              OdbcValueReader& reader);

  private:
    struct Buffer {
        SQLLEN width = 0;  // bytes per row
        std::vector<char> data;
        std::vector<SQLLEN> indicators;
    };

    OdbcRowBlock(const OdbcStatement& statement, SQLULEN capacity);
    void unbind();
    // Positions the cursor on `row` and reads the column with SQLGetData.
    void readWhole(SQLULEN row, int position, const OdbcColumn& column, Value& value,
                   OdbcValueReader& reader);

    // The block lives inside its result set, next to the statement.
    const OdbcStatement& statement_;
    SQLULEN capacity_;
    SQLULEN rowsFetched_ = 0;
    // A row the driver could not fill (a value it failed to convert) is
    // marked here; its values are then read one by one, which reports the
    // driver's error for the value that fails.
    std::vector<SQLUSMALLINT> rowStatus_;
    std::vector<Buffer> buffers_;
};

}  // namespace brivano::db
