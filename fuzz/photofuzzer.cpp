// Fuzzes the loading path of the photo formats read through photocodec.h as the program walks
// it: the header with its orientation, colour profile and size limit when the file is read,
// the thumbnail shown while a large photo decodes, the small decoding for the main window's
// sample, the full one and the one reduced for a
// printer (for pictures small enough to keep each run quick). One source, built once per
// reader (fuzz-png, fuzz-gif, fuzz-tiff, fuzz-webp, fuzz-heif), each with a corpus of its own
// format; the content decides the reader, so each target also reaches the others.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QImage>

#include "fuzzsupport.h"
#include "photo/photoimage.h"

namespace {

constexpr qint64 FullDecodePixels = 1 << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TPhotoImage photo;
    try {
        photo.LoadFromBytes(bytes);
    } catch (const EInvalidGraphic& e) {
        Require(photo.Empty() && !e.Message().isEmpty()); // a refused file changes nothing
        return 0;
    }
    const QSize largest = photo.Header().LargestSize();
    Require(qint64(largest.width()) * largest.height() <= MaxGraphicPixels);
    Require(photo.Width() > 0 && photo.Height() > 0);
    if (qint64(largest.width()) * largest.height() > FullDecodePixels)
        return 0;
    // The thumbnail a file carries (a HEIF file's): the photo's shape, far fewer pixels.
    const QImage thumbnail = photo.Thumbnail();
    Require(thumbnail.isNull() || (thumbnail.format() == QImage::Format_RGB32 &&
                                   4 * qint64(thumbnail.width()) * thumbnail.height() <=
                                       qint64(photo.Width()) * photo.Height() * 105 / 100));
    try {
        const QImage sample = photo.ToImageForSize(QSize(224, 168));
        Require(!sample.isNull() && sample.width() <= photo.Width() &&
                sample.height() <= photo.Height());
        const QImage full = photo.ToImage();
        Require(full.size() == QSize(photo.Width(), photo.Height()));
        Require(full.format() == QImage::Format_RGB32);
        const QSize limit(photo.Width() * 2 / 3, photo.Height() * 2 / 3);
        const QImage reduced = photo.ToImageWithin(limit);
        Require(reduced.size() == full.size().boundedTo(limit).expandedTo(QSize(1, 1)));
    } catch (const EInvalidGraphic& e) {
        Require(!e.Message().isEmpty()); // damage past the header shows when decoding
    }
    return 0;
}
