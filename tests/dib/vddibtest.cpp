// The picture class: shared storage that separates on change, size and depth changes,
// progress events, palettes, loading, the clipboard, assignment with bitmaps, drawing with the
// halftone modes, the canvas that draws into the pixels, and the registration for ".dib".
#include <gtest/gtest.h>

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "dib/diberrors.h"
#include "dib/dibimage.h"
#include "dib/vddib.h"
#include "dibtesthelpers.h"
#include "photo/picture.h"
#include "platform/bitmap.h"
#include "platform/clipboard.h"
#include "platform/syserrors.h"

namespace {

/// A picture holding `image` at 24 bits.
void Fill(TVdDIB& dib, const QImage& image) {
    QByteArray bytes = WriteBytes(MakeTrueColorDIB(image));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    dib.LoadFromStream(buffer);
}

QImage Gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, (x + y) % 256));
    return image;
}

/// Wide bands of flat colour, which compress well.
QImage Bands(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x / 10 * 60, 200 - y / 5 * 40, 90));
    return image;
}

template <class E> std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const E& e) {
        return e.what();
    }
    return "";
}

struct TProgressRecord {
    TProgressStage Stage;
    int Percent;
    bool Redraw;
    TRect Rect;
    QString Message;
};

} // namespace

TEST(VdDIB, NewPictureIsOneBlackPixelAndNeverEmpty) {
    TVdDIB dib;
    EXPECT_EQ(dib.Width(), 1);
    EXPECT_EQ(dib.Height(), 1);
    EXPECT_FALSE(dib.Empty());
    EXPECT_EQ(dib.GetBitCount(), 8);
    EXPECT_EQ(dib.GetPixelFormat(), vdPf8Bit);
    EXPECT_TRUE(dib.GetUseFMO());
    EXPECT_TRUE(dib.PaletteModified);
    EXPECT_EQ(dib.ClassName(), "TVdDIB");
    EXPECT_EQ(dib.ToImage().pixel(0, 0), qRgb(0, 0, 0));
}

TEST(VdDIB, SizeChangesGiveBlankPictures) {
    TVdDIB dib;
    Fill(dib, Gradient(100, 50));
    int changes = 0;
    dib.OnChange = [&changes] { ++changes; };
    dib.SetWidth(100);
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(SameImage(Gradient(100, 50), dib.ToImage()));

    dib.SetWidth(101);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(dib.Width(), 101);
    EXPECT_EQ(dib.Height(), 50);
    EXPECT_EQ(dib.GetBitCount(), 24);
    QImage black(101, 50, QImage::Format_RGB32);
    black.fill(Qt::black);
    EXPECT_TRUE(SameImage(black, dib.ToImage()));

    dib.SetHeight(-50); // the same absolute height: nothing happens
    EXPECT_EQ(changes, 1);
    dib.SetHeight(-20);
    EXPECT_EQ(dib.DIBInfo().Header.biHeight, -20);
    EXPECT_EQ(dib.Height(), 20);

    dib.SetBitCount(4);
    EXPECT_EQ(dib.DIBInfo().ColorsUsed(), 16);
    EXPECT_EQ(dib.Width(), 101);
    dib.SetBitCount(24);
    EXPECT_EQ(dib.DIBInfo().ColorsUsed(), 0);

    EXPECT_EQ(MessageOf<EVdDIBInvalidDIBPara>([&] { dib.SetWidth(0); }),
              "TVdDIB.SetWidth: Invalid Width");
    EXPECT_EQ(MessageOf<EVdDIBInvalidDIBPara>([&] { dib.SetWidth(-4); }),
              "TVdDIB.SetWidth: Invalid Width");
    EXPECT_EQ(MessageOf<EVdDIBInvalidDIBPara>([&] { dib.SetHeight(0); }),
              "TVdDIB.SetWidth: Invalid Height");
    EXPECT_EQ(MessageOf<EVdDIBInvalidDIBPara>([&] { dib.SetBitCount(16); }),
              "TVdDIB.SetBitCount: Invalid BitCount");
    EXPECT_EQ(MessageOf<EVdDIBInvalidDIBPara>([&] { dib.SetWidth(20000000); }),
              "TVdInternalDIB.CreateDIB: Image Too Large");
    EXPECT_EQ(dib.Width(), 101);
}

