// Parts of pictures for drawing at a size: a JPEG photo's part decoded alone comes out pixel for
// pixel as the same part cut out of a decoding of the whole photo, whatever its orientation,
// sampling or scale; it matches ImageMagick's crop of the file; other pictures are cut out of
// their pixels; and the image control shows a part without decoding again.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "../common/imagemagick.h"
#include "photo/jpegcodec.h"
#include "photo/jpegimage.h"
#include "photo/photoimage.h"
#include "platform/bitmap.h"
#include "platform/graphicpart.h"
#include "widgets/image.h"

using testing_support::Convert;
using testing_support::Near;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The JPEG stream with an EXIF block holding only the orientation tag, right after its
// start-of-image marker (big-endian TIFF, as cameras write it).
QByteArray WithOrientation(const QByteArray& jpeg, int orientation) {
    const char block[] = {'\xFF', '\xE1', 0, 0x22, 'E', 'x', 'i', 'f', 0, 0,
                          'M',    'M',    0, 0x2A, 0,   0,   0,   8,   0, 1,
                          1,      0x12,   0, 3,    0,   0,   0,   1,   0, char(orientation),
                          0,      0,      0, 0,    0,   0};
    return jpeg.left(2) + QByteArray(block, sizeof block) + jpeg.mid(2);
}

// Every pixel tells where it lies: red grows to the right, green downwards, with a blue
// checker of 5-pixel squares for detail that the colour planes' enlarging blurs.
bool MakeRamp(const QString& png, int w, int h) {
    QImage ramp(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ramp.setPixel(x, y,
                          qRgb(x * 255 / (w - 1), y * 255 / (h - 1), ((x / 5 + y / 5) % 2) * 200));
    return ramp.save(png);
}

// Pixels equal in red, green and blue (the fourth byte is no colour).
int DifferentPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return -1;
    int different = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            different += (a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF);
    return different;
}

class GraphicParts : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        ASSERT_TRUE(MakeRamp(Path("ramp.png"), 203, 151));
    }
    QString Path(const QString& name) const { return Dir.filePath(name); }
    QTemporaryDir Dir;
};

TEST_F(GraphicParts, AJpegPartDecodedAloneIsThatPartOfTheWholeDecodingPixelForPixel) {
    // Samplings 4:2:0 and 4:2:2, none, progressive, grey and CMYK; a size that is no multiple
    // of a block.
    const struct {
        const char* Name;
        QStringList Options;
    } kinds[] = {
        {"420", {QStringLiteral("-sampling-factor"), QStringLiteral("2x2")}},
        {"422", {QStringLiteral("-sampling-factor"), QStringLiteral("2x1")}},
        {"444", {QStringLiteral("-sampling-factor"), QStringLiteral("1x1")}},
        {"progressive", {QStringLiteral("-interlace"), QStringLiteral("JPEG")}},
        {"grey", {QStringLiteral("-colorspace"), QStringLiteral("Gray")}},
        {"cmyk", {QStringLiteral("-colorspace"), QStringLiteral("CMYK")}},
    };
    for (const auto& kind : kinds) {
        const QString file = Path(QStringLiteral("ramp-%1.jpg").arg(kind.Name));
        ASSERT_TRUE(Convert(QStringList{Path("ramp.png")}
                            << kind.Options << QStringLiteral("-quality") << QStringLiteral("90")
                            << file));
        const QByteArray plain = ReadAll(file);
        for (int orientation = 1; orientation <= 8; ++orientation) {
            const QByteArray data = WithOrientation(plain, orientation);
            for (int num : {1, 2, 4, 8}) {
                const QImage whole = DecodeJPEG(data, num);
                const int w = whole.width(), h = whole.height();
                // Inside, at each edge, and the whole picture; each whole and reduced.
                const QRect regions[] = {
                    QRect(w / 5, h / 3, w / 2, h / 3), QRect(0, 0, w / 3 + 1, h),
                    QRect(w - w / 4 - 1, h / 2, w / 4 + 1, h - h / 2), QRect(0, 0, w, h)};
                for (const QRect& region : regions) {
                    for (const QSize out : {region.size(), region.size() * 2 / 3}) {
                        if (out.isEmpty())
                            continue;
                        SCOPED_TRACE(testing::Message()
                                     << kind.Name << " orientation " << orientation << " at " << num
                                     << "/8, region " << region.x() << "," << region.y() << " "
                                     << region.width() << "x" << region.height() << " to "
                                     << out.width() << "x" << out.height());
                        const QImage alone = DecodeJPEGPart(data, num, region, out);
                        const QImage cut = ReduceGraphicRegion(whole, region, out);
                        ASSERT_EQ(alone.size(), out);
                        ASSERT_EQ(DifferentPixels(alone, cut), 0);
                    }
                }
            }
        }
    }
}

