#include "pdfupdate.h"

#include <algorithm>

#include <cerrno>

#include "platform/exception.h"
#include "platform/outputfile.h"

TPdfUpdate::TPdfUpdate(QFile& file, int nextObject, std::function<void(int)> progress, qint64 total)
    : FFile(file), FNext(nextObject), FProgress(std::move(progress)),
      FTotal(std::max<qint64>(total, 1)) {}

void TPdfUpdate::Object(int id, int gen, const QByteArray& dict, const QByteArray* stream) {
    FOffsets.emplace_back(id, gen, FFile.pos());
    QByteArray head = QByteArray::number(id) + ' ' + QByteArray::number(gen) + " obj\n";
    if (stream == nullptr) {
        Put(head + dict + "\nendobj\n");
        return;
    }
    Put(head + dict.left(dict.size() - 2) + " /Length " + QByteArray::number(stream->size()) +
        " >>\nstream\n");
    // A photo of many megabytes goes out in parts, each one told.
    constexpr qsizetype Part = 4 << 20;
    for (qsizetype at = 0; at < stream->size(); at += Part) {
        const qsizetype n = std::min(Part, stream->size() - at);
        if (FFile.write(stream->constData() + at, n) != n)
            throw Exception(WriteFailureReason(FFile.fileName(), errno));
        FWritten += n;
        if (FProgress)
            FProgress(static_cast<int>(std::min<qint64>(100, 100 * FWritten / FTotal)));
    }
    Put("\nendstream\nendobj\n");
}

void TPdfUpdate::Finish(const QByteArray& trailerEntries, qint64 previous) {
    std::sort(FOffsets.begin(), FOffsets.end());
    const qint64 start = FFile.pos();
    QByteArray xref = "xref\n";
    for (std::size_t i = 0; i < FOffsets.size();) {
        std::size_t j = i + 1; // a run of consecutive object numbers is one subsection
        while (j < FOffsets.size() && std::get<0>(FOffsets[j]) == std::get<0>(FOffsets[j - 1]) + 1)
            ++j;
        xref += QByteArray::number(std::get<0>(FOffsets[i])) + ' ' +
                QByteArray::number(qulonglong(j - i)) + '\n';
        for (; i < j; ++i)
            xref += QByteArray::number(std::get<2>(FOffsets[i])).rightJustified(10, '0') + ' ' +
                    QByteArray::number(std::get<1>(FOffsets[i])).rightJustified(5, '0') + " n\r\n";
    }
    Put(xref + "trailer\n<< /Size " + QByteArray::number(FNext) + trailerEntries + " /Prev " +
        QByteArray::number(previous) + " >>\nstartxref\n" + QByteArray::number(start) +
        "\n%%EOF\n");
}

void TPdfUpdate::Put(const QByteArray& bytes) {
    if (FFile.write(bytes) != bytes.size())
        throw Exception(WriteFailureReason(FFile.fileName(), errno));
}

qint64 PdfStartXref(const QByteArray& pdf) {
    const qsizetype at = pdf.lastIndexOf("startxref");
    if (at < 0)
        throw Exception(QStringLiteral("PDFの相互参照表が見つかりません"));
    bool ok = false;
    const qint64 offset =
        pdf.mid(at + 9, 24).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
    if (!ok || offset <= 0 || offset >= pdf.size())
        throw Exception(QStringLiteral("PDFの相互参照表が見つかりません"));
    return offset;
}
