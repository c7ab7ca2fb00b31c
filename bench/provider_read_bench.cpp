// Measures what a provider costs on its own, without the export file: it
// opens a connection string, counts a table and reads every value of every
// row through the data-access interface, as the export does, and prints the
// time, rows a second and peak memory.
//
//   provider-read-bench CONNECTION TABLE [RUNS]
#include <sys/resource.h>

#include <QElapsedTimer>
#include <QString>
#include <cstdio>
#include <cstdlib>

#include "db/connect/ConnectionFactory.h"

namespace {

using brivano::db::Connection;
using brivano::db::Value;
using brivano::db::ValueKind;

// Something of each value, so that reading it cannot be skipped.
std::uint64_t touch(const Value& value) {
    switch (value.kind) {
        case ValueKind::Integer:
            return static_cast<std::uint64_t>(value.integer);
        case ValueKind::Double:
        case ValueKind::Single:
            return static_cast<std::uint64_t>(value.real);
        case ValueKind::Timestamp:
            return static_cast<std::uint64_t>(value.date.day + value.time.nanosecond);
        default:
            return static_cast<std::uint64_t>(value.data.size());
    }
}

// One table read as the export reads it; returns the rows read.
std::int64_t readTable(Connection& connection, const QString& table, std::uint64_t& checksum) {
    const QString query = QStringLiteral("Select * from ") + table;
    connection.beginTableRead();
    const std::int32_t counted = connection.execute(query)->readAllRows().rows;
    auto rows = connection.execute(query);
    const int columns = rows->fieldCount();
    std::int64_t read = 0;
    for (; !rows->atEnd(); rows->moveNext(), ++read) {
        for (int k = 0; k < columns; ++k)
            checksum += touch(rows->field(k).value());
    }
    rows.reset();
    connection.endTableRead(true);
    if (read != counted)
        std::fprintf(stderr, "counted %d rows, read %lld\n", counted, static_cast<long long>(read));
    return read;
}

long peakRssKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s CONNECTION TABLE [RUNS]\n", argv[0]);
        return 2;
    }
    const QString connectionString = QString::fromLocal8Bit(argv[1]);
    const QString table = QString::fromLocal8Bit(argv[2]);
    const int runs = argc > 3 ? std::atoi(argv[3]) : 1;
    try {
        auto connection = brivano::db::createConnection(connectionString);
        for (int run = 1; run <= runs; ++run) {
            connection->open(connectionString);
            std::uint64_t checksum = 0;
            QElapsedTimer timer;
            timer.start();
            const std::int64_t rows = readTable(*connection, table, checksum);
            connection->close();
            const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
            std::printf(
                "run %d: %lld rows in %.3f s, %.0f rows/s, peak RSS %.1f MB (checksum %llu)\n", run,
                static_cast<long long>(rows), seconds, static_cast<double>(rows) / seconds,
                static_cast<double>(peakRssKilobytes()) / 1024.0,
                static_cast<unsigned long long>(checksum));
        }
    } catch (const brivano::Error& error) {
        std::fprintf(stderr, "error %s: %s\n", error.sqlState().toUtf8().constData(),
                     error.description().toUtf8().constData());
        return 1;
    }
    return 0;
}
