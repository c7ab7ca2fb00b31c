// The export run against a real SQLite database, with the recording host
// playing the window.
#include "export/ExportRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "RecordingHost.h"
#include "SqliteDatabase.h"
#include "db/connect/ConnectionFactory.h"
#include "export/FileSizeLimit.h"
#include "support/ReadBack.h"

namespace brivano::test {
namespace {

using exporter::ExportHost;
using exporter::ExportRun;

// The real connection, counting what the run does with it.
class CountedConnection : public db::Connection {
  public:
    struct Counts {
        int made = 0;
        int opens = 0;
        int closes = 0;
        bool open = false;
    };
    CountedConnection(Counts& counts, const QString& text)
        : inner_(db::createConnection(text)), counts_(counts) {
        ++counts_.made;
    }
    void open(const QString& text) override {
        ++counts_.opens;
        inner_->open(text);
        counts_.open = true;
    }
    std::unique_ptr<db::ResultSet> execute(const QString& commandText) override {
        return inner_->execute(commandText);
    }
    void close() override {
        ++counts_.closes;
        inner_->close();
        counts_.open = false;
    }
    bool isOpen() const override { return inner_->isOpen(); }

  private:
    std::unique_ptr<db::Connection> inner_;
    Counts& counts_;
};

const QString kCompleted = "Esportazione Completata!";
const QString kNothingTicked = "Selezionare almeno una tabella";
const std::string kPrevious = "I,Precedente,0,0\r\n";
const std::string kArticoli =
    "I,Articoli,1,2\r\nN,[Id],[Nome]\r\nT,3,200\r\nS,4,20\r\nA,116,100\r\n"
    "D,1,vite\r\nD,2,dado\r\nD,3,rondella\r\n";
const std::string kClienti =
    "I,Clienti,0,1\r\nN,[Nome]\r\nT,200\r\nS,20\r\nA,100\r\nD,Rossi\r\nD,Bianchi\r\n";

const QString kCompletedWithErrors = "Esportazione completata con errori: vedere l'elenco";
const QString kNotDone = "Esportazione non eseguita: vedere l'elenco";

QString completion(const QString& table, int records) {
    return QStringLiteral("Export Tabella %1...Completato (%2 Records)").arg(table).arg(records);
}

QString notExported(const QString& table) {
    return QStringLiteral("Export Tabella %1...Non esportata").arg(table);
}

class ExportRunTest : public ::testing::Test {
  protected:
    ExportRunTest() {
        database.run({
            "CREATE TABLE Articoli (Id INTEGER, Nome VARCHAR(20))",
            "INSERT INTO Articoli VALUES (1, 'vite'), (2, 'dado'), (3, 'rondella')",
            "CREATE TABLE Clienti (Nome VARCHAR(20))",
            "INSERT INTO Clienti VALUES ('Rossi'), ('Bianchi')",
            "CREATE TABLE Vuota (Id INTEGER)",
        });
        host.connection = database.connectionString();
        writePrevious(exportPath());
    }

