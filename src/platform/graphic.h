// The graphic framework of the class library: an abstract picture format (bitmap, JPEG image,
// device-independent bitmap, ...) that a picture container holds, draws and converts. Formats
// are found by file extension through the registry of picture.h, into which any subsystem can
// add its own class.
#pragma once

#include <memory>
#include <mutex>
#include <optional>

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include "exception.h"
#include "types.h"

class QIODevice;
class TCanvas;

/// A picture file or picture data that cannot be read, written or converted.
class EInvalidGraphic : public Exception {
  public:
    using Exception::Exception;
};

/// Pictures larger than this many pixels are refused before any pixel memory is taken: a
/// hundred million pixels are 400 MB at 32 bits, far beyond any photo a sheet needs.
inline constexpr qint64 MaxGraphicPixels = 100'000'000;

/// Picture files larger than this are refused before they are read into memory.
inline constexpr qint64 MaxGraphicFileBytes = 1'024LL * 1'024 * 1'024;

/// A part of a picture in plain pixels, as TGraphic::ToImagePart gives it: whole pixels around
/// the part (less than one more on each side where the part's edges fall inside pixels), and
/// where exactly the part lies in them.
struct TGraphicPart {
    QImage Pixels;
    QRectF Source; // in Pixels' coordinates
};

class TGraphic {
  public:
    virtual ~TGraphic();

    /// The class name the old class library would report ("TBitmap", "TJPEGImage", "TVdDIB");
    /// the image item tests it.
    virtual QString ClassName() const = 0;

    /// Size in pixels as the picture is seen (a phone photo's orientation already applied).
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    /// True when there is nothing to draw.
    virtual bool Empty() const = 0;
    /// True for a format whose pixels are already an approximation (a JPEG photo): stored
    /// again as a high-quality JPEG, such a picture loses nothing that can be seen. A lossless
    /// format (a bitmap, PNG) is kept pixel for pixel.
    virtual bool LossyFormat() const { return false; }

    /// Reads the picture from a file. On error the graphic is unchanged and EInvalidGraphic
    /// carries a message for the user.
    virtual void LoadFromFile(const QString& fileName);
    /// Reads the picture from the whole remaining content of a stream.
    virtual void LoadFromStream(QIODevice& stream);
    /// Reads the picture from bytes in memory; every loader ends up here.
    virtual void LoadFromBytes(const QByteArray& bytes) = 0;

    virtual void SaveToFile(const QString& fileName) const;
    virtual void SaveToStream(QIODevice& stream) const = 0;

    /// Draws the picture stretched into `rect` of the canvas, replacing the pixels there.
    virtual void Draw(TCanvas& canvas, const TRect& rect) const;

    /// The picture as plain 32-bit pixels (QImage::Format_RGB32) at Width() × Height(); a null
    /// image when empty. Decoding errors raise EInvalidGraphic.
    virtual QImage ToImage() const = 0;
    /// The picture for drawing at about `size` pixels: at least that large where the picture
    /// allows (a JPEG image, whose cheap reductions are halvings, may fall short of it by less
    /// than an eighth), possibly smaller than Width() × Height() when a format can reduce the
    /// picture (a JPEG image at 1/2, 1/4 or 1/8, a photo of photoimage.h to any size). The
    /// default is ToImage().
    virtual QImage ToImageForSize(const QSize& size) const;
    /// The picture for a device that keeps every pixel it is given (a PDF file, a print
    /// queue), which can show no more than `limit`: a format that can reduce the picture while
    /// decoding it, without ever holding it whole (a JPEG image), gives it no larger than
    /// `limit` on either side. The default is ToImage(), left for the canvas to reduce.
    virtual QImage ToImageWithin(const QSize& limit) const;
    /// The part `part` of the picture (in its pixels as seen, within Width() × Height()) for
    /// drawing at about `size` pixels: averaged down so that the part comes to about `size`
    /// where the picture has more pixels, at the picture's own pixels where it has fewer. The
    /// whole picture is never held at a larger size than the part needs where the format can
    /// decode a part alone (a JPEG image). Null pixels when empty or when the part misses the
    /// picture. The default cuts the part out of ToImageForSize.
    virtual TGraphicPart ToImagePart(const QRectF& part, const QSize& size) const;

    /// An independent copy of the same class.
    virtual std::unique_ptr<TGraphic> Clone() const = 0;

    /// Takes the picture of `source`. A class that does not know the source's class asks the
    /// source to assign itself (AssignTo); when neither knows the other, EInvalidGraphic.
    virtual void Assign(const TGraphic& source);
    /// Puts this picture into `target`; the default refuses.
    virtual void AssignTo(TGraphic& target) const;

    /// Damage a decoding noticed in the picture's data and decoded past: the picture shows,
    /// but perhaps with broken or grey bands. Where the damage lies, in Japanese ("JPEGの圧縮
    /// データ"); empty while none was noticed. Known once the picture was decoded as a
    /// whole; CheckData decodes it for this where nothing else has.
    QString DamageNote() const;
    /// Decodes the whole picture as cheaply as the format allows, only to learn DamageNote;
    /// nothing for a picture decoded already. Decoding errors raise EInvalidGraphic.
    virtual void CheckData() const {}

  protected:
    TGraphic() = default;
    TGraphic(const TGraphic& other);
    TGraphic& operator=(const TGraphic& other);

    /// Keeps the first damage a decoding noticed (`reason` empty: none).
    void NoteDamage(const QString& reason) const;
    /// Forgets it: for a picture that takes new data.
    void ClearDamage();

  private:
    // A picture is shared between threads that decode it (a worker may decode while the
    // window draws), so the note has a lock of its own.
    mutable std::mutex FDamageLock;
    mutable QString FDamage;
};

/// The error for a picture whose header claims more than MaxGraphicPixels; with the name of its
/// file when one is given.
EInvalidGraphic GraphicTooLarge(qint64 width, qint64 height, const QString& fileName = {});

/// Reads a whole file for a picture loader, with the size limit and messages of pictures.
QByteArray ReadGraphicFile(const QString& fileName);

/// Reads what is left of `device`, which says it holds `expected` bytes (0 when it cannot
/// tell); none when that passes MaxGraphicFileBytes.
std::optional<QByteArray> ReadToEnd(QIODevice& device, qint64 expected);

/// Writes bytes to a file for a picture saver; on failure EInvalidGraphic.
void WriteGraphicFile(const QString& fileName, const QByteArray& bytes);
