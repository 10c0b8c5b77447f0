#include "pdfpictures.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include <QFile>
#include <QRandomGenerator>

#include <zlib.h>

#include "pdfdraft.h"
#include "pdfupdate.h"
#include "photo/jpegcodec.h"
#include "photo/jpegimage.h"
#include "photo/jpegstructure.h"
#include "platform/exception.h"
#include "platform/graphic.h"

struct TPdfPictures::TEntry {
    QRectF Source; // the part shown, in the pixels of the picture as seen (Seen)
    QSizeF Seen;
    // A JPEG stream carried as it stands, and its EXIF orientation.
    QByteArray Jpeg;
    TJPEGStructure Structure;
    int Orientation = 1;
    // Any other picture: its pixels, upright.
    QImage Pixels;
    bool Lossy = false;
};

namespace {

// Pictures from lossy formats that cannot be carried as they stand are stored as JPEG again,
// at a quality where a second generation shows no difference.
constexpr int LossyQuality = 95;

// A real number as PDF writes them: fixed notation, no exponent.
QByteArray Real(double value) {
    QByteArray text = QByteArray::number(value, 'f', 9);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    if (text == "-0")
        text = "0";
    return text;
}

// Where a point of the stored picture (px, py: pixels from the top-left corner, W × H) shows
// once the picture is turned upright by its EXIF orientation.
QPointF Upright(double px, double py, double W, double H, int orientation) {
    switch (orientation) {
    case 2: // mirrored left to right
        return {W - px, py};
    case 3: // turned half round
        return {W - px, H - py};
    case 4: // mirrored top to bottom
        return {px, H - py};
    case 5: // mirrored along the main diagonal
        return {py, px};
    case 6: // to be turned a quarter clockwise
        return {H - py, px};
    case 7: // mirrored along the other diagonal
        return {H - py, W - px};
    case 8: // to be turned a quarter counter-clockwise
        return {py, W - px};
    default:
        return {px, py};
    }
}

// The matrix that maps the image's unit square (PDF image space: the first stored row at the
// top, y = 1) into the box's unit square (the marker's place, y up) so that the part `source`
// of the upright picture fills the box.
std::array<double, 6> PictureMatrix(double W, double H, int orientation, const QRectF& source) {
    const auto box = [&](double u, double v) {
        const QPointF up = Upright(u * W, (1 - v) * H, W, H, orientation);
        return QPointF((up.x() - source.x()) / source.width(),
                       1 - (up.y() - source.y()) / source.height());
    };
    const QPointF o = box(0, 0);
    const QPointF x = box(1, 0) - o;
    const QPointF y = box(0, 1) - o;
    return {x.x(), x.y(), y.x(), y.y(), o.x(), o.y()};
}

// The data of a stream compressed with zlib, as FlateDecode reads it.
QByteArray Deflate(const char* data, std::size_t size) {
    z_stream z{};
    if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK)
        throw Exception(QStringLiteral("画像を圧縮できません"));
    QByteArray out;
    out.resize(static_cast<qsizetype>(deflateBound(&z, static_cast<uLong>(size))));
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    z.avail_in = static_cast<uInt>(size);
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&z, Z_FINISH);
    const auto written = static_cast<qsizetype>(z.total_out);
    deflateEnd(&z);
    if (result != Z_STREAM_END)
        throw Exception(QStringLiteral("画像を圧縮できません"));
    out.truncate(written);
    return out;
}

// The picture in grey by the weights Qt's PDF writer gives the page's colours in a grey print
// (QImage's own conversion weighs light linearly and would make the photo lighter).
QImage Grey(const QImage& rgb) {
    QImage grey(rgb.size(), QImage::Format_Grayscale8);
    if (grey.isNull())
        return grey;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* out = grey.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x)
            out[x] = static_cast<uchar>(qGray(in[x]));
    }
    return grey;
}

QByteArray DeviceSpace(int components) {
    return components == 1 ? "/DeviceGray" : components == 4 ? "/DeviceCMYK" : "/DeviceRGB";
}

QByteArray JpegColorSpace(TPdfUpdate& update, const TJPEGStructure& s, int& iccVersion) {
    if (!IccProfileFits(s.IccProfile, s.Components))
        return DeviceSpace(s.Components);
    const int id = update.NewObject();
    const QByteArray data = Deflate(s.IccProfile.constData(), std::size_t(s.IccProfile.size()));
    update.Object(id, 0,
                  "<< /N " + QByteArray::number(s.Components) + " /Alternate " +
                      DeviceSpace(s.Components) + " /Filter /FlateDecode >>",
                  &data);
    iccVersion =
        std::max(iccVersion, static_cast<int>(static_cast<unsigned char>(s.IccProfile[8])));
    return "[/ICCBased " + QByteArray::number(id) + " 0 R]";
}

