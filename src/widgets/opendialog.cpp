#include "opendialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

QStringList TOpenDialog::NameFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            // Some dialogs of the desktop match case-sensitively; offer both spellings.
            for (const QString& variant : {pattern.toLower(), pattern.toUpper()})
                if (!patterns.contains(variant))
                    patterns << variant;
        }
        result << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return result;
}

namespace {

// The folder itself or its nearest parent that exists; empty when only the root is left (a
// removed disk's mount point's parents, or a folder name that was never absolute).
QString NearestExistingFolder(const QString& folder) {
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder))
        return {};
    for (QString path = QDir::cleanPath(folder); !QDir(path).isRoot();
         path = QFileInfo(path).path()) {
        if (QFileInfo(path).isDir())
            return path;
    }
    return {};
}

} // namespace

QString TOpenDialog::StartFolder() const {
    const QString wanted = FileName.isEmpty() ? InitialDir : QFileInfo(FileName).absolutePath();
    QString folder = NearestExistingFolder(wanted);
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        if (!QFileInfo(folder).isDir())
            folder = QDir::homePath();
    }
    return folder;
}

bool TOpenDialog::Execute(QWidget* parent) {
    QFileDialog dialog(parent, Title);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(NameFilters(Filter));
    const QString folder = StartFolder();
    dialog.setDirectory(folder);
    const QFileInfo chosen(FileName);
    if (!FileName.isEmpty() && chosen.isFile() && chosen.absolutePath() == folder)
        dialog.selectFile(chosen.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    FileName = dialog.selectedFiles().constFirst();
    return true;
}
