#pragma once

#include <QString>
#include <algorithm>

#include "platform/Utf8CLocale.h"

// The ODBC headers in the order every platform accepts (Windows needs its
// own types first). Only the standard ODBC 3 API is used through them.
#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

static_assert(sizeof(SQLWCHAR) == 2, "wide ODBC text is UTF-16 on every supported platform");

namespace brivano::db {

// Wide ODBC text is UTF-16, the same code units as QString, so text passes
// both ways without conversion.
inline SQLWCHAR* wideArgument(const QString& text) {
    return reinterpret_cast<SQLWCHAR*>(const_cast<ushort*>(text.utf16()));
}

inline QString fromWide(const SQLWCHAR* text, qsizetype length) {
    return QString(reinterpret_cast<const QChar*>(text), length);
}

// Text that the driver manager returned in a buffer of `capacity` units,
// with the length it reported. The text ends at its terminator: for drivers
// without wide entry points the manager may report the narrow length in
// bytes, which is more than the wide text holds. The reported length only
// counts when there is no terminator.
inline QString fromWideBuffer(const SQLWCHAR* buffer, qsizetype capacity, qsizetype length) {
    for (qsizetype end = 0; end < capacity; ++end) {
        if (buffer[end] == 0) {
            return fromWide(buffer, end);
        }
    }
    return fromWide(buffer, std::clamp<qsizetype>(length, 0, capacity));
}

// unixODBC converts between wide and narrow text (statement text for
// drivers without wide entry points, their messages, column names) with
// converters chosen from LC_CTYPE when a connection is made; in the C
// locale that mangles every non-ASCII character. Connecting (and talking
// to the driver) inside this scope makes those conversions UTF-8 whatever
// the operator's locale, and keeps drivers that format numbers with the C
// library on '.' decimals.
using OdbcLocaleScope = platform::Utf8CLocaleScope;

}  // namespace brivano::db
