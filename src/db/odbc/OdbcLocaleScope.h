#pragma once

namespace brivano::db {

// While it lives, the calling thread runs in a UTF-8 "C" locale.
//
// unixODBC converts between wide and narrow text (statement text for
// drivers without wide entry points, their messages, column names) with
// converters chosen from LC_CTYPE when a connection is made; in the C
// locale that mangles every non-ASCII character. Connecting (and talking
// to the driver) inside this scope makes those conversions UTF-8 whatever
// the operator's locale, and keeps drivers that format numbers with the C
// library on '.' decimals. Only the thread's locale changes, never the
// process's. On Windows the driver manager converts through the ANSI code
// page by itself and the scope does nothing.
class OdbcLocaleScope {
  public:
    OdbcLocaleScope();
    ~OdbcLocaleScope();
    OdbcLocaleScope(const OdbcLocaleScope&) = delete;
    OdbcLocaleScope& operator=(const OdbcLocaleScope&) = delete;

  private:
    void* previous_ = nullptr;
};

}  // namespace brivano::db
