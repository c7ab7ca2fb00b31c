#include "db/CountedResultSet.h"

#include <limits>

#include "db/LayerErrors.h"

namespace brivano::db {

CountedResultSet::CountedResultSet(Query query, int columns)
    : query_(std::move(query)), columns_(columns) {}

CountedResultSet::~CountedResultSet() = default;

void CountedResultSet::checkOpen() const {
    if (!query_.connectionOpen())
        throw resultSetClosedError();
}

bool CountedResultSet::exhausted() const {
    return consumed_ || rowCount_ == 0 || hasRows_ == false;
}

std::optional<std::int64_t> CountedResultSet::count(const QString& statement) {
    if (statement.isEmpty())
        return std::nullopt;
    return query_.count(statement);
}

ResultSet& CountedResultSet::rows() {
    if (failure_)
        throw *failure_;
    if (!executed_) {
        try {
            executed_ = query_.run();
            // Its columns were asked for when it had no row left: it is
            // read to its end, so that it has no current row either.
            if (exhausted())
                executed_->readAllRows();
        } catch (const Error& error) {
            executed_.reset();
            failure_ = error;
            throw;
        }
    }
    return *executed_;
}

bool CountedResultSet::atEnd() {
    checkOpen();
    if (!executed_ && !failure_) {
        if (exhausted())
            return true;
        if (!hasRows_ && !countFailed_) {
            // Whether there is a first row: one row is as much as is needed.
            if (const std::optional<std::int64_t> first = count(query_.countFirst))
                hasRows_ = *first > 0;
            else
                countFailed_ = true;
        }
        if (hasRows_)
            return !*hasRows_;
    }
    return rows().atEnd();
}

RowArrayBounds CountedResultSet::readAllRows() {
    checkOpen();
    if (!executed_ && !failure_) {
        if (consumed_)
            return {columns_, 0};
        if (!rowCount_ && !countFailed_) {
            rowCount_ = count(query_.countAll);
            countFailed_ = !rowCount_;
        }
        if (rowCount_) {
            consumed_ = true;
            if (*rowCount_ > std::numeric_limits<std::int32_t>::max())
                throw tooManyRowsError();
            return {columns_, static_cast<std::int32_t>(*rowCount_)};
        }
    }
    return rows().readAllRows();
}

void CountedResultSet::moveFirst() {
    checkOpen();
    rows().moveFirst();
}

void CountedResultSet::moveNext() {
    checkOpen();
    rows().moveNext();
}

int CountedResultSet::fieldCount() {
    checkOpen();
    return executed_ ? executed_->fieldCount() : columns_;
}

Field& CountedResultSet::field(int position) {
    checkOpen();
    return rows().field(position);
}

Field& CountedResultSet::field(const QString& name) {
    checkOpen();
    return rows().field(name);
}

}  // namespace brivano::db