    QString exportPath() const { return folder.filePath("Export.txt"); }
    static void writePrevious(const QString& path) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kPrevious.c_str());
    }
    // The export file as a standard string, so that a difference reads as text.
    std::string exported() const {
        QFile file(exportPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
    }
    QStringList shownTexts() const {
        QStringList texts;
        for (const auto& message : host.shown)
            texts << message.text;
        return texts;
    }

    SqliteDatabase database;
    QTemporaryDir folder;
    RecordingHost host;
    CountedConnection::Counts connection;
    ExportRun run{host, exportPath(), [this](const QString& text) {
                      return std::make_unique<CountedConnection>(connection, text);
                  }};
};

TEST_F(ExportRunTest, WithoutATickedTableTheRunOnlyAsksForOne) {
    for (const bool grayed : {false, true}) {
        SCOPED_TRACE(grayed ? "only grayed boxes" : "no box ticked");
        host.shown.clear();
        host.messages = QStringList{"from an earlier run"};
        host.captions[3] = "Articoli";
        host.states[3] = grayed ? exporter::Grayed : exporter::Unticked;
        host.connection = "Driver=SQLite3;Database=/nowhere/else.db";
        run.RunExport();
        EXPECT_EQ(shownTexts(), QStringList{kNothingTicked});
        EXPECT_TRUE(host.messages.isEmpty());
        EXPECT_EQ(run.ConnString(), host.connection);
        EXPECT_TRUE(host.pointerChanges.empty());
        EXPECT_EQ(connection.made, 0);
        EXPECT_EQ(exported(), kPrevious);
    }
}

TEST_F(ExportRunTest, TablesAreExportedInSlotOrder) {
    host.tick(7, "Articoli");
    host.tick(2, "Clienti");
    run.RunExport();
    EXPECT_EQ(exported(), kClienti + kArticoli);
    EXPECT_TRUE(readsBackUnambiguously(exportPath()));
    EXPECT_EQ(host.messages, QStringList({completion("Clienti", 2), completion("Articoli", 3)}));
    EXPECT_EQ(shownTexts(), QStringList{kCompleted});
    EXPECT_EQ(run.TableName(), "Articoli");
    EXPECT_EQ(connection.opens, 1);
    EXPECT_EQ(connection.closes, 1);
    // Each table's status line is emptied when the table is done.
    EXPECT_EQ(host.tableStatus.last(), "");
    EXPECT_EQ(host.rowsStatus.last(), "");
}

TEST_F(ExportRunTest, TheSameCaptionTwiceIsExportedTwice) {
    host.tick(0, "Clienti");
    host.tick(1, "Clienti");
    run.RunExport();
    EXPECT_EQ(exported(), kClienti + kClienti);
    EXPECT_EQ(host.messages, QStringList({completion("Clienti", 2), completion("Clienti", 2)}));
}

TEST_F(ExportRunTest, AnEmptyTableIsCompletedWithNoRecords) {
    host.tick(0, "Vuota");
    run.RunExport();
    EXPECT_EQ(exported(), "I,Vuota,0,0\r\n");
    EXPECT_EQ(host.messages, QStringList{completion("Vuota", 0)});
}

TEST_F(ExportRunTest, AMissingTableIsReportedAndTheRunGoesOn) {
    host.tick(0, "Clienti");
    host.tick(1, "Mancante");
    host.tick(2, "Articoli");
    run.RunExport();
    EXPECT_EQ(exported(), kClienti + kArticoli);
    ASSERT_EQ(host.messages.size(), 4);
    EXPECT_EQ(host.messages[0], completion("Clienti", 2));
    EXPECT_TRUE(host.messages[1].startsWith("Mancante - ")) << host.messages[1].toStdString();
    EXPECT_TRUE(host.messages[1].contains("no such table")) << host.messages[1].toStdString();
    EXPECT_EQ(host.messages[2], notExported("Mancante"));
    EXPECT_EQ(host.messages[3], completion("Articoli", 3));
    EXPECT_EQ(shownTexts(), QStringList{kCompletedWithErrors});
}

TEST_F(ExportRunTest, WhenEveryTableFailsTheRunVisitsThemAllAndKeepsThePreviousFile) {
    host.tick(4, "Prima");
    host.tick(9, "Seconda");
    run.RunExport();
    ASSERT_EQ(host.messages.size(), 4);
    EXPECT_TRUE(host.messages[0].startsWith("Prima - "));
    EXPECT_EQ(host.messages[1], notExported("Prima"));
    EXPECT_TRUE(host.messages[2].startsWith("Seconda - "));
    EXPECT_EQ(host.messages[3], notExported("Seconda"));
    EXPECT_EQ(exported(), kPrevious);
    EXPECT_EQ(shownTexts(), QStringList{kNotDone});
}

TEST_F(ExportRunTest, AConnectionThatCannotOpenReadsNoTableAndReplacesNothing) {
    host.tick(0, "Clienti");
    host.connection = "Driver=No Such Driver;Database=x";
    run.RunExport();  // the window's first run: no table name yet
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_TRUE(host.messages[0].startsWith(" - ")) << host.messages[0].toStdString();
    EXPECT_EQ(shownTexts(), QStringList{kNotDone});
    EXPECT_EQ(connection.closes, 0);
    EXPECT_EQ(exported(), kPrevious);
    EXPECT_EQ(host.pointerChanges, (std::vector<bool>{true, false}));

    host.connection = database.connectionString();
    run.RunExport();
    EXPECT_EQ(host.messages, QStringList{completion("Clienti", 2)});

    // A later failure is reported under the table that the last run left.
    host.connection = "Driver=No Such Driver;Database=x";
    run.RunExport();
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_TRUE(host.messages[0].startsWith("Clienti - ")) << host.messages[0].toStdString();
    EXPECT_EQ(exported(), kClienti);
}

TEST_F(ExportRunTest, AnExportFileThatCannotBeCreatedStopsTheRunBeforeAnyTable) {
    const QString notAFolder = folder.filePath("plain-file");
    writePrevious(notAFolder);
    ExportRun blocked(host, notAFolder + "/Export.txt", [this](const QString& text) {
        return std::make_unique<CountedConnection>(connection, text);
    });
    host.tick(0, "Clienti");
    host.tick(1, "Articoli");
    blocked.RunExport();
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_TRUE(host.messages[0].startsWith(" - Impossibile creare il file di esportazione"))
        << host.messages[0].toStdString();
    EXPECT_TRUE(host.messages[0].endsWith(": Un elemento del percorso non è una cartella"))
        << host.messages[0].toStdString();
    EXPECT_EQ(shownTexts(), QStringList{kNotDone});
    EXPECT_EQ(connection.opens, 1);
    EXPECT_EQ(connection.closes, 1);
    EXPECT_TRUE(host.tableStatus.isEmpty());  // no table was read
}

TEST_F(ExportRunTest, AnExportFileThatCannotBeWrittenKeepsThePreviousOne) {
    if (!FileSizeLimit::available())
        GTEST_SKIP() << "this system has no file size limit for a process";
    host.tick(0, "Clienti");
    host.tick(1, "Articoli");
    host.tick(2, "Vuota");
    {
        FileSizeLimit limit(/*bytes=*/16);
        run.RunExport();
    }
    // The file fails with the first table's lines; the run stops there.
    ASSERT_EQ(host.messages.size(), 2);
    EXPECT_TRUE(
        host.messages[0].startsWith("Clienti - Impossibile scrivere il file di esportazione"))
        << host.messages[0].toStdString();
    EXPECT_TRUE(host.messages[0].endsWith(": File troppo grande"))
        << host.messages[0].toStdString();
    EXPECT_EQ(host.messages[1], notExported("Clienti"));
    EXPECT_EQ(shownTexts(), QStringList{kNotDone});
    EXPECT_EQ(exported(), kPrevious);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Export.txt"});
}

TEST_F(ExportRunTest, AStopRequestDiscardsTheUnfinishedFileWithoutAMessage) {
    host.tick(0, "Articoli");
    host.tick(1, "Clienti");
    host.onYield = [this](int yield) { host.stop = yield == 2; };
    run.RunExport();
    EXPECT_EQ(exported(), kPrevious);
    EXPECT_TRUE(host.shown.empty());
    EXPECT_EQ(connection.closes, 1);
    EXPECT_FALSE(connection.open);
    EXPECT_FALSE(host.waitPointer);
    EXPECT_EQ(host.yields, 2);
    EXPECT_FALSE(run.isRunning());
}

TEST_F(ExportRunTest, ThePointerWaitsUntilTheCompletionMessageIsClosed) {
    host.tick(0, "Vuota");
    run.RunExport();
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_TRUE(host.shown[0].waitPointer);
    EXPECT_EQ(host.pointerChanges, (std::vector<bool>{true, false}));
}

TEST_F(ExportRunTest, AStartDuringARunIsIgnored) {
    host.tick(0, "Articoli");
    host.onYield = [this](int) {
        EXPECT_TRUE(run.isRunning());
        run.RunExport();
    };
    run.RunExport();
    EXPECT_EQ(exported(), kArticoli);
    EXPECT_EQ(host.messages, QStringList{completion("Articoli", 3)});
    EXPECT_EQ(shownTexts(), QStringList{kCompleted});
    EXPECT_EQ(connection.opens, 1);
    EXPECT_FALSE(run.isRunning());
}

TEST_F(ExportRunTest, ASlotIsReadWhenTheLoopReachesIt) {
    host.tick(0, "Articoli");
    host.tick(1, "Clienti");
    host.onYield = [this](int yield) {
        if (yield == 1) {
            host.states[1] = exporter::Unticked;  // changed mind
            host.tick(5, "Vuota");                // and chose another
        }
    };
    run.RunExport();
    EXPECT_EQ(exported(), kArticoli + "I,Vuota,0,0\r\n");
    EXPECT_EQ(host.messages, QStringList({completion("Articoli", 3), completion("Vuota", 0)}));
}

}  // namespace
}  // namespace brivano::test
