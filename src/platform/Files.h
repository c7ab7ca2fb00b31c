#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <system_error>

// The file operations that the export file's targets and its reader need.
// A failure comes back as the system's error (an errno number on Linux, a
// GetLastError() number on Windows), never as a message: the caller knows
// what it was doing and says so in the operator's words.
namespace brivano::platform {

// What a path names, its symbolic links followed.
enum class PathKind {
    Missing,      // nothing there yet (perhaps not even its folder)
    Unreachable,  // cannot be looked at; `error` says why
    File,         // a regular file
    Stream,       // a character device or a FIFO, written straight through
    Folder,
    Other,  // a socket, a block device
};

struct PathStatus {
    PathKind kind = PathKind::Missing;
    // Why it is missing, unreachable or of no use as a file (a folder).
    std::error_code error;
};

PathStatus pathStatus(const QString& path);

// The path at which a chain of symbolic links from `path` ends, which need
// not exist yet (a link to a file still to be written); `path` itself when
// it is no link. Sets `error` when the chain is too long to follow.
QString finalPath(const QString& path, std::error_code& error);

// An open file of the system, closed when it goes (quietly: close() says
// whether closing went well).
class File {
  public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;

    // The process's standard output, written like a file; close() only
    // lets it go.
    static File standardOutput();
    // A character device or a FIFO, opened for writing (a terminal never
    // becomes the program's controlling one).
    static File openStream(const QString& path, std::error_code& error);
    // A file read once from start to end; the system is told so.
    static File openForSequentialReading(const QString& path, std::error_code& error);
    // A regular file opened for reading without ever waiting: a FIFO with
    // no writer does not hold the caller. A folder fails as a folder does
    // (EISDIR), a FIFO, a device or a socket with an error equal to
    // std::errc::invalid_argument.
    static File openRegularForReading(const QString& path, std::error_code& error);
    // A file with no name in the temporary folder, for bytes held back; it
    // is gone when closed.
    static File openScratch(std::error_code& error);

    bool isOpen() const { return handle_ != kNoHandle; }

    // All of `bytes`, through short writes and interrupted calls.
    [[nodiscard]] std::error_code write(QByteArrayView bytes);
    // Up to `capacity` bytes into `into`; `count` is 0 at the end of the file.
    [[nodiscard]] std::error_code read(char* into, qsizetype capacity, qsizetype& count);
    // Cuts the file to `size` bytes; the next write goes there.
    [[nodiscard]] std::error_code truncate(std::int64_t size);
    // The next read or write starts at `offset`.
    [[nodiscard]] std::error_code seek(std::int64_t offset);
    // What was written, on the disk.
    [[nodiscard]] std::error_code sync();
    // Some file systems report a failed write only here.
    [[nodiscard]] std::error_code close();

  private:
    friend class ReplacementFile;
    static constexpr std::intptr_t kNoHandle = -1;

    File(std::intptr_t handle, bool owned) : handle_(handle), owned_(owned) {}

    // A descriptor on Linux, a HANDLE on Windows.
    std::intptr_t handle_ = kNoHandle;
    bool owned_ = true;
};

// The companions that live beside a destination while it is written: the
// lock file that keeps a second writer out, and the hidden name under which
// a new file waits to replace it. A file of the name "Export.txt" has
// ".Export.txt.brivano-lock" and ".Export.txt.brivano-" + six letters or
// digits.
QString lockPathFor(const QString& destination);
// The hidden name with its own six characters `unique` (or mkstemp's
// "XXXXXX", to be filled in).
QString hiddenReplacementPath(const QString& destination, QStringView unique);
bool isHiddenReplacementOf(const QString& destination, const QString& fileName);
// Removes the plain files beside `destination` that have the hidden name of
// its replacements. Only for the holder of the destination's lock (see
// FileLock, lockPathFor): no other writer can then be at work, so every
// such file was left by one that ended before renaming it. One that cannot
// be removed stays, as harmless as before.
void removeAbandonedReplacements(const QString& destination);

// A new file written beside `destination` that takes its place only when
// it is finished, so that a failed, abandoned or killed export leaves the
// old file as it was. Where the system allows it the file has no name at
// all while it is written (Linux's O_TMPFILE), so that a killed writer
// leaves nothing behind; elsewhere it has a hidden name (see
// isHiddenReplacementOf) that the destination's next writer removes. It
// gets the permissions of the file it replaces (those of any new file when
// there is none), and is removed when dropped before it took the
// destination's place. Its writer holds the destination's lock.
class ReplacementFile {
  public:
    // How the new file is known while it is written.
    enum class Naming {
        Unnamed,  // no name where the system allows it, a hidden name elsewhere
        Hidden,   // a hidden name always, as on a file system without unnamed files
    };

    ReplacementFile() = default;
    ~ReplacementFile();
    ReplacementFile(ReplacementFile&& other) noexcept;
    ReplacementFile& operator=(ReplacementFile&& other) noexcept;

    // An empty ReplacementFile, with `error` set, when the file cannot be
    // created.
    static ReplacementFile create(const QString& destination, std::error_code& error,
                                  Naming naming = Naming::Unnamed);

    [[nodiscard]] std::error_code write(QByteArrayView bytes) { return file_.write(bytes); }
    [[nodiscard]] std::error_code truncate(std::int64_t size) { return file_.truncate(size); }
    // Puts the bytes on the disk, gives the file its hidden name if it had
    // none, and closes it: a crash after the replacement then finds either
    // file whole, never an empty new one.
    [[nodiscard]] std::error_code finishWriting();
    // The finished file takes the destination's place, in one step: a
    // reader sees the old file or the new one, never neither.
    [[nodiscard]] std::error_code replaceDestination();
    // Puts the folder's changed entry on the disk, so that the replacement
    // outlives a crash (without it the old file may come back). Once the
    // destination was replaced; a failure here leaves the new file in place.
    [[nodiscard]] std::error_code syncFolder();
    // Closes and removes the new file unless it took the destination's
    // place already.
    void discard() noexcept;

  private:
    File file_;
    QString destination_;
    QString temporary_;  // its hidden name while it has one
};

}  // namespace brivano::platform
