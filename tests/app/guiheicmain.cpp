// The HEIC loading tests (heicloadingtest.cpp) once more, on a real X server (Xvfb): the
// thumbnail shown, the window repainting and closing while the photo decodes on its thread,
// with the program's own application object and the X server's event delivery.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/font.h"
#include "widgets/application.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Qt's own dialogs keep their state in the user's configuration folder; not the tester's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    TApplication app(argc, argv);
    TApplication::setApplicationDisplayName(QStringLiteral("たむりか"));
    return RUN_ALL_TESTS();
}
