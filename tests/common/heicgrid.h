// HEIC files laid out as phones write them, which libheif 1.15's encoder cannot: the photo a
// grid of tiles (each coded on its own by libheif's encoder, x265), turned by a rotation of the
// grid, and a thumbnail without a rotation of its own. The boxes are written here; the coded
// tiles are taken from files libheif wrote of each.
#pragma once

#include <cstdint>
#include <vector>

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include "heicwriter.h"

namespace testing_support {

namespace heicgrid {

inline QByteArray U16(std::uint32_t v) {
    return QByteArray(1, char(v >> 8)) + char(v & 0xFF);
}
inline QByteArray U32(std::uint32_t v) {
    return U16(v >> 16) + U16(v & 0xFFFF);
}
inline QByteArray Box(const char* type, const QByteArray& payload) {
    return U32(std::uint32_t(8 + payload.size())) + QByteArray(type, 4) + payload;
}
inline QByteArray FullBox(const char* type, int version, int flags, const QByteArray& payload) {
    return Box(type, QByteArray(1, char(version)) + char((flags >> 16) & 0xFF) +
                         char((flags >> 8) & 0xFF) + char(flags & 0xFF) + payload);
}
inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
inline std::uint32_t ReadU32(const QByteArray& b, qsizetype at) {
    return std::uint32_t(std::uint8_t(b[at])) << 24 | std::uint32_t(std::uint8_t(b[at + 1])) << 16 |
           std::uint32_t(std::uint8_t(b[at + 2])) << 8 | std::uint8_t(b[at + 3]);
}

/// A picture coded by libheif's encoder: its "hvcC" box and its coded data (the whole of the
/// data box of a file of one image).
struct TCoded {
    QByteArray HvcC;
    QByteArray Data;
    bool Ok = false;
};

inline TCoded Code(const QImage& image, const QString& scratch, int quality) {
    TCoded coded;
    if (!WriteHeic(image, scratch, 1, {}, quality))
        return coded;
    const QByteArray file = ReadFile(scratch);
    const qsizetype hvcc = file.indexOf("hvcC");
    const qsizetype mdat = file.lastIndexOf("mdat");
    if (hvcc < 4 || mdat < 4)
        return coded;
    coded.HvcC = file.mid(hvcc - 4, ReadU32(file, hvcc - 4));
    coded.Data = file.mid(mdat + 4, ReadU32(file, mdat - 4) - 8);
    coded.Ok = !coded.Data.isEmpty();
    return coded;
}

} // namespace heicgrid

/// Writes `image` (stored pixels) as a grid of `tile` × `tile` tiles, the grid `image`'s size
/// (the last tiles cut), turned `quarterTurns` counter-clockwise by the grid's "irot", with a
/// thumbnail of `thumbnail` pixels across (0: none) stored as the image's pixels, without a
/// rotation of its own. False when the encoder fails.
inline bool WriteHeicGrid(const QImage& image, const QString& path, int tile, int quarterTurns,
                          int thumbnail, int quality = 85) {
    using namespace heicgrid;
    QTemporaryDir scratch;
    const int columns = (image.width() + tile - 1) / tile;
    const int rows = (image.height() + tile - 1) / tile;
    std::vector<TCoded> tiles;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            // Past the picture's edge a tile repeats nothing: white, cut away by the grid.
            QImage piece(tile, tile, QImage::Format_RGB32);
            piece.fill(Qt::white);
            const QImage part = image.copy(c * tile, r * tile, tile, tile);
            for (int y = 0; y < tile; ++y)
                for (int x = 0; x < tile; ++x)
                    if (c * tile + x < image.width() && r * tile + y < image.height())
                        piece.setPixel(x, y, part.pixel(x, y));
            tiles.push_back(Code(piece, scratch.filePath(QStringLiteral("tile.heic")), quality));
            if (!tiles.back().Ok)
                return false;
        }
    TCoded small;
    const QImage reduced =
        thumbnail > 0 ? image.scaledToWidth(thumbnail, Qt::SmoothTransformation) : QImage();
    if (thumbnail > 0) {
        small = Code(reduced, scratch.filePath(QStringLiteral("thumbnail.heic")), quality);
        if (!small.Ok)
            return false;
    }
    const int tileCount = int(tiles.size());
    const std::uint32_t gridId = 1;
    const std::uint32_t thumbId = std::uint32_t(tileCount + 2);

