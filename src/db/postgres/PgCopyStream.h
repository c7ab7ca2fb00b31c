#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>
#include <vector>

#include "db/postgres/PgHandles.h"
#include "db/postgres/PgSession.h"

namespace brivano::db {

// The rows of a COPY ... TO STDOUT (FORMAT binary), one at a time: only the
// current row is held, so memory stays flat whatever the table's size. The
// stream ends with the server's verdict: a COPY that fails half-way raises
// its error, never a quiet end.
class PgCopyStream final : public PgStream {
  public:
    PgCopyStream(PgSession& session, int columns);
    ~PgCopyStream() override;
    PgCopyStream(const PgCopyStream&) = delete;
    PgCopyStream& operator=(const PgCopyStream&) = delete;

    // Runs the COPY statement; throws the server's error when it fails.
    void start(const QByteArray& copyStatement);
    // Moves to the next row; false at the end of the rows.
    bool next();
    // Reads the rest of the rows away; returns how many there were.
    std::int64_t skipRest();

    // The current row's field: its bytes, or null.
    bool isNull(int column) const { return fields_[static_cast<size_t>(column)].length < 0; }
    QByteArrayView field(int column) const {
        const Span& span = fields_[static_cast<size_t>(column)];
        return {buffer_.get() + span.offset, span.length};
    }

    // True once the session took the connection away from the stream.
    bool abandoned() const { return state_ == State::Abandoned; }

    void letGo(bool drain) noexcept override;

  private:
    enum class State : std::uint8_t { Idle, Streaming, Done, Abandoned };
    struct Span {
        int offset = 0;
        int length = -1;
    };

    // The next message of the COPY; false when the COPY is over.
    bool receive();
    // Reads the row in the message; false for the trailer that ends them.
    bool parseRow(int at);
    int skipHeader();
    void finish();
    [[noreturn]] void unexpectedRow();

    PgSession& session_;
    int columns_;
    PgCopyBuffer buffer_;
    int length_ = 0;
    std::vector<Span> fields_;
    State state_ = State::Idle;
    bool headerSeen_ = false;
};

}  // namespace brivano::db
