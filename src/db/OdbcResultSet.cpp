#include "db/OdbcResultSet.h"

#include <limits>

#include "db/LayerErrors.h"
#include "db/OdbcDescribe.h"
#include "db/OdbcDiagnostics.h"
#include "db/OdbcLocaleScope.h"
#include "db/OdbcRowBlock.h"
#include "db/OdbcText.h"

namespace brivano::db {

namespace {

// Rows per block when counting: enough to make the per-call cost vanish.
constexpr SQLULEN kCountBlockRows = 512;

constexpr SQLSMALLINT kQuoteChars = 8;
constexpr SQLSMALLINT kNameChars = 256;

// True for a command that reads rows: its first word is SELECT.
bool isSelect(const QString& commandText) {
    constexpr QStringView kSelect = u"select";
    const QStringView text = QStringView(commandText).trimmed();
    return text.size() > kSelect.size() && text.startsWith(kSelect, Qt::CaseInsensitive) &&
           (text[kSelect.size()].isSpace() || text[kSelect.size()] == u'*');
}

}  // namespace

OdbcResultSet::OdbcResultSet(std::unique_ptr<OdbcStatement> statement)
    : statement_(std::move(statement)), session_(&statement_->session()) {
    OdbcSession& session = *session_;
    columns_ = describeOdbcColumns(statement_->ref(), session.columnRules(), errors());
    fields_.build(*this, columns_);
    values_.resize(columns_.size());
    failures_.resize(columns_.size());
    readInRow_.assign(columns_.size(), 0);
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
    atEnd_ = true;
    block_.reset();  // unbinds while the statement is still there
    statement_->release();
}

void OdbcResultSet::checkOpen() const {
    if (!session_->isOpen()) {
        throw resultSetClosedError();
    }
}

void OdbcResultSet::fetchRow() {
    ++row_;
    try {
        if (block_) {
            if (++blockRow_ >= block_->rows()) {
                blockRow_ = 0;
                if (!block_->fetch(errors())) {
                    finish();
                }
            }
            return;
        }
        columnsRead_ = 0;
        if (rowHasFailures_) {
            std::fill(failures_.begin(), failures_.end(), std::nullopt);
            rowHasFailures_ = false;
        }
        const SQLRETURN rc = SQLFetch(statement_->get());
        if (rc == SQL_NO_DATA) {
            finish();
            return;
        }
        checkOdbc(rc, statement_->ref(), errors(), "SQLFetch");
    } catch (const Error&) {
        // A cursor that failed to move has no current row to offer, and
        // going on from it could repeat or skip rows: the result ends here.
        finish();
        throw;
    }
}

bool OdbcResultSet::atEnd() {
    checkOpen();
    return atEnd_;
}

RowArrayBounds OdbcResultSet::readAllRows() {
    checkOpen();
    OdbcLocaleScope utf8;
    errors().clear();
    std::int64_t rows = 0;
    try {
        if (std::optional<std::int64_t> count = rowCountFromDriver()) {
            rows = *count;
            finish();
        } else {
            rows = countRemainingRows();
        }
    } catch (const Error&) {
        // As when a move fails: the cursor stands nowhere, the result ends.
        finish();
        throw;
    }
    onFirstRow_ = false;
    if (rows > std::numeric_limits<std::int32_t>::max()) {
        throw tooManyRowsError();
    }
    return {static_cast<std::int32_t>(columns_.size()), static_cast<std::int32_t>(rows)};
}

std::optional<std::int64_t> OdbcResultSet::rowCountFromDriver() {
    // Only the whole result is counted: after a move the count would have
    // to be adjusted, and a trusted driver has no cheaper way anyway.
    if (atEnd_ || !onFirstRow_ || !session_->countsSelectedRows()) {
        return std::nullopt;
    }
    SQLLEN count = 0;
    if (!SQL_SUCCEEDED(SQLRowCount(statement_->get(), &count)) || count <= 0) {
        return std::nullopt;  // not known: the rows are counted instead
    }
    return count;
}

std::int64_t OdbcResultSet::countRemainingRows() {
    if (atEnd_) {
        return 0;
    }
    std::int64_t rows = 1;  // the current row
    if (block_) {
        rows = static_cast<std::int64_t>(block_->rows() - blockRow_);
        while (block_->fetch(errors())) {
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
        checkOdbc(rc, statement_->ref(), errors(), "SQLFetchScroll");
        rows += tracked ? static_cast<std::int64_t>(blockRowsFetched_) : 1;
    }
    finish();
    return rows;
}

void OdbcResultSet::moveFirst() {
    checkOpen();
    if (atEnd_) {
        throw noCurrentRowError();
    }
    if (!onFirstRow_) {
        throw cannotMoveBackError();
    }
}

void OdbcResultSet::moveNext() {
    checkOpen();
    if (atEnd_) {
        throw noCurrentRowError();
    }
    OdbcLocaleScope utf8;
    errors().clear();
    onFirstRow_ = false;
    fetchRow();
}

int OdbcResultSet::fieldCount() {
    checkOpen();
    return fields_.count();
}

Field& OdbcResultSet::field(int position) {
    checkOpen();
    return fields_.at(position);
}

Field& OdbcResultSet::field(const QString& name) {
    checkOpen();
    return fields_.named(name);
}

const Value& OdbcResultSet::valueAt(int position) {
    checkOpen();
    if (atEnd_) {
        throw noCurrentRowError();
    }
    if (block_) {
        return blockValueAt(position);
    }
    if (position >= columnsRead_) {
        readUpTo(position);
    } else if (const std::optional<Error>& failure = failures_[static_cast<size_t>(position)]) {
        // Asked again after its failure: report it again.
        errors().clear();
        errors().add(*failure);
        throw *failure;
    }
    return values_[static_cast<size_t>(position)];
}

const Value& OdbcResultSet::blockValueAt(int position) {
    const auto index = static_cast<size_t>(position);
    Value& value = values_[index];
    if (readInRow_[index] != row_) {
        errors().clear();
        block_->read(blockRow_, position, columns_[index], value, reader_, errors());
        readInRow_[index] = row_;
    }
    return value;
}

void OdbcResultSet::readUpTo(int position) {
    OdbcLocaleScope utf8;
    errors().clear();
    // SQLGetData may only move forward through a row's columns. A column
    // before the one asked for may fail while the one asked for reads well;
    // its failure is raised when it is asked for itself.
    for (; columnsRead_ <= position; ++columnsRead_) {
        const auto index = static_cast<size_t>(columnsRead_);
        try {
            reader_.read(statement_->ref(), static_cast<SQLUSMALLINT>(columnsRead_ + 1),
                         columns_[index], values_[index], errors());
        } catch (const Error& error) {
            values_[index].kind = ValueKind::Null;
            failures_[index] = error;
            rowHasFailures_ = true;
            if (columnsRead_ == position) {
                ++columnsRead_;
                throw;
            }
        }
    }
    errors().clear();
}

std::unique_ptr<OdbcResultSet> executeOdbc(const std::shared_ptr<OdbcSession>& session,
                                           const QString& commandText) {
    OdbcLocaleScope utf8;
    ErrorList& errors = session->errors();
    errors.clear();
    auto statement = std::make_unique<OdbcStatement>(session);
    const SQLRETURN rc = SQLExecDirectW(statement->get(), wideArgument(commandText), SQL_NTS);
    // SQL_NO_DATA: a searched UPDATE or DELETE that touched no row.
    if (rc != SQL_NO_DATA) {
        checkOdbc(rc, statement->ref(), errors, "SQLExecDirect");
    }
    return std::make_unique<OdbcResultSet>(std::move(statement));
}

OdbcCountedResultSet::OdbcCountedResultSet(std::shared_ptr<OdbcSession> session,
                                           QString commandText,
                                           std::unique_ptr<OdbcStatement> prepared, int columns,
                                           QString rowsQuery)
    : session_(std::move(session)),
      commandText_(std::move(commandText)),
      prepared_(std::move(prepared)),
      columns_(columns),
      rowsQuery_(std::move(rowsQuery)) {}

OdbcCountedResultSet::~OdbcCountedResultSet() = default;

std::unique_ptr<OdbcCountedResultSet> OdbcCountedResultSet::prepare(
    const std::shared_ptr<OdbcSession>& session, const QString& commandText) {
    if (!isSelect(commandText)) {
        return nullptr;
    }
    OdbcLocaleScope utf8;
    SQLWCHAR quoteBuffer[kQuoteChars] = {};
    SQLSMALLINT quoteBytes = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(session->handle(), SQL_IDENTIFIER_QUOTE_CHAR, quoteBuffer,
                                   sizeof(quoteBuffer), &quoteBytes))) {
        return nullptr;
    }
    const QString quote = fromWideBuffer(quoteBuffer, kQuoteChars,
                                         quoteBytes / static_cast<SQLSMALLINT>(sizeof(SQLWCHAR)))
                              .trimmed();
    auto statement = std::make_unique<OdbcStatement>(session);
    SQLSMALLINT columns = 0;
    if (quote.isEmpty() ||
        !SQL_SUCCEEDED(SQLPrepareW(statement->get(), wideArgument(commandText), SQL_NTS)) ||
        !SQL_SUCCEEDED(SQLNumResultCols(statement->get(), &columns)) || columns <= 0) {
        // Running the command tells why, in the driver's own words.
        return nullptr;
    }
    // A count need not compute a column, and a computed one (in a view) may
    // fail on a row that reading would stop at: the rows counted are those
    // whose every column was computed, each named in the condition.
    QString condition;
    QStringList names;
    for (SQLUSMALLINT number = 1; number <= columns; ++number) {
        SQLWCHAR buffer[kNameChars] = {};
        SQLSMALLINT length = 0;
        if (!SQL_SUCCEEDED(SQLDescribeColW(statement->get(), number, buffer, kNameChars, &length,
                                           nullptr, nullptr, nullptr, nullptr)) ||
            length <= 0 || length >= kNameChars) {
            return nullptr;
        }
        QString name = fromWideBuffer(buffer, kNameChars, length);
        // A derived table refuses two columns of one name.
        if (names.contains(name, Qt::CaseInsensitive)) {
            return nullptr;
        }
        names << name;
        name.replace(quote, quote + quote);
        condition += (number > 1 ? QStringLiteral(" + CASE WHEN ") : QStringLiteral("CASE WHEN ")) +
                     quote + name + quote + QStringLiteral(" IS NULL THEN 1 ELSE 0 END");
    }
    QString rowsQuery = QStringLiteral("SELECT 1 AS brivano_row FROM (") + commandText +
                        QStringLiteral(") AS brivano_rows WHERE ") + condition +
                        QStringLiteral(" >= 0");
    return std::make_unique<OdbcCountedResultSet>(session, commandText, std::move(statement),
                                                  columns, std::move(rowsQuery));
}

