// The objects of an incremental update, appended to a PDF file: new versions of objects that
// exist, new objects, and the cross-reference section and trailer that make them count. The
// file before stays as it is, byte for byte; readers take the last version of each object.
#pragma once

#include <functional>
#include <tuple>
#include <vector>

#include <QByteArray>
#include <QFile>

class TPdfUpdate {
  public:
    /// Appends to `file`; `progress` hears how much of `total` stream bytes are written.
    TPdfUpdate(QFile& file, int nextObject, std::function<void(int)> progress = {},
               qint64 total = 1);

    int NewObject() { return FNext++; }
    int Size() const { return FNext; }

    /// Writes object `id` (generation `gen`) with the dictionary `dict` (without its /Length)
    /// and, when given, the stream data. Raises Exception with the reason when it cannot.
    void Object(int id, int gen, const QByteArray& dict, const QByteArray* stream = nullptr);

    /// The cross-reference section of the objects written and the trailer after it;
    /// `previous` is the offset of the file's last cross-reference section.
    void Finish(const QByteArray& trailerEntries, qint64 previous);

  private:
    void Put(const QByteArray& bytes);

    QFile& FFile;
    int FNext;
    std::vector<std::tuple<int, int, qint64>> FOffsets; // object, generation, offset
    std::function<void(int)> FProgress;
    qint64 FTotal;
    qint64 FWritten = 0;
};

/// Where the last cross-reference section of a PDF file begins: the number after its last
/// "startxref". Raises Exception when there is none.
qint64 PdfStartXref(const QByteArray& pdf);
