#include "areareducer.h"

#include <algorithm>

std::vector<TAreaReducer::TShare> TAreaReducer::Shares(int from, int to) {
    std::vector<TShare> shares(static_cast<std::size_t>(from));
    for (int i = 0; i < from; ++i) {
        const std::int64_t start = std::int64_t(i) * to; // in units where a source pixel is `to`
        const int first = static_cast<int>(start / from);
        const std::int64_t boundary = std::int64_t(first + 1) * from;
        shares[i].First = first;
        shares[i].Part = static_cast<std::uint32_t>(std::min<std::int64_t>(to, boundary - start));
        shares[i].Ends = std::int64_t(i + 1) * to >= boundary;
    }
    return shares;
}

TAreaReducer::TAreaReducer(const QSize& from, const QSize& to)
    : FFromWidth(std::max(from.width(), 1)), FFromHeight(std::max(from.height(), 1)) {
    if (FFromHeight > MaxFromHeight ||
        static_cast<long long>(FFromWidth) * FFromHeight > MaxFromPixels)
        return;
    const int width = std::clamp(to.width(), 1, FFromWidth);
    const int height = std::clamp(to.height(), 1, FFromHeight);
    FColumns = Shares(FFromWidth, width);
    FRows = Shares(FFromHeight, height);
    FThis.assign(std::size_t(FFromWidth) * 4, 0);
    FNext.assign(FThis.size(), 0);
    FResult = QImage(width, height, QImage::Format_RGB32);
}

void TAreaReducer::AddRow(const QRgb* row) {
    if (FRow >= FFromHeight || FResult.isNull())
        return;
    // The hot loops: plain multiply-adds over every byte, which the compiler vectorises. The
    // sums stay below 255 × the source height, within 32 bits.
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(row);
    const std::size_t n = FThis.size();
    std::uint32_t* sums = FThis.data();
    const std::uint32_t part = FRows[FRow].Part;
    const std::uint32_t rest = static_cast<std::uint32_t>(FResult.height()) - part;
    if (rest == 0) {
        for (std::size_t k = 0; k < n; ++k)
            sums[k] += bytes[k] * part;
    } else {
        std::uint32_t* next = FNext.data();
        for (std::size_t k = 0; k < n; ++k) {
            sums[k] += bytes[k] * part;
            next[k] += bytes[k] * rest;
        }
    }
    ++FRow;
    // A reduced row is complete when this source row reaches its bottom edge or crosses it.
    if (rest != 0 || FRow == FFromHeight || FRows[FRow].First != FOut) {
        EmitRow();
        std::swap(FThis, FNext);
    }
}

void TAreaReducer::EmitRow() {
    // Across: the source columns in turn, each adding its part to the reduced pixel being
    // gathered; one that ends it gives the rest of itself to the next.
    // Each reduced pixel gathers from.width() × from.height() units, at most 2^28, and sums
    // below 2^36. Dividing by the units is multiplying by their reciprocal in 64-bit fixed
    // point, rounded up, which is exact while sum × (the reciprocal's rounding, below the
    // units) stays under 2^64: below 2^64 here.
    const std::uint64_t units = std::uint64_t(FFromWidth) * std::uint64_t(FFromHeight);
    const std::uint64_t reciprocal = units == 1 ? 0 : ~std::uint64_t(0) / units + 1;
    const auto level = [units, reciprocal](std::uint64_t sum) {
        const std::uint64_t rounded = sum + units / 2;
        if (units == 1)
            return static_cast<int>(rounded);
        return static_cast<int>((static_cast<unsigned __int128>(rounded) * reciprocal) >> 64);
    };
    // QRgb in memory: blue, green, red, alpha on a little-endian machine.
    constexpr bool little = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
    constexpr int blue = little ? 0 : 3, green = little ? 1 : 2, red = little ? 2 : 1;
    const std::uint64_t full = static_cast<std::uint64_t>(FResult.width());
    const std::uint32_t* sums = FThis.data();
    const TShare* columns = FColumns.data();
    auto* out = reinterpret_cast<QRgb*>(FResult.scanLine(FOut));
    std::uint64_t b = 0, g = 0, r = 0;
    for (int i = 0; i < FFromWidth; ++i) {
        const std::uint32_t* s = &sums[std::size_t(i) * 4];
        const TShare c = columns[i];
        b += std::uint64_t(s[blue]) * c.Part;
        g += std::uint64_t(s[green]) * c.Part;
        r += std::uint64_t(s[red]) * c.Part;
        if (c.Ends) {
            *out++ = qRgb(level(r), level(g), level(b));
            const std::uint64_t rest = full - c.Part;
            b = s[blue] * rest;
            g = s[green] * rest;
            r = s[red] * rest;
        }
    }
    std::fill(FThis.begin(), FThis.end(), 0);
    ++FOut;
}
