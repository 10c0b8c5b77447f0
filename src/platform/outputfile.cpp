#include "outputfile.h"

#include <cstdio>

#include <QDir>
#include <QFileInfo>

TOutputFile::TOutputFile(const QString& target)
    : FTarget(QFileInfo(target).absoluteFilePath()),
      FTemporary(FTarget + QStringLiteral(".XXXXXX.part")) {
    if (QFileInfo(FTarget).isDir() || !FTemporary.open())
        throw Exception(FormatMessage(
            QStringLiteral("出力ファイル「%s」を作れません。書き込める場所を指定してください。"),
            {QDir::toNativeSeparators(FTarget)}));
    FTemporary.close();
}

TOutputFile::~TOutputFile() = default;

void TOutputFile::Commit() {
    // Readable as any new file of the user's, not private as a temporary file is.
    FTemporary.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (std::rename(QFile::encodeName(WorkingName()).constData(),
                    QFile::encodeName(FTarget).constData()) != 0)
        throw Exception(FormatMessage(QStringLiteral("出力ファイル「%s」に書き込めませんでした。"),
                                      {QDir::toNativeSeparators(FTarget)}));
    FTemporary.setAutoRemove(false);
}
