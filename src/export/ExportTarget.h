#pragma once

#include <QByteArrayView>
#include <QString>
#include <memory>

namespace brivano::exporter {

// Where the bytes of one export go, and how a block of them is taken back.
//
// A plain file (new, or replaced) is written to a temporary file beside it,
// which takes its place only when the export is committed: a failed or
// abandoned run leaves the previous file as it was. A symbolic link has its
// target replaced, so the link stays a link. A character device, a FIFO and
// standard output ("-") are written straight through, nothing created or
// renamed; a block is held back until it is whole (in memory, and beyond a
// limit in an unlinked scratch file), so that a block taken back never
// reached them.
//
// Every failure throws Error with the system's reason.
class ExportTarget {
  public:
    virtual ~ExportTarget() = default;

    // Opens the target for `path`. Throws Error when the path names a
    // folder, something that is neither a file, a device nor a FIFO, or a
    // place where nothing can be created.
    static std::unique_ptr<ExportTarget> open(const QString& path);
    // Why `path` cannot take an export, without touching anything; empty
    // when it can (as far as can be told before writing).
    static QString refusal(const QString& path);

    virtual void write(QByteArrayView bytes) = 0;
    virtual void beginBlock() = 0;
    virtual void endBlock() = 0;
    virtual void discardBlock() = 0;
    // Makes what was written final: the file takes the destination's place.
    virtual void commit() = 0;
    // Throws away what was written, where that is possible; never throws.
    virtual void abandon() noexcept = 0;
};

}  // namespace brivano::exporter
