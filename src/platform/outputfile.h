// An output file that appears complete or not at all: everything is written into a temporary
// file beside the target, which replaces the target only when it is done. A failure on the way
// (a full disk, an error while the contents are made) leaves the target as it was and no
// temporary file behind.
#pragma once

#include <QString>
#include <QTemporaryFile>

#include "exception.h"

/// Why opening or reading a file failed, in the user's words, from `error` (an errno value):
/// "ファイルがありません", "読む権限がありません", ..., or "エラー番号 N".
QString ReadFailureReason(int error);

/// Why writing at `path` failed, in the user's words: from `error` (an errno value) where one was
/// kept, else from the disk `path` lies on ("ディスクに空きがありません" when it is full).
QString WriteFailureReason(const QString& path, int error = 0);

class TOutputFile {
  public:
    /// Makes the temporary file beside `target`. Raises Exception "出力ファイル「…」を作れま
    /// せん。…" when the folder cannot be written (or `target` is a folder).
    explicit TOutputFile(const QString& target);
    ~TOutputFile();
    TOutputFile(const TOutputFile&) = delete;
    TOutputFile& operator=(const TOutputFile&) = delete;

    /// Where the writer writes.
    QString WorkingName() const { return FTemporary.fileName(); }
    /// The target, as an absolute path.
    const QString& Target() const { return FTarget; }

    /// Writes `bytes` as the whole file. Raises Exception "出力ファイル「…」に書き込めません
    /// でした（理由）。" naming the target when it cannot.
    void Write(const QByteArray& bytes);

    /// Puts the finished file in place of the target, readable as any new file of the user's.
    /// Raises Exception "出力ファイル「…」に書き込めませんでした（理由）。" when it cannot.
    void Commit();

  private:
    QString FTarget;
    QTemporaryFile FTemporary; // removes the unfinished file, whatever happens
};
