#pragma once

#include <QByteArray>
#include <QStringView>
#include <optional>

#include "db/mariadb/MariaDbHandles.h"

namespace brivano::db {

// Where and as whom to connect, from "Provider=MariaDB;Server=...;Port=...;
// Database=...;Uid=...;Pwd=..." (also Host, Socket, User ID, Password; keys
// in any case). Keys the provider does not know, such as an ODBC string's
// Driver=, are ignored, so that such a string opens here unchanged but for
// its first keyword.
struct MariaDbOptions {
    QByteArray host;
    unsigned int port = 0;  // 0: the client library's default
    QByteArray socket;
    QByteArray database;
    // Absent: the [client] group of the option files (~/.my.cnf) may say.
    std::optional<QByteArray> user;
    std::optional<QByteArray> password;
};

// Throws Error for a port that is no number.
MariaDbOptions parseMariaDbOptions(QStringView connectionString);

// A new connection, with utf8mb4 as its character set; throws the client's
// or the server's error when it cannot be made.
MysqlHandle connectMariaDb(const MariaDbOptions& options);

// Asks the server to stop the statement that session `threadId` runs, over
// a connection of its own: the session itself is busy waiting for it.
void killQuery(const MariaDbOptions& options, unsigned long threadId);

}  // namespace brivano::db
