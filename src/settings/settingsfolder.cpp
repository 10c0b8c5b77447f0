#include "settingsfolder.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

// Set by CMake from GNUInstallDirs (src/platform/CMakeLists.txt).
#ifndef TAMURIKA_INSTALLED_DATA_PATH
#error "TAMURIKA_INSTALLED_DATA_PATH: the data folder relative to the program folder"
#endif

namespace {

QString WithSlash(QString folder) {
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QString InstalledDataFolder(const QString& appPath) {
    return WithSlash(QDir::cleanPath(QDir(appPath).filePath(InstalledDataPath())));
}

} // namespace

QString ProgramFolder() {
    return WithSlash(QCoreApplication::applicationDirPath());
}

QString InstalledDataPath() {
    return QStringLiteral(TAMURIKA_INSTALLED_DATA_PATH);
}

bool IsInstalledCopy(const QString& appPath) {
    return !appPath.isEmpty() && QFileInfo(InstalledDataFolder(appPath)).isDir();
}

QString DataFolder(const QString& appPath) {
    return IsInstalledCopy(appPath) ? InstalledDataFolder(appPath) : WithSlash(appPath);
}

QString SettingsFolder(const QString& appPath) {
    // access() asks the system itself, so ACLs and read-only mounts count as well.
    const QByteArray native = QFile::encodeName(appPath);
    if (!appPath.isEmpty() && !IsInstalledCopy(appPath) &&
        ::access(native.constData(), W_OK | X_OK) == 0)
        return WithSlash(appPath);
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return WithSlash(QDir(config).filePath(QStringLiteral("tamurika")));
}
