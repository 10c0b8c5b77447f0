// Finishing a PDF file that Qt wrote: the pictures put in as they came (pdfpictures.h), the
// fonts named as the subsets they are, and the document information a print shop's preflight
// looks for (title, creator, producer, dates). All of it as one incremental update appended to
// Qt's file, which stays as it was up to its last byte.
#pragma once

#include <functional>

#include <QString>

class TPdfPictures;

/// What the file says of itself.
struct TPdfDocumentInfo {
    QString Title;
    /// The program that made the document and the one that wrote the PDF: both たむりか and
    /// its version.
    QString Creator;
    QString Producer;
};

/// Finishes `pdfFile`: embeds `pictures` (when there are any), tags the subset fonts, and
/// writes `info` with the creation date Qt gave as the dates of creation and modification.
/// `progress` hears 0..100 while pictures are written. Raises Exception, with the reason, when
/// the file cannot be read or written or a picture's marker is not found; the file is then
/// unfinished.
void FinishPdf(const QString& pdfFile, const TPdfPictures* pictures, const TPdfDocumentInfo& info,
               const std::function<void(int)>& progress = {});

/// A PDF text string: UTF-16 with its byte-order mark, in hexadecimal ("<FEFF…>").
QByteArray PdfTextString(const QString& text);
