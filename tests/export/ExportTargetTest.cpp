// Where an export cannot go, and what the operator reads about it; and the
// bytes that a stream holds back beyond memory's share.
#include "export/ExportTarget.h"

#include <sys/fsuid.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "db/Error.h"
#include "export/StreamedFile.h"

namespace brivano::exporter {
namespace {

// Root may create files in any folder: while this lives, the calling
// thread meets the file system's permissions as an ordinary user does.
class OrdinaryUser {
  public:
    OrdinaryUser() : root_(::geteuid() == 0) {
        if (root_) {
            ::setfsgid(kNobody);
            ::setfsuid(kNobody);
        }
    }
    ~OrdinaryUser() {
        if (root_) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
    }
    OrdinaryUser(const OrdinaryUser&) = delete;
    OrdinaryUser& operator=(const OrdinaryUser&) = delete;

  private:
    static constexpr int kNobody = 65534;
    bool root_;
};

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(ExportTarget, APlaceWhereNoExportCanGoIsNamedWithTheReason) {
    QTemporaryDir drive;
    // Open to others, so that only the folder under test keeps them out.
    ASSERT_TRUE(QFile::setPermissions(drive.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                        QFile::ExeOwner | QFile::ReadOther |
                                                        QFile::ExeOther));
    const QString root = drive.path() + u'/';
    const QString cannotCreate = QStringLiteral("Impossibile creare il file di esportazione ");
    const struct {
        const char* behaviour;
        QString path;
        std::function<void()> prepare;
        QString opening;  // what open() says, after the path
        bool refusedAhead;
    } cases[] = {
        {"a folder", root + "Cartella", [&] { QDir(root).mkdir("Cartella"); },
         QStringLiteral(" è una cartella"), true},
        {"a missing folder", root + "Manca/Export.txt", [] {},
         QStringLiteral(": File o cartella inesistente"), false},
        {"a read-only folder", root + "Chiusa/Export.txt",
         [&] {
             QDir(root).mkdir("Chiusa");
             QFile::setPermissions(root + "Chiusa", QFile::ReadOwner | QFile::ExeOwner |
                                                        QFile::ReadOther | QFile::ExeOther);
         },
         QStringLiteral(": Permesso negato"), false},
        {"a file where a folder should be", root + "Piano/Export.txt",
         [&] {
             QFile file(root + "Piano");
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
         },
         QStringLiteral(": Un elemento del percorso non è una cartella"), true},
        {"a loop of symbolic links", root + "Giro",
         [&] {
             ASSERT_TRUE(QFile::link(root + "Tondo", root + "Giro"));
             ASSERT_TRUE(QFile::link(root + "Giro", root + "Tondo"));
         },
         QStringLiteral(": Troppi collegamenti simbolici"), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.behaviour);
        c.prepare();
        const QString expected =
            c.opening.startsWith(u':')
                ? cannotCreate + c.path + c.opening
                : QStringLiteral("Il file di esportazione ") + c.path + c.opening;
        const OrdinaryUser user;
        try {
            ExportTarget::open(c.path);
            ADD_FAILURE() << "opened";
        } catch (const Error& error) {
            EXPECT_EQ(error.description().toStdString(), expected.toStdString());
        }
        EXPECT_EQ(ExportTarget::refusal(c.path).toStdString(),
                  c.refusedAhead ? expected.toStdString() : std::string());
    }
}

TEST(StreamedFile, ABlockBeyondMemorysShareIsTakenBackOrWrittenWhole) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("stream"));
    {
        QFile created(path);
        ASSERT_TRUE(created.open(QIODevice::WriteOnly));
    }
    std::error_code error;
    platform::File stream = platform::File::openStream(path, error);
    ASSERT_FALSE(error) << error.message();
    StreamedFile target(std::move(stream), path);

    const QByteArray big(StreamedFile::kHeldInMemory + 1000, 'x');
    target.write("before\r\n");
    target.beginBlock();
    target.write(big);
    target.write("taken back\r\n");
    target.discardBlock();
    target.beginBlock();
    target.write(big);
    target.write("kept\r\n");
    EXPECT_EQ(contentOf(path), "before\r\n");  // held back while the block is open
    target.endBlock();
    target.commit();
    EXPECT_EQ(contentOf(path), "before\r\n" + big + "kept\r\n");
}

}  // namespace
}  // namespace brivano::exporter
