#pragma once

#include <unistd.h>

#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// The fuzzed bytes as a file, for the readers that take a path: one file
// per fuzzing process, rewritten for every input.
inline QString writeScratchFile(const char* name, const std::uint8_t* data, std::size_t size) {
    static const QString path = QStringLiteral("/tmp/brivano-fuzz-%1-%2").arg(name).arg(::getpid());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    file.close();
    return path;
}
