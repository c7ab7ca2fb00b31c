#include <QByteArray>
#include <QtGlobal>

namespace {

// The engine's tests read and write under Italian regional settings, the
// operators' own: decimal comma, day/month/year dates, code page 1252. Qt
// reads the locale once, at its first use, so it is set before any test runs.
[[maybe_unused]] const bool kItalianLocale = [] {
    qputenv("LC_ALL", QByteArray("it_IT.UTF-8"));
    return true;
}();

}  // namespace
