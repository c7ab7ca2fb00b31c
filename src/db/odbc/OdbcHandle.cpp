#include "db/odbc/OdbcHandle.h"

namespace brivano::db {

OdbcHandle& OdbcHandle::operator=(OdbcHandle&& other) noexcept {
    if (this != &other) {
        reset();
        type_ = other.type_;
        handle_ = other.release();
    }
    return *this;
}

void OdbcHandle::reset() {
    if (handle_ != SQL_NULL_HANDLE) {
        // Nothing useful can be done when freeing fails: the handle is gone
        // from our side either way.
        SQLFreeHandle(type_, handle_);
        handle_ = SQL_NULL_HANDLE;
    }
}

}  // namespace brivano::db
