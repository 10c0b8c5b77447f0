// Replacing a file whole: the new contents go into a new file beside the old one, which is
// flushed to disk and then renamed over it, so that the file holds either all of the old bytes
// or all of the new ones, whatever happens on the way (a full disk, a file-size limit, a crash).
#pragma once

#include <QByteArray>
#include <QString>

/// Writes `bytes` as the whole new contents of `fileName`; false (and the old file untouched,
/// no temporary file left behind) when any step fails.
bool ReplaceFileAtomically(const QString& fileName, const QByteArray& bytes);
