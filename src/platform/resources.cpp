#include "resources.h"

#include <QFile>

#include "exception.h"

QByteArray LoadRawResource(const QString& name) {
    QFile file(QStringLiteral(":/") + name);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(FormatMessage(QStringLiteral("リソース %s が見つかりません"), {name}));
    return file.readAll();
}
