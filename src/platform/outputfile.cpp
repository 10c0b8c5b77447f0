#include "outputfile.h"

#include <cerrno>
#include <cstdio>

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

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

QString ReadFailureReason(int error) {
    switch (error) {
    case ENOENT:
        return QStringLiteral("ファイルがありません");
    case EACCES:
    case EPERM:
        return QStringLiteral("読む権限がありません");
    case EISDIR:
        return QStringLiteral("フォルダです");
    case EIO:
        return QStringLiteral("ディスクの読み書きでエラーが起きました");
    default:
        return QStringLiteral("エラー番号 %1").arg(error);
    }
}

QString WriteFailureReason(const QString& path, int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクに空きがありません");
    case EACCES:
    case EPERM:
        return QStringLiteral("書き込む権限がありません");
    case EROFS:
        return QStringLiteral("書き込めない場所です");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます");
    case EIO:
        return QStringLiteral("ディスクの読み書きでエラーが起きました");
    default:
        break;
    }
    // A writer that does not keep its error (Qt's PDF writer) leaves the disk to ask: less
    // room on it than a page needs is what it ran into.
    constexpr qint64 PageRoom = 1024 * 1024;
    const QStorageInfo disk(QFileInfo(path).absolutePath());
    if (disk.isValid() && disk.bytesAvailable() < PageRoom)
        return QStringLiteral("ディスクに空きがありません");
    return error != 0 ? QStringLiteral("書き込みのエラー %1").arg(error)
                      : QStringLiteral("書き込みが途中で失敗しました");
}

void TOutputFile::Write(const QByteArray& bytes) {
    QFile file(WorkingName());
    int error = 0;
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        errno = 0;
        if (file.write(bytes) == bytes.size() && file.flush()) {
            file.close();
            return;
        }
        error = errno;
    } else {
        error = errno;
    }
    throw Exception(
        FormatMessage(QStringLiteral("出力ファイル「%s」に書き込めませんでした（%s）。"),
                      {QDir::toNativeSeparators(FTarget), WriteFailureReason(FTarget, error)}));
}

void TOutputFile::Commit() {
    // Readable as any new file of the user's, not private as a temporary file is.
    FTemporary.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (std::rename(QFile::encodeName(WorkingName()).constData(),
                    QFile::encodeName(FTarget).constData()) != 0) {
        const int error = errno;
        throw Exception(
            FormatMessage(QStringLiteral("出力ファイル「%s」に書き込めませんでした（%s）。"),
                          {QDir::toNativeSeparators(FTarget), WriteFailureReason(FTarget, error)}));
    }
    FTemporary.setAutoRemove(false);
}
