#include "pdffinish.h"

#include <cerrno>

#include <QFile>

#include "pdfdraft.h"
#include "pdfpictures.h"
#include "pdfupdate.h"
#include "platform/exception.h"
#include "platform/outputfile.h"

QByteArray PdfTextString(const QString& text) {
    QByteArray hex = "<FEFF";
    for (const QChar c : text)
        hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return hex + '>';
}

void FinishPdf(const QString& pdfFile, const TPdfPictures* pictures, const TPdfDocumentInfo& info,
               const std::function<void(int)>& progress) {
    QFile file(pdfFile);
    if (!file.open(QIODevice::ReadWrite))
        throw Exception(WriteFailureReason(pdfFile, errno));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || !bytes.endsWith('\n'))
        throw Exception(QStringLiteral("PDFファイルを読めません"));
    TPdfDraft draft;
    try {
        draft =
            ReadPdfDraft(bytes, pdfFile, pictures ? pictures->Markers() : std::vector<QByteArray>(),
                         TPdfPictures::MarkerWidth, TPdfPictures::MarkerHeight);
    } catch (const std::exception& e) {
        throw Exception(QStringLiteral("Qt の書いたPDFを読めません（%1）")
                            .arg(QString::fromLocal8Bit(e.what())));
    }
    if (progress)
        progress(0);
    TPdfUpdate update(file, draft.Size, progress, pictures ? pictures->Bytes() : 1);
    if (pictures != nullptr && pictures->Count() > 0)
        pictures->Embed(update, draft);
    for (const TPdfDraft::TObjectText& font : draft.SubsetFonts)
        update.Object(font.Object, font.Generation, font.Text);

    QByteArray dict = "<< /Title " + PdfTextString(info.Title) + " /Creator " +
                      PdfTextString(info.Creator) + " /Producer " + PdfTextString(info.Producer);
    if (!draft.CreationDate.isEmpty())
        dict += " /CreationDate " + draft.CreationDate + " /ModDate " + draft.CreationDate;
    dict += " >>";
    QByteArray trailer = draft.TrailerEntries;
    if (draft.InfoObject != 0) {
        update.Object(draft.InfoObject, draft.InfoGeneration, dict);
    } else {
        const int id = update.NewObject();
        update.Object(id, 0, dict);
        trailer += " /Info " + QByteArray::number(id) + " 0 R";
    }
    if (progress)
        progress(100);
    update.Finish(trailer, PdfStartXref(bytes));
    if (!file.flush())
        throw Exception(WriteFailureReason(pdfFile, errno));
}
