// Fuzzes the reading of ".bmp" picture files (TBitmap, over Qt's image reader, which also takes
// any other format it recognises by content) with the size limit the program puts in front.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QImage>

#include "platform/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TBitmap bitmap;
    try {
        bitmap.LoadFromBytes(bytes);
    } catch (const EInvalidGraphic&) {
        if (!bitmap.Empty())
            std::abort(); // a refused file leaves the picture as it was
        return 0;
    }
    const QImage image = bitmap.ToImage();
    if (image.isNull() || qint64(image.width()) * image.height() > MaxGraphicPixels)
        std::abort();
    return 0;
}