TEST(VdDIB, AssignedPicturesShareUntilOneChanges) {
    TVdDIB first;
    Fill(first, Gradient(40, 30));
    first.MonoColor = clRed;
    first.ConvertQuality = 1;
    TVdDIB second;
    second.Assign(first);
    EXPECT_EQ(&second.DIBInfo(), &first.DIBInfo()); // one storage
    EXPECT_EQ(second.MonoColor, clRed);
    EXPECT_EQ(second.ConvertQuality, 1);

    second.SetPixelFormat(vdPf8Bit);
    EXPECT_NE(&second.DIBInfo(), &first.DIBInfo());
    EXPECT_EQ(first.GetPixelFormat(), vdPf24Bit);
    EXPECT_TRUE(SameImage(Gradient(40, 30), first.ToImage()));
    EXPECT_EQ(second.GetPixelFormat(), vdPf8Bit);

    // A clone shares too, and the last picture to let go frees the storage.
    {
        std::unique_ptr<TGraphic> clone = first.Clone();
        EXPECT_EQ(&static_cast<TVdDIB&>(*clone).DIBInfo(), &first.DIBInfo());
        static_cast<TVdDIB&>(*clone).SetPalette(nullptr);
        EXPECT_NE(&static_cast<TVdDIB&>(*clone).DIBInfo(), &first.DIBInfo());
    }
    TVdDIB third;
    {
        TVdDIB temporary;
        Fill(temporary, Gradient(3, 3));
        third.Assign(temporary);
    }
    EXPECT_TRUE(SameImage(Gradient(3, 3), third.ToImage()));

    // Assigning nothing gives the sharing picture a fresh one-pixel picture of its own.
    TVdDIB fourth;
    fourth.Assign(third);
    fourth.Assign(nullptr);
    EXPECT_EQ(fourth.Width(), 1);
    EXPECT_EQ(fourth.GetPixelFormat(), vdPf8Bit);
    EXPECT_TRUE(SameImage(Gradient(3, 3), third.ToImage()));
}

TEST(VdDIB, ReductionsReportProgressPerLeaf) {
    TVdDIB dib;
    Fill(dib, Gradient(64, 48));
    std::vector<TProgressRecord> events;
    dib.OnProgress = [&events](TProgressStage stage, int percent, bool redraw, const TRect& rect,
                               const QString& message) {
        events.push_back({stage, percent, redraw, rect, message});
    };
    dib.SetPixelFormat(vdPf8Bit);
    ASSERT_EQ(events.size(), 257u);
    EXPECT_EQ(events.front().Stage, psStarting);
    EXPECT_EQ(events.front().Percent, 0);
    EXPECT_EQ(events.front().Rect, Bounds(0, 0, 64, 48));
    for (int count = 1; count <= 255; ++count) {
        EXPECT_EQ(events[static_cast<std::size_t>(count)].Stage, psRunning);
        EXPECT_EQ(events[static_cast<std::size_t>(count)].Percent, count * 100 / 256);
    }
    EXPECT_EQ(events.back().Stage, psEnding);
    EXPECT_EQ(events.back().Percent, 100);
    EXPECT_TRUE(events.back().Redraw);
    EXPECT_EQ(events.back().Message, "PixelFormat 24Bit -> 8Bit");

    events.clear();
    dib.SetPixelFormat(vdPf4BitRLE);
    ASSERT_EQ(events.size(), 17u);
    EXPECT_EQ(events.front().Message, "PixelFormat 8Bit -> 4BitRLE");
    EXPECT_EQ(events[8].Percent, 8 * 100 / 16);

    events.clear();
    dib.SetPixelFormat(vdPf24Bit); // an expansion reports nothing
    EXPECT_TRUE(events.empty());
}

TEST(VdDIB, FailedConversionStillEndsItsProgress) {
    TVdDIB dib;
    Fill(dib, Gradient(1, 1));
    std::vector<TProgressStage> stages;
    dib.OnProgress = [&stages](TProgressStage stage, int, bool, const TRect&, const QString&) {
        stages.push_back(stage);
    };
    // A single pixel cannot be run-length encoded.
    EXPECT_THROW(dib.SetPixelFormat(vdPf8BitRLE), EVdDIBCompressionFailed);
    ASSERT_FALSE(stages.empty());
    EXPECT_EQ(stages.front(), psStarting);
    EXPECT_EQ(stages.back(), psEnding);
    EXPECT_EQ(dib.GetPixelFormat(), vdPf24Bit);
}

