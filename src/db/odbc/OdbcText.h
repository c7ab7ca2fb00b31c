#pragma once

#include <QString>
#include <algorithm>

#include "db/odbc/OdbcApi.h"

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

}  // namespace brivano::db
