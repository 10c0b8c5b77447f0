#include "settingsfolder.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

QString WithSlash(QString folder) {
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

} // namespace

QString ProgramFolder() { return WithSlash(QCoreApplication::applicationDirPath()); }

QString SettingsFolder(const QString& appPath) {
    // access() asks the system itself, so ACLs and read-only mounts count as well.
    const QByteArray native = QFile::encodeName(appPath);
    if (!appPath.isEmpty() && ::access(native.constData(), W_OK | X_OK) == 0)
        return WithSlash(appPath);
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return WithSlash(QDir(config).filePath(QStringLiteral("tamurika")));
}