// A JPEG stream as an image object, its bytes as they are.
int JpegImage(TPdfUpdate& update, const QByteArray& jpeg, const TJPEGStructure& s,
              int& iccVersion) {
    const QByteArray space = JpegColorSpace(update, s, iccVersion);
    QByteArray dict = "<< /Type /XObject /Subtype /Image /Width " + QByteArray::number(s.Width) +
                      " /Height " + QByteArray::number(s.Height) +
                      " /BitsPerComponent 8 /ColorSpace " + space + " /Filter /DCTDecode";
    // Three components without an Adobe marker are YCbCr, as PDF readers assume, unless the
    // components are named R, G and B, which libjpeg takes for RGB.
    if (s.Components == 3 && !s.Adobe && !s.Jfif && s.ComponentIds[0] == 'R' &&
        s.ComponentIds[1] == 'G' && s.ComponentIds[2] == 'B')
        dict += " /DecodeParms << /ColorTransform 0 >>";
    // Photoshop writes CMYK JPEGs inverted and marks them with an Adobe APP14 marker; the
    // program's decoder takes every CMYK JPEG that way, so the PDF shows what the preview shows.
    if (s.Components == 4)
        dict += " /Decode [1 0 1 0 1 0 1 0]";
    // Enlarged onto paper, a photo looks better interpolated than in blocks.
    dict += " /Interpolate true >>";
    const int id = update.NewObject();
    update.Object(id, 0, dict, &jpeg);
    return id;
}

// Pixels kept exactly: 8-bit grey or RGB samples, compressed losslessly.
// `image`: 32-bit RGB, or 8-bit grey for a grey print.
int PixelImage(TPdfUpdate& update, const QImage& image) {
    const bool grey = image.allGray();
    const int w = image.width();
    QByteArray raw;
    raw.resize(qsizetype(w) * image.height() * (grey ? 1 : 3));
    auto* out = reinterpret_cast<unsigned char*>(raw.data());
    for (int y = 0; y < image.height(); ++y) {
        if (image.format() == QImage::Format_Grayscale8) {
            std::memcpy(out, image.constScanLine(y), std::size_t(w));
            out += w;
            continue;
        }
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            *out++ = static_cast<unsigned char>(qRed(in[x]));
            if (!grey) {
                *out++ = static_cast<unsigned char>(qGreen(in[x]));
                *out++ = static_cast<unsigned char>(qBlue(in[x]));
            }
        }
    }
    const QByteArray data = Deflate(raw.constData(), std::size_t(raw.size()));
    raw.clear();
    const int id = update.NewObject();
    update.Object(id, 0,
                  "<< /Type /XObject /Subtype /Image /Width " + QByteArray::number(w) +
                      " /Height " + QByteArray::number(image.height()) +
                      " /BitsPerComponent 8 /ColorSpace " + DeviceSpace(grey ? 1 : 3) +
                      " /Filter /FlateDecode /Interpolate true >>",
                  &data);
    return id;
}

// A new version of the marker's image object: a form of the same place (the unit square Qt
// maps onto the marker's rectangle) that draws the picture, cut to that square.
void ReplaceMarker(TPdfUpdate& update, int marker, int generation,
                   const TPdfPictures::TEntry& entry, int& iccVersion) {
    int picture = 0;
    double W = 0;
    double H = 0;
    int orientation = 1;
    if (!entry.Jpeg.isEmpty()) {
        picture = JpegImage(update, entry.Jpeg, entry.Structure, iccVersion);
        W = entry.Structure.Width;
        H = entry.Structure.Height;
        orientation = entry.Orientation;
    } else if (entry.Lossy) {
        const QByteArray jpeg = EncodeJPEG(entry.Pixels, LossyQuality);
        const std::optional<TJPEGStructure> s = ReadJPEGStructure(jpeg);
        if (!s)
            throw Exception(QStringLiteral("写真をJPEGにできません"));
        picture = JpegImage(update, jpeg, *s, iccVersion);
        W = s->Width;
        H = s->Height;
    } else {
        picture = PixelImage(update, entry.Pixels);
        W = entry.Pixels.width();
        H = entry.Pixels.height();
    }
    // The part shown, in the upright picture's pixels.
    const bool turned = orientation >= 5 && orientation <= 8;
    const double sx = (turned ? H : W) / entry.Seen.width();
    const double sy = (turned ? W : H) / entry.Seen.height();
    const QRectF source(entry.Source.x() * sx, entry.Source.y() * sy, entry.Source.width() * sx,
                        entry.Source.height() * sy);
    QByteArray content = "q 0 0 1 1 re W n";
    for (double v : PictureMatrix(W, H, orientation, source))
        content += ' ' + Real(v);
    content += " cm /Picture Do Q\n";
    update.Object(
        marker, generation,
        "<< /Type /XObject /Subtype /Form /BBox [0 0 1 1] /Resources << /XObject << /Picture " +
            QByteArray::number(picture) + " 0 R >> >> >>",
        &content);
}

} // namespace

