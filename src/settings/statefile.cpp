#include "statefile.h"

#include "settingsfolder.h"

QString StateFileName(const QString& appPath) {
    return SettingsFolder(appPath) + StateIniName;
}

std::optional<bool> StateSwitch(const QString& value) {
    const QString v = value.trimmed().toLower();
    if (v == u"1" || v == u"true")
        return true;
    if (v == u"0" || v == u"false")
        return false;
    return std::nullopt;
}
