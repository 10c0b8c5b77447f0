#include <gtest/gtest.h>

#include "common/errors.h"

#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>

#include "../common/imagemagick.h"
#include "photo/jpegcodec.h"
#include "photo/jpegimage.h"
#include "photo/picture.h"
#include "platform/bitmap.h"

using testing_support::Convert;
using testing_support::MakeQuarters;

namespace {

// A graphic of a class the program does not know, as another subsystem would register one.
class TTestGraphic : public TGraphic {
  public:
    QString ClassName() const override { return QStringLiteral("TTestGraphic"); }
    int Width() const override { return FSize; }
    int Height() const override { return FSize; }
    bool Empty() const override { return FSize == 0; }
    void LoadFromBytes(const QByteArray& bytes) override { FSize = int(bytes.size()); }
    void SaveToStream(QIODevice&) const override {}
    QImage ToImage() const override {
        QImage image(FSize, FSize, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        return image;
    }
    std::unique_ptr<TGraphic> Clone() const override {
        return std::make_unique<TTestGraphic>(*this);
    }

  private:
    int FSize = 0;
};

} // namespace

TEST(TPicture, BitmapFilesWrittenByImageMagickReadPixelForPixel) {
    QTemporaryDir dir;
    for (const char* type : {"BMP3:", "BMP:"}) {
        const QString bmp = dir.filePath(QStringLiteral("q.BMP"));
        ASSERT_TRUE(MakeQuarters(QString::fromLatin1(type) + bmp, 30, 20));
        ASSERT_TRUE(Convert({bmp, dir.filePath(QStringLiteral("q.png"))}));
        TPicture picture;
        int changes = 0;
        picture.OnChange = [&changes] { ++changes; };
        picture.LoadFromFile(bmp); // the extension in capitals, as the open dialog's filter has it
        EXPECT_EQ(changes, 1);
        ASSERT_NE(picture.Graphic(), nullptr);
        EXPECT_EQ(picture.Graphic()->ClassName(), "TBitmap");
        const QImage expected =
            QImage(dir.filePath(QStringLiteral("q.png"))).convertToFormat(QImage::Format_RGB32);
        const QImage got = picture.Graphic()->ToImage();
        ASSERT_EQ(got.size(), expected.size()) << type;
        for (int y = 0; y < got.height(); ++y)
            for (int x = 0; x < got.width(); ++x)
                ASSERT_EQ(got.pixel(x, y), expected.pixel(x, y)) << type << " at " << x << "," << y;
        EXPECT_EQ(&picture.Bitmap(), picture.Graphic()); // already a bitmap: kept
    }
}

TEST(TPicture, CopiesAreIndependentAndEmptyPicturesAreEmpty) {
    TPicture a;
    EXPECT_TRUE(a.Empty());
    EXPECT_EQ(a.Width(), 0);
    TBitmap bitmap(10, 5);
    a.SetGraphic(&bitmap);
    ASSERT_NE(a.Graphic(), nullptr);
    EXPECT_NE(a.Graphic(), &bitmap); // a copy
    TPicture b;
    b.Assign(&a);
    EXPECT_NE(b.Graphic(), a.Graphic());
    EXPECT_EQ(b.Width(), 10);
    a.Bitmap().SetSize(3, 3);
    EXPECT_EQ(b.Width(), 10);
    b.Assign(nullptr);
    EXPECT_EQ(b.Graphic(), nullptr);
}

TEST(TPicture, BitmapReplacesAnotherGraphicByAnEmptyBitmap) {
    QTemporaryDir dir;
    ASSERT_TRUE(MakeQuarters(dir.filePath(QStringLiteral("p.jpg")), 16, 16));
    TPicture picture;
    picture.LoadFromFile(dir.filePath(QStringLiteral("p.jpg")));
    TJPEGImage jpeg;
    jpeg.Assign(*picture.Graphic());
    TBitmap& bitmap = picture.Bitmap();
    EXPECT_TRUE(bitmap.Empty());
    bitmap.Assign(jpeg); // the class library's way to keep the picture as a bitmap
    EXPECT_EQ(picture.Width(), 16);
}

TEST(TPicture, FilesAreReadByTheClassRegisteredForTheirExtension) {
    QTemporaryDir dir;
    const QString odd = dir.filePath(QStringLiteral("a.tst"));
    {
        QFile f(odd);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("12345");
    }
    TPicture picture;
    const QString known = QStringLiteral("bmp, jpg, jpeg, png, gif, tif, tiff, webp, heic, heif");
    EXPECT_EQ(
        ErrorOf([&] { picture.LoadFromFile(odd); }),
        QStringLiteral(
            "画像ファイル「a.tst」の種類（.tst）には対応していません（読み込めるのは %1 です）。")
            .arg(known));
    EXPECT_FALSE(TPicture::IsPictureFileName(odd));

    TPicture::RegisterFileFormat(QStringLiteral(".TST"), QStringLiteral("Test"),
                                 [] { return std::make_unique<TTestGraphic>(); });
    EXPECT_EQ(TPicture::FileFormatDescription(QStringLiteral("tst")), "Test");
    picture.LoadFromFile(odd);
    EXPECT_EQ(picture.Graphic()->ClassName(), "TTestGraphic");
    EXPECT_EQ(picture.Width(), 5);
    // The open dialog's filter and the test for dropped files follow the registry.
    EXPECT_TRUE(TPicture::IsPictureFileName(QStringLiteral("/x/A.TST")));
    EXPECT_EQ(
        TPicture::FileFilter(QStringLiteral("画像ファイル")),
        QStringLiteral(
            "画像ファイル(bmp,jpg,jpeg,png,gif,tif,tiff,webp,heic,heif,tst)|*.bmp;*.jpg;*.jpeg;*.png;*.gif;*.tif;*.tiff;*.webp;*.heic;*.heif;*.tst"));
    TPicture::UnregisterFileFormat(QStringLiteral("tst"));
    EXPECT_EQ(TPicture::FileExtensions(), (QStringList{"bmp", "jpg", "jpeg", "png", "gif", "tif",
                                                       "tiff", "webp", "heic", "heif"}));
    EXPECT_TRUE(TPicture::IsPictureFileName(QStringLiteral("IMG_0001.HEIC")));
    EXPECT_FALSE(TPicture::IsPictureFileName(QStringLiteral("notes.txt")));
    EXPECT_FALSE(TPicture::IsPictureFileName(QStringLiteral("jpg")));

    EXPECT_EQ(ErrorOf([&] { picture.LoadFromFile(dir.filePath(QStringLiteral("none.jpg"))); }),
              QStringLiteral("画像ファイル「none.jpg」を開けません。"));
    EXPECT_EQ(picture.Width(), 5); // unchanged by the failures
}

TEST(TPicture, AGraphicOfUnknownClassConvertsToABitmapButNotBack) {
    TTestGraphic odd;
    odd.LoadFromBytes("abc");
    TBitmap bitmap;
    bitmap.Assign(odd);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Image().pixel(1, 1), qRgb(255, 0, 255));
    EXPECT_EQ(ErrorOf([&] { odd.Assign(bitmap); }),
              QStringLiteral("TBitmap を TTestGraphic に代入できません。"));
}