void OdbcCountedResultSet::checkOpen() const {
    if (!session_->isOpen()) {
        throw resultSetClosedError();
    }
}

std::optional<std::int64_t> OdbcCountedResultSet::countRows(const QString& rowsQuery) {
    OdbcLocaleScope utf8;
    session_->errors().clear();
    const QString query =
        QStringLiteral("SELECT COUNT(*) FROM (") + rowsQuery + QStringLiteral(") AS brivano_count");
    const SQLHSTMT statement = prepared_->get();
    SQLFreeStmt(statement, SQL_CLOSE);  // no cursor may stay open before the next query
    SQLBIGINT counted = 0;
    SQLLEN indicator = 0;
    const bool done = SQL_SUCCEEDED(SQLExecDirectW(statement, wideArgument(query), SQL_NTS)) &&
                      SQL_SUCCEEDED(SQLFetch(statement)) &&
                      SQL_SUCCEEDED(SQLGetData(statement, 1, SQL_C_SBIGINT, &counted,
                                               sizeof(counted), &indicator)) &&
                      indicator != SQL_NULL_DATA && counted >= 0;
    SQLFreeStmt(statement, SQL_CLOSE);
    if (!done) {
        // The command as it is, read row by row, answers instead.
        rows();
        return std::nullopt;
    }
    return counted;
}

