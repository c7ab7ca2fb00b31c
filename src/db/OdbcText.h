#pragma once

#include <QString>

#include "db/OdbcApi.h"

namespace brivano::db {

// Wide ODBC text is UTF-16, the same code units as QString, so text passes
// both ways without conversion.
inline SQLWCHAR* wideArgument(const QString& text) {
    return reinterpret_cast<SQLWCHAR*>(const_cast<ushort*>(text.utf16()));
}

inline QString fromWide(const SQLWCHAR* text, qsizetype length) {
    return QString(reinterpret_cast<const QChar*>(text), length);
}

}  // namespace brivano::db