TEST_F(GraphicParts, AJpegPartIsTheSameWhateverWasDecodedBefore) {
    const QString file = Path("ramp.jpg");
    ASSERT_TRUE(
        Convert({Path("ramp.png"), QStringLiteral("-quality"), QStringLiteral("90"), file}));
    const QRectF part(40.5, 30.25, 101.5, 76.125);
    const QSize size(50, 38); // about half the part: decoded at 1/2
    TJPEGImage fresh;
    fresh.LoadFromFile(file);
    const TGraphicPart first = fresh.ToImagePart(part, size);
    ASSERT_FALSE(first.Pixels.isNull());
    EXPECT_LE(first.Pixels.width(), size.width() + 2);
    EXPECT_NEAR(first.Source.width(), size.width(), 1.0);
    for (const QSize decodedBefore : {QSize(20, 15), QSize(102, 76), QSize(203, 151)}) {
        TJPEGImage used;
        used.LoadFromFile(file);
        (void)used.ToImageForSize(decodedBefore);
        const TGraphicPart again = used.ToImagePart(part, size);
        EXPECT_EQ(DifferentPixels(again.Pixels, first.Pixels), 0) << decodedBefore.width();
        EXPECT_EQ(again.Source, first.Source);
    }
}

TEST_F(GraphicParts, AJpegPartWithAColourProfileIsThatPartOfTheWholeConvertedDecoding) {
    // A phone's Display P3 photo, and a CMYK one carrying a printing profile: the part decoded
    // alone is converted to sRGB as the whole decoding is, before any averaging.
    const QString p3 = Path("ramp-p3.jpg");
    const QString cmyk = Path("ramp-cmyk.jpg");
    ASSERT_TRUE(Convert({Path("ramp.png"), QStringLiteral("-profile"),
                         QStringLiteral("/usr/share/color/argyll/ref/DisplayP3.icm"),
                         QStringLiteral("-quality"), QStringLiteral("90"), p3}));
    ASSERT_TRUE(
        Convert({Path("ramp.png"), QStringLiteral("-profile"),
                 QStringLiteral("/usr/share/color/icc/colord/sRGB.icc"), QStringLiteral("-profile"),
                 QStringLiteral("/usr/share/color/icc/ghostscript/ps_cmyk.icc"),
                 QStringLiteral("-quality"), QStringLiteral("90"), cmyk}));
    for (const QString& file : {p3, cmyk}) {
        const QByteArray plain = ReadAll(file);
        ASSERT_FALSE(ReadJPEGHeader(plain).IccProfile.isEmpty()) << file.toStdString();
        for (int orientation : {1, 6}) {
            const QByteArray data = WithOrientation(plain, orientation);
            for (int num : {1, 4}) {
                const QImage whole = DecodeJPEG(data, num);
                const QRect region(whole.width() / 5, whole.height() / 4, whole.width() / 2,
                                   whole.height() / 2);
                for (const QSize out : {region.size(), region.size() / 2}) {
                    SCOPED_TRACE(testing::Message() << file.toStdString() << " orientation "
                                                    << orientation << " at " << num << "/8");
                    const QImage alone = DecodeJPEGPart(data, num, region, out);
                    ASSERT_EQ(alone.size(), out);
                    EXPECT_EQ(DifferentPixels(alone, ReduceGraphicRegion(whole, region, out)), 0);
                }
            }
        }
    }
    // And the conversion is there: the P3 photo's part differs clearly from the same pixels
    // taken as sRGB.
    const QString untaggedFile = Path("ramp-untagged.jpg");
    ASSERT_TRUE(Convert(
        {Path("ramp.png"), QStringLiteral("-quality"), QStringLiteral("90"), untaggedFile}));
    TJPEGImage tagged, untagged;
    tagged.LoadFromFile(p3);
    untagged.LoadFromFile(untaggedFile);
    const QRectF all(0, 0, 203, 151);
    const QImage a = tagged.ToImagePart(all, QSize(203, 151)).Pixels;
    const QImage b = untagged.ToImagePart(all, QSize(203, 151)).Pixels;
    ASSERT_EQ(a.size(), b.size());
    double apart = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            apart += std::abs(qRed(a.pixel(x, y)) - qRed(b.pixel(x, y))) +
                     std::abs(qGreen(a.pixel(x, y)) - qGreen(b.pixel(x, y))) +
                     std::abs(qBlue(a.pixel(x, y)) - qBlue(b.pixel(x, y)));
    EXPECT_GT(apart / (3.0 * a.width() * a.height()), 3.0);
}

