// Faults that a real database does not produce on demand, forced through a
// scripted one: tables changing between the two readings, properties and
// values that raise, results that cannot move.
#include <gtest/gtest.h>

#include "ScriptedDatabase.h"
#include "WriterFixture.h"
#include "db/AdoTypes.h"

namespace brivano::test {
namespace {

db::Value integerValue(std::int64_t number) {
    db::Value value;
    value.kind = db::ValueKind::Integer;
    value.integer = number;
    return value;
}

db::Value textValue(const QString& text) {
    db::Value value;
    value.kind = db::ValueKind::Text;
    value.buffer = text.toUtf8();
    value.keepBuffer();
    return value;
}

// Articoli(Id integer, Codice char(6)) with `rows` rows: 1 'C1', 2 'C2', ...
ScriptedTable articoli(int rows) {
    ScriptedTable table;
    table.columns = {{"Id", db::adInteger, 4, db::adFldFixed},
                     {"Codice", db::adChar, 6, db::adFldFixed | db::adFldIsNullable}};
    for (int i = 1; i <= rows; ++i)
        table.rows.push_back({integerValue(i), textValue(QStringLiteral(" C%1 ").arg(i))});
    return table;
}

const QByteArray kArticoliColumns = "N,[Id],[Codice]\r\nT,3,129\r\nS,4,6\r\nA,16,48\r\n";

class WriterFaults : public WriterFixture {
  protected:
    WriterFaults() {
        database.open({});
        database.tables["Articoli"] = articoli(2);
    }
    QByteArray write(const QStringList& tables = {"Articoli"}) {
        return writeTables(&database, tables);
    }

