#include "exif.h"

#include <cstring>
#include <optional>

#include <QTransform>

namespace {

// A TIFF structure in either byte order, read only inside its bounds.
class TiffReader {
  public:
    TiffReader(const std::uint8_t* data, std::size_t size) : FData(data), FSize(size) {}

    bool ReadByteOrder() {
        if (FSize < 8)
            return false;
        if (FData[0] == 'I' && FData[1] == 'I')
            FLittle = true;
        else if (FData[0] == 'M' && FData[1] == 'M')
            FLittle = false;
        else
            return false;
        return U16(2).value_or(0) == 42;
    }

    std::optional<std::uint16_t> U16(std::size_t at) const {
        if (at > FSize || FSize - at < 2)
            return std::nullopt;
        const std::uint8_t* p = FData + at;
        return static_cast<std::uint16_t>(FLittle ? p[0] | (p[1] << 8) : (p[0] << 8) | p[1]);
    }

    std::optional<std::uint32_t> U32(std::size_t at) const {
        if (at > FSize || FSize - at < 4)
            return std::nullopt;
        const std::uint8_t* p = FData + at;
        return FLittle ? std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                             std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24
                       : std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 |
                             std::uint32_t(p[2]) << 8 | std::uint32_t(p[3]);
    }

  private:
    const std::uint8_t* FData;
    std::size_t FSize;
    bool FLittle = true;
};

} // namespace

int ExifOrientation(const std::uint8_t* data, std::size_t size) {
    static constexpr char Signature[] = {'E', 'x', 'i', 'f', 0, 0};
    if (data == nullptr || size < sizeof Signature ||
        std::memcmp(data, Signature, sizeof Signature) != 0)
        return ExifUpright;
    TiffReader tiff(data + sizeof Signature, size - sizeof Signature);
    if (!tiff.ReadByteOrder())
        return ExifUpright;
    const auto ifd0 = tiff.U32(4);
    if (!ifd0)
        return ExifUpright;
    const auto count = tiff.U16(*ifd0);
    if (!count)
        return ExifUpright;
    // Each directory entry: tag (2), type (2), count (4), value or offset (4).
    for (std::uint32_t i = 0; i < *count; ++i) {
        const std::size_t entry = std::size_t(*ifd0) + 2 + std::size_t(i) * 12;
        const auto tag = tiff.U16(entry);
        if (!tag)
            break;
        if (*tag != 0x0112)
            continue;
        const auto type = tiff.U16(entry + 2);
        const auto value = tiff.U16(entry + 8); // a SHORT sits at the start of the value field
        if (type != std::uint16_t(3) || !value || *value < 1 || *value > 8)
            return ExifUpright;
        return *value;
    }
    return ExifUpright;
}

QImage ApplyExifOrientation(const QImage& image, int orientation) {
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    case 5: // transposed: stored rows become columns, the top-left pixel stays
        return image.transformed(QTransform().rotate(90)).mirrored(true, false);
    case 6:
        return image.transformed(QTransform().rotate(90));
    case 7: // transversed: transposed about the other diagonal
        return image.transformed(QTransform().rotate(270)).mirrored(true, false);
    case 8:
        return image.transformed(QTransform().rotate(270));
    default:
        return image;
    }
}