TEST_F(GraphicParts, APngOrHeifPhotosPartIsTheSameWhateverWasDrawnBefore) {
    // The photo classes keep one decoding; a part must not come from one made for another
    // size, or the window's sheet (after the sample and the fitted sheet were drawn) and the
    // exported one would differ.
    const QRectF part(40.5, 30.25, 101.5, 76.125);
    const QSize size(50, 38);
    TPhotoImage fresh(TPhotoFormat::Png);
    fresh.LoadFromFile(Path("ramp.png"));
    const TGraphicPart first = fresh.ToImagePart(part, size);
    ASSERT_FALSE(first.Pixels.isNull());
    EXPECT_NEAR(first.Source.width(), size.width(), 1.0);
    EXPECT_NEAR(first.Source.height(), size.height(), 1.0);
    for (const QSize drawnBefore : {QSize(20, 15), QSize(150, 112), QSize(203, 151)}) {
        TPhotoImage used(TPhotoFormat::Png);
        used.LoadFromFile(Path("ramp.png"));
        (void)used.ToImageForSize(drawnBefore);
        const TGraphicPart again = used.ToImagePart(part, size);
        EXPECT_EQ(DifferentPixels(again.Pixels, first.Pixels), 0) << drawnBefore.width();
        EXPECT_EQ(again.Source, first.Source);
    }
    // At its own pixels the part is the photo's pixels.
    const TGraphicPart own = fresh.ToImagePart(QRectF(17, 23, 60, 45), QSize(120, 90));
    const QImage ramp = QImage(Path("ramp.png")).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(own.Source, QRectF(0, 0, 60, 45));
    EXPECT_EQ(DifferentPixels(own.Pixels, ramp.copy(17, 23, 60, 45)), 0);
}

TEST_F(GraphicParts, AJpegPartAtItsOwnPixelsIsImageMagicksCropOfTheUprightPhoto) {
    const QString plain = Path("ramp.jpg");
    ASSERT_TRUE(
        Convert({Path("ramp.png"), QStringLiteral("-quality"), QStringLiteral("95"), plain}));
    for (int orientation : {1, 3, 6, 8}) {
        const QString file = Path(QStringLiteral("ramp-%1.jpg").arg(orientation));
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(WithOrientation(ReadAll(plain), orientation));
        out.close();
        const QRect crop(17, 23, 60, 45); // whole pixels of the upright photo
        const QString cropped = file + QStringLiteral(".png");
        ASSERT_TRUE(Convert({file, QStringLiteral("-auto-orient"), QStringLiteral("-crop"),
                             QStringLiteral("60x45+17+23"), QStringLiteral("+repage"), cropped}));
        const QImage expected = QImage(cropped).convertToFormat(QImage::Format_RGB32);
        TJPEGImage jpeg;
        jpeg.LoadFromFile(file);
        const TGraphicPart part = jpeg.ToImagePart(QRectF(crop), crop.size() * 2);
        ASSERT_EQ(part.Pixels.size(), crop.size()) << orientation; // never enlarged
        EXPECT_EQ(part.Source, QRectF(0, 0, 60, 45));
        int wrong = 0;
        for (int y = 0; y < crop.height(); ++y)
            for (int x = 0; x < crop.width(); ++x)
                wrong += !Near(part.Pixels.pixel(x, y), expected.pixel(x, y), 12);
        EXPECT_EQ(wrong, 0) << "orientation " << orientation;
    }
}

