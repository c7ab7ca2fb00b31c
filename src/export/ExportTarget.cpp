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

}  // namespace

QString ExportTarget::refusal(const QString& path) {
    if (path == kStandardOutput)
        return {};
    // A loop of links is refused here like any other reason: brivano-export
    // asks before anything else and has no one to catch an Error.
    std::error_code error;
    const QString destination = platform::finalPath(path, error);
    if (error)
        return cannotCreate(path, error);
    const platform::PathStatus status = platform::pathStatus(destination);
    switch (status.kind) {
        case platform::PathKind::Folder:
            return texts::exportFileIsFolder(shown(path));
        case platform::PathKind::Other:
            return texts::exportFileIsNoFile(shown(path));
        case platform::PathKind::Unreachable:
            return cannotCreate(path, status.error);
        case platform::PathKind::Missing:
        case platform::PathKind::File:
        case platform::PathKind::Stream:
            break;
    }
    return {};
}

std::unique_ptr<ExportTarget> ExportTarget::open(const QString& path) {
    if (path == kStandardOutput)
        return std::make_unique<StreamedFile>(platform::File::standardOutput(),
                                              QStringLiteral("-"));
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
        case platform::PathKind::Stream: {
            platform::File stream = platform::File::openStream(destination, error);
            if (error)
                failCreating(path, error);
            return std::make_unique<StreamedFile>(std::move(stream), path);
        }
        case platform::PathKind::Unreachable:
            failCreating(path, status.error);
        case platform::PathKind::Missing:
        case platform::PathKind::File:
            break;
    }
    return std::make_unique<ReplacedFile>(destination, path);
}

}  // namespace brivano::exporter
