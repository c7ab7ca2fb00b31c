#include "db/odbc/OdbcResultSet.h"

#include "db/LayerErrors.h"
#include "db/odbc/OdbcApi.h"
#include "db/odbc/OdbcColumn.h"
#include "db/odbc/OdbcDiagnostics.h"
#include "db/odbc/OdbcRowBlock.h"

namespace brivano::db {

namespace {

// Rows per block when counting: enough to make the per-call cost vanish.
constexpr SQLULEN kCountBlockRows = 512;

}  // namespace

OdbcResultSet::OdbcResultSet(std::unique_ptr<OdbcStatement> statement,
                             std::vector<OdbcColumn> declared)
    : statement_(std::move(statement)), session_(&statement_->session()) {
    OdbcSession& session = *session_;
    columns_ = declared.empty() ? describeOdbcColumns(statement_->ref(), session.columnRules())
                                : std::move(declared);
    buildFields(columns_);
    if (columns_.empty()) {
        finish();  // a statement that returns no rows (CREATE, INSERT, ...)
        return;
    }
    if (session.readsBlocks()) {
        block_ = OdbcRowBlock::bind(*statement_, columns_);
    }
    fetchRow();
}

OdbcResultSet::~OdbcResultSet() = default;

void OdbcResultSet::finish() {
    endReached();
    block_.reset();  // unbinds while the statement is still there
    statement_->release();
}

void OdbcResultSet::advance() {
    OdbcLocaleScope utf8;
    fetchRow();
}

void OdbcResultSet::fetchRow() {
    try {
        if (block_) {
            if (++blockRow_ >= block_->rows()) {
                blockRow_ = 0;
                if (!block_->fetch()) {
                    finish();
                }
            }
            return;
        }
        columnsRead_ = 0;
        const SQLRETURN rc = SQLFetch(statement_->get());
        if (rc == SQL_NO_DATA) {
            finish();
            return;
        }
        checkOdbc(rc, statement_->ref(), "SQLFetch");
    } catch (const Error& error) {
        // A cursor that failed to move has no current row to offer, and
        // going on from it could repeat or skip rows: the result ends here.
        session_->noteFailure(error);
        finish();
        throw;
    }
}

std::int64_t OdbcResultSet::countRemainingRows() {
    OdbcLocaleScope utf8;
    try {
        if (std::optional<std::int64_t> count = rowCountFromDriver()) {
            finish();
            return *count;
        }
        return countRowsAfterCurrent();
    } catch (const Error& error) {
        // As when a move fails: the cursor stands nowhere, the result ends.
        session_->noteFailure(error);
        finish();
        throw;
    }
}

std::optional<std::int64_t> OdbcResultSet::rowCountFromDriver() {
    // Only the whole result is counted: after a move the count would have
    // to be adjusted, and a trusted driver has no cheaper way anyway.
    if (!isOnFirstRow() || !session_->countsSelectedRows()) {
        return std::nullopt;
    }
    SQLLEN count = 0;
    if (!SQL_SUCCEEDED(SQLRowCount(statement_->get(), &count)) || count <= 0) {
        return std::nullopt;  // not known: the rows are counted instead
    }
    return count;
}

std::int64_t OdbcResultSet::countRowsAfterCurrent() {
    std::int64_t rows = 1;  // the current row
    if (block_) {
        rows = static_cast<std::int64_t>(block_->rows() - blockRow_);
        while (block_->fetch()) {
            rows += static_cast<std::int64_t>(block_->rows());
        }
        finish();
        return rows;
    }
    const SQLHSTMT statement = statement_->get();
    // Blocks only when the driver says how many rows each one brought;
    // otherwise rows come one at a time and count one each.
    blockRowsFetched_ = 0;
    const bool tracked =
        SQL_SUCCEEDED(SQLSetStmtAttr(statement, SQL_ATTR_ROWS_FETCHED_PTR, &blockRowsFetched_, 0));
    if (tracked) {
        SQLSetStmtAttr(statement, SQL_ATTR_ROW_ARRAY_SIZE,
                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(kCountBlockRows)), 0);
    }
    for (;;) {
        const SQLRETURN rc = SQLFetchScroll(statement, SQL_FETCH_NEXT, 0);
        if (rc == SQL_NO_DATA) {
            break;
        }
        checkOdbc(rc, statement_->ref(), "SQLFetchScroll");
        rows += tracked ? static_cast<std::int64_t>(blockRowsFetched_) : 1;
    }
    finish();
    return rows;
}

void OdbcResultSet::readValue(int position, Value& value) {
    const OdbcColumn& column = columns_[static_cast<size_t>(position)];
    if (block_) {
        block_->read(blockRow_, position, column, value, reader_);
        return;
    }
    // A column before the one asked for may fail while the one asked for
    // reads well; its failure is raised when it is asked for itself.
    while (columnsRead_ < position)
        readAhead(columnsRead_);
    OdbcLocaleScope utf8;
    columnsRead_ = position + 1;
    try {
        reader_.read(statement_->ref(), static_cast<SQLUSMALLINT>(position + 1), column, value);
    } catch (const Error& error) {
        session_->noteFailure(error);
        throw;
    }
}

std::unique_ptr<OdbcResultSet> executeOdbc(const std::shared_ptr<OdbcSession>& session,
                                           const QString& commandText,
                                           std::vector<OdbcColumn> declared) {
    OdbcLocaleScope utf8;
    auto statement = std::make_unique<OdbcStatement>(session);
    try {
        const SQLRETURN rc = SQLExecDirectW(statement->get(), wideArgument(commandText), SQL_NTS);
        // SQL_NO_DATA: a searched UPDATE or DELETE that touched no row.
        if (rc != SQL_NO_DATA) {
            checkOdbc(rc, statement->ref(), "SQLExecDirect");
        }
        return std::make_unique<OdbcResultSet>(std::move(statement), std::move(declared));
    } catch (const Error& error) {
        session->noteFailure(error);
        throw;
    }
}

}  // namespace brivano::db
