#include "export/ExportTarget.h"

#include <QDir>

#include "db/Error.h"
#include "export/ReplacedFile.h"
#include "export/StreamedFile.h"
#include "platform/Files.h"
#include "texts/Texts.h"

namespace brivano::exporter {
namespace {

constexpr QStringView kStandardOutput = u"-";

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString cannotCreate(const QString& path, std::error_code error) {
    return texts::withReason(texts::cannotCreateExportFile(shown(path)), error.value());
}

[[noreturn]] void failCreating(const QString& path, std::error_code error) {
    throw Error(error.value(), cannotCreate(path, error));
}

// Where an export to `path` goes (a symbolic link followed), and what is
// there. Throws Error for what no export can replace.
struct Place {
    QString destination;
    platform::PathKind kind;
};

Place place(const QString& path) {
    std::error_code error;
    const QString destination = platform::finalPath(path, error);
    if (error)
        failCreating(path, error);
    const platform::PathStatus status = platform::pathStatus(destination);
    switch (status.kind) {
        case platform::PathKind::Folder:
            throw Error(status.error.value(), texts::exportFileIsFolder(shown(path)));
        case platform::PathKind::Other:
            throw Error(0, texts::exportFileIsNoFile(shown(path)));
        case platform::PathKind::Unreachable:
            failCreating(path, status.error);
        case platform::PathKind::Stream:
        case platform::PathKind::Missing:
        case platform::PathKind::File:
            break;
    }
    return {destination, status.kind};
}

}  // namespace

QString ExportTarget::refusal(const QString& path) {
    if (path == kStandardOutput)
        return {};
    // A loop of links is refused here like any other reason: brivano-export
    // asks before anything else and has no one to catch an Error.
    try {
        place(path);
    } catch (const Error& error) {
        return error.description();
    }
    return {};
}

platform::FileLock ExportTarget::lock(const QString& path) {
    if (path == kStandardOutput)
        return {};
    const Place where = place(path);
    if (where.kind == platform::PathKind::Stream)
        return {};
    platform::FileLock::Outcome outcome = platform::FileLock::Outcome::Failed;
    std::error_code error;
    platform::FileLock lock =
        platform::FileLock::tryTake(platform::lockPathFor(where.destination), outcome, error);
    if (outcome == platform::FileLock::Outcome::Busy)
        throw Error(0, texts::exportFileInUse(shown(path)));
    if (outcome != platform::FileLock::Outcome::Taken)
        failCreating(path, error);
    // With the lock held no other run writes beside the file: a hidden new
    // file there is one that a killed run left.
    platform::removeAbandonedReplacements(where.destination);
    return lock;
}

std::unique_ptr<ExportTarget> ExportTarget::open(const QString& path) {
    if (path == kStandardOutput)
        return std::make_unique<StreamedFile>(platform::File::standardOutput(),
                                              QStringLiteral("-"));
    const Place where = place(path);
    if (where.kind == platform::PathKind::Stream) {
        std::error_code error;
        platform::File stream = platform::File::openStream(where.destination, error);
        if (error)
            failCreating(path, error);
        return std::make_unique<StreamedFile>(std::move(stream), path);
    }
    return std::make_unique<ReplacedFile>(where.destination, path);
}

}  // namespace brivano::exporter
