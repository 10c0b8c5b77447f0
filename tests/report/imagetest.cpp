#include <gtest/gtest.h>

#include "common/errors.h"

#include <QTemporaryDir>

#include "../common/imagemagick.h"
#include "photo/jpegimage.h"
#include "report/lightrepex.h"
#include "reporttesting.h"

using namespace report_testing;

namespace {

// A graphic of a class the image item refuses (an icon, say), or one named as another
// subsystem's class.
class TNamedGraphic : public TGraphic {
  public:
    explicit TNamedGraphic(QString name) : FName(std::move(name)) {}
    QString ClassName() const override { return FName; }
    int Width() const override { return 4; }
    int Height() const override { return 4; }
    bool Empty() const override { return false; }
    void LoadFromBytes(const QByteArray&) override {}
    void SaveToStream(QIODevice&) const override {}
    QImage ToImage() const override {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::green);
        return image;
    }
    std::unique_ptr<TGraphic> Clone() const override {
        return std::make_unique<TNamedGraphic>(*this);
    }

  private:
    QString FName;
};

// A picture of four coloured quarters, no white in it.
std::unique_ptr<TBitmap> Quarters(int w, int h) {
    auto bitmap = std::make_unique<TBitmap>(w, h);
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((x < w / 2) != (y < h / 2))
                image.setPixel(x, y, qRgb(0, 0, 255));
    bitmap->Assign(image);
    return bitmap;
}

const QRgb Grey = qRgb(128, 128, 128);

QImage GreyPage(int w, int h, int dpi) {
    QImage image = WhitePage(w, h, dpi);
    image.fill(Grey);
    return image;
}

// The rectangle of pixels no longer grey.
QRect Drawn(const QImage& image) {
    QRect drawn;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((row[x] & 0xFFFFFF) != (Grey & 0xFFFFFF))
                drawn |= QRect(x, y, 1, 1);
    }
    return drawn;
}

QImage Print(TLRImage& item, const TRect& rect, double scale, QSize size,
             TPrintStatus status = prsNormal) {
    QImage image = GreyPage(size.width(), size.height(), qRound(96 * scale));
    TCanvas canvas(&image);
    item.Print(canvas, rect, status, scale);
    canvas.EndPaint();
    return image;
}

} // namespace

TEST(TLRImage, ALargePictureIsCutToTheItem) {
    TLRImage item;
    item.Picture().SetGraphic(Quarters(800, 600));
    const QImage one = Print(item, {0, 0, 708, 531}, 1.0, QSize(760, 560));
    EXPECT_EQ(Drawn(one), QRect(0, 0, 708, 531));
    // The left 708 columns and top 531 rows: the red quarter ends at 400, 300 of the picture.
    EXPECT_EQ(one.pixel(399, 10), qRgb(255, 0, 0));
    EXPECT_EQ(one.pixel(400, 10), qRgb(0, 0, 255));
    EXPECT_EQ(one.pixel(707, 299), qRgb(0, 0, 255));
    EXPECT_EQ(one.pixel(707, 300), qRgb(255, 0, 0));

    const QImage printed = Print(item, {0, 0, 708, 531}, 6.25, QSize(4460, 3340));
    EXPECT_EQ(Drawn(printed), QRect(0, 0, 4425, 3318));
    EXPECT_EQ(printed.pixel(1000, 100), qRgb(255, 0, 0));
    EXPECT_EQ(printed.pixel(3000, 100), qRgb(0, 0, 255));
}

TEST(TLRImage, ASmallPictureIsDrawnAtItsOwnSize) {
    TLRImage item;
    item.Picture().SetGraphic(Quarters(100, 50));
    const QImage image = Print(item, {3, 2, 711, 533}, 1.0, QSize(760, 560));
    EXPECT_EQ(Drawn(image), QRect(3, 2, 100, 50));
    EXPECT_EQ(image.pixel(3, 2), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(102, 2), qRgb(0, 0, 255));
    const QImage printed = Print(item, {3, 2, 711, 533}, 6.25, QSize(700, 400));
    EXPECT_EQ(Drawn(printed), QRect(18, 12, 625, 313)); // (18, 12) to (643, 325), exclusive
}

TEST(TLRImage, AStretchedPictureFillsTheItem) {
    TLRImage item;
    item.SetStretch(true);
    item.Picture().SetGraphic(Quarters(100, 50));
    const QImage image = Print(item, {3, 2, 711, 533}, 1.0, QSize(760, 560));
    EXPECT_EQ(Drawn(image), QRect(3, 2, 708, 531));
    EXPECT_EQ(image.pixel(100, 100), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(600, 100), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(600, 500), qRgb(255, 0, 0));
    const QImage printed = Print(item, {3, 2, 711, 533}, 6.25, QSize(4500, 3400));
    EXPECT_EQ(Drawn(printed), QRect(18, 12, 4443 - 18, 3331 - 12));
}