    ScriptedConnection database;
};

TEST_F(WriterFaults, RowsAddedBetweenTheReadingsAreWrittenUnderTheFirstCount) {
    database.faults.beforeQuery = [this](int query) {
        if (query == 2)
            database.tables["Articoli"] = articoli(4);
    };
    EXPECT_EQ(write(), "I,Articoli,1,1\r\n" + kArticoliColumns +
                           "D,1,'C1'\r\nD,2,'C2'\r\nD,3,'C3'\r\nD,4,'C4'\r\n");
    EXPECT_EQ(counts, std::vector<std::int32_t>{4});
    EXPECT_EQ(host.tableStatus, QStringList({"Export Tabella Articoli; TotRecors: ",
                                             "Export Tabella Articoli; TotRecors: 2"}));
    EXPECT_EQ(host.rowsDoneCalls, (std::vector<std::int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(host.rowsStatus, QStringList{" Elaborati:4"});
    EXPECT_EQ(host.yields, 4);
}

TEST_F(WriterFaults, ATableEmptiedBetweenTheReadingsGetsItsHeaderAlone) {
    database.faults.beforeQuery = [this](int query) {
        if (query == 2)
            database.tables["Articoli"].rows.clear();
    };
    EXPECT_EQ(write(), "I,Articoli,1,1\r\n");
    EXPECT_EQ(counts, std::vector<std::int32_t>{0});
    EXPECT_TRUE(host.rowsStatus.isEmpty());
    EXPECT_TRUE(reported.isEmpty());
}

TEST_F(WriterFaults, ATableThatCannotBeReadAgainGetsNoBlock) {
    database.tables["Vuota"] = ScriptedTable{{{"X", db::adInteger, 4, 0}}, {}};
    database.faults.failingQueries = {2};
    EXPECT_EQ(write({"Articoli", "Vuota"}), "I,Vuota,0,0\r\n");
    EXPECT_EQ(counts, (std::vector<std::int32_t>{0, 0}));
    EXPECT_EQ(reported, QStringList{"no such table: Articoli"});
    // The first reading's count is shown once the second query has run,
    // also when it failed.
    EXPECT_EQ(host.tableStatus, QStringList({"Export Tabella Articoli; TotRecors: ",
                                             "Export Tabella Articoli; TotRecors: 2",
                                             "Export Tabella Vuota; TotRecors: "}));
}

TEST_F(WriterFaults, AResultThatCannotTellWhereItStandsEndsTheTable) {
    database.faults.atEndFails = true;
    EXPECT_EQ(write(), "");
    EXPECT_EQ(counts, std::vector<std::int32_t>{0});
    EXPECT_EQ(reported.size(), 1);
    EXPECT_EQ(host.yields, 0);
}

TEST_F(WriterFaults, AMoveThatFailsTakesTheWholeBlockBackAndReportsOnce) {
    // A header that promises three rows followed by two would be a lie:
    // the block goes, and the next table follows where it began.
    database.tables["Articoli"] = articoli(3);
    database.tables["Copia"] = articoli(1);
    database.faults.moveNextFailsAtRow = 1;
    EXPECT_EQ(write({"Articoli", "Copia"}),
              "I,Copia,1,0\r\nN,[Id],[Codice]\r\nT,3,129\r\nS,4,6\r\nA,16,48\r\nD,1,'C1'\r\n");
    EXPECT_EQ(counts, (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(written, (std::vector<bool>{false, true}));
    EXPECT_EQ(reported, QStringList{"Lost connection to the server"});
}

TEST_F(WriterFaults, ALostConnectionWhileReadingAValueEndsTheTable) {
    database.tables["Articoli"] = articoli(3);
    database.faults.failingValue = {2, 0};
    database.faults.valueError =
        Error(2013, QStringLiteral("Lost connection to server during query"), "08S01");
    EXPECT_EQ(write(), "");
    EXPECT_EQ(written, std::vector<bool>{false});
    EXPECT_EQ(reported, QStringList{"Lost connection to server during query"});
}

TEST_F(WriterFaults, AnUnreadableValueIsReportedAndWrittenEmpty) {
    database.faults.failingValue = {1, 0};
    EXPECT_EQ(write(), "I,Articoli,1,1\r\n" + kArticoliColumns + "D,1,'C1'\r\nD,,'C2'\r\n");
    EXPECT_EQ(reported, QStringList{"Numeric value out of range"});
    EXPECT_EQ(counts, std::vector<std::int32_t>{2});
}

TEST_F(WriterFaults, AnUnreadableTypeIsWrittenEmptyAndItsValuesUnquoted) {
    // Codice is 129 in the first table; in the second its type cannot be
    // read, and the first table's type must not carry over.
    database.tables["Copia"] = articoli(1);
    database.faults.beforeQuery = [this](int query) {
        if (query == 3)
            database.faults.failingTypeColumn = 1;
    };
    EXPECT_EQ(write({"Articoli", "Copia"}),
              "I,Articoli,1,1\r\n" + kArticoliColumns +
                  "D,1,'C1'\r\nD,2,'C2'\r\n"
                  "I,Copia,1,0\r\nN,[Id],[Codice]\r\nT,3,\r\nS,4,6\r\nA,16,48\r\nD,1, C1 \r\n");
    EXPECT_EQ(reported, QStringList{"Type of column 1 cannot be described"});
}

TEST_F(WriterFaults, AStopRequestEndsTheTableAtTheNextYield) {
    database.tables["Articoli"] = articoli(5);
    host.onYield = [this](int yield) { host.stop = yield == 2; };
    write();
    EXPECT_EQ(counts, std::vector<std::int32_t>{2});
    EXPECT_EQ(host.yields, 2);
}

TEST_F(WriterFaults, WithoutAConnectionEveryTableFailsWithoutABlock) {
    EXPECT_EQ(writeTables(nullptr, {"Articoli", "Vuota"}), "");
    EXPECT_EQ(reported.size(), 2);
    EXPECT_EQ(counts, (std::vector<std::int32_t>{0, 0}));
}

}  // namespace
}  // namespace brivano::test
