#include "bytereader.h"

#include <algorithm>
#include <array>

#include <QIODevice>

#include "platform/syserrors.h"

void TByteReader::Read(void* buffer, std::int64_t count) {
    if (count <= 0)
        return;
    Require(count);
    auto* out = static_cast<char*>(buffer);
    std::int64_t done = 0;
    while (done < count) {
        const qint64 n = FStream.read(out + done, count - done);
        if (n <= 0)
            throw EReadError();
        done += n;
    }
    FPosition += count;
}

void TByteReader::Skip(std::int64_t count) {
    if (count <= 0)
        return;
    Require(count);
    if (!FStream.isSequential()) {
        if (!FStream.seek(FStream.pos() + count))
            throw EReadError();
        FPosition += count;
        return;
    }
    std::array<char, 4096> sink;
    while (count > 0) {
        const std::int64_t n = std::min<std::int64_t>(count, sink.size());
        Read(sink.data(), n);
        count -= n;
    }
}

std::optional<std::int64_t> TByteReader::Remaining() const {
    if (FStream.isSequential())
        return std::nullopt;
    return std::max<std::int64_t>(0, FStream.size() - FStream.pos());
}

void TByteReader::Require(std::int64_t count) const {
    if (const auto left = Remaining(); left && *left < count)
        throw EReadError();
}
