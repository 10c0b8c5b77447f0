// A second copy of the program as far as its settings file goes: saves one slot of a settings
// file again and again, as the save dialog does.
//   slotsaver FILE SLOT TAG COUNT [--sole]
// Save i writes slotsaver::Settings(TAG, i). With --sole this is the only writer of the slot,
// and before each save it checks that the slot still holds its own previous save: a write of
// another program that lost it is found at once. Exit codes: 0 done, 3 a save was refused
// (the message on standard error), 4 a save was lost, 2 bad arguments.
#include <csignal>
#include <cstdio>

#include <QCoreApplication>
#include <QStringList>

#include "settings/inifile.h"
#include "slotsaver.h"

int main(int argc, char** argv) {
    // As the program does: a file-size limit makes a write fail instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 5)
        return 2;
    const QString file = args[1];
    const int slot = args[2].toInt();
    const int tag = args[3].toInt();
    const int count = args[4].toInt();
    const bool sole = args.contains(QStringLiteral("--sole"));

    TIniFile ini(file);
    for (int i = 0; i < count; ++i) {
        if (sole && i > 0 && ReadSlot(ini, slot) != slotsaver::Settings(tag, i - 1)) {
            std::fprintf(stderr, "save %d of slot %d was lost\n", i - 1, slot);
            return 4;
        }
        try {
            const TSlotSettings settings = slotsaver::Settings(tag, i);
            SaveSlotSettings(ini, slot, slotsaver::Comment(tag, i), settings, settings.TitleStyle);
        } catch (const Exception& e) {
            std::fprintf(stderr, "%s\n", e.Message().toUtf8().constData());
            return 3;
        }
    }
    return 0;
}
