// The settings file: any bytes as its contents, read as the load step and
// brivano-export read it.
#include <unistd.h>

#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "db/Error.h"
#include "settings/SettingsFile.h"

namespace {

QString scratchPath() {
    static const QString path = QStringLiteral("/tmp/brivano-fuzz-settings-%1.set").arg(::getpid());
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brivano;
    QFile file(scratchPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    file.close();
    try {
        settings::readConnectionStringFile(scratchPath(), 1252);
        settings::readConnectionStringFile(scratchPath(), 65001);
    } catch (const Error&) {
    }
    settings::firstSettingsItem(
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    return 0;
}