TPdfPictures::TPdfPictures(bool grey) : FGrey(grey) {
    FToken.resize(16);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(FToken.data()), 4);
}

TPdfPictures::~TPdfPictures() = default;

int TPdfPictures::Count() const {
    return static_cast<int>(FEntries.size());
}

QByteArray TPdfPictures::MarkerBytes(int index) const {
    // The token, then the index; the rest of the rows is filler.
    QByteArray bytes = FToken;
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes += static_cast<char>((index >> shift) & 0xFF);
    while (bytes.size() < MarkerWidth / 8 * MarkerHeight)
        bytes += static_cast<char>(0x5A + bytes.size());
    return bytes;
}

QImage TPdfPictures::Add(const TGraphic& graphic, const QRectF& source) {
    TEntry entry;
    entry.Seen = QSizeF(graphic.Width(), graphic.Height());
    entry.Source = source;
    const auto* jpeg = dynamic_cast<const TJPEGImage*>(&graphic);
    if (jpeg != nullptr && jpeg->Scale() == jsFullSize && !FGrey) {
        std::optional<TJPEGStructure> s = ReadJPEGStructure(jpeg->Data());
        const TJPEGHeader& header = jpeg->Header();
        // Only a stream whose frame is the one libjpeg read goes in as it stands.
        if (s && PdfReadableJPEG(*s) && s->Width == header.StoredWidth &&
            s->Height == header.StoredHeight && s->Components == header.Components) {
            entry.Jpeg = jpeg->Data();
            entry.Structure = std::move(*s);
            entry.Orientation = header.Orientation;
        }
    }
    if (entry.Jpeg.isEmpty()) {
        entry.Pixels = graphic.ToImage().convertToFormat(QImage::Format_RGB32);
        if (FGrey)
            entry.Pixels = Grey(entry.Pixels);
        entry.Lossy = graphic.LossyFormat();
        if (entry.Pixels.isNull())
            return {};
    }
    const int index = Count();
    FEntries.push_back(std::move(entry));

    // A picture of one bit per pixel, black and white, which Qt stores as its bits (only
    // compressed). Qt would weigh storing a picture of colours as a JPEG, and to learn whether
    // it can it loads every image format plugin there is.
    const QByteArray bytes = MarkerBytes(index);
    QImage marker(MarkerWidth, MarkerHeight, QImage::Format_Mono);
    marker.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const int rowBytes = MarkerWidth / 8;
    for (int y = 0; y < MarkerHeight; ++y)
        std::memcpy(marker.scanLine(y), bytes.constData() + y * rowBytes, std::size_t(rowBytes));
    return marker;
}

std::vector<QByteArray> TPdfPictures::Markers() const {
    std::vector<QByteArray> markers;
    for (int i = 0; i < Count(); ++i)
        markers.push_back(MarkerBytes(i));
    return markers;
}

qint64 TPdfPictures::Bytes() const {
    qint64 total = 0; // the bytes of the pictures, about (pixels compress)
    for (const TEntry& entry : FEntries)
        total += entry.Jpeg.isEmpty() ? entry.Pixels.sizeInBytes() / 4 : entry.Jpeg.size();
    return total;
}

void TPdfPictures::Embed(TPdfUpdate& update, const TPdfDraft& draft) const {
    if (draft.Markers.size() != FEntries.size())
        throw Exception(QStringLiteral("写真の位置がページに見つかりません"));
    int iccVersion = 0;
    for (const TPdfDraft::TMarker& marker : draft.Markers)
        ReplaceMarker(update, marker.Object, marker.Generation, FEntries[marker.Index], iccVersion);
    if (iccVersion >= 4) {
        // Profiles of version 4 came with PDF 1.5; the catalogue says so over the header.
        update.Object(draft.RootObject, draft.RootGeneration, draft.RootWithVersion15);
    }
}
