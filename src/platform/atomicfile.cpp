#include "atomicfile.h"

#include <QSaveFile>

bool ReplaceFileAtomically(const QString& fileName, const QByteArray& bytes) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // The explicit flush matters: QSaveFile (Qt 6.4) buffers small writes and, when the flush
    // inside commit() fails for want of room, still renames the cut-off file over the old one.
    // Flushed here, a short write is seen, and the destructor throws the new file away.
    return file.write(bytes) == bytes.size() && file.flush() && file.commit();
}
