#pragma once

#include <QStringList>

namespace brivano::app {

class Printer;

// Prints the message list as one document: the bold title "ELENCO ERRORI",
// a rule, a blank line and then every entry in bold on two lines (its first
// 100 characters, then the rest). The entries are only read. Printer
// failures propagate as brivano::Error.
void printMessageList(const QStringList& entries, Printer& printer);

}  // namespace brivano::app