TEST(VdDIB, PalettesFollowTheHalftoneMode) {
    TVdDIB dib;
    Fill(dib, Gradient(8, 8));
    dib.SetPixelFormat(vdPf4Bit);
    const HPALETTE own = dib.GetPalette();
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->palPalEntry.size(), static_cast<std::size_t>(dib.DIBInfo().ColorsUsed()));

    dib.HalftoneMode = 2;
    const HPALETTE bw = dib.GetPalette();
    ASSERT_EQ(bw->palPalEntry.size(), 2u);
    EXPECT_EQ(bw->palPalEntry[0], (TPaletteEntry{0, 0, 0, 0}));
    EXPECT_EQ(bw->palPalEntry[1], (TPaletteEntry{255, 255, 255, 0}));
    dib.HalftoneMode = 1;
    const HPALETTE halftone = dib.GetPalette();
    ASSERT_EQ(halftone->palPalEntry.size(), 215u);
    EXPECT_EQ(halftone->palPalEntry[209], (TPaletteEntry{255, 255, 255, 0}));
    EXPECT_EQ(dib.GetPalette(), halftone); // one shared palette

    TVdDIB truecolor;
    Fill(truecolor, Gradient(2, 2));
    EXPECT_EQ(truecolor.GetPalette(), nullptr);
}

TEST(VdDIB, SetPaletteReplacesTheColourTable) {
    TVdDIB dib;
    auto palette = std::make_shared<TLogPalette>();
    palette->palPalEntry = {{10, 20, 30, 0}, {40, 50, 60, 0}};
    dib.PaletteModified = false;
    dib.SetPalette(palette);
    EXPECT_TRUE(dib.PaletteModified);
    EXPECT_EQ(dib.DIBInfo().ColorsUsed(), 2);
    EXPECT_EQ(dib.DIBInfo().ColorTable[1], (RGBQUAD{60, 50, 40, 0}));
    EXPECT_EQ(dib.GetPalette(), palette); // the storage keeps the handle it was given
    EXPECT_EQ(dib.ToImage().pixel(0, 0), qRgb(10, 20, 30));

    dib.SetPalette(nullptr);
    EXPECT_EQ(dib.DIBInfo().ColorsUsed(), 0);
    EXPECT_EQ(
        MessageOf<EVdDIBInvalidPalette>([&] { dib.SetPalette(std::make_shared<TLogPalette>()); }),
        "TVdDIB.SetPalette: Invalid Palette");
}

TEST(VdDIB, LoadingFailuresLeaveThePictureAlone) {
    TVdDIB dib;
    Fill(dib, Gradient(5, 4));
    int changes = 0;
    dib.OnChange = [&changes] { ++changes; };
    EXPECT_THROW(dib.LoadFromBytes(QByteArray("not a bitmap at all")), EVdDIBInvalidDIBFile);

    // Damaged run-length data is refused when read, not later when drawn.
    TBmpFile rle;
    rle.Width = 4;
    rle.Height = 1;
    rle.BitCount = 8;
    rle.Compression = BI_RLE8;
    rle.Table = RampTable(256);
    rle.Pixels = QByteArray("\x09\x01\x00\x01", 4);
    EXPECT_EQ(MessageOf<EVdDIBInvalidDIB>([&] { dib.LoadFromBytes(rle.Bytes()); }),
              "Convert8BitRLETo8BitRGB: Bad RLE Data 4");
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(SameImage(Gradient(5, 4), dib.ToImage()));

    rle.Pixels = QByteArray("\x04\x01\x00\x01", 4);
    dib.LoadFromBytes(rle.Bytes());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(dib.GetPixelFormat(), vdPf8BitRLE);
    EXPECT_EQ(dib.ToImage().pixel(3, 0), qRgb(0, 254, 1));
}

TEST(VdDIB, SavedFilesReadBack) {
    TVdDIB dib;
    Fill(dib, Gradient(33, 17));
    dib.SetPixelFormat(vdPf8Bit);
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    dib.SaveToStream(out);
    TVdDIB again;
    again.LoadFromBytes(bytes);
    EXPECT_TRUE(SameImage(dib.ToImage(), again.ToImage()));
    EXPECT_EQ(again.GetPixelFormat(), vdPf8Bit);
}

