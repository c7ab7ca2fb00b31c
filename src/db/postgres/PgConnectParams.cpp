#include "db/postgres/PgConnectParams.h"

#include <cstring>
#include <initializer_list>
#include <optional>
#include <vector>

#include "db/ConnectionString.h"
#include "db/NetworkWait.h"

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
    {"sslrootcert", {u"SSLRootCert"}},
    {"sslcert", {u"SSLCert"}},
    {"sslkey", {u"SSLKey"}},
};

// Keys that are not libpq's: the provider's own (the wait limits among
// them), and the ODBC driver's that change nothing here (the provider
// always streams and only reads).
constexpr QStringView kBoolsAsChar = u"BoolsAsChar";
constexpr QStringView kOtherKeys[] = {kBoolsAsChar, u"UseDeclareFetch", u"Fetch", u"ReadOnly"};
constexpr char kDefaultPort[] = "5432";

}  // namespace

PgConnectParams::PgConnectParams(QStringView connectionString) {
    std::vector<QStringView> known(std::begin(kOtherKeys), std::end(kOtherKeys));
    known.insert(known.end(), std::begin(kWaitLimitKeys), std::end(kWaitLimitKeys));
    for (const Spelling& spelling : kSpellings)
        known.insert(known.end(), spelling.keys.begin(), spelling.keys.end());
    refuseUnknownKeys(connectionString, known, u"PostgreSQL");
    storage_.reserve(std::size(kSpellings) + 2);
    for (const Spelling& spelling : kSpellings) {
        if (const std::optional<QString> value =
                connectionAttribute(connectionString, spelling.keys))
            add(spelling.keyword, value->toUtf8());
    }
    // The ODBC driver's BoolsAsChar=0 makes booleans bits; text is its default.
    if (const std::optional<QString> bools = connectionAttribute(connectionString, {kBoolsAsChar}))
        boolsAsChar_ = bools->trimmed() != u"0";
    // The limits are the provider's: libpq, driven without blocking, would
    // not keep a connect_timeout of its own.
    waitLimits_ = waitLimitsOf(connectionString);
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

QString PgConnectParams::serverName() const {
    const char* host = value("host");
    const char* port = value("port");
    return QString::fromUtf8(host != nullptr && *host != 0 ? host : "localhost") + u':' +
           QString::fromUtf8(port != nullptr && *port != 0 ? port : kDefaultPort);
}

const char* PgConnectParams::value(const char* keyword) const {
    for (size_t k = 0; k < keywords_.size() && keywords_[k] != nullptr; ++k) {
        if (std::strcmp(keywords_[k], keyword) == 0)
            return values_[k];
    }
    return nullptr;
}

}  // namespace brivano::db
