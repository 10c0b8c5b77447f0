// TVdInternalDIB: the storage behind every TVdDIB picture — one device-independent bitmap,
// shared by reference count between pictures. Reads and writes the Windows bitmap file format
// and the packed form of the clipboard, makes the palette of its colour table and converts
// itself between pixel formats.
#pragma once

#include <functional>

#include <QByteArray>

#include "dibinfo.h"
#include "platform/palette.h"
#include "platform/tcolor.h"

class QIODevice;
class QImage;

class TVdInternalDIB {
  public:
    /// A 1 × 1, 8-bit bitmap with 256 black colours. `UseFMO` chooses shared memory mappings
    /// (true) or the heap (false) for every pixel block this storage will hold.
    explicit TVdInternalDIB(bool UseFMO);
    ~TVdInternalDIB();
    TVdInternalDIB(const TVdInternalDIB&) = delete;
    TVdInternalDIB& operator=(const TVdInternalDIB&) = delete;

    /// Number of pictures sharing this storage; 1 after creation. The pictures count it.
    int FRefCount = 1;

    int Width() const { return FWidth; }
    /// Number of rows, always positive.
    int Height() const { return FHeight; }
    bool UseFMO() const { return FUseFMO; }
    const TDIBInfo& DIBInfo() const { return FDIBInfo; }

    /// Set whenever the colour table or the pixels were replaced; the picture reads and clears it.
    bool FPaletteModified = false;

    /// Allocates a new blank (black) bitmap into the record. Width > 0, Height ≠ 0 (negative
    /// means top-down rows), 0 ≤ ColorCount ≤ 256, BitCount 1, 4, 8 or 24; otherwise raises
    /// EVdDIBInvalidDIBPara. The previous pixel block is released once the new one exists.
    void CreateDIB(int Width, int Height, int ColorCount, int BitCount);

    /// Replaces the bitmap by the bitmap file read from `stream`; on any error the stored
    /// bitmap is unchanged.
    void LoadFromStream(QIODevice& stream);
    /// Writes the bitmap as a bitmap file.
    void SaveToStream(QIODevice& stream) const;

    /// Replaces the bitmap by a packed DIB (info header, colour table, pixels).
    void LoadFromClipboardFormat(const QByteArray& data);
    /// The bitmap as a packed DIB.
    QByteArray SaveToClipboardFormat() const;

    /// The logical palette of the colour table, made on first request; none when the table is
    /// empty.
    HPALETTE Palette() const;
    /// Takes `palette` as this storage's palette (the colour table was set to match it).
    void SetPaletteHandle(HPALETTE palette) { FPalette = std::move(palette); }
    /// Drops the palette after the table or pixels changed. Only for unshared storage.
    void UpdatePalette();
    /// Makes the colour table the palette's colours (up to 256; none empties the table) and
    /// keeps the palette. Only for unshared storage.
    void SetColorTableFrom(const HPALETTE& palette);
    /// Rewrites the pixels from a top-row-first image of the bitmap's size (see
    /// WriteImageToDIB). Only for unshared, uncompressed storage.
    void WriteImage(const QImage& image);

    TVdPixelFormat GetPixelFormat() const;

    /// Converts the bitmap to `Target` (a TVdPixelFormat, vdPfHalftone or vdPfHalftoneBW).
    /// `Quality` 0 or 1 chooses the histogram or the split-tree reduction from 24 bits;
    /// `Progress` is called once per leaf of a palette split; pixels of exactly `MonoColor`
    /// become white in conversions to 1 bit. On error the bitmap is unchanged.
    void SetPixelsFormat(int Target, int Quality, const std::function<void()>& Progress,
                         TColor MonoColor);

    /// Takes over a complete new bitmap, releasing the old pixel block.
    void TakeOver(TDIBInfo&& info);

  private:
    int FWidth = 0;
    int FHeight = 0;
    mutable HPALETTE FPalette; // made on first request
    TDIBInfo FDIBInfo;
    bool FUseFMO;
};

/// The logical palette of a colour table: one entry per used colour, flags 0.
HPALETTE GetPaletteFromDIBInfos(const TDIBInfo& info);
