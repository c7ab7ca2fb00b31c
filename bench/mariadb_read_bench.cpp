// Measures what reading a table costs the built-in MariaDB provider alone,
// without the export file: the engine's two readings of one table (the
// count, then every value of every row) in one snapshot, as the export
// makes them. Prints the times and the process's peak memory.
//
//   mariadb-read-bench CONNECTION-STRING TABLE [RUNS]
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>

#include "db/connect/ConnectionFactory.h"

namespace {

using brivano::db::Value;
using brivano::db::ValueKind;

// Something of every value, so that no reading can be left out.
std::uint64_t touch(const Value& value) {
    switch (value.kind) {
        case ValueKind::Null:
            return 1;
        case ValueKind::Integer:
        case ValueKind::Unsigned:
            return static_cast<std::uint64_t>(value.integer) ^ value.unsignedInteger;
        case ValueKind::Single:
        case ValueKind::Double:
            return static_cast<std::uint64_t>(value.real);
        case ValueKind::Date:
        case ValueKind::Time:
        case ValueKind::Timestamp:
            return static_cast<std::uint64_t>(value.date.day + value.time.second) +
                   value.time.nanosecond;
        default:
            return static_cast<std::uint64_t>(value.data.size());
    }
}

long peakRssKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void readOnce(brivano::db::Connection& connection, const QString& query) {
    QElapsedTimer clock;
    clock.start();
    connection.beginTableRead();
    std::int32_t counted = 0;
    {
        auto measured = connection.execute(query);
        if (!measured->atEnd())
            counted = measured->readAllRows().rows;
    }
    const qint64 countMs = clock.elapsed();
    std::uint64_t checksum = 0;
    std::int64_t rows = 0;
    auto rs = connection.execute(query);
    const int columns = rs->fieldCount();
    std::vector<brivano::db::Field*> fields;
    for (int k = 0; k < columns; ++k)
        fields.push_back(&rs->field(k));
    for (; !rs->atEnd(); rs->moveNext(), ++rows) {
        for (brivano::db::Field* field : fields)
            checksum += touch(field->value());
    }
    rs.reset();
    connection.endTableRead(true);
    const qint64 totalMs = clock.elapsed();
    std::printf(
        "rows %lld (counted %d), count %.3f s, values %.3f s, total %.3f s, "
        "peak RSS %.1f MB, checksum %llu\n",
        static_cast<long long>(rows), counted, countMs / 1000.0, (totalMs - countMs) / 1000.0,
        totalMs / 1000.0, peakRssKilobytes() / 1024.0, static_cast<unsigned long long>(checksum));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s CONNECTION-STRING TABLE [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 3 ? std::atoi(argv[3]) : 1;
    try {
        auto connection = brivano::db::createConnection();
        connection->open(QString::fromUtf8(argv[1]));
        const QString query = QStringLiteral("Select * from ") + QString::fromUtf8(argv[2]);
        for (int run = 0; run < runs; ++run)
            readOnce(*connection, query);
        connection->close();
    } catch (const brivano::Error& error) {
        std::fprintf(stderr, "error %ld [%s] %s\n", error.number(),
                     qUtf8Printable(error.sqlState()), qUtf8Printable(error.description()));
        return 1;
    }
    return 0;
}
