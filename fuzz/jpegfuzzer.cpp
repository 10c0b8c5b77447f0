// Fuzzes the JPEG loading path as the program walks it: the header with its EXIF orientation
// and size limit when the file is read, the small decoding for the main window's sample, and
// the full and the reduced decodings for printing (for pictures small enough to keep each run
// quick).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QImage>

#include "fuzzsupport.h"
#include "photo/exif.h"
#include "photo/jpegimage.h"

namespace {

// Larger pictures are decoded only at 1/8, as the sample's would be; a full decoding of a
// hundred million pixels only costs time here.
constexpr qint64 FullDecodePixels = 1 << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The EXIF reader on its own, with the input as an APP1 block.
    const int orientation = ExifOrientation(data, size);
    Require(orientation >= 1 && orientation <= 8);

    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TJPEGImage jpeg;
    try {
        jpeg.LoadFromBytes(bytes);
    } catch (const EInvalidGraphic&) {
        Require(jpeg.Empty()); // a refused file leaves the picture as it was
        return 0;
    }
    const TJPEGHeader& header = jpeg.Header();
    Require(qint64(header.StoredWidth) * header.StoredHeight <= MaxGraphicPixels);
    try {
        const QImage sample = jpeg.ToImageForSize(QSize(224, 168));
        Require(!sample.isNull());
        if (qint64(header.StoredWidth) * header.StoredHeight <= FullDecodePixels) {
            const QImage full = jpeg.ToImage();
            Require(full.size() == QSize(jpeg.Width(), jpeg.Height()));
            // Reduced while decoding, as for a printer: two thirds, on a second thread.
            const QSize limit(jpeg.Width() * 2 / 3, jpeg.Height() * 2 / 3);
            const QImage reduced = jpeg.ToImageWithin(limit);
            Require(reduced.size() == full.size().boundedTo(limit).expandedTo(QSize(1, 1)));
        }
    } catch (const EInvalidGraphic&) {
        // Damage past the header shows when the pixels are decoded.
    }
    return 0;
}
