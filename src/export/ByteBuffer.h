#pragma once

#include <QByteArrayView>
#include <cstring>
#include <memory>

namespace brivano::exporter {

// A growing run of bytes for the export's hot path: appending is a bounds
// check and a copy, nothing more (QByteArray's appends, with their sharing
// and null-termination bookkeeping, cost more than formatting a value).
// It only grows; truncating keeps the room for the next line.
class ByteBuffer {
  public:
    ByteBuffer() = default;
    explicit ByteBuffer(qsizetype capacity) { reserve(capacity); }

    void reserve(qsizetype capacity) {
        if (capacity > capacity_)
            grow(capacity);
    }
    void append(const char* bytes, qsizetype count) {
        char* at = extend(count);
        // Most appends are a few bytes: copied inline, a library call
        // would cost more than the copy.
        if (count <= 8) {
            for (qsizetype i = 0; i < count; ++i)
                at[i] = bytes[i];
            return;
        }
        std::memcpy(at, bytes, static_cast<size_t>(count));
    }
    void append(QByteArrayView bytes) { append(bytes.data(), bytes.size()); }
    void append(char byte) {
        if (size_ == capacity_)
            grow(size_ + 1);
        data_[size_++] = byte;
    }
    // Makes room for `count` more bytes and returns where they go.
    char* extend(qsizetype count) {
        if (size_ + count > capacity_)
            grow(size_ + count);
        char* at = data_.get() + size_;
        size_ += count;
        return at;
    }
    void truncate(qsizetype size) { size_ = size; }
    void clear() { size_ = 0; }

    qsizetype size() const { return size_; }
    bool isEmpty() const { return size_ == 0; }
    char* data() { return data_.get(); }
    const char* data() const { return data_.get(); }
    QByteArrayView view() const { return {data_.get(), size_}; }
    QByteArrayView sliced(qsizetype from) const { return view().sliced(from); }

  private:
    void grow(qsizetype needed) {
        const qsizetype capacity = std::max(needed, capacity_ * 2);
        auto bigger = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(capacity));
        if (size_ > 0)
            std::memcpy(bigger.get(), data_.get(), static_cast<size_t>(size_));
        data_ = std::move(bigger);
        capacity_ = capacity;
    }

    std::unique_ptr<char[]> data_;
    qsizetype size_ = 0;
    qsizetype capacity_ = 0;
};

}  // namespace brivano::exporter
