// The bitmap writer: file header, the 40-byte info header, the used part of the colour table
// and the pixel block as stored (compressed data stays compressed).
#include <array>
#include <cstring>
#include <new>

#include <QIODevice>

#include "bytereader.h"
#include "dibio.h"
#include "platform/syserrors.h"

namespace {

std::array<std::uint8_t, InfoHeaderSize> EncodeInfoHeader(const BITMAPINFOHEADER& h) {
    std::array<std::uint8_t, InfoHeaderSize> b{};
    PutLE32(b.data(), h.biSize);
    PutLE32(b.data() + 4, static_cast<std::uint32_t>(h.biWidth));
    PutLE32(b.data() + 8, static_cast<std::uint32_t>(h.biHeight));
    PutLE16(b.data() + 12, h.biPlanes);
    PutLE16(b.data() + 14, h.biBitCount);
    PutLE32(b.data() + 16, h.biCompression);
    PutLE32(b.data() + 20, h.biSizeImage);
    PutLE32(b.data() + 24, static_cast<std::uint32_t>(h.biXPelsPerMeter));
    PutLE32(b.data() + 28, static_cast<std::uint32_t>(h.biYPelsPerMeter));
    PutLE32(b.data() + 32, h.biClrUsed);
    PutLE32(b.data() + 36, h.biClrImportant);
    return b;
}

std::size_t TableSize(const TDIBInfo& info) {
    return static_cast<std::size_t>(info.ColorsUsed()) * sizeof(RGBQUAD);
}

void Write(QIODevice& stream, const void* data, std::size_t size) {
    if (size > 0 && stream.write(static_cast<const char*>(data), static_cast<qint64>(size)) !=
                        static_cast<qint64>(size))
        throw EWriteError();
}

} // namespace

void WriteDIBFile(const TDIBInfo& info, QIODevice& stream) {
    const std::size_t offBits = FileHeaderSize + InfoHeaderSize + TableSize(info);
    std::array<std::uint8_t, FileHeaderSize> fh{};
    PutLE16(fh.data(), 0x4D42); // "BM"
    PutLE32(fh.data() + 2, static_cast<std::uint32_t>(offBits + info.ImageSize()));
    PutLE32(fh.data() + 10, static_cast<std::uint32_t>(offBits));
    Write(stream, fh.data(), fh.size());
    const auto header = EncodeInfoHeader(info.Header);
    Write(stream, header.data(), header.size());
    Write(stream, info.ColorTable.data(), TableSize(info));
    Write(stream, info.Bits(), info.ImageSize());
}

QByteArray WritePackedDIB(const TDIBInfo& info) {
    const std::size_t table = TableSize(info);
    QByteArray data;
    try {
        data = QByteArray(static_cast<qsizetype>(InfoHeaderSize + table + info.ImageSize()),
                          Qt::Uninitialized);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(QStringLiteral("TVdInternalDIB.SaveToClipboardFormat: Out Of Memory"));
    }
    auto* out = reinterpret_cast<std::uint8_t*>(data.data());
    const auto header = EncodeInfoHeader(info.Header);
    std::memcpy(out, header.data(), header.size());
    std::memcpy(out + InfoHeaderSize, info.ColorTable.data(), table);
    if (info.ImageSize() > 0)
        std::memcpy(out + InfoHeaderSize + table, info.Bits(), info.ImageSize());
    return data;
}
