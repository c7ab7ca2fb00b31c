#pragma once

#include <QByteArrayView>
#include <QString>
#include <memory>
#include <optional>

#include "db/Error.h"
#include "platform/FileLock.h"

namespace brivano::exporter {

// Where the bytes of one export go, and how a block of them is taken back.
//
// A plain file (new, or replaced) is written to a new file beside it
// (without a name where the system allows it), which takes its place only
// when the export is committed: a failed, abandoned or killed run leaves
// the previous file as it was. A symbolic link has its target replaced, so
// the link stays a link. A run holds the file's lock (lock()) from before
// it opens the target until it is done with it. A character device, a FIFO and
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
    // Takes the lock of the file that `path` names, so that a second run on
    // the same file is refused while the result lives, and removes what a
    // killed run left beside the file. Untaken for standard output, a device
    // or a FIFO, which nothing replaces. Throws Error when another run has
    // the file, and on the grounds on which open() does.
    static platform::FileLock lock(const QString& path);

    virtual void write(QByteArrayView bytes) = 0;
    virtual void beginBlock() = 0;
    virtual void endBlock() = 0;
    virtual void discardBlock() = 0;
    // Makes what was written final: the file takes the destination's place.
    // Throws Error when it could not; returns the failure of a step after
    // the replacement (the export is then in place, but not all went well).
    [[nodiscard]] virtual std::optional<Error> commit() = 0;
    // Throws away what was written, where that is possible; never throws.
    virtual void abandon() noexcept = 0;
};

}  // namespace brivano::exporter
