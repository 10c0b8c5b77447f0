#include "palette.h"

QList<QRgb> PaletteToColorTable(const TLogPalette& palette) {
    QList<QRgb> table;
    table.reserve(static_cast<qsizetype>(palette.palPalEntry.size()));
    for (const TPaletteEntry& e : palette.palPalEntry)
        table.append(qRgb(e.peRed, e.peGreen, e.peBlue));
    return table;
}
