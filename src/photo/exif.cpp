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

// One entry of a TIFF directory: tag (2 bytes), type (2), count (4), value or offset (4).
struct TiffEntry {
    std::uint16_t Type = 0;
    std::uint32_t Count = 0;
    std::size_t ValueAt = 0; // where the value field lies
};

// The entry of `tag` in the first directory of a TIFF structure.
std::optional<TiffEntry> FindIfd0Entry(const TiffReader& tiff, std::uint16_t tag) {
    const auto ifd0 = tiff.U32(4);
    if (!ifd0)
        return std::nullopt;
    const auto count = tiff.U16(*ifd0);
    if (!count)
        return std::nullopt;
    for (std::uint32_t i = 0; i < *count; ++i) {
        const std::size_t entry = std::size_t(*ifd0) + 2 + std::size_t(i) * 12;
        const auto found = tiff.U16(entry);
        if (!found)
            break;
        if (*found != tag)
            continue;
        const auto type = tiff.U16(entry + 2);
        const auto n = tiff.U32(entry + 4);
        if (!type || !n)
            return std::nullopt;
        return TiffEntry{*type, *n, entry + 8};
    }
    return std::nullopt;
}

int TiffOrientation(const std::uint8_t* data, std::size_t size) {
    TiffReader tiff(data, size);
    if (!tiff.ReadByteOrder())
        return ExifUpright;
    const auto entry = FindIfd0Entry(tiff, 0x0112);
    if (!entry || entry->Type != 3) // a SHORT, at the start of the value field
        return ExifUpright;
    const auto value = tiff.U16(entry->ValueAt);
    if (!value || *value < 1 || *value > 8)
        return ExifUpright;
    return *value;
}

constexpr char ExifSignature[] = {'E', 'x', 'i', 'f', 0, 0};

bool StartsWithExifSignature(const std::uint8_t* data, std::size_t size) {
    return data != nullptr && size >= sizeof ExifSignature &&
           std::memcmp(data, ExifSignature, sizeof ExifSignature) == 0;
}

} // namespace

int ExifOrientation(const std::uint8_t* data, std::size_t size) {
    if (!StartsWithExifSignature(data, size))
        return ExifUpright;
    return TiffOrientation(data + sizeof ExifSignature, size - sizeof ExifSignature);
}

int ExifBlockOrientation(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr)
        return ExifUpright;
    if (StartsWithExifSignature(data, size))
        return ExifOrientation(data, size);
    return TiffOrientation(data, size);
}

QByteArray TiffIccProfile(const QByteArray& file) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(file.constData());
    TiffReader tiff(data, static_cast<std::size_t>(file.size()));
    if (!tiff.ReadByteOrder())
        return {};
    const auto entry = FindIfd0Entry(tiff, 34675);
    // UNDEFINED (7) or BYTE (1) bytes; more than four of them lie at the offset given.
    if (!entry || (entry->Type != 7 && entry->Type != 1) || entry->Count <= 4)
        return {};
    const auto offset = tiff.U32(entry->ValueAt);
    if (!offset || *offset > std::size_t(file.size()) ||
        std::size_t(file.size()) - *offset < entry->Count)
        return {};
    return file.mid(qsizetype(*offset), qsizetype(entry->Count));
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
