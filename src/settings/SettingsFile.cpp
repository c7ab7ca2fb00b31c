#include "settings/SettingsFile.h"

#include <QByteArray>
#include <QFile>
#include <exception>

#include "platform/AnsiCodePage.h"
#include "texts/Error.h"
#include "texts/Texts.h"

namespace brivano::settings {
namespace {

constexpr QByteArrayView kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr QChar kQuote = u'"';
constexpr QChar kComma = u',';

// Tabs count as blanks as spaces do: neither can start or end a usable
// connection string, and editors put them in unasked.
bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// A line feed alone ends a line too, so that files edited on Linux read the
// same as those written on Windows.
bool isLineEnd(QChar c) {
    return c == u'\r' || c == u'\n';
}

// Opens the first file, else the fallback; false when neither opens. A
// folder in place of the file fails to open like a missing file does.
bool openSettingsFile(const platform::ToolPaths& paths, QFile& file) {
    file.setFileName(paths.settingsFile());
    if (file.open(QIODevice::ReadOnly))
        return true;
    file.setFileName(paths.fallbackSettingsFile());
    return file.open(QIODevice::ReadOnly);
}

QString decodeLine(QByteArrayView line, int codePageNumber) {
    if (line.startsWith(kUtf8ByteOrderMark))
        return QString::fromUtf8(line.sliced(kUtf8ByteOrderMark.size()));
    return platform::decodeCodePage(line, codePageNumber);
}

}  // namespace

QString firstSettingsItem(QStringView text) {
    const qsizetype size = text.size();
    qsizetype begin = 0;
    while (begin < size && isBlank(text[begin]))
        ++begin;

    if (begin < size && text[begin] == kQuote) {
        ++begin;
        qsizetype end = begin;
        while (end < size && text[end] != kQuote && !isLineEnd(text[end]))
            ++end;
        return text.sliced(begin, end - begin).toString();
    }

    // A quote inside an unquoted item is an ordinary character.
    qsizetype end = begin;
    while (end < size && text[end] != kComma && !isLineEnd(text[end]))
        ++end;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin).toString();
}

QString readConnectionString(const platform::ToolPaths& paths) {
    return readConnectionString(paths, platform::systemCodePage());
}

QString readConnectionString(const platform::ToolPaths& paths, int codePageNumber) {
    // The load step must never stop the window from opening: every failure
    // (no file, a read error, an unknown code page) leaves the string empty,
    // and the operator can still type one. Nothing is reported, by design.
    try {
        QFile file;
        if (!openSettingsFile(paths, file))
            return {};
        // The item never reaches past the first line, so only that is read.
        const QByteArray line = file.readLine();
        return firstSettingsItem(decodeLine(line, codePageNumber));
    } catch (const std::exception&) {
        return {};
    }
}

QString readConnectionStringFile(const QString& path, int codePageNumber) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(file.error(), texts::cannotReadSettings(path, file.errorString()));
    return firstSettingsItem(decodeLine(file.readLine(), codePageNumber));
}

}  // namespace brivano::settings
