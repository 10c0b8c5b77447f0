// Fuzzes the reading of a HEIF item's rotation, mirroring and clean aperture from the file's
// boxes (heifitems.h), which reads the bytes of the file as they stand, and the turning and
// cutting of a small picture by what it read.
#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QImage>

#include "fuzzsupport.h"
#include "photo/heifitems.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QImage picture(8, 6, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (std::uint32_t item = 1; item <= 3; ++item) {
        const auto transforms = ReadHeifItemTransforms(bytes, item);
        if (!transforms)
            continue;
        const QImage seen = ApplyHeifTransforms(picture, QSize(16, 12), *transforms);
        // Turned and cut, never larger than the picture: a crop only takes away.
        Require(seen.isNull() || (seen.width() <= 8 && seen.height() <= 8 &&
                                  qint64(seen.width()) * seen.height() <= 48));
    }
    return 0;
}
