#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <span>
#include <vector>

namespace brivano::db {

// The databases whose habits Brivano knows. Each has one description of its
// rules, which its built-in provider and the ODBC path to it both follow;
// any other database is read as it is.
enum class DatabaseKind : std::uint8_t { Sqlite, PostgreSQL, MariaDB, Other };

// How far one read snapshot reaches: nowhere (the database has none, or it
// could not be had), one table's two readings, or the whole run.
enum class SnapshotScope : std::uint8_t { None, Table, Run };

// The statements of a database's read snapshot. Empty statements are steps
// the database does not take.
struct SnapshotRules {
    SnapshotScope scope = SnapshotScope::None;
    // Asked once a session is set up; an answer of `runScopeAnswer` makes a
    // Table scope reach the whole run (SQLite in WAL mode, whose readers
    // hold no writer off).
    const char* scopeQuery = "";
    const char* runScopeAnswer = "";
    // Opens the transaction that holds the snapshot, and ends it. Where
    // `beginByStatement` is false, a path that has its own way to open a
    // transaction (an ODBC driver's manual commit) takes that instead.
    const char* begin = "";
    bool beginByStatement = true;
    const char* end = "";
    // Around each table, so that a failed table does not end the run's
    // transaction (PostgreSQL aborts a transaction at its first error).
    const char* tableBegin = "";
    const char* tableEnd = "";
    const char* tableUndo = "";
    // After a failed table: 0 when the failure ended the transaction (a
    // deadlock's rollback), so the next table opens another.
    const char* inTransactionQuery = "";
};

// A column of a command, as counting its rows needs it.
struct CountedColumn {
    QString name;
    // An expression rather than a stored column: it may fail on a row that
    // a bare count never computes, so the count computes it too.
    bool computed = true;
};

// The statements that count a command's rows (`all`), and tell whether it
// has any (`first`, 0 or 1); both empty when the database cannot count them
// without reading them.
struct CountStatements {
    QString all;
    QString first;
};

// One database's rules for reading it: how a session is made read-only,
// how a run's snapshot begins and ends, how a command's rows are counted,
// how a name is quoted.
struct Dialect {
    DatabaseKind kind;
    // Statements a new session runs before any other, on every path: it
    // reads only, and writes values in the forms the readers expect.
    std::span<const char* const> sessionSettings;
    SnapshotRules snapshot;
    QChar quote;
    // Null for a database that counts nothing.
    CountStatements (*count)(QStringView command, const std::vector<CountedColumn>& columns);

    CountStatements countStatements(QStringView command,
                                    const std::vector<CountedColumn>& columns) const {
        return count != nullptr ? count(command, columns) : CountStatements{};
    }
    QString quotedName(QStringView name) const;
};

const Dialect& dialectOf(DatabaseKind kind);

// `command` without blanks and semicolons at its end, on lines of its own,
// so that it can stand inside parentheses: a comment at its end cannot
// swallow the closing one.
QString enclosedCommand(QStringView command);

// PostgreSQL takes a command whole as a derived table whose columns are
// named by position, c1, c2, ..., so that two columns of one name cannot
// clash: "(command) AS t(c1, ..., cN)".
QString positionalDerivedTable(QStringView command, int columns);
QString positionalColumnName(int position);

}  // namespace brivano::db
