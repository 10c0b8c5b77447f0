// dibconv [--high] [--white RRGGBB] IN OUT [FORMAT]: reads a bitmap or DIB file with the
// program's own picture class, optionally converts its pixel format, and writes it as a
// bitmap file. --high reduces 24-bit pictures to 16 or 256 colours over every pixel instead of
// by histogram; --white names the colour that becomes white in a conversion to 1 bit (all
// others become black; white by default). A file it cannot read or write gives the error's
// message on standard error and exit code 1.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QString>

#include "dib/vddib.h"

namespace {

int Usage() {
    std::fputs(
        "usage: dibconv [--high] [--white RRGGBB] IN OUT [1|4|4rle|8|8rle|24|halftone|halftone-bw]\n",
        stderr);
    return 2;
}

/// "RRGGBB" or "#RRGGBB" as a colour value (0x00BBGGRR); false for anything else.
bool ParseColour(const std::string& text, TColor& colour) {
    const QString hex = QString::fromStdString(text).remove(0, text.starts_with('#') ? 1 : 0);
    bool ok = false;
    const uint rgb = hex.toUInt(&ok, 16);
    if (!ok || hex.size() != 6)
        return false;
    colour = static_cast<TColor>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bool high = false;
    TColor white = clWhite;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--high") {
            high = true;
        } else if (argument == "--white") {
            if (++i == argc || !ParseColour(argv[i], white))
                return Usage();
        } else if (argument.starts_with("--")) {
            return Usage();
        } else {
            files.push_back(argument);
        }
    }
    if (files.size() < 2 || files.size() > 3)
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
    if (files.size() == 3) {
        const auto it = formats.find(files[2]);
        if (it == formats.end())
            return Usage();
        target = it->second;
    }
    try {
        TVdDIB dib;
        dib.ConvertQuality = high ? 1 : 0;
        dib.MonoColor = white;
        dib.LoadFromFile(QString::fromLocal8Bit(files[0].c_str()));
        if (target == vdPfHalftone || target == vdPfHalftoneBW)
            dib.Halftone(target == vdPfHalftoneBW);
        else if (target >= 0)
            dib.SetPixelFormat(static_cast<TVdPixelFormat>(target));
        dib.SaveToFile(QString::fromLocal8Bit(files[1].c_str()));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "dibconv: %s\n", error.what());
        return 1;
    }
    return 0;
}
