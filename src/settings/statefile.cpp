#include "statefile.h"

#include "settingsfolder.h"

QString StateFileName(const QString& appPath) {
    return SettingsFolder(appPath) + StateIniName;
}
