#include "picturefolder.h"

#include "settings/statefile.h"

namespace {

const QString PictureSection = QStringLiteral("picture");
const QString FolderKey = QStringLiteral("folder");

} // namespace

QString RememberedPictureFolder(const QString& appPath) {
    return TStateFile(appPath).ReadString(PictureSection, FolderKey, QString());
}

bool RememberPictureFolder(const QString& appPath, const QString& folder) {
    TStateFile state(appPath);
    if (state.ReadString(PictureSection, FolderKey, QString()) == folder)
        return true;
    try {
        state.WriteString(PictureSection, FolderKey, folder);
        return true;
    } catch (const EIniFileException&) {
        return false;
    }
}
