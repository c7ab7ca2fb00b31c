#pragma once

#include <QString>
#include <QStringView>

namespace brivano::db {

// Turns a database's message into one line, as the message list shows it:
// every run of blanks that holds a line break or a tab becomes a single
// blank, and the ends are trimmed.
QString singleLineMessage(QStringView text);

}  // namespace brivano::db
