// The HEIC loading tests (heicloadingtest.cpp) once more, on a real X server (Xvfb): the
// thumbnail shown, the window repainting and closing while the photo decodes on its thread,
// with the program's own application object and the X server's event delivery.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/font.h"
#include "widgets/application.h"

// What libraries outside the program keep until the process ends, which LeakSanitizer would
// report: Qt's X platform reaches D-Bus, fontconfig holds its font patterns in its caches, and
// x265, the encoder the tests write their HEIC photos with, keeps a few blocks of its own.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\nleak:libfontconfig.so\nleak:libx265.so\n";
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Qt's own dialogs keep their state in the user's configuration folder; not the tester's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    TApplication app(argc, argv);
    TApplication::setApplicationDisplayName(QStringLiteral("たむりか"));
    return RUN_ALL_TESTS();
}
