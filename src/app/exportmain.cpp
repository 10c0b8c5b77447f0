// tamurika-export: the calendar's work without a window.
#include <cstdio>

#include <QApplication>
#include <QTextStream>

#include "app/exportcommand.h"

int main(int argc, char** argv) {
    // Nothing is ever shown, so no display is needed: without one, Qt draws off-screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunExport(QApplication::arguments().mid(1), out, err);
}
