// たむりか: makes and prints a one-page yearly wall calendar.
#include <QMainWindow>

#include "calendar/julius.h"
#include "dib/vddib.h"
#include "platform/application.h"

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    TApplication::setApplicationDisplayName(QStringLiteral("たむりか"));
    try {
        // The old-calendar table is loaded before any window exists; a broken table stops here.
        Julius::OldMonthList();
    } catch (const std::exception& error) {
        TApplication::ShowException(error);
        return 1;
    }
    // ".dib" pictures and pasted packed DIBs open as TVdDIB.
    RegisterVdDIB();
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("たむりか"));
    window.resize(475, 387);
    window.show();
    return app.exec();
}
