// Connection strings as an operator may type them: attributes, quoting,
// braces and the provider they name.
#include <QString>
#include <cstddef>
#include <cstdint>

#include "db/ConnectionString.h"
#include "db/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brivano;
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    db::providerKind(text);
    db::connectionAttribute(text, u"Database");
    db::connectionAttribute(text, {u"Server", u"Host", u"Data Source"});
    static constexpr QStringView kKnown[] = {u"Database", u"Server", u"Pwd"};
    try {
        db::refuseUnknownKeys(text, kKnown, u"SQLite");
    } catch (const Error&) {
    }
    return 0;
}
