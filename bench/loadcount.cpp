// tamurika-loadcount: step 1 of the main job alone, for valgrind's callgrind, which counts the
// instructions it takes: a count does not change with the load of a shared machine, as a time
// does. The program's window is made as at start; then the photo is loaded as "画像の読み込み"
// loads it and the sample is painted, with callgrind counting only that (run it with
// --instr-atstart=no). Usage: tamurika-loadcount PHOTO
#include <cstdio>

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <valgrind/callgrind.h>

#include "app/mainunit.h"
#include "calendar/julius.h"
#include "dib/vddib.h"
#include "widgets/image.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments().mid(1);
    if (args.size() != 1) {
        std::fputs("usage: tamurika-loadcount PHOTO\n", stderr);
        return 2;
    }
    try {
        Julius::OldMonthList();
        RegisterVdDIB();
        QTemporaryDir folder;
        TmainForm form(folder.path());
        form.show();
        QCoreApplication::processEvents();
        const QString photo = QFileInfo(args[0]).absoluteFilePath();
        CALLGRIND_START_INSTRUMENTATION;
        form.LoadPictureFile(photo);
        form.Image1->repaint();
        CALLGRIND_STOP_INSTRUMENTATION;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tamurika-loadcount: %s\n", error.what());
        return 1;
    }
    return 0;
}
