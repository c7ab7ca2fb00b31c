#include "db/postgres/PgConnectParams.h"

#include <cstring>
#include <initializer_list>
#include <optional>

#include "db/ConnectionString.h"

namespace brivano::db {

namespace {

struct Spelling {
    const char* keyword;  // libpq's
    std::initializer_list<QStringView> keys;
};

// The connection string's keys for each libpq keyword: ours first, then
// the ODBC driver's.
const Spelling kSpellings[] = {
    {"host", {u"Host", u"Server", u"Servername"}},
    {"port", {u"Port"}},
    {"dbname", {u"Database", u"Dbname"}},
    {"user", {u"User ID", u"Uid", u"User", u"Username"}},
    {"password", {u"Password", u"Pwd"}},
    {"service", {u"Service"}},
    {"sslmode", {u"SSLMode"}},
    {"connect_timeout", {u"Connect Timeout", u"Timeout"}},
};

std::optional<QString> firstGiven(QStringView connectionString,
                                  std::initializer_list<QStringView> keys) {
    for (QStringView key : keys) {
        std::optional<QString> value = connectionAttribute(connectionString, key);
        // An empty value says nothing: libpq's own default applies.
        if (value && !value->isEmpty())
            return value;
    }
    return std::nullopt;
}

}  // namespace

PgConnectParams::PgConnectParams(QStringView connectionString) {
    storage_.reserve(std::size(kSpellings) + 2);
    for (const Spelling& spelling : kSpellings) {
        if (const std::optional<QString> value = firstGiven(connectionString, spelling.keys))
            add(spelling.keyword, value->toUtf8());
    }
    // Values come and go in UTF-8 whatever the database's own encoding.
    add("client_encoding", "UTF8");
    add("fallback_application_name", "brivano");
    keywords_.push_back(nullptr);
    values_.push_back(nullptr);
}

void PgConnectParams::add(const char* keyword, QByteArray value) {
    storage_.push_back(std::move(value));
    keywords_.push_back(keyword);
    values_.push_back(storage_.back().constData());
}

const char* PgConnectParams::value(const char* keyword) const {
    for (size_t k = 0; k < keywords_.size() && keywords_[k] != nullptr; ++k) {
        if (std::strcmp(keywords_[k], keyword) == 0)
            return values_[k];
    }
    return nullptr;
}

}  // namespace brivano::db
