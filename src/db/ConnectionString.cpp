#include "db/ConnectionString.h"

#include "db/Error.h"
#include "texts/Texts.h"

namespace brivano::db {

namespace {

// Reads a value starting at `at` up to its ';' (or the end); moves `at`
// past the separator.
QString readValue(QStringView text, qsizetype& at) {
    while (at < text.size() && text[at] == u' ') {
        ++at;
    }
    QString value;
    if (at < text.size() && (text[at] == u'"' || text[at] == u'\'' || text[at] == u'{')) {
        const QChar open = text[at];
        const QChar close = open == u'{' ? QChar(u'}') : open;
        ++at;
        while (at < text.size()) {
            if (text[at] == close) {
                if (at + 1 < text.size() && text[at + 1] == close) {
                    value += close;  // doubled: the character itself
                    at += 2;
                    continue;
                }
                ++at;
                break;
            }
            value += text[at++];
        }
        while (at < text.size() && text[at] != u';') {
            ++at;  // anything after the closing quote belongs to nobody
        }
    } else {
        const qsizetype end = text.indexOf(u';', at);
        const qsizetype stop = end < 0 ? text.size() : end;
        value = text.mid(at, stop - at).trimmed().toString();
        at = stop;
    }
    if (at < text.size()) {
        ++at;  // the ';'
    }
    return value;
}

// Calls `visit(name, value)` for every attribute of the string, in order,
// until it returns true.
template <typename Visit>
void forEachAttribute(QStringView connectionString, Visit&& visit) {
    qsizetype at = 0;
    while (at < connectionString.size()) {
        const qsizetype equals = connectionString.indexOf(u'=', at);
        const qsizetype separator = connectionString.indexOf(u';', at);
        if (equals < 0) {
            break;
        }
        if (separator >= 0 && separator < equals) {
            at = separator + 1;  // a part without '=': skipped
            continue;
        }
        const QStringView name = connectionString.mid(at, equals - at).trimmed();
        at = equals + 1;
        const QString value = readValue(connectionString, at);
        if (visit(name, value))
            return;
    }
}

}  // namespace

std::optional<QString> connectionAttribute(QStringView connectionString, QStringView key) {
    std::optional<QString> found;
    forEachAttribute(connectionString, [&](QStringView name, const QString& value) {
        if (name.compare(key, Qt::CaseInsensitive) != 0)
            return false;
        found = value;
        return true;
    });
    return found;
}

std::optional<QString> connectionAttribute(QStringView connectionString,
                                           std::initializer_list<QStringView> keys) {
    for (QStringView key : keys) {
        std::optional<QString> value = connectionAttribute(connectionString, key);
        if (value && !value->trimmed().isEmpty())
            return value;
    }
    return std::nullopt;
}

void refuseUnknownKeys(QStringView connectionString, std::span<const QStringView> known,
                       QStringView provider) {
    forEachAttribute(connectionString, [&](QStringView name, const QString&) {
        if (name.compare(u"Provider", Qt::CaseInsensitive) == 0)
            return false;
        for (QStringView key : known) {
            if (name.compare(key, Qt::CaseInsensitive) == 0)
                return false;
        }
        throw Error(0, texts::unknownConnectionKey(name.toString(), provider),
                    QStringLiteral("HY000"));
    });
}

ProviderKind providerKind(QStringView connectionString) {
    const std::optional<QString> provider = connectionAttribute(connectionString, u"Provider");
    // An empty value names no provider either.
    const QString name = provider ? provider->trimmed() : QString();
    if (name.isEmpty())
        return ProviderKind::Odbc;
    const auto is = [&name](QStringView known) {
        return name.compare(known, Qt::CaseInsensitive) == 0;
    };
    if (is(u"SQLite"))
        return ProviderKind::Sqlite;
    if (is(u"PostgreSQL"))
        return ProviderKind::PostgreSQL;
    if (is(u"MariaDB"))
        return ProviderKind::MariaDB;
    return ProviderKind::Other;
}

}  // namespace brivano::db
