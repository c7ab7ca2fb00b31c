#pragma once

#include "db/odbc/OdbcApi.h"

namespace brivano::db {

// A handle of one type and the handle it belongs to, for diagnostics.
struct OdbcHandleRef {
    SQLSMALLINT type = 0;
    SQLHANDLE handle = SQL_NULL_HANDLE;
};

// Owns one ODBC handle (environment, connection or statement) and frees it
// when it goes. Move-only.
class OdbcHandle {
  public:
    OdbcHandle() = default;
    // Takes ownership of a handle that SQLAllocHandle returned.
    OdbcHandle(SQLSMALLINT type, SQLHANDLE handle) : type_(type), handle_(handle) {}
    ~OdbcHandle() { reset(); }

    OdbcHandle(OdbcHandle&& other) noexcept : type_(other.type_), handle_(other.release()) {}
    OdbcHandle& operator=(OdbcHandle&& other) noexcept;
    OdbcHandle(const OdbcHandle&) = delete;
    OdbcHandle& operator=(const OdbcHandle&) = delete;

    SQLHANDLE get() const { return handle_; }
    SQLSMALLINT type() const { return type_; }
    OdbcHandleRef ref() const { return {type_, handle_}; }
    explicit operator bool() const { return handle_ != SQL_NULL_HANDLE; }

    void reset();
    SQLHANDLE release() {
        SQLHANDLE handle = handle_;
        handle_ = SQL_NULL_HANDLE;
        return handle;
    }

  private:
    SQLSMALLINT type_ = 0;
    SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

}  // namespace brivano::db