ResultSet& OdbcCountedResultSet::rows() {
    if (!executed_) {
        prepared_->release();
        executed_ = executeOdbc(session_, commandText_);
        if (consumed_ || rowCount_ == 0 || hasRows_ == false) {
            // Its columns were asked for when it had no row left.
            executed_->finish();
        }
    }
    return *executed_;
}

bool OdbcCountedResultSet::atEnd() {
    checkOpen();
    if (!executed_) {
        if (consumed_) {
            return true;
        }
        if (rowCount_) {
            return *rowCount_ == 0;
        }
        if (!hasRows_) {
            // Whether there is a first row: one row is as much as is needed.
            if (std::optional<std::int64_t> first =
                    countRows(rowsQuery_ + QStringLiteral(" LIMIT 1"))) {
                hasRows_ = *first > 0;
            }
        }
        if (hasRows_) {
            return !*hasRows_;
        }
    }
    return executed_->atEnd();
}

RowArrayBounds OdbcCountedResultSet::readAllRows() {
    checkOpen();
    if (!executed_) {
        if (consumed_) {
            return {columns_, 0};
        }
        if (!rowCount_) {
            rowCount_ = countRows(rowsQuery_);
        }
        if (rowCount_) {
            consumed_ = true;
            if (*rowCount_ > std::numeric_limits<std::int32_t>::max()) {
                throw tooManyRowsError();
            }
            return {columns_, static_cast<std::int32_t>(*rowCount_)};
        }
    }
    return executed_->readAllRows();
}

void OdbcCountedResultSet::moveFirst() {
    checkOpen();
    rows().moveFirst();
}

void OdbcCountedResultSet::moveNext() {
    checkOpen();
    rows().moveNext();
}

int OdbcCountedResultSet::fieldCount() {
    checkOpen();
    return executed_ ? executed_->fieldCount() : columns_;
}

Field& OdbcCountedResultSet::field(int position) {
    checkOpen();
    return rows().field(position);
}

Field& OdbcCountedResultSet::field(const QString& name) {
    checkOpen();
    return rows().field(name);
}

}  // namespace brivano::db
