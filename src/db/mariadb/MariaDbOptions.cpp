#include "db/mariadb/MariaDbOptions.h"

#include <cstring>
#include <span>
#include <vector>

#include "db/ConnectionString.h"
#include "db/mariadb/MariaDbAsync.h"
#include "texts/Texts.h"

namespace brivano::db {

namespace {

constexpr const char* kCharacterSet = "utf8mb4";
// SQLSTATE for a connection string attribute that cannot be used.
constexpr QStringView kGeneralError = u"HY000";
constexpr unsigned int kMaxPort = 65535;

constexpr QStringView kHost[] = {u"Server", u"Host"};
constexpr QStringView kPort[] = {u"Port"};
constexpr QStringView kSocket[] = {u"Socket"};
constexpr QStringView kDatabase[] = {u"Database", u"DB"};
constexpr QStringView kUser[] = {u"Uid", u"User ID", u"User"};
constexpr QStringView kPassword[] = {u"Pwd", u"Password"};
constexpr QStringView kSslCa[] = {u"SslCa"};
constexpr QStringView kSslCaPath[] = {u"SslCaPath"};
constexpr QStringView kSslCert[] = {u"SslCert"};
constexpr QStringView kSslKey[] = {u"SslKey"};
constexpr QStringView kSslCipher[] = {u"SslCipher"};
constexpr QStringView kSslVerify[] = {u"SslVerify"};
// The ODBC driver's keys for what the provider always does: text comes as
// UTF-8 whatever the connection's character set, rows stream forward only.
constexpr QStringView kDriverKeys[] = {u"CHARSET", u"NO_CACHE", u"FORWARDONLY"};
constexpr std::span<const QStringView> kKeys[] = {
    kHost,      kPort,    kSocket, kDatabase,  kUser,      kPassword,  kSslCa,
    kSslCaPath, kSslCert, kSslKey, kSslCipher, kSslVerify, kDriverKeys};

// The first of `keys` that the string has, even with an empty value.
std::optional<QString> attribute(QStringView connectionString, std::span<const QStringView> keys) {
    for (QStringView key : keys) {
        if (std::optional<QString> value = connectionAttribute(connectionString, key))
            return value;
    }
    return std::nullopt;
}

QByteArray text(QStringView connectionString, std::span<const QStringView> keys) {
    return attribute(connectionString, keys).value_or(QString()).toUtf8();
}

bool flag(QStringView connectionString, std::span<const QStringView> keys) {
    const QString value = attribute(connectionString, keys).value_or(QString()).trimmed();
    if (value.isEmpty() || value == u"0")
        return false;
    if (value == u"1")
        return true;
    throw Error(0, texts::invalidConnectionValue(keys.front().toString(), value),
                kGeneralError.toString());
}

const char* orNull(const QByteArray& value) {
    return value.isEmpty() ? nullptr : value.constData();
}

const char* orNull(const std::optional<QByteArray>& value) {
    return value ? value->constData() : nullptr;
}

void failIf(bool failed, MYSQL* connection) {
    if (failed)
        throw mariaDbError(connection);
}

}  // namespace

MariaDbOptions parseMariaDbOptions(QStringView connectionString) {
    std::vector<QStringView> known(std::begin(kWaitLimitKeys), std::end(kWaitLimitKeys));
    for (const std::span<const QStringView> keys : kKeys)
        known.insert(known.end(), keys.begin(), keys.end());
    refuseUnknownKeys(connectionString, known, u"MariaDB");
    MariaDbOptions options;
    options.host = text(connectionString, kHost);
    options.socket = text(connectionString, kSocket);
    options.database = text(connectionString, kDatabase);
    if (std::optional<QString> user = attribute(connectionString, kUser))
        options.user = user->toUtf8();
    if (std::optional<QString> password = attribute(connectionString, kPassword))
        options.password = password->toUtf8();
    if (const std::optional<QString> port = attribute(connectionString, kPort);
        port && !port->trimmed().isEmpty()) {
        bool ok = false;
        options.port = port->trimmed().toUInt(&ok);
        if (!ok || options.port == 0 || options.port > kMaxPort)
            throw Error(0, texts::invalidPort(*port), kGeneralError.toString());
    }
    options.sslCa = text(connectionString, kSslCa);
    options.sslCaPath = text(connectionString, kSslCaPath);
    options.sslCert = text(connectionString, kSslCert);
    options.sslKey = text(connectionString, kSslKey);
    options.sslCipher = text(connectionString, kSslCipher);
    options.sslVerify = flag(connectionString, kSslVerify);
    options.waitLimits = waitLimitsOf(connectionString);
    return options;
}

QString MariaDbOptions::serverName() const {
    if (!socket.isEmpty())
        return QString::fromUtf8(socket);
    return (host.isEmpty() ? QStringLiteral("localhost") : QString::fromUtf8(host)) + u':' +
           QString::number(port == 0 ? MYSQL_PORT : port);
}

MysqlHandle connectMariaDb(const MariaDbOptions& options, const NetworkWait* wait) {
    MysqlHandle connection(mysql_init(nullptr));
    if (!connection)
        throw std::bad_alloc();
    MYSQL* raw = connection.get();
    if (wait != nullptr) {
        failIf(mysql_optionsv(raw, MYSQL_OPT_NONBLOCK, 0) != 0, raw);
    } else {
        // Without a wait of the provider's, the library keeps the limits:
        // the connection to stop a statement must not hang either.
        const unsigned int connect = static_cast<unsigned int>(options.waitLimits.connectSeconds);
        const unsigned int read = static_cast<unsigned int>(options.waitLimits.readSeconds);
        failIf(mysql_optionsv(raw, MYSQL_OPT_CONNECT_TIMEOUT, &connect) != 0, raw);
        failIf(mysql_optionsv(raw, MYSQL_OPT_READ_TIMEOUT, &read) != 0, raw);
        failIf(mysql_optionsv(raw, MYSQL_OPT_WRITE_TIMEOUT, &read) != 0, raw);
    }
    const my_bool report = 1;
    // The [client] group of the option files supplies what the string
    // leaves out, the password and user above all (~/.my.cnf).
    failIf(mysql_optionsv(raw, MYSQL_READ_DEFAULT_GROUP, "client") != 0, raw);
    failIf(mysql_optionsv(raw, MYSQL_SET_CHARSET_NAME, kCharacterSet) != 0, raw);
    failIf(mysql_optionsv(raw, MYSQL_REPORT_DATA_TRUNCATION, &report) != 0, raw);
    if (!options.sslCa.isEmpty() || !options.sslCaPath.isEmpty() || !options.sslCert.isEmpty() ||
        !options.sslKey.isEmpty() || !options.sslCipher.isEmpty()) {
        failIf(mysql_ssl_set(raw, orNull(options.sslKey), orNull(options.sslCert),
                             orNull(options.sslCa), orNull(options.sslCaPath),
                             orNull(options.sslCipher)) != 0,
               raw);
    }
    const my_bool verify = options.sslVerify ? 1 : 0;
    failIf(mysql_optionsv(raw, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &verify) != 0, raw);
    MYSQL* connected = nullptr;
    if (wait != nullptr) {
        const MariaDbAsync async(raw, *wait, NetworkWait::Phase::Connect);
        async.finish(
            mysql_real_connect_start(&connected, raw, orNull(options.host), orNull(options.user),
                                     orNull(options.password), orNull(options.database),
                                     options.port, orNull(options.socket), 0),
            [&](int status) { return mysql_real_connect_cont(&connected, raw, status); });
    } else {
        connected = mysql_real_connect(raw, orNull(options.host), orNull(options.user),
                                       orNull(options.password), orNull(options.database),
                                       options.port, orNull(options.socket), 0);
    }
    failIf(connected == nullptr, raw);
    // Nor may it make the library reconnect behind our back: a new session
    // would be neither read-only nor in the snapshot, and a lost connection
    // must be reported as lost.
    const my_bool reconnect = 0;
    failIf(mysql_optionsv(raw, MYSQL_OPT_RECONNECT, &reconnect) != 0, raw);
    // An option file may name another character set, and it is read at
    // connect time: text must come as UTF-8 whatever it says.
    if (std::strcmp(mysql_character_set_name(raw), kCharacterSet) != 0) {
        int failed = 0;
        if (wait != nullptr) {
            const MariaDbAsync async(raw, *wait, NetworkWait::Phase::Read);
            async.finish(
                mysql_set_character_set_start(&failed, raw, kCharacterSet),
                [&](int status) { return mysql_set_character_set_cont(&failed, raw, status); });
        } else {
            failed = mysql_set_character_set(raw, kCharacterSet);
        }
        failIf(failed != 0, raw);
    }
    return connection;
}

void killQuery(const MariaDbOptions& options, unsigned long threadId) {
    MysqlHandle connection = connectMariaDb(options, nullptr);
    const QByteArray kill = "KILL QUERY " + QByteArray::number(static_cast<qulonglong>(threadId));
    failIf(mysql_real_query(connection.get(), kill.constData(), kill.size()) != 0,
           connection.get());
}

}  // namespace brivano::db
