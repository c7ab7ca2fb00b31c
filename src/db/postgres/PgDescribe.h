#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "db/postgres/PgColumn.h"
#include "db/postgres/PgSession.h"

namespace brivano::db {

// A command as the server described it, without running it.
struct PgCommand {
    QString text;
    std::vector<PgColumn> columns;  // none for a command that returns no rows
    int moneyScale = 2;             // the decimals of money amounts, when a column has them
};

// Prepares `commandText` (a single statement: the extended protocol takes
// no more) and describes its columns; throws the server's error when the
// command is wrong.
std::shared_ptr<const PgCommand> describePgCommand(PgSession& session, const QString& commandText);

// Runs the command prepared by the last describePgCommand(), which returns
// no rows.
void runPreparedPgCommand(PgSession& session);

}  // namespace brivano::db