TEST(GraphicPart, OtherPicturesAreCutOutOfTheirPixelsWithThePartsExactPlace) {
    // Red left half, blue right half.
    QImage halves(40, 30, QImage::Format_RGB32);
    halves.fill(qRgb(255, 0, 0));
    for (int y = 0; y < 30; ++y)
        for (int x = 20; x < 40; ++x)
            halves.setPixel(x, y, qRgb(0, 0, 255));
    TBitmap bitmap;
    bitmap.Assign(halves);

    const TGraphicPart right = bitmap.ToImagePart(QRectF(20, 0, 20, 30), QSize(10, 15));
    EXPECT_EQ(right.Pixels.size(), QSize(10, 15));
    EXPECT_EQ(right.Source, QRectF(0, 0, 10, 15));
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(right.Pixels.pixel(x, y), qRgb(0, 0, 255));

    // Edges inside pixels: the pixels around the part, and where in them it lies.
    const TGraphicPart shifted = bitmap.ToImagePart(QRectF(19.5, 2.25, 10, 5.5), QSize(100, 100));
    EXPECT_EQ(shifted.Pixels.size(), QSize(11, 6)); // rows 2 .. 7
    EXPECT_EQ(shifted.Source, QRectF(0.5, 0.25, 10, 5.5));
    EXPECT_EQ(shifted.Pixels.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(shifted.Pixels.pixel(1, 0), qRgb(0, 0, 255));

    // Beyond the picture: cut to it; wholly beyond: nothing.
    EXPECT_EQ(bitmap.ToImagePart(QRectF(30, 20, 50, 50), QSize(100, 100)).Pixels.size(),
              QSize(10, 10));
    EXPECT_TRUE(bitmap.ToImagePart(QRectF(50, 0, 5, 5), QSize(5, 5)).Pixels.isNull());
    EXPECT_TRUE(TBitmap().ToImagePart(QRectF(0, 0, 5, 5), QSize(5, 5)).Pixels.isNull());
}

// A bitmap that counts how often it is asked for its pixels.
class TCountingBitmap : public TBitmap {
  public:
    using TBitmap::TBitmap;
    QImage ToImageForSize(const QSize& size) const override {
        ++Asked;
        return TBitmap::ToImageForSize(size);
    }
    std::unique_ptr<TGraphic> Clone() const override {
        auto copy = std::make_unique<TCountingBitmap>();
        copy->Assign(ToImage());
        return copy;
    }
    mutable int Asked = 0;
};

TEST(ImageSourceRect, TheControlShowsThePartAndNewPartsDecodeNothing) {
    QImage quarters(800, 600, QImage::Format_RGB32);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            quarters.setPixel(x, y,
                              x < 400 ? (y < 300 ? qRgb(0, 0, 255) : qRgb(255, 0, 0))
                                      : (y < 300 ? qRgb(255, 0, 0) : qRgb(0, 255, 0)));
    TImage image;
    image.resize(224, 168);
    image.SetStretch(true);
    auto graphic = std::make_unique<TCountingBitmap>();
    graphic->Assign(quarters);
    const TCountingBitmap* counting = graphic.get();
    image.Picture().SetGraphic(std::move(graphic));

    image.SetSourceRect(QRectF(0, 0, 400, 300)); // the blue quarter fills the control
    QImage shown = image.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(224, 168));
    EXPECT_TRUE(Near(shown.pixel(2, 2), qRgb(0, 0, 255), 8));
    EXPECT_TRUE(Near(shown.pixel(221, 165), qRgb(0, 0, 255), 8));
    const int asked = counting->Asked;

    // The bottom-right quarter and a part across the middle, repainted at once.
    image.SetSourceRect(QRectF(400, 300, 400, 300));
    shown = image.grab().toImage();
    EXPECT_TRUE(Near(shown.pixel(112, 84), qRgb(0, 255, 0), 8));
    image.SetSourceRect(QRectF(200, 150, 400, 300));
    shown = image.grab().toImage();
    EXPECT_TRUE(Near(shown.pixel(50, 40), qRgb(0, 0, 255), 8));
    EXPECT_TRUE(Near(shown.pixel(170, 40), qRgb(255, 0, 0), 8));
    EXPECT_TRUE(Near(shown.pixel(170, 130), qRgb(0, 255, 0), 8));
    EXPECT_EQ(counting->Asked, asked);

    // No part: the whole picture again.
    image.SetSourceRect({});
    shown = image.grab().toImage();
    EXPECT_TRUE(Near(shown.pixel(50, 40), qRgb(0, 0, 255), 8));
    EXPECT_TRUE(Near(shown.pixel(170, 130), qRgb(0, 255, 0), 8));
}

} // namespace
