#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

namespace brivano::db {

// Decodes narrow text into a QString that keeps its buffer from call to
// call. Bytes that are not valid UTF-8 are taken as Latin-1, so no byte of
// a value is lost to a replacement character.
class Utf8Decoder {
  public:
    Utf8Decoder() : decoder_(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless) {}

    void decode(QByteArrayView bytes, QString& out) {
        // UTF-8 never takes more UTF-16 units than it has bytes.
        out.resize(bytes.size());
        decoder_.resetState();
        QChar* end = decoder_.appendToBuffer(out.data(), bytes);
        if (decoder_.hasError()) {
            out = QString::fromLatin1(bytes);
            return;
        }
        out.resize(end - out.constData());
    }

  private:
    QStringDecoder decoder_;
};

}  // namespace brivano::db
