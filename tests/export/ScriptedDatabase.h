#pragma once

#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "db/Database.h"

namespace brivano::test {

// A database held in memory, for the faults that a real one will not produce
// on demand: a table that changes between the engine's two readings, a column
// property or value that raises, a result that cannot say where it stands.
// Everything else is tested against real databases.
struct ScriptedColumn {
    QString name;
    std::int16_t type = 0;
    std::int32_t definedSize = 0;
    std::int32_t attributes = 0;
};

struct ScriptedTable {
    std::vector<ScriptedColumn> columns;
    std::vector<std::vector<db::Value>> rows;
};

struct ScriptedFaults {
    // Runs before query number n (from 1) looks at the tables.
    std::function<void(int)> beforeQuery;
    std::set<int> failingQueries;              // these query numbers fail as the database would
    int failingTypeColumn = -1;                // this column's type raises
    std::pair<int, int> failingValue{-1, -1};  // (row, column) whose value raises
    // What that value raises.
    Error valueError{22003, QStringLiteral("Numeric value out of range"), "22003"};
    bool atEndFails = false;
    int moveNextFailsAtRow = -1;  // moving on from this row (from 0) raises
};

class ScriptedConnection : public db::Connection {
  public:
    std::map<QString, ScriptedTable> tables;
    ScriptedFaults faults;
    int queries = 0;

    void open(const QString&) override { open_ = true; }
    std::unique_ptr<db::ResultSet> execute(const QString& commandText) override;
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }

  private:
    bool open_ = false;
};

}  // namespace brivano::test
