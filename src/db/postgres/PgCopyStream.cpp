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
    PgResult result;
    try {
        result = session_.await(PQsendQueryParams(connection, copyStatement.constData(), 0, nullptr,
                                                  nullptr, nullptr, nullptr, 1));
    } catch (const Error&) {
        state_ = State::Done;
        session_.endStream(*this);
        throw;
    }
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
    int length = 0;
    try {
        length = session_.copyData(&raw);
    } catch (const Error&) {
        // The wait ran out or was stopped: the session has given the
        // connection up, and nothing more of the COPY is read.
        buffer_.reset();
        length_ = 0;
        state_ = State::Done;
        session_.endStream(*this);
        throw;
    }
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
    // Whatever follows the COPY's result is read too, so that the
    // connection is ready for the next statement.
    const PgResult result = session_.awaitRest();
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
    // A connection given up (a wait that ran out, a stop) is not read.
    if (session_.isLost()) {
        session_.endStream(*this);
        return;
    }
    session_.cancelAndWait();
    try {
        char* raw = nullptr;
        while (session_.copyData(&raw) > 0) {
            PQfreemem(raw);
            raw = nullptr;
        }
        session_.awaitRest();
    } catch (const Error&) {
        // The session has given the connection up; nothing is left to read.
    }
    session_.endStream(*this);
    session_.noteIfLost(pgConnectionError(session_.handle(), kPgConnectionBroken));
}

}  // namespace brivano::db
