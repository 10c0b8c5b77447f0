// Fuzzes the bitmap readers: the bitmap file (as a picture file is read) and the packed DIB of
// the clipboard, then shows what was read, as drawing a picture does.
#include <cstddef>
#include <cstdint>

#include <QBuffer>

#include "dib/dibimage.h"
#include "dib/dibio.h"
#include "platform/exception.h"

namespace {

// Pictures up to this size are also turned into pixels; larger ones only cost time.
constexpr std::int64_t ShownPixels = 1 << 20;

void Show(const TDIBInfo& info) {
    if (std::int64_t{info.Width()} * info.Height() <= ShownPixels)
        DIBToImage(info);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        QByteArray copy = bytes;
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        Show(ReadDIBFile(buffer, false));
    } catch (const Exception&) {
        // Refusing damaged input with a message is the expected outcome.
    }
    try {
        Show(ReadPackedDIB(bytes.size() > 14 ? bytes.mid(14) : bytes, false));
    } catch (const Exception&) {
    }
    return 0;
}