TEST(TPicture, DamagedBitmapFilesGiveAMessage) {
    QTemporaryDir dir;
    const QString bmp = dir.filePath(QStringLiteral("bad.bmp"));
    {
        QFile f(bmp);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("BM this is not a bitmap at all");
    }
    TPicture picture;
    EXPECT_TRUE(ErrorOf([&] {
                    picture.LoadFromFile(bmp);
                }).startsWith(QStringLiteral("ビットマップ画像を読み込めません")));
    EXPECT_EQ(picture.Graphic(), nullptr);
}

TEST(TPicture, APictureDrawnLargerThanItsHeaderSaysIsRefusedByItsRealSize) {
    // A GIF (found by the fuzzer) whose first frame is 12 × 6 on a "logical screen" of
    // 65524 × 2298, 150 million pixels: the reader announces the frame and makes the screen.
    const QByteArray gif = QByteArray::fromBase64(
        "R0lGODlh9P/6CPECAP8AAAAA/////wAAACH5BAAAAAAALAAAAAAMAAYAAAIPhC+ph5psnFSh2mmvzLUAADs=");
    QTemporaryDir dir;
    const QString bmp = dir.filePath(QStringLiteral("screen.bmp"));
    {
        QFile f(bmp);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(gif);
    }
    TPicture picture;
    EXPECT_EQ(
        ErrorOf([&] { picture.LoadFromFile(bmp); }),
        QStringLiteral(
            "画像が大きすぎます（65524 × 2298 ピクセル）。1 億ピクセルまでの画像を使ってください。"));
    EXPECT_EQ(picture.Graphic(), nullptr);
}

TEST(TPicture, APipeIsRefusedAtOnceWithoutBeingRead) {
    // A pipe says nothing of what it holds or when it ends, and a named one without a writer
    // would keep the program waiting at its opening: a photo is a regular file.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    ASSERT_EQ(write(ends[1], "\xFF\xD8\xFF", 3), 3);
    TJPEGImage image;
    try {
        image.LoadFromFile(QStringLiteral("/proc/self/fd/%1").arg(ends[0]));
        ADD_FAILURE() << "a pipe was read";
    } catch (const EInvalidGraphic& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("ふつうのファイルではない")))
            << e.Message().toStdString();
    }
    // Nothing was taken out of it.
    char first = 0;
    EXPECT_EQ(read(ends[0], &first, 1), 1);
    EXPECT_EQ(first, '\xFF');
    close(ends[0]);
    close(ends[1]);
    EXPECT_TRUE(image.Empty());
}
