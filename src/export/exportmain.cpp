// tamurika-export: the calendar's work without a window.
#include <cstdio>
#include <memory>
#include <optional>

#include <QApplication>
#include <QTextStream>

#include "dib/vddib.h"
#include "exportcommand.h"
#include "platform/fontpreload.h"
#include "widgets/application.h"

namespace {

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
    QuietenLibraryMessages();
    std::unique_ptr<QCoreApplication> app;
    // A sheet's text needs the font configuration: it loads while the photo is read.
    std::optional<TFontConfigPreload> fonts;
    if (WithoutWindowSystem(argc, argv)) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        fonts.emplace();
        // Nothing is ever shown, so no display is used: the tool always draws off-screen, and a
        // DISPLAY left over from an ssh or tmux session, or pointing at no server under cron,
        // changes nothing. Only an explicit QT_QPA_PLATFORM chooses otherwise.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
        // The sheet names the "ＭＳ" faces; they are drawn with their IPA substitutes.
        RegisterFontSubstitutes();
        // Any text of Qt's own that reaches the user is Japanese, as in the window.
        UseJapanese();
        // ".dib" pictures open as TVdDIB, as in the window.
        RegisterVdDIB();
    }
    QCoreApplication::setApplicationName(QStringLiteral("tamurika"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunExport(QCoreApplication::arguments().mid(1), out, err);
}