    // The properties: 1 the grid's size, 2 a tile's, 3 the rotation, then a "hvcC" each tile,
    // then the thumbnail's "hvcC" and size.
    QByteArray ipco = FullBox("ispe", 0, 0, U32(image.width()) + U32(image.height())) +
                      FullBox("ispe", 0, 0, U32(tile) + U32(tile)) +
                      Box("irot", QByteArray(1, char(quarterTurns & 3)));
    for (const TCoded& t : tiles)
        ipco += t.HvcC;
    if (thumbnail > 0)
        ipco += small.HvcC + FullBox("ispe", 0, 0, U32(reduced.width()) + U32(reduced.height()));
    QByteArray associations;
    int entries = 1;
    associations += U16(gridId) + QByteArray(1, char(2)) + QByteArray(1, char(0x81)) +
                    QByteArray(1, char(0x83));
    for (int k = 0; k < tileCount; ++k, ++entries)
        associations += U16(std::uint32_t(k + 2)) + QByteArray(1, char(2)) +
                        QByteArray(1, char(0x80 | (4 + k))) + QByteArray(1, char(2));
    if (thumbnail > 0) {
        associations += U16(thumbId) + QByteArray(1, char(2)) +
                        QByteArray(1, char(0x80 | (4 + tileCount))) +
                        QByteArray(1, char(5 + tileCount));
        ++entries;
    }
    const QByteArray iprp =
        Box("iprp", Box("ipco", ipco) + FullBox("ipma", 0, 0, U32(entries) + associations));

    QByteArray infe = FullBox("infe", 2, 0, U16(gridId) + U16(0) + "grid" + QByteArray(1, 0));
    for (int k = 0; k < tileCount; ++k)
        infe += FullBox("infe", 2, 1, U16(k + 2) + U16(0) + "hvc1" + QByteArray(1, 0));
    if (thumbnail > 0)
        infe += FullBox("infe", 2, 0, U16(thumbId) + U16(0) + "hvc1" + QByteArray(1, 0));
    const QByteArray iinf = FullBox("iinf", 0, 0, U16(tileCount + 1 + (thumbnail > 0)) + infe);
    QByteArray dimg = U16(gridId) + U16(tileCount);
    for (int k = 0; k < tileCount; ++k)
        dimg += U16(k + 2);
    QByteArray iref = Box("dimg", dimg);
    if (thumbnail > 0)
        iref += Box("thmb", U16(thumbId) + U16(1) + U16(gridId));
    // The grid's description: 16-bit sizes, rows and columns less one, the output size.
    const QByteArray grid = QByteArray(2, 0) + char(rows - 1) + char(columns - 1) +
                            U16(image.width()) + U16(image.height());

    const QByteArray ftyp = Box("ftyp", QByteArray("heic") + U32(0) + "mif1heic");
    // The locations: the grid's description in "idat", the coded pictures in "mdat" at
    // offsets from the file's start, known once the boxes before are.
    const auto meta = [&](std::uint32_t dataStart) {
        QByteArray items;
        std::uint32_t at = dataStart;
        items += U16(gridId) + U16(1) + U16(0) + U16(1) + U32(0) + U32(std::uint32_t(grid.size()));
        for (int k = 0; k < tileCount; ++k) {
            const auto length = std::uint32_t(tiles[std::size_t(k)].Data.size());
            items += U16(k + 2) + U16(0) + U16(0) + U16(1) + U32(at) + U32(length);
            at += length;
        }
        if (thumbnail > 0)
            items += U16(thumbId) + U16(0) + U16(0) + U16(1) + U32(at) +
                     U32(std::uint32_t(small.Data.size()));
        const QByteArray iloc = FullBox("iloc", 1, 0,
                                        QByteArray(1, char(0x44)) + QByteArray(1, 0) +
                                            U16(tileCount + 1 + (thumbnail > 0)) + items);
        const QByteArray hdlr =
            FullBox("hdlr", 0, 0, U32(0) + "pict" + U32(0) + U32(0) + U32(0) + QByteArray(1, 0));
        return FullBox("meta", 0, 0,
                       hdlr + FullBox("pitm", 0, 0, U16(gridId)) + iloc + iinf +
                           FullBox("iref", 0, 0, iref) + iprp + Box("idat", grid));
    };
    const auto start = std::uint32_t(ftyp.size() + meta(0).size() + 8);
    QByteArray data;
    for (const TCoded& t : tiles)
        data += t.Data;
    data += small.Data;
    QFile out(path);
    const QByteArray whole = ftyp + meta(start) + Box("mdat", data);
    return out.open(QIODevice::WriteOnly) && out.write(whole) == whole.size();
}

} // namespace testing_support
