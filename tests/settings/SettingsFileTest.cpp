#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <optional>

#include "platform/ToolPaths.h"
#include "settings/SettingsFile.h"
#include "texts/Error.h"

namespace brivano::settings {
namespace {

using platform::ToolPaths;

constexpr int kWesternCodePage = 1252;

// A drive root under a temporary folder, with the two settings files
// written (or not) as each test needs.
class SettingsDrive {
  public:
    SettingsDrive() : paths_(root_.path()) {}

    const ToolPaths& paths() const { return paths_; }

    static void write(const QString& path, const QByteArray& bytes) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    void writeFirst(const QByteArray& bytes) const { write(paths_.settingsFile(), bytes); }
    void writeFallback(const QByteArray& bytes) const {
        write(paths_.fallbackSettingsFile(), bytes);
    }
    QString read() const { return readConnectionString(paths_, kWesternCodePage); }

  private:
    QTemporaryDir root_;
    ToolPaths paths_;
};

TEST(SettingsFile, FirstItemFollowsTheSequentialInputRules) {
    const struct {
        const char* behaviour;
        QByteArray bytes;
        QString expected;
    } cases[] = {
        {"whole line", "Driver=SQLite3;Database=/d/a.db\r\n", "Driver=SQLite3;Database=/d/a.db"},
        {"no line end", "DSN=Paghe;UID=sa", "DSN=Paghe;UID=sa"},
        {"unquoted comma ends it", "DSN=Paghe;PWD=a,b\r\n", "DSN=Paghe;PWD=a"},
        {"quoted comma kept", "\"DSN=Paghe;PWD=a,b\",x\r\n", "DSN=Paghe;PWD=a,b"},
        {"after closing quote ignored", "\"DSN=P\" tail\r\n", "DSN=P"},
        {"leading blanks skipped", "   \tDSN=P\r\n", "DSN=P"},
        {"blanks in quotes kept", "  \" DSN=P \"\r\n", " DSN=P "},
        {"trailing blanks dropped", "DSN=P  \t\r\n", "DSN=P"},
        {"second line ignored", "DSN=First\r\nDSN=Second\r\n", "DSN=First"},
        {"line feed alone ends line", "DSN=First\nDSN=Second\n", "DSN=First"},
        {"empty file", "", ""},
        {"empty first line", "\r\nDSN=Second\r\n", ""},
        {"blank first line", "   \nDSN=Second\n", ""},
        {"leading comma", "  ,DSN=P\r\n", ""},
        {"quote inside unquoted item", "DSN=P;PWD=a\"b\r\n", "DSN=P;PWD=a\"b"},
        {"unclosed quote runs to line end", "\"DSN=P;PWD=a,b\r\nnext\"\r\n", "DSN=P;PWD=a,b"},
        {"empty quotes", "\"\",DSN=P\r\n", ""},
        {"ANSI text", "Database=/d/citt\xE0.db\r\n", QStringLiteral("Database=/d/citt\u00E0.db")},
        {"UTF-8 after mark",
         "\xEF\xBB\xBF"
         "Database=/d/citt\xC3\xA0.db\r\n",
         QStringLiteral("Database=/d/citt\u00E0.db")},
        {"mark alone", "\xEF\xBB\xBF", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.behaviour);
        SettingsDrive drive;
        drive.writeFirst(c.bytes);
        EXPECT_EQ(drive.read(), c.expected);
    }
}

TEST(SettingsFile, SecondFileIsReadOnlyWhenTheFirstCannotBeOpened) {
    enum class First { Missing, Folder, Empty, Written };
    const struct {
        const char* behaviour;
        First first;
        std::optional<QByteArray> fallback;
        QString expected;
    } cases[] = {
        {"only the second exists", First::Missing, "DSN=Second\r\n", "DSN=Second"},
        {"both exist: the first wins", First::Written, "DSN=Second\r\n", "DSN=First"},
        {"neither exists", First::Missing, std::nullopt, ""},
        {"first unreadable", First::Folder, "DSN=Second\r\n", "DSN=Second"},
        {"first unreadable, no second", First::Folder, std::nullopt, ""},
        {"first empty: second not looked at", First::Empty, "DSN=Second\r\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.behaviour);
        SettingsDrive drive;
        switch (c.first) {
            case First::Missing:
                break;
            case First::Folder:
                // Root reads any file, so a folder in its place is what
                // makes the open fail.
                ASSERT_TRUE(QDir().mkpath(drive.paths().settingsFile()));
                break;
            case First::Empty:
                drive.writeFirst("");
                break;
            case First::Written:
                drive.writeFirst("DSN=First\r\n");
                break;
        }
        if (c.fallback)
            drive.writeFallback(*c.fallback);
        EXPECT_EQ(drive.read(), c.expected);
    }
}

TEST(SettingsFile, AFirstLineOfUpTo64KiBIsReadAndALongerOneRefused) {
    constexpr qsizetype kMost = qsizetype{64} << 10;
    const QByteArray longest = "DSN=" + QByteArray(kMost - 4, 'x');
    SettingsDrive drive;
    drive.writeFirst(longest + "\r\n" + QByteArray(kMost, 'y'));
    EXPECT_EQ(drive.read(), QString::fromLatin1(longest));
    // A line with no end that fills the file counts the same.
    drive.writeFirst(longest);
    EXPECT_EQ(drive.read(), QString::fromLatin1(longest));

    drive.writeFirst(longest + "x\r\n");
    EXPECT_EQ(drive.read(), QString());
    try {
        readConnectionStringFile(drive.paths().settingsFile(), kWesternCodePage);
        ADD_FAILURE() << "a line of 64 KiB and one byte was read";
    } catch (const Error& error) {
        EXPECT_EQ(error.description(),
                  QStringLiteral("Impossibile leggere il file delle impostazioni %1: la prima "
                                 "riga supera i 65536 byte: non è una stringa di connessione")
                      .arg(drive.paths().settingsFile()));
    }
}

TEST(SettingsFile, AFolderGivenByNameIsRefusedWithItsReason) {
    QTemporaryDir folder;
    try {
        readConnectionStringFile(folder.path(), kWesternCodePage);
        ADD_FAILURE() << "a folder was read";
    } catch (const Error& error) {
        EXPECT_EQ(
            error.description(),
            QStringLiteral("Impossibile leggere il file delle impostazioni %1: È una cartella")
                .arg(folder.path()));
    }
}

TEST(SettingsFile, ReadsInTheCodePageGivenAndNeverThrows) {
    SettingsDrive drive;
    drive.writeFirst("Database=/d/\xC7\xE0.db\r\n");
    EXPECT_EQ(readConnectionString(drive.paths(), 1251),
              QStringLiteral("Database=/d/\u0417\u0430.db"));
    // An unknown code page is a failure like any other: empty, no exception.
    EXPECT_EQ(readConnectionString(drive.paths(), 99999), QString());
    EXPECT_EQ(readConnectionString(ToolPaths(drive.paths().driveRoot() + "/none")), QString());
}

}  // namespace
}  // namespace brivano::settings
