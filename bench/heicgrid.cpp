// tamurika-heicgrid: writes a picture as a HEIC file laid out as phones write their photos, a
// grid of tiles with a thumbnail, which libheif 1.15's heif-enc cannot (bench/run compares the
// decoding of such a photo, its tiles on every core, with the same photo in one piece).
// Usage: tamurika-heicgrid IN.png OUT.heic TILE THUMBNAIL-WIDTH
#include <cstdio>

#include <QGuiApplication>
#include <QImage>

#include "common/heicgrid.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments().mid(1);
    if (args.size() != 4) {
        std::fputs("usage: tamurika-heicgrid IN.png OUT.heic TILE THUMBNAIL-WIDTH\n", stderr);
        return 2;
    }
    const QImage picture(args[0]);
    if (picture.isNull() ||
        !testing_support::WriteHeicGrid(picture.convertToFormat(QImage::Format_RGB32), args[1],
                                        args[2].toInt(), 0, args[3].toInt(), 80)) {
        std::fputs("tamurika-heicgrid: cannot write the file\n", stderr);
        return 1;
    }
    return 0;
}
