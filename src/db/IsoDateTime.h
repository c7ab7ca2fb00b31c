#pragma once

#include <QByteArrayView>
#include <optional>

#include "db/Value.h"

namespace brivano::db {

// Dates and times as SQLite keeps them in text: "YYYY-MM-DD",
// "HH:MM[:SS[.fraction]]", and both joined by a blank or a 'T', optionally
// ending in 'Z'. Each reader takes the part it needs from the full form
// too, and gives nothing for text that is not a valid date or time.
std::optional<DateValue> parseIsoDate(QByteArrayView text);
std::optional<TimeValue> parseIsoTime(QByteArrayView text);
// A date alone stands for its midnight.
std::optional<std::pair<DateValue, TimeValue>> parseIsoTimestamp(QByteArrayView text);

}  // namespace brivano::db
