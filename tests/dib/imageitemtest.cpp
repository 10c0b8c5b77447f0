// The report's image item takes a device-independent bitmap beside bitmaps and JPEG images,
// whether it comes from a ".dib" file or from another picture, and prints its pixels.
#include <gtest/gtest.h>

#include "dib/vddib.h"
#include "dibtesthelpers.h"
#include "photo/picture.h"
#include "report/lightrepex.h"

TEST(ImageItem, TakesAndPrintsADibPicture) {
    TTempDir dir;
    const QString file = dir.File(QStringLiteral("rose.dib"));
    ASSERT_TRUE(RunConvert({"rose:", "-colors", "64", "-compress", "RLE", "BMP3:" + file}));
    RegisterVdDIB();
    TPicture picture;
    picture.LoadFromFile(file);
    UnregisterVdDIB();
    ASSERT_EQ(picture.Graphic()->ClassName(), "TVdDIB");
    EXPECT_EQ(static_cast<TVdDIB*>(picture.Graphic())->GetPixelFormat(), vdPf8BitRLE);

    TLRImage item;
    item.SetPicture(&picture); // accepted, and copied into the item's own picture
    ASSERT_NE(item.Picture().Graphic(), nullptr);
    EXPECT_EQ(item.Picture().Graphic()->ClassName(), "TVdDIB");

    QImage page(100, 60, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        TCanvas canvas(&page);
        item.Print(canvas, {10, 5, 90, 55}, prsNormal, 1.0);
    }
    // Drawn at its own size from the item's corner, as ImageMagick sees the file.
    const QImage expected = ImageMagickDecode(file);
    EXPECT_TRUE(SameImage(expected, page.copy(10, 5, 70, 46)));
    EXPECT_EQ(page.pixel(9, 5), qRgb(255, 255, 255));
    EXPECT_EQ(page.pixel(80, 5), qRgb(255, 255, 255));
}
