#include "heifitems.h"

#include <algorithm>
#include <cmath>

#include <QTransform>

namespace {

constexpr std::uint32_t FourCC(const char (&s)[5]) {
    return std::uint32_t(std::uint8_t(s[0])) << 24 | std::uint32_t(std::uint8_t(s[1])) << 16 |
           std::uint32_t(std::uint8_t(s[2])) << 8 | std::uint32_t(std::uint8_t(s[3]));
}

std::uint32_t U16(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 8 | p[1];
}
std::uint32_t U32(const std::uint8_t* p) {
    return U16(p) << 16 | U16(p + 2);
}

struct TBox {
    std::uint32_t Type = 0;
    const std::uint8_t* Payload = nullptr;
    std::size_t Size = 0;
};

// The boxes laid end to end in `data`, in order, as far as they are whole; `whole` says whether
// all of them were.
std::vector<TBox> Boxes(const std::uint8_t* data, std::size_t size, bool& whole) {
    std::vector<TBox> boxes;
    std::size_t at = 0;
    whole = true;
    while (at < size) {
        const std::size_t left = size - at;
        if (left < 8) {
            whole = false;
            break;
        }
        std::uint64_t length = U32(data + at);
        std::size_t header = 8;
        if (length == 1) { // a 64-bit length follows the type
            if (left < 16) {
                whole = false;
                break;
            }
            length = std::uint64_t(U32(data + at + 8)) << 32 | U32(data + at + 12);
            header = 16;
        } else if (length == 0) { // to the end of the file
            length = left;
        }
        if (length < header || length > left) {
            whole = false;
            break;
        }
        boxes.push_back({U32(data + at + 4), data + at + header, std::size_t(length) - header});
        at += std::size_t(length);
    }
    return boxes;
}

const TBox* Find(const std::vector<TBox>& boxes, std::uint32_t type) {
    const auto found = std::find_if(boxes.begin(), boxes.end(),
                                    [type](const TBox& box) { return box.Type == type; });
    return found == boxes.end() ? nullptr : &*found;
}

// The property a box of the item property container stands for; none when it is no
// transformative one. False when it is one but malformed.
bool ReadProperty(const TBox& box, std::vector<THeifTransform>& out) {
    if (box.Type == FourCC("irot") || box.Type == FourCC("imir")) {
        if (box.Size < 1)
            return false;
        THeifTransform t;
        t.Kind = box.Type == FourCC("irot") ? THeifTransform::Rotate : THeifTransform::Mirror;
        t.QuarterTurns = box.Payload[0] & 3;
        t.LeftRight = (box.Payload[0] & 1) != 0;
        out.push_back(t);
    } else if (box.Type == FourCC("clap")) {
        if (box.Size < 32)
            return false;
        THeifTransform t;
        t.Kind = THeifTransform::Crop;
        std::int64_t* fields[4] = {t.Width, t.Height, t.OffsetX, t.OffsetY};
        for (int k = 0; k < 4; ++k) {
            const std::uint32_t n = U32(box.Payload + 8 * k);
            const std::uint32_t d = U32(box.Payload + 8 * k + 4);
            // The size is unsigned, the offsets signed; a denominator of 0 is no number.
            fields[k][0] = k < 2 ? std::int64_t(n) : std::int64_t(std::int32_t(n));
            fields[k][1] = std::int64_t(d);
            if (d == 0 || d > 0x7FFF'FFFFu || (k < 2 && n > 0x7FFF'FFFFu))
                return false;
        }
        out.push_back(t);
    }
    return true;
}

} // namespace

