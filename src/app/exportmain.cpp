// tamurika-export: the calendar's work without a window.
#include <cstdio>
#include <memory>

#include <QApplication>
#include <QTextStream>

#include "app/exportcommand.h"
#include "dib/vddib.h"
#include "platform/application.h"

namespace {

// Qt's notes about the session (no runtime folder for root, no display) are not the user's
// business; whatever else Qt has to say still reaches standard error.
QtMessageHandler QtDefaultHandler = nullptr;

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg && message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    QtDefaultHandler(type, context, message);
}

// Whether the command line asks for something that needs no drawing at all (the holiday
// listing, the help, the version): then no window system is opened. Anything unclear takes
// the full application, as the sheet does.
bool WithoutWindowSystem(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    try {
        return ParseExportArguments(arguments).Mode != TExportOptions::TMode::Sheet;
    } catch (...) {
        return false;
    }
}

} // namespace

int main(int argc, char** argv) {
    QtDefaultHandler = qInstallMessageHandler(QuietHandler);
    std::unique_ptr<QCoreApplication> app;
    if (WithoutWindowSystem(argc, argv)) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        // Nothing is ever shown, so no display is needed: without one, Qt draws off-screen.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
            qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
        // The sheet names the "ＭＳ" faces; they are drawn with their IPA substitutes.
        RegisterFontSubstitutes();
        // ".dib" pictures open as TVdDIB, as in the window.
        RegisterVdDIB();
    }
    QCoreApplication::setApplicationName(QStringLiteral("tamurika"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunExport(QCoreApplication::arguments().mid(1), out, err);
}
