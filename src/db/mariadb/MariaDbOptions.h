#pragma once

#include <QByteArray>
#include <QStringView>
#include <optional>

#include "db/NetworkWait.h"
#include "db/mariadb/MariaDbHandles.h"

namespace brivano::db {

// Where and as whom to connect, from "Provider=MariaDB;Server=...;Port=...;
// Database=...;Uid=...;Pwd=..." (also Host, Socket, User ID, Password; keys
// in any case), with the connector's TLS settings (SslCa, SslCaPath,
// SslCert, SslKey, SslCipher, SslVerify, as the ODBC driver spells them).
// A key the provider does not know is refused; the ODBC driver's CHARSET is
// taken and has nothing to do (text always comes as UTF-8 here).
struct MariaDbOptions {
    QByteArray host;
    unsigned int port = 0;  // 0: the client library's default
    QByteArray socket;
    QByteArray database;
    // Absent: the [client] group of the option files (~/.my.cnf) may say.
    std::optional<QByteArray> user;
    std::optional<QByteArray> password;
    QByteArray sslCa;
    QByteArray sslCaPath;
    QByteArray sslCert;
    QByteArray sslKey;
    QByteArray sslCipher;
    bool sslVerify = false;  // the server's certificate and name checked
    // Connect Timeout (or Timeout) and Read Timeout, in seconds.
    WaitLimits waitLimits;

    // "host:port" (or the socket's path), for messages.
    QString serverName() const;
};

// Throws Error for a key it does not know or a value that cannot be used.
MariaDbOptions parseMariaDbOptions(QStringView connectionString);

// A new connection, with utf8mb4 as its character set; throws the client's
// or the server's error when it cannot be made. With `wait`, the connection
// is non-blocking and waits through it (see MariaDbAsync); without, the
// library itself keeps the options' limits.
MysqlHandle connectMariaDb(const MariaDbOptions& options, const NetworkWait* wait);

// Asks the server to stop the statement that session `threadId` runs, over
// a connection of its own: the session itself is busy waiting for it.
void killQuery(const MariaDbOptions& options, unsigned long threadId);

}  // namespace brivano::db