std::optional<std::vector<THeifTransform>> ReadHeifItemTransforms(const QByteArray& file,
                                                                  std::uint32_t item) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(file.constData());
    bool whole = false;
    const std::vector<TBox> top = Boxes(data, std::size_t(file.size()), whole);
    const TBox* meta = Find(top, FourCC("meta"));
    if (meta == nullptr || meta->Size < 4) // a full box: version and flags first
        return std::nullopt;
    const std::vector<TBox> inMeta = Boxes(meta->Payload + 4, meta->Size - 4, whole);
    const TBox* iprp = Find(inMeta, FourCC("iprp"));
    if (iprp == nullptr)
        return std::vector<THeifTransform>{};
    const std::vector<TBox> inIprp = Boxes(iprp->Payload, iprp->Size, whole);
    const TBox* ipco = Find(inIprp, FourCC("ipco"));
    if (ipco == nullptr)
        return std::nullopt;
    // The properties are numbered from 1 in the order of the container.
    const std::vector<TBox> properties = Boxes(ipco->Payload, ipco->Size, whole);

    std::vector<THeifTransform> transforms;
    for (const TBox& ipma : inIprp) {
        if (ipma.Type != FourCC("ipma"))
            continue;
        if (ipma.Size < 8)
            return std::nullopt;
        const int version = ipma.Payload[0];
        const bool wideIndex = (ipma.Payload[3] & 1) != 0;
        const std::uint32_t entries = U32(ipma.Payload + 4);
        std::size_t at = 8;
        for (std::uint32_t e = 0; e < entries; ++e) {
            const std::size_t idSize = version < 1 ? 2 : 4;
            if (ipma.Size - at < idSize + 1)
                return std::nullopt;
            const std::uint32_t id = version < 1 ? U16(ipma.Payload + at) : U32(ipma.Payload + at);
            at += idSize;
            const int count = ipma.Payload[at++];
            const std::size_t indexSize = wideIndex ? 2 : 1;
            if ((ipma.Size - at) / indexSize < std::size_t(count))
                return std::nullopt;
            for (int a = 0; a < count; ++a, at += indexSize) {
                if (id != item)
                    continue;
                // The top bit marks an essential property; the rest is its number.
                const std::uint32_t index =
                    wideIndex ? U16(ipma.Payload + at) & 0x7FFF : ipma.Payload[at] & 0x7Fu;
                if (index == 0)
                    continue; // no property
                if (index > properties.size())
                    return std::nullopt;
                if (!ReadProperty(properties[index - 1], transforms))
                    return std::nullopt;
            }
        }
    }
    return transforms;
}

QImage ApplyHeifTransforms(const QImage& image, const QSize& coded,
                           const std::vector<THeifTransform>& transforms) {
    QImage out = image;
    // The item's own pixels at each step, in which a crop is given.
    QSizeF item(coded);
    for (const THeifTransform& t : transforms) {
        if (out.isNull() || item.isEmpty())
            return {};
        switch (t.Kind) {
        case THeifTransform::Rotate:
            if (t.QuarterTurns != 0) {
                // Qt turns clockwise on the screen for a positive angle.
                out = out.transformed(QTransform().rotate(-90.0 * t.QuarterTurns));
                if (t.QuarterTurns % 2 != 0)
                    item.transpose();
            }
            break;
        case THeifTransform::Mirror:
            out = out.mirrored(t.LeftRight, !t.LeftRight);
            break;
        case THeifTransform::Crop: {
            // The clean aperture centred at the offset from the picture's centre, with the
            // rounding libheif applies to the item's own pixels.
            const auto value = [](const std::int64_t(&f)[2]) { return double(f[0]) / f[1]; };
            const double w = item.width();
            const double h = item.height();
            const double left =
                std::floor(value(t.OffsetX) + (w - 1) / 2 - (value(t.Width) - 1) / 2);
            const double right = std::round(value(t.Width) - 1 + left);
            const double top =
                std::round(value(t.OffsetY) + (h - 1) / 2 - (value(t.Height) - 1) / 2);
            const double bottom = std::round(value(t.Height) - 1 + top);
            const double l = std::max(0.0, left);
            const double tp = std::max(0.0, top);
            const double r = std::min(w - 1, right);
            const double b = std::min(h - 1, bottom);
            if (l > r || tp > b)
                return {};
            const double sx = out.width() / w;
            const double sy = out.height() / h;
            // At least a pixel, and never past the picture's edge.
            const int x0 = std::min(int(std::lround(l * sx)), out.width() - 1);
            const int y0 = std::min(int(std::lround(tp * sy)), out.height() - 1);
            const int x1 = std::clamp(int(std::lround((r + 1) * sx)), x0 + 1, out.width());
            const int y1 = std::clamp(int(std::lround((b + 1) * sy)), y0 + 1, out.height());
            out = out.copy(x0, y0, x1 - x0, y1 - y0);
            item = QSizeF(r - l + 1, b - tp + 1);
            break;
        }
        }
    }
    return out;
}