TEST(VdDIB, ClipboardFormatAndSystemClipboard) {
    TVdDIB dib;
    Fill(dib, Gradient(6, 5));
    unsigned short format = 0;
    QByteArray data;
    HPALETTE palette = std::make_shared<TLogPalette>();
    dib.SaveToClipboardFormat(format, data, palette);
    EXPECT_EQ(format, CF_DIB);
    EXPECT_EQ(palette, nullptr);
    EXPECT_EQ(data.size(), 40 + 5 * 20);

    TVdDIB pasted;
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { pasted.LoadFromClipboardFormat(2, data, nullptr); }),
              "TVdDIB.LoadFromClipboardFormat: Invalid Clipboard Format or No Data");
    EXPECT_EQ(MessageOf<EInvalidGraphic>(
                  [&] { pasted.LoadFromClipboardFormat(CF_DIB, QByteArray(), nullptr); }),
              "TVdDIB.LoadFromClipboardFormat: Invalid Clipboard Format or No Data");
    pasted.LoadFromClipboardFormat(CF_DIB, data, nullptr);
    EXPECT_TRUE(SameImage(Gradient(6, 5), pasted.ToImage()));

    // Through the system clipboard, where other programs see a bitmap file.
    Clipboard().SetAsHandle(CF_DIB, data);
    const QByteArray file = QGuiApplication::clipboard()->mimeData()->data("image/bmp");
    ASSERT_TRUE(file.startsWith("BM"));
    EXPECT_EQ(ReadBytes(file).Width(), 6);
    EXPECT_TRUE(Clipboard().HasFormat(CF_DIB));

    TVdDIB fromClipboard;
    fromClipboard.Assign(Clipboard());
    EXPECT_TRUE(SameImage(Gradient(6, 5), fromClipboard.ToImage()));

    RegisterVdDIB();
    const std::unique_ptr<TVdGraphic> graphic = GraphicFromClipboard(Clipboard());
    UnregisterVdDIB();
    ASSERT_NE(graphic, nullptr);
    EXPECT_EQ(graphic->ClassName(), "TVdDIB");
    EXPECT_TRUE(SameImage(Gradient(6, 5), graphic->ToImage()));
}

TEST(VdDIB, PastingABitmapFileStartsThePixelsAtItsOffset) {
    // Bitmap files that other programs put on the clipboard, with a gap between the colour
    // table and the pixels that the file header's pixel offset steps over: an 8-bit file
    // with a table, a core-header one, and a 24-bit file without a table.
    TBmpFile indexed;
    indexed.Width = 3;
    indexed.Height = 2;
    indexed.BitCount = 8;
    indexed.ClrUsed = 4;
    indexed.Table = RampTable(4);
    indexed.Pixels = QByteArray("\x01\x02\x03\x00\x03\x02\x01\x00", 8);
    TBmpFile core;
    core.HeaderSize = 12;
    core.Width = 2;
    core.Height = 1;
    core.BitCount = 1;
    core.Table = QByteArray("\x00\x00\x00\xFF\xFF\xFF", 6);
    core.Pixels = QByteArray("\x40\x00\x00\x00", 4);
    TBmpFile rgb;
    rgb.Width = 2;
    rgb.Height = 1;
    rgb.Pixels = QByteArray("\x10\x20\x30\x40\x50\x60\x00\x00", 8);
    for (TBmpFile file : {indexed, core, rgb}) {
        const QByteArray plain = file.Bytes();
        const QImage expected = DIBToImage(ReadBytes(plain));
        for (const std::uint32_t gap : {0u, 4u, 84u}) {
            const std::uint32_t offset =
                (static_cast<std::uint8_t>(plain[10]) | static_cast<std::uint8_t>(plain[11]) << 8) +
                gap;
            file.OffBits = offset;
            auto* mime = new QMimeData; // the clipboard takes ownership
            mime->setData(QStringLiteral("image/bmp"), file.Bytes());
            QGuiApplication::clipboard()->setMimeData(mime);
            TVdDIB pasted;
            pasted.Assign(Clipboard());
            EXPECT_TRUE(SameImage(expected, pasted.ToImage()))
                << file.HeaderSize << "-byte header, " << file.BitCount << " bits, gap " << gap;
        }
    }
}

