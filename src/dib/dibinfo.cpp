#include "dibinfo.h"

#include <cstring>

BITMAPINFOHEADER MakeInfoHeader(int width, int height, int bitCount, int colorsUsed) {
    BITMAPINFOHEADER h;
    h.biWidth = width;
    h.biHeight = height;
    h.biBitCount = static_cast<std::uint16_t>(bitCount);
    h.biClrUsed = static_cast<std::uint32_t>(colorsUsed);
    return h;
}

TDIBInfo NewDIBLike(const TDIBInfo& source, std::size_t size, bool UseFMO) {
    TDIBInfo info;
    info.Memory = GetMemory(size, UseFMO);
    info.Header = source.Header;
    info.ColorTable = source.ColorTable;
    return info;
}

TDIBInfo CloneDIB(const TDIBInfo& source, bool UseFMO) {
    TDIBInfo info = NewDIBLike(source, source.ImageSize(), UseFMO);
    if (source.ImageSize() > 0)
        std::memcpy(info.Bits(), source.Bits(), source.ImageSize());
    return info;
}

void SetBlackAndWhiteTable(TDIBInfo& info) {
    info.ColorTable.fill(RGBQUAD{});
    info.ColorTable[1] = RGBQUAD{255, 255, 255, 0};
    info.Header.biClrUsed = 2;
}
