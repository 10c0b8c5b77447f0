#include "vdinternaldib.h"

#include <algorithm>

#include "diberrors.h"
#include "dibimage.h"
#include "dibio.h"
#include "pixelconvert.h"
#include "platform/syserrors.h"

TVdInternalDIB::TVdInternalDIB(bool UseFMO) : FUseFMO(UseFMO) {
    CreateDIB(1, 1, 256, 8);
}

TVdInternalDIB::~TVdInternalDIB() = default;

void TVdInternalDIB::CreateDIB(int Width, int Height, int ColorCount, int BitCount) {
    if (Width <= 0 || Height == 0 || ColorCount < 0 || ColorCount > 256 ||
        (BitCount != 1 && BitCount != 4 && BitCount != 8 && BitCount != 24))
        RaiseDIB<EVdDIBInvalidDIBPara>("TVdInternalDIB.CreateDIB: Invalid Parameters");
    // A size no picture file could have is refused like a damaged one, before any memory.
    if (std::int64_t{Width} * AbsHeight(Height) > MaxDIBPixels)
        RaiseDIB<EVdDIBInvalidDIBPara>("TVdInternalDIB.CreateDIB: Image Too Large");
    TDIBInfo info;
    info.Header = MakeInfoHeader(Width, Height, BitCount, ColorCount);
    info.Memory = GetMemory(info.UncompressedSize(), FUseFMO);
    FDIBInfo = std::move(info);
    FPalette.reset();
    FWidth = Width;
    FHeight = static_cast<int>(AbsHeight(Height));
    FPaletteModified = true;
}

void TVdInternalDIB::TakeOver(TDIBInfo&& info) {
    FDIBInfo = std::move(info);
    FWidth = FDIBInfo.Width();
    FHeight = FDIBInfo.Height();
    UpdatePalette();
}

void TVdInternalDIB::LoadFromStream(QIODevice& stream) {
    TakeOver(ReadDIBFile(stream, FUseFMO));
}

void TVdInternalDIB::SaveToStream(QIODevice& stream) const {
    WriteDIBFile(FDIBInfo, stream);
}

void TVdInternalDIB::LoadFromClipboardFormat(const QByteArray& data) {
    TakeOver(ReadPackedDIB(data, FUseFMO));
}

QByteArray TVdInternalDIB::SaveToClipboardFormat() const {
    return WritePackedDIB(FDIBInfo);
}

HPALETTE GetPaletteFromDIBInfos(const TDIBInfo& info) {
    if (info.ColorsUsed() == 0)
        return nullptr;
    auto palette = std::make_shared<TLogPalette>();
    palette->palVersion = 0x300;
    palette->palPalEntry.reserve(static_cast<std::size_t>(info.ColorsUsed()));
    for (int i = 0; i < info.ColorsUsed(); ++i) {
        const RGBQUAD& q = info.ColorTable[static_cast<std::size_t>(i)];
        palette->palPalEntry.push_back(TPaletteEntry{q.rgbRed, q.rgbGreen, q.rgbBlue, 0});
    }
    return palette;
}

HPALETTE TVdInternalDIB::Palette() const {
    if (!FPalette)
        FPalette = GetPaletteFromDIBInfos(FDIBInfo);
    return FPalette;
}

void TVdInternalDIB::UpdatePalette() {
    Assert(FRefCount == 1, "TVdInternalDIB.UpdatePalette: RefCount Must be 1");
    FPalette.reset();
    FPaletteModified = true;
}

void TVdInternalDIB::SetColorTableFrom(const HPALETTE& palette) {
    const std::size_t count = palette ? std::min<std::size_t>(palette->palPalEntry.size(), 256) : 0;
    FDIBInfo.ColorTable.fill(RGBQUAD{});
    for (std::size_t i = 0; i < count; ++i) {
        const TPaletteEntry& e = palette->palPalEntry[i];
        FDIBInfo.ColorTable[i] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
    }
    FDIBInfo.Header.biClrUsed = static_cast<std::uint32_t>(count);
    UpdatePalette();
    FPalette = palette;
}

void TVdInternalDIB::WriteImage(const QImage& image) {
    Assert(FRefCount == 1, "TVdInternalDIB.UpdatePalette: RefCount Must be 1");
    WriteImageToDIB(image, FDIBInfo);
    FPaletteModified = true;
}

TVdPixelFormat TVdInternalDIB::GetPixelFormat() const {
    const std::uint32_t c = FDIBInfo.Compression();
    switch (FDIBInfo.BitCount()) {
    case 1:
        if (c == BI_RGB)
            return vdPf1Bit;
        RaiseDIB<EVdDIBInvalidDIB>("TVdInternalDIB.GetPixelFormat: Invalid DIB(1Bit)");
    case 4:
        if (c == BI_RGB)
            return vdPf4Bit;
        if (c == BI_RLE4)
            return vdPf4BitRLE;
        RaiseDIB<EVdDIBInvalidDIB>("TVdInternalDIB.GetPixelFormat: Invalid DIB(4Bit)");
    case 8:
        if (c == BI_RGB)
            return vdPf8Bit;
        if (c == BI_RLE8)
            return vdPf8BitRLE;
        RaiseDIB<EVdDIBInvalidDIB>("TVdInternalDIB.GetPixelFormat: Invalid DIB(8Bit)");
    case 24:
        if (c == BI_RGB)
            return vdPf24Bit;
        RaiseDIB<EVdDIBInvalidDIB>("TVdInternalDIB.GetPixelFormat: Invalid DIB(24Bit)");
    default:
        RaiseDIB<EVdDIBInvalidDIB>("TVdInternalDIB.GetPixelFormat: Invalid DIB(Illegal BitCount)");
    }
}

void TVdInternalDIB::SetPixelsFormat(int Target, int Quality, const std::function<void()>& Progress,
                                     TColor MonoColor) {
    TDIBInfo converted = ConvertPixelFormat(FDIBInfo, GetPixelFormat(), Target, Quality, Progress,
                                            MonoColor, FUseFMO);
    TakeOver(std::move(converted));
}