TEST(VdDIB, RegisteredForDibFiles) {
    TTempDir dir;
    const QString file = dir.File(QStringLiteral("photo.DIB"));
    SaveFile(file, WriteBytes(MakeTrueColorDIB(Gradient(9, 7))));
    RegisterVdDIB();
    EXPECT_EQ(TPicture::FileFormatDescription(QStringLiteral("dib")), "Device Independent Bitmap");
    TPicture picture;
    picture.LoadFromFile(file);
    UnregisterVdDIB();
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Graphic()->ClassName(), "TVdDIB");
    EXPECT_EQ(picture.Width(), 9);
    EXPECT_TRUE(SameImage(Gradient(9, 7), picture.Graphic()->ToImage()));
    EXPECT_FALSE(TPicture::FileExtensions().contains(QStringLiteral("dib")));
}

TEST(VdDIB, AssignmentWithBitmaps) {
    TBitmap bitmap;
    bitmap.Assign(Gradient(20, 10));
    bitmap.SetPixelFormat(pf32bit);
    TVdDIB dib;
    dib.Assign(bitmap);
    EXPECT_EQ(dib.GetPixelFormat(), vdPf24Bit);
    EXPECT_EQ(dib.DIBInfo().Header.biXPelsPerMeter, 3780);
    EXPECT_TRUE(SameImage(Gradient(20, 10), dib.ToImage()));

    // Few colours at a palette depth are kept exactly; the table is full.
    QImage two(4, 4, QImage::Format_RGB32);
    two.fill(qRgb(200, 10, 10));
    two.setPixel(1, 2, qRgb(0, 0, 90));
    bitmap.Assign(two);
    bitmap.SetPixelFormat(pf8bit);
    dib.Assign(bitmap);
    EXPECT_EQ(dib.GetPixelFormat(), vdPf8Bit);
    EXPECT_EQ(dib.DIBInfo().ColorsUsed(), 256);
    EXPECT_TRUE(SameImage(two, dib.ToImage()));
    bitmap.SetPixelFormat(pf1bit);
    dib.Assign(bitmap);
    EXPECT_EQ(dib.GetPixelFormat(), vdPf1Bit);
    EXPECT_TRUE(SameImage(two, dib.ToImage()));

    // And back: size, depth and pixels.
    TVdDIB four;
    Fill(four, Bands(30, 20));
    four.SetPixelFormat(vdPf4BitRLE);
    TBitmap target;
    four.AssignTo(target);
    EXPECT_EQ(target.PixelFormat(), pf4bit);
    EXPECT_TRUE(SameImage(four.ToImage(), target.ToImage()));
    TBitmap viaAssign;
    viaAssign.Assign(static_cast<const TGraphic&>(four));
    EXPECT_TRUE(SameImage(four.ToImage(), viaAssign.ToImage()));

    TBitmap empty;
    EXPECT_THROW(dib.Assign(empty), EVdDIBInvalidDIBPara);
}

TEST(VdDIB, DrawStretchesWithoutSmoothing) {
    QImage checks(2, 2, QImage::Format_RGB32);
    checks.setPixel(0, 0, qRgb(255, 0, 0));
    checks.setPixel(1, 0, qRgb(0, 255, 0));
    checks.setPixel(0, 1, qRgb(0, 0, 255));
    checks.setPixel(1, 1, qRgb(255, 255, 255));
    TVdDIB dib;
    Fill(dib, checks);
    TBitmap target(10, 10);
    dib.Draw(target.Canvas(), Bounds(2, 2, 6, 4));
    const QImage& out = target.Image();
    EXPECT_EQ(out.pixel(1, 1), qRgb(255, 255, 255)); // outside: untouched
    EXPECT_EQ(out.pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(out.pixel(4, 3), qRgb(255, 0, 0));
    EXPECT_EQ(out.pixel(5, 3), qRgb(0, 255, 0));
    EXPECT_EQ(out.pixel(7, 5), qRgb(255, 255, 255));
    EXPECT_EQ(out.pixel(8, 5), qRgb(255, 255, 255)); // outside again
}

TEST(VdDIB, DrawThroughTheHalftones) {
    QImage grey(16, 16, QImage::Format_RGB32);
    grey.fill(qRgb(128, 128, 128));
    TVdDIB dib;
    Fill(dib, grey);

    dib.HalftoneMode = 2;
    TBitmap bw(32, 32);
    dib.Draw(bw.Canvas(), Bounds(0, 0, 32, 32));
    int white = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QRgb p = bw.Image().pixel(x, y);
            ASSERT_TRUE(p == qRgb(0, 0, 0) || p == qRgb(255, 255, 255));
            white += p == qRgb(255, 255, 255);
        }
    EXPECT_NEAR(white, 512, 40); // mid grey is about half white

    dib.HalftoneMode = 1;
    TBitmap colour(8, 8);
    dib.Draw(colour.Canvas(), Bounds(0, 0, 8, 8));
    for (int x = 0; x < 8; ++x) {
        const QRgb p = colour.Image().pixel(x, 0);
        EXPECT_TRUE(qRed(p) == 102 || qRed(p) == 153) << x;
        EXPECT_EQ(qGreen(p), 128);
        EXPECT_EQ(qBlue(p), 128);
    }
    EXPECT_EQ(dib.HalftoneMode, 1);
    EXPECT_EQ(dib.GetPixelFormat(), vdPf24Bit); // the picture itself is not halftoned

    dib.HalftoneMode = 3;
    TBitmap nothing(4, 4);
    dib.Draw(nothing.Canvas(), Bounds(0, 0, 4, 4));
    EXPECT_EQ(nothing.Image().pixel(1, 1), qRgb(255, 255, 255));
}

