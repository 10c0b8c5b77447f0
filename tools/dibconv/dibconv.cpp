// dibconv IN OUT [FORMAT]: reads a bitmap or DIB file with the program's own picture class,
// optionally converts its pixel format, and writes it as a bitmap file. A file it cannot read
// or write gives the error's message on standard error and exit code 1.
#include <cstdio>
#include <map>
#include <string>

#include <QCoreApplication>
#include <QString>

#include "dib/vddib.h"

namespace {

int Usage() {
    std::fputs("usage: dibconv IN OUT [1|4|4rle|8|8rle|24|halftone|halftone-bw]\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3 || argc > 4)
        return Usage();
    static const std::map<std::string, int> formats = {
        {"1", vdPf1Bit},
        {"4", vdPf4Bit},
        {"4rle", vdPf4BitRLE},
        {"8", vdPf8Bit},
        {"8rle", vdPf8BitRLE},
        {"24", vdPf24Bit},
        {"halftone", vdPfHalftone},
        {"halftone-bw", vdPfHalftoneBW},
    };
    int target = -1;
    if (argc == 4) {
        const auto it = formats.find(argv[3]);
        if (it == formats.end())
            return Usage();
        target = it->second;
    }
    try {
        TVdDIB dib;
        dib.LoadFromFile(QString::fromLocal8Bit(argv[1]));
        if (target == vdPfHalftone || target == vdPfHalftoneBW)
            dib.Halftone(target == vdPfHalftoneBW);
        else if (target >= 0)
            dib.SetPixelFormat(static_cast<TVdPixelFormat>(target));
        dib.SaveToFile(QString::fromLocal8Bit(argv[2]));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "dibconv: %s\n", error.what());
        return 1;
    }
    return 0;
}
