#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <system_error>

// The file operations that the export file's targets and its reader need.
// A failure comes back as the system's error (an errno number on Linux; on
// Windows the common GetLastError() numbers as the errno numbers they mean,
// any other as itself), never as a message: the caller knows what it was
// doing and says so in the operator's words.
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

// A new file written beside `destination` that takes its place only when
// it is finished, so that a failed or abandoned export leaves the old file
// as it was. It gets the permissions of the file it replaces (those of any
// new file when there is none), and is removed when dropped before it took
// the destination's place.
class ReplacementFile {
  public:
    ReplacementFile() = default;
    ~ReplacementFile();
    ReplacementFile(ReplacementFile&& other) noexcept;
    ReplacementFile& operator=(ReplacementFile&& other) noexcept;

    // An empty ReplacementFile, with `error` set, when the file cannot be
    // created.
    static ReplacementFile create(const QString& destination, std::error_code& error);

    [[nodiscard]] std::error_code write(QByteArrayView bytes) { return file_.write(bytes); }
    [[nodiscard]] std::error_code truncate(std::int64_t size) { return file_.truncate(size); }
    // Puts the bytes on the disk and closes the file: a crash after the
    // replacement then finds either file whole, never an empty new one.
    [[nodiscard]] std::error_code finishWriting();
    // The finished file takes the destination's place.
    [[nodiscard]] std::error_code replaceDestination();
    // Closes and removes the new file unless it took the destination's
    // place already.
    void discard() noexcept;

  private:
    File file_;
    QString destination_;
    QString temporary_;  // empty once replaced or removed
};

}  // namespace brivano::platform
