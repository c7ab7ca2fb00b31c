#include "db/OdbcResultSet.h"

#include <limits>

#include "db/LayerErrors.h"
#include "db/OdbcDescribe.h"
#include "db/OdbcDiagnostics.h"
#include "db/OdbcLocaleScope.h"
#include "db/OdbcRowBlock.h"

namespace brivano::db {

namespace {

// Rows per block when counting: enough to make the per-call cost vanish.
constexpr SQLULEN kCountBlockRows = 512;

}  // namespace

QString OdbcField::name() const {
    return resultSet_->column(position_).name;
}

std::int16_t OdbcField::type() const {
    return resultSet_->column(position_).shape.type;
}

std::int32_t OdbcField::definedSize() const {
    return resultSet_->column(position_).shape.definedSize;
}

std::int32_t OdbcField::attributes() const {
    return resultSet_->column(position_).shape.attributes;
}

bool OdbcField::isNull() {
    return resultSet_->valueAt(position_).isNull();
}

const Value& OdbcField::value() {
    return resultSet_->valueAt(position_);
}

OdbcResultSet::OdbcResultSet(std::unique_ptr<OdbcStatement> statement)
    : statement_(std::move(statement)) {
    OdbcSession& session = statement_->session();
    columns_ = describeOdbcColumns(statement_->ref(), session.columnRules(), errors());
    const int count = static_cast<int>(columns_.size());
    fields_.reserve(columns_.size());
    for (int position = 0; position < count; ++position) {
        fields_.emplace_back(*this, position);
        // The first of two columns with the same name is the one found.
        const QString& name = columns_[static_cast<size_t>(position)].name;
        const bool first = !positions_.contains(name);
        if (first) {
            positions_.insert(name, position);
        }
        firstOfName_.push_back(first);
    }
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
    if (!statement_->session().isOpen()) {
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
    if (atEnd_ || !onFirstRow_ || !statement_->session().countsSelectedRows()) {
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
    return static_cast<int>(fields_.size());
}

Field& OdbcResultSet::field(int position) {
    checkOpen();
    if (position < 0 || position >= static_cast<int>(fields_.size())) {
        throw fieldPositionError(position, static_cast<int>(fields_.size()));
    }
    return fields_[static_cast<size_t>(position)];
}

Field& OdbcResultSet::field(const QString& name) {
    checkOpen();
    const std::optional<int> position = findField(name);
    if (!position) {
        throw fieldNotFoundError(name);
    }
    lookupHint_ = *position + 1;
    return fields_[static_cast<size_t>(*position)];
}

std::optional<int> OdbcResultSet::findField(const QString& name) const {
    // Callers usually walk the columns in order: try the next one first.
    const int count = static_cast<int>(columns_.size());
    if (lookupHint_ < count && firstOfName_[static_cast<size_t>(lookupHint_)] &&
        columns_[static_cast<size_t>(lookupHint_)].name == name) {
        return lookupHint_;
    }
    if (auto it = positions_.constFind(name); it != positions_.constEnd()) {
        return it.value();
    }
    // Column names match without regard to case, as SQL names do.
    for (int position = 0; position < count; ++position) {
        if (columns_[static_cast<size_t>(position)].name.compare(name, Qt::CaseInsensitive) == 0) {
            return position;
        }
    }
    return std::nullopt;
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

}  // namespace brivano::db
