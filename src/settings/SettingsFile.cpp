#include "settings/SettingsFile.h"

#include <QByteArray>
#include <exception>
#include <system_error>

#include "platform/AnsiCodePage.h"
#include "platform/Files.h"
#include "texts/Error.h"
#include "texts/Texts.h"

namespace brivano::settings {
namespace {

constexpr QByteArrayView kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr QChar kQuote = u'"';
constexpr QChar kComma = u',';
// The longest first line read: far more than any connection string needs.
constexpr qsizetype kMostLineBytes = qsizetype{64} << 10;

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

// Where the first line of `bytes` ends, or -1. CR and LF are the same
// bytes in every code page the file may be in, UTF-8 included.
qsizetype lineEndIn(QByteArrayView bytes) {
    for (qsizetype at = 0; at < bytes.size(); ++at) {
        if (bytes[at] == '\r' || bytes[at] == '\n')
            return at;
    }
    return -1;
}

[[noreturn]] void failToRead(const QString& path, int errorNumber, const QString& reason) {
    throw Error(errorNumber, texts::cannotReadSettings(path, reason));
}

// Only a regular file is read: a FIFO or a device could block or never end.
platform::File openSettingsFile(const QString& path) {
    std::error_code error;
    platform::File file = platform::File::openRegularForReading(path, error);
    if (error == std::errc::invalid_argument)
        failToRead(path, error.value(), texts::kSettingsNotAFile.toString());
    if (error)
        failToRead(path, error.value(), texts::systemReason(error.value()));
    return file;
}

// The first line, without its line end. Only its first kMostLineBytes
// bytes are read, so that no file can hold the reader for long; a longer
// line is refused.
QByteArray readFirstLine(platform::File& file, const QString& path) {
    // One byte more than a line may hold tells a line that is too long.
    QByteArray bytes(kMostLineBytes + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    qsizetype end = -1;
    while (end < 0 && filled < bytes.size()) {
        qsizetype count = 0;
        if (const std::error_code error =
                file.read(bytes.data() + filled, bytes.size() - filled, count))
            failToRead(path, error.value(), texts::systemReason(error.value()));
        if (count == 0)
            break;
        end = lineEndIn(QByteArrayView(bytes).sliced(filled, count));
        end = end < 0 ? -1 : filled + end;
        filled += count;
    }
    if (end < 0 && filled > kMostLineBytes)
        failToRead(path, 0, texts::settingsLineTooLong(kMostLineBytes));
    bytes.truncate(end < 0 ? filled : end);
    return bytes;
}

QByteArray readFirstLine(const QString& path) {
    platform::File file = openSettingsFile(path);
    return readFirstLine(file, path);
}

// The first line of the first file, else of the fallback, which is read
// only when the first cannot be opened.
QByteArray readFirstLine(const platform::ToolPaths& paths) {
    QString path = paths.settingsFile();
    platform::File file;
    try {
        file = openSettingsFile(path);
    } catch (const Error&) {
        path = paths.fallbackSettingsFile();
        file = openSettingsFile(path);
    }
    return readFirstLine(file, path);
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
        // The item never reaches past the first line, so only that is read.
        return firstSettingsItem(decodeLine(readFirstLine(paths), codePageNumber));
    } catch (const std::exception&) {
        return {};
    }
}

QString readConnectionStringFile(const QString& path, int codePageNumber) {
    return firstSettingsItem(decodeLine(readFirstLine(path), codePageNumber));
}

}  // namespace brivano::settings
