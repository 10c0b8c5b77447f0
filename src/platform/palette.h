// Logical palettes: the colours a paletted picture asks the display to provide. A palette handle
// is shared; whoever holds the last reference frees it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <QList>
#include <QRgb>

struct TPaletteEntry {
    std::uint8_t peRed = 0;
    std::uint8_t peGreen = 0;
    std::uint8_t peBlue = 0;
    std::uint8_t peFlags = 0;
    bool operator==(const TPaletteEntry&) const = default;
};

struct TLogPalette {
    std::uint16_t palVersion = 0x300;
    std::vector<TPaletteEntry> palPalEntry;
};

using HPALETTE = std::shared_ptr<const TLogPalette>;

/// The palette's colours as a Qt colour table (opaque).
QList<QRgb> PaletteToColorTable(const TLogPalette& palette);