TEST(TLRImage, NothingIsDrawnForFramesSkipsAndEmptyPictures) {
    TLRImage item;
    item.Picture().SetGraphic(Quarters(10, 10));
    for (TPrintStatus status : {prsFrameOnly, prsSkip})
        EXPECT_TRUE(Drawn(Print(item, {0, 0, 20, 20}, 1.0, QSize(30, 30), status)).isNull());
    item.Picture().SetGraphic(std::make_unique<TBitmap>());
    EXPECT_TRUE(Drawn(Print(item, {0, 0, 20, 20}, 1.0, QSize(30, 30))).isNull());
    item.Picture().SetGraphic(nullptr);
    EXPECT_TRUE(Drawn(Print(item, {0, 0, 20, 20}, 1.0, QSize(30, 30))).isNull());
}

TEST(TLRImage, OnlyBitmapsJpegImagesAndDibsAreAssigned) {
    TLRImage item;
    int repaints = 0;
    item.OnInvalidate = [&repaints](TLRControl*) { ++repaints; };
    TPicture bitmap;
    bitmap.SetGraphic(Quarters(10, 10));
    item.SetPicture(&bitmap);
    EXPECT_EQ(item.Picture().Width(), 10);
    EXPECT_NE(item.Picture().Graphic(), bitmap.Graphic()); // a copy
    EXPECT_EQ(repaints, 1);

    TPicture icon;
    icon.SetGraphic(std::make_unique<TNamedGraphic>(QStringLiteral("TIcon")));
    EXPECT_EQ(ErrorOf([&] { item.SetPicture(&icon); }),
              QStringLiteral("イメージはビットマップかJPEGイメージのみ有効です"));
    EXPECT_THROW(item.SetPicture(&icon), Exception);
    try {
        item.SetPicture(&icon);
    } catch (const ELRError&) {
        ADD_FAILURE() << "the class library's base exception, not the report engine's";
    } catch (const Exception&) {
    }
    EXPECT_EQ(item.Picture().Graphic()->ClassName(), "TBitmap"); // the old picture stays

    TPicture dib;
    dib.SetGraphic(std::make_unique<TNamedGraphic>(QStringLiteral("TVdDIB")));
    item.SetPicture(&dib);
    EXPECT_EQ(item.Picture().Graphic()->ClassName(), "TVdDIB");

    TPicture empty;
    item.SetPicture(&empty);
    EXPECT_EQ(item.Picture().Graphic(), nullptr);
    item.SetPicture(&bitmap);
    item.SetPicture(nullptr);
    EXPECT_EQ(item.Picture().Graphic(), nullptr);

    // Put into the container directly, nothing is tested.
    item.Picture().Assign(&icon);
    EXPECT_EQ(item.Picture().Graphic()->ClassName(), "TIcon");
}

TEST(TLRImage, AJpegPictureIsDecodedForEachDrawingAndADamagedOneReachesTheCaller) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(testing_support::MakeQuarters(file, 80, 60));
    TImagePrinter printer(600, QSize(10, 10));
    VEvudaRir doc(&printer);
    auto* band = CreateLR<TLRLayoutPanel>(&doc);
    auto* image = CreateLR<TLRImage>(band, QStringLiteral("LRImage1"), Bounds(3, 2, 80, 60));
    image->Picture().LoadFromFile(file);
    TBitmap page(794, 1123);
    doc.PreviewPage(page.Canvas());
    EXPECT_TRUE(testing_support::Near(page.Image().pixel(37 + 3 + 5, 37 + 2 + 5), qRgb(0, 0, 255)));
    doc.EndPreview();

    // A picture whose scan is cut short: its header read fine, drawing it fails.
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray bytes = f.readAll();
    auto cut = std::make_unique<TJPEGImage>();
    cut->LoadFromBytes(bytes.left(bytes.size() - 40));
    image->Picture().SetGraphic(std::move(cut));
    EXPECT_THROW(doc.PreviewPage(page.Canvas()), EInvalidGraphic);
}

TEST(TLRImage, ThePlaceholderOfAnEmptyItem) {
    TLRImage item;
    item.SetName(QStringLiteral("LRImage1"));
    item.SetBounds(0, 0, 60, 30);
    QImage image = WhitePage(60, 30);
    TCanvas canvas(&image);
    item.Paint(canvas);
    canvas.EndPaint();
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 128, 0));
    EXPECT_TRUE(IsWhite(image, 1, 0)); // dotted
    EXPECT_EQ(image.pixel(2, 0), qRgb(0, 128, 0));
    EXPECT_FALSE(InkBounds(image, QRect(4, 4, 50, 20)).isNull()); // the name
}
