// Exact reads from a stream: a read either delivers every byte asked for or raises EReadError,
// and a read or skip that the stream's known size cannot satisfy is refused before it starts.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>

class QIODevice;

class TByteReader {
  public:
    explicit TByteReader(QIODevice& stream) : FStream(stream) {}

    void Read(void* buffer, std::int64_t count);
    void Skip(std::int64_t count);
    /// Bytes left, when the stream knows its size.
    std::optional<std::int64_t> Remaining() const;
    /// Raises EReadError now when fewer than `count` bytes are left, so that nothing is
    /// allocated for data that is not there.
    void Require(std::int64_t count) const;
    /// Bytes consumed so far.
    std::int64_t Position() const { return FPosition; }

  private:
    QIODevice& FStream;
    std::int64_t FPosition = 0;
};

inline std::uint16_t LE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t LE32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

inline void PutLE16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void PutLE32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
