#include "db/postgres/PgCopyStream.h"

#include <algorithm>
#include <cstring>

#include "db/postgres/PgBinary.h"
#include "db/postgres/PgErrors.h"
#include "texts/Texts.h"

namespace brivano::db {

namespace {

// The start of every binary COPY: a signature, flags, an extension area.
constexpr char kSignature[] = "PGCOPY\n\377\r\n";
constexpr int kSignatureBytes = 11;
constexpr int kHeaderBytes = kSignatureBytes + 8;
constexpr std::int16_t kTrailer = -1;
constexpr QStringView kProtocolViolation = u"08P01";

}  // namespace

PgCopyStream::PgCopyStream(PgSession& session, int columns)
    : session_(session), columns_(columns), fields_(static_cast<size_t>(columns)) {}

PgCopyStream::~PgCopyStream() {
    letGo(true);
}

void PgCopyStream::start(const QByteArray& copyStatement) {
    PGconn* connection = session_.use();
    session_.startStream(*this);
    state_ = State::Streaming;
    PgResult result(PQexecParams(connection, copyStatement.constData(), 0, nullptr, nullptr,
                                 nullptr, nullptr, 1));
    if (!result || PQresultStatus(result.get()) != PGRES_COPY_OUT) {
        state_ = State::Done;
        session_.endStream(*this);
        session_.fail(result.get());
    }
}

bool PgCopyStream::next() {
    while (state_ == State::Streaming && receive()) {
        int at = 0;
        if (!headerSeen_)
            at = skipHeader();
        if (at < length_ && parseRow(at))
            return true;
    }
    return false;
}

std::int64_t PgCopyStream::skipRest() {
    std::int64_t rows = 0;
    while (next())
        ++rows;
    return rows;
}

bool PgCopyStream::receive() {
    char* raw = nullptr;
    const int length = PQgetCopyData(session_.handle(), &raw, 0);
    buffer_.reset(raw);
    if (length > 0) {
        length_ = length;
        return true;
    }
    length_ = 0;
    // -1: the COPY is over, and its result says how it went; -2: the
    // connection failed, which the result says as well.
    finish();
    return false;
}

int PgCopyStream::skipHeader() {
    if (length_ < kHeaderBytes || std::memcmp(buffer_.get(), kSignature, kSignatureBytes) != 0)
        unexpectedRow();
    const std::uint32_t extension = pgUint32(buffer_.get() + kSignatureBytes + 4);
    if (extension > static_cast<std::uint32_t>(length_ - kHeaderBytes))
        unexpectedRow();
    headerSeen_ = true;
    return kHeaderBytes + static_cast<int>(extension);
}

bool PgCopyStream::parseRow(int at) {
    const char* data = buffer_.get();
    if (length_ - at < 2)
        unexpectedRow();
    const std::int16_t count = pgInt16(data + at);
    at += 2;
    if (count == kTrailer)
        return false;
    if (count != columns_)
        unexpectedRow();
    for (Span& span : fields_) {
        if (length_ - at < 4)
            unexpectedRow();
        span.length = pgInt32(data + at);
        span.offset = at + 4;
        if (span.length < -1 || span.length > length_ - span.offset)
            unexpectedRow();
        at = span.offset + std::max(span.length, 0);
    }
    if (at != length_)
        unexpectedRow();
    return true;
}

void PgCopyStream::finish() {
    state_ = State::Done;
    session_.endStream(*this);
    PGconn* connection = session_.handle();
    PgResult result(PQgetResult(connection));
    // Whatever follows the COPY's result is read too, so that the
    // connection is ready for the next statement.
    while (PgResult extra{PQgetResult(connection)}) {
    }
    if (!result || PQresultStatus(result.get()) != PGRES_COMMAND_OK)
        session_.fail(result.get());
}

void PgCopyStream::unexpectedRow() {
    letGo(true);
    state_ = State::Done;
    throw Error(0, texts::kPgUnexpectedRow.toString(), kProtocolViolation.toString());
}

void PgCopyStream::letGo(bool drain) noexcept {
    if (state_ != State::Streaming)
        return;
    state_ = State::Abandoned;
    buffer_.reset();
    if (!drain)
        return;
    // Reading a large rest would take as long as the rest of the table:
    // the server is asked to stop instead. Its answer (the COPY cancelled,
    // or finished before the request arrived) is what was asked for, and
    // is dropped; only a lost connection is kept.
    session_.cancel();
    PGconn* connection = session_.handle();
    char* raw = nullptr;
    while (PQgetCopyData(connection, &raw, 0) > 0) {
        PQfreemem(raw);
        raw = nullptr;
    }
    while (PgResult result{PQgetResult(connection)}) {
    }
    session_.endStream(*this);
    session_.noteIfLost(pgConnectionError(connection, kPgConnectionBroken));
}

}  // namespace brivano::db
