// The settings file: any bytes as its contents, read as the load step and
// brivano-export read it.
#include <QString>
#include <cstddef>
#include <cstdint>

#include "ScratchFile.h"
#include "db/Error.h"
#include "settings/SettingsFile.h"

namespace {}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brivano;
    const QString path = writeScratchFile("settings.set", data, size);
    try {
        settings::readConnectionStringFile(path, 1252);
        settings::readConnectionStringFile(path, 65001);
    } catch (const Error&) {
    }
    settings::firstSettingsItem(
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    return 0;
}
