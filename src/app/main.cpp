// たむりか: makes and prints a one-page yearly wall calendar.
#include <csignal>

#include "calendar/julius.h"
#include "dib/vddib.h"
#include "mainunit.h"
#include "platform/fontpreload.h"
#include "settings/settingsfolder.h"
#include "startoptions.h"
#include "widgets/application.h"

int main(int argc, char** argv) {
    // Under a file-size limit a write that passes it would end the program, and with it the
    // user's unsaved work; ignored, the write fails and the save reports it like a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    // "--help" and "--version" answer before a display is needed (startoptions.h).
    if (const std::optional<int> done = AnswerWithoutWindow(argc, argv))
        return *done;
    QuietenLibraryMessages();
    UseUtf8CharacterType();
    // The window's text needs the font configuration: it loads while the window is built.
    const TFontConfigPreload fonts;
    TApplication app(argc, argv);
    TApplication::setApplicationName(QStringLiteral("tamurika"));
    TApplication::setApplicationDisplayName(QStringLiteral("たむりか"));
    // The desktop entry tamurika.desktop (packaging/) that started this window.
    TApplication::setDesktopFileName(QStringLiteral("tamurika"));
    // "tamurika PHOTO", as the desktop entry's "Exec=tamurika %f" starts it.
    QString startPicture;
    const QStringList arguments = TApplication::arguments().mid(1);
    if (const std::optional<int> done = AnswerStartArguments(arguments, startPicture))
        return *done;
    try {
        // The old-calendar table is loaded before any window exists; a broken table stops here.
        Julius::OldMonthList();
    } catch (const std::exception& error) {
        TApplication::ShowException(error);
        return 1;
    }
    // ".dib" pictures and pasted packed DIBs open as TVdDIB.
    RegisterVdDIB();
    TmainForm mainForm(ProgramFolder());
    mainForm.show();
    LoadPictureAtStart(mainForm, startPicture);
    return app.exec();
}
