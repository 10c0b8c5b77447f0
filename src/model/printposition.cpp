#include "printposition.h"

#include <algorithm>

#include "settings/inifile.h"
#include "settings/settingsfolder.h"

QString PrintPositionFileName(const QString& appPath) {
    return SettingsFolder(appPath) + PrintPositionIniName;
}

int ReadPrintPosition(const QString& appPath) {
    const TIniFile ini(PrintPositionFileName(appPath));
    const int stored = ini.ReadInteger(PrintPositionSection, PrintPositionKey, 0);
    return std::clamp(stored, -SheetMaxPosition, SheetMaxPosition);
}

void WritePrintPosition(const QString& appPath, int position) {
    TIniFile ini(PrintPositionFileName(appPath));
    ini.WriteInteger(PrintPositionSection, PrintPositionKey, position);
}