TEST(VdDIBCanvas, DrawingLandsInThePixels) {
    TVdDIB dib;
    Fill(dib, Gradient(20, 10));
    int changes = 0;
    dib.OnChange = [&changes] { ++changes; };
    {
        TVdDIBCanvas canvas(&dib);
        canvas.Brush.Color = clRed;
        canvas.FillRect(Bounds(2, 1, 5, 3));
        canvas.Pen.Color = clBlue;
        canvas.MoveTo(0, 9);
        canvas.LineTo(20, 9);
    }
    EXPECT_EQ(changes, 1);
    const QImage image = dib.ToImage();
    EXPECT_EQ(image.pixel(2, 1), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(6, 3), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(7, 3), Gradient(20, 10).pixel(7, 3));
    EXPECT_EQ(image.pixel(19, 9), qRgb(0, 0, 255)); // the bottom row, stored first
    EXPECT_EQ(image.pixel(0, 8), Gradient(20, 10).pixel(0, 8));
}

TEST(VdDIBCanvas, PaletteDepthsTakeTheNearestColour) {
    TVdDIB dib;
    dib.SetBitCount(4);
    dib.SetWidth(8);
    dib.SetHeight(2);
    auto palette = std::make_shared<TLogPalette>();
    palette->palPalEntry = {{0, 0, 0, 0}, {250, 0, 0, 0}, {0, 0, 240, 0}, {255, 255, 255, 0}};
    dib.SetPalette(palette);
    {
        TVdDIBCanvas canvas(&dib);
        canvas.Brush.Color = clRed; // nearest: entry 1
        canvas.FillRect(Bounds(0, 0, 4, 1));
        canvas.Brush.Color = TColor{0xE00010}; // a dark blue: entry 2
        canvas.FillRect(Bounds(4, 1, 8, 2));
    }
    EXPECT_EQ(dib.GetPixelFormat(), vdPf4Bit);
    const TDIBInfo& info = dib.DIBInfo();
    EXPECT_EQ(info.Row(1)[0], 0x11); // the top row
    EXPECT_EQ(info.Row(1)[2], 0x00);
    EXPECT_EQ(info.Row(0)[2], 0x22);
}

TEST(VdDIBCanvas, RefusesHeapPicturesAndCompressedPixels) {
    EXPECT_EQ(MessageOf<EVdDIBCanvasFailed>([] { TVdDIBCanvas canvas(nullptr); }),
              "TVdDIBCanvas.Create: Cannot Create Canvas");
    TVdDIB dib;
    Fill(dib, Bands(64, 4));
    dib.SetPixelFormat(vdPf8BitRLE);
    EXPECT_EQ(MessageOf<EOutOfResources>([&] { TVdDIBCanvas canvas(&dib); }),
              "TVdDIBCanvas.Create: Cannot Create Memory DC");
}

TEST(VdDIBCanvas, ASharedPictureSeparatesFirst) {
    TVdDIB dib;
    Fill(dib, Gradient(4, 4));
    TVdDIB copy;
    copy.Assign(dib);
    {
        TVdDIBCanvas canvas(&dib);
        canvas.Brush.Color = clBlack;
        canvas.FillRect(Bounds(0, 0, 4, 4));
    }
    EXPECT_TRUE(SameImage(Gradient(4, 4), copy.ToImage()));
    EXPECT_EQ(dib.ToImage().pixel(3, 3), qRgb(0, 0, 0));
}
