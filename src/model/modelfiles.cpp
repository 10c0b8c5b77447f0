#include "modelfiles.h"

#include <QDate>

#include "framingmemory.h"
#include "koyomioptions.h"
#include "paperchoice.h"
#include "printposition.h"
#include "settings/inifile.h"
#include "settings/settingsfolder.h"
#include "sheetshape.h"

TCalendarModel ReadCalendarModel(const QString& appPath, int slot) {
    TCalendarModel model;
    model.Year = QDate::currentDate().year();
    model.Settings = ReadSlot(TIniFile(SettingsFolder(appPath) + SettingsIniName), slot);
    model.Framing.Mode = TFramingMemory(appPath).Mode();
    model.Paper = ReadPaperChoice(appPath);
    model.Position = ReadPrintPosition(appPath);
    model.Koyomi = ReadKoyomiOptions(appPath);
    model.FamilyDays = ReadDaysFileOrNote(DaysFilePath(appPath));
    model.Shape = ReadSheetShape(appPath);
    return model;
}

QString DaysFilePath(const QString& appPath) {
    return SettingsFolder(appPath) + DaysFileName;
}

int StartSlot(const QString& appPath) {
    return ReadSlotDirectory(TIniFile(SettingsFolder(appPath) + SettingsIniName)).LastSlot;
}
