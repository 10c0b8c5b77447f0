// A photo in PNG, GIF, TIFF, WebP or HEIF as a graphic of the class library, kept the way the
// JPEG image keeps its photo: the file's bytes as they came, the header read at once (size,
// orientation, colour profile), the pixels decoded when first drawn. A decoding is reduced to
// the size it is drawn at, turned upright and converted to sRGB, in that order, so that the
// turning and the colour conversion work on the small picture.
//
// A photo that takes long to decode (a HEIF photo: libheif decodes nothing smaller than the
// whole picture) may be decoded on another thread (DecodeForSize, Thumbnail), its decoding
// then kept on the thread that draws it (KeepDecoding): the bytes and the header never change
// once read, and only the picture kept does.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "photocodec.h"
#include "platform/graphic.h"

class TPhotoImage : public TGraphic {
  public:
    /// A photo expected to be of `format` (the format its file name says); its content decides
    /// the format it is read as, so a WebP photo saved as ".png" is read all the same.
    explicit TPhotoImage(TPhotoFormat format = TPhotoFormat::Png) : FFormat(format) {}

    QString ClassName() const override { return QStringLiteral("TPhotoImage"); }
    /// Size as the photo is seen (its orientation applied).
    int Width() const override { return FHeader.SeenSize().width(); }
    int Height() const override { return FHeader.SeenSize().height(); }
    bool Empty() const override { return FData.isEmpty(); }
    bool LossyFormat() const override { return FHeader.Lossy; }

    /// As LoadFromBytes, with the file's name in every message about the photo.
    void LoadFromFile(const QString& fileName) override;
    /// Reads and checks the header and keeps the bytes; the pixels are decoded on demand. On
    /// error the photo is unchanged.
    void LoadFromBytes(const QByteArray& bytes) override;
    /// Writes the bytes as they were read.
    void SaveToStream(QIODevice& stream) const override;
    /// The whole photo; decoded once and kept.
    QImage ToImage() const override;
    /// Decodes the photo where it was not yet, keeping a small picture of it.
    void CheckData() const override;
    /// The photo reduced to the smallest size of its own shape that covers `size`, unless the
    /// picture kept from before covers it already; either way that picture is kept.
    QImage ToImageForSize(const QSize& size) const override;
    /// The photo reduced to no more than `limit` on either side; nothing is kept.
    QImage ToImageWithin(const QSize& limit) const override;
    /// The part from the photo reduced to the smallest size of its own shape at which the part
    /// has `size` pixels, that decoding kept. Unlike ToImageForSize it never uses a decoding of
    /// another size, so that a part comes out the same whatever was drawn before (the window's
    /// sheet and the exported one agree pixel for pixel).
    TGraphicPart ToImagePart(const QRectF& part, const QSize& size) const override;
    std::unique_ptr<TGraphic> Clone() const override;

    /// What ToImageForSize(size) makes of the photo, made afresh: neither uses nor keeps the
    /// picture kept, so that another thread may decode while this photo is drawn. Raises
    /// EInvalidGraphic as drawing does.
    QImage DecodeForSize(const QSize& size) const;
    /// Whether ToImageForSize(size) would decode nothing: the picture kept covers it.
    bool HasDecoding(const QSize& size) const;
    /// Keeps a picture DecodeForSize made, as ToImageForSize keeps its own, unless the picture
    /// kept already has as many pixels. On the thread that draws the photo.
    void KeepDecoding(const QImage& decoded) const;
    /// The small picture the file carries to show the photo quickly (a HEIF file's thumbnail),
    /// seen upright and in sRGB as the photo is, only coarser; null when it carries none. Any
    /// thread; raises nothing.
    QImage Thumbnail() const;
    /// From another photo: shares its bytes. From any other graphic: its pixels as a PNG file.
    void Assign(const TGraphic& source) override;

    /// The format of the photo held; before the first one, the format expected.
    TPhotoFormat Format() const { return FFormat; }
    const TPhotoHeader& Header() const { return FHeader; }
    const QByteArray& Data() const { return FData; }

  private:
    /// Reads the header and takes the bytes; `fileName` (shown in messages) may be empty.
    void Load(const QByteArray& bytes, const QString& fileName);
    /// Decodes the photo and makes it `seen` large (as seen), upright and in sRGB.
    QImage Render(const QSize& seen) const;
    /// The size ToImageForSize(size) decodes at; the size seen when that is the whole photo.
    QSize DecodingSize(const QSize& size) const;
    /// The message for the user about an error of a photo of `format` from `fileName`.
    static EInvalidGraphic Reworded(const EInvalidGraphic& error, TPhotoFormat format,
                                    const QString& fileName);

    TPhotoFormat FFormat;
    QByteArray FData;
    TPhotoHeader FHeader;
    QString FFileName; // shown in messages; empty when the photo came from elsewhere
    // The last decoding as seen, upright and in sRGB. Copies share it.
    mutable QImage FDecoded;
};
