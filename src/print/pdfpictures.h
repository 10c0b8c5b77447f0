// Pictures in a PDF file as they came. Qt's PDF writer keeps every picture as pixels of its
// own, a photo compressed once more as a new JPEG; a JPEG photo kept as it stands loses nothing
// and costs no decoding at all. So while Qt draws a page, a small marker picture stands where a
// picture goes. Qt's file is then read (with libqpdf) and an update appended to it that turns
// each marker into a form drawing the picture itself: a JPEG photo's own bytes, turned by its
// EXIF orientation and cropped by the form's matrix and clip; any other picture compressed
// losslessly, or as a high-quality JPEG where it came from a lossy format. Nothing is copied but
// the photo's bytes, once, into the file.
#pragma once

#include <functional>
#include <vector>

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QString>

#include "platform/canvas.h"

class TGraphic;
class TPdfUpdate;
struct TPdfDraft;

class TPdfPictures : public TWholePictures {
  public:
    /// `grey`: the page is printed grey (chosen in the print dialog), and so are its pictures;
    /// a JPEG photo is then decoded and stored again in grey, where as it came it would show
    /// in colour on a grey page.
    explicit TPdfPictures(bool grey = false);
    ~TPdfPictures();
    TPdfPictures(const TPdfPictures&) = delete;
    TPdfPictures& operator=(const TPdfPictures&) = delete;

    /// Takes the part `source` of `graphic` (in its pixels as seen, Width() × Height()) for
    /// the place on the page where the returned marker picture is drawn. A JPEG photo that PDF
    /// readers decode is kept as its bytes (shared, not copied) and never decoded; any other
    /// picture is turned into pixels here, so that a damaged one raises EInvalidGraphic while
    /// the page is drawn, as it would on any other device.
    QImage Add(const TGraphic& graphic, const QRectF& source) override;

    /// How many pictures were taken.
    int Count() const;

    /// The marker pictures' samples, by index: what ReadPdfDraft looks for.
    std::vector<QByteArray> Markers() const;
    /// About how many bytes the pictures take in the file, for the progress of writing them.
    qint64 Bytes() const;

    /// Puts the pictures into the PDF file Qt wrote with the markers in it (read as `draft`,
    /// with Markers): `update` replaces each marker by a form that draws its picture, and
    /// adds the pictures; what Qt wrote stays as it is. Raises Exception, with the reason,
    /// when a marker is not found or the file cannot be written.
    void Embed(TPdfUpdate& update, const TPdfDraft& draft) const;

    /// The marker pictures' size in pixels, one bit each: room for the token and an index.
    static constexpr int MarkerWidth = 80;
    static constexpr int MarkerHeight = 2;

    struct TEntry;

  private:
    QByteArray MarkerBytes(int index) const;

    std::vector<TEntry> FEntries;
    QByteArray FToken; // random, so that no picture of the page can pass for a marker
    bool FGrey;
};
