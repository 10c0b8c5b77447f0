#include "jobreport.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>

#include "print/printer.h"

QString JobSentMessage(const TJobDestination& destination) {
    if (!destination.FileName.isEmpty())
        return QStringLiteral("「%1」に保存しました")
            .arg(QDir::toNativeSeparators(QFileInfo(destination.FileName).absoluteFilePath()));
    if (destination.Queue.isEmpty()) // a printer without queues: pages drawn as pictures
        return QStringLiteral("%1 部印刷しました").arg(std::max(1, destination.Copies));
    return QStringLiteral("「%1」に %2 部送りました")
        .arg(destination.Queue)
        .arg(std::max(1, destination.Copies));
}
