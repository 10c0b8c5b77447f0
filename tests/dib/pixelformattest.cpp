// Pixel-format conversion: every chain between the six formats on a real picture, the split
// rule and palette order worked out by hand, and the error diffusion of both halftones
// computed by hand on small images.
#include <gtest/gtest.h>

#include <set>

#include "dib/colorsplit.h"
#include "dib/diberrors.h"
#include "dib/dibimage.h"
#include "dib/pixelconvert.h"
#include "dib/rle.h"
#include "dib/vdinternaldib.h"
#include "dibtesthelpers.h"
#include "platform/syserrors.h"

namespace {

const char* const FormatNames[] = {"1", "4", "4rle", "8", "8rle", "24"};

int DepthOf(int format) {
    static constexpr int depths[] = {1, 4, 4, 8, 8, 24};
    return depths[format];
}

TVdPixelFormat FormatOf(const TDIBInfo& info) {
    TVdInternalDIB dib(false);
    dib.TakeOver(CloneDIB(info, false));
    return dib.GetPixelFormat();
}

/// The logo at 160 × 120 in all six formats, made from ImageMagick's picture: the 24-bit one
/// as ImageMagick wrote it, the others by ImageMagick's own colour reduction, compressed here.
class PixelFormatChains : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        TTempDir dir;
        const auto make = [&dir](const QStringList& arguments) {
            const QString file = dir.File(QStringLiteral("source.bmp"));
            EXPECT_TRUE(RunConvert(QStringList{"logo:", "-resize", "25%"} + arguments +
                                   QStringList{"-compress", "none", "BMP3:" + file}));
            return ReadBytes(LoadFile(file));
        };
        Sources = new std::vector<TDIBInfo>;
        Sources->push_back(make({"-monochrome"}));
        Sources->push_back(make({"-colors", "16", "-type", "Palette"}));
        Sources->push_back(Convert4BitRGBTo4BitRLE(Sources->back(), false));
        Sources->push_back(make({"-colors", "200", "-type", "Palette"}));
        Sources->push_back(Convert8BitRGBTo8BitRLE(Sources->back(), false));
        Sources->push_back(make({"-type", "TrueColor"}));
    }
    static void TearDownTestSuite() {
        delete Sources;
        Sources = nullptr;
    }
    static std::vector<TDIBInfo>* Sources;
};

std::vector<TDIBInfo>* PixelFormatChains::Sources = nullptr;

/// Mean absolute difference per channel of two images of the same size.
double MeanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

struct TItem {
    int R, G, B, N = 1;
    int Red() const { return R; }
    int Green() const { return G; }
    int Blue() const { return B; }
    std::uint32_t Weight() const { return static_cast<std::uint32_t>(N); }
};

std::vector<RGBQUAD> Split(std::vector<TItem> items, int depth, TSplitRule rule,
                           int* progressCalls = nullptr) {
    std::vector<RGBQUAD> palette;
    TSplitProgress progress = [progressCalls] {
        if (progressCalls)
            ++*progressCalls;
    };
    const auto onLeaf = [](std::span<TItem>, int) {};
    TVarianceSplit<TItem, decltype(onLeaf)> split(depth, rule, progress, palette, nullptr, onLeaf);
    split.Run(items);
    return palette;
}

} // namespace

TEST_F(PixelFormatChains, EveryChainGivesTheTargetFormatAndKeepsThePicture) {
    for (int from = vdPf1Bit; from <= vdPf24Bit; ++from) {
        const TDIBInfo& source = (*Sources)[static_cast<std::size_t>(from)];
        ASSERT_EQ(FormatOf(source), from);
        const QImage before = DIBToImage(source);
        for (int to = vdPf1Bit; to <= vdPf24Bit; ++to) {
            if (to == from)
                continue;
            SCOPED_TRACE(std::string(FormatNames[from]) + " -> " + FormatNames[to]);
            for (const int quality : {0, 1}) {
                int calls = 0;
                const TDIBInfo result = ConvertPixelFormat(
                    source, static_cast<TVdPixelFormat>(from), to, quality, [&calls] { ++calls; },
                    clWhite, false);
                EXPECT_EQ(FormatOf(result), to);
                EXPECT_EQ(result.Width(), source.Width());
                EXPECT_EQ(result.Header.biHeight, source.Header.biHeight);
                const QImage after = DIBToImage(result);
                const int fromDepth = DepthOf(from);
                const int toDepth = DepthOf(to);
                if (toDepth == 1) {
                    // Exactly the white pixels stay white.
                    for (int y = 0; y < before.height(); ++y)
                        for (int x = 0; x < before.width(); ++x)
                            ASSERT_EQ(after.pixel(x, y), before.pixel(x, y) == qRgb(255, 255, 255)
                                                             ? qRgb(255, 255, 255)
                                                             : qRgb(0, 0, 0))
                                << x << ", " << y;
                    EXPECT_EQ(calls, 0);
                } else if (toDepth >= fromDepth) {
                    EXPECT_TRUE(SameImage(before, after));
                    EXPECT_EQ(calls, 0);
                } else {
                    // A reduction: few enough colours, close to the picture, and one progress
                    // call per leaf of the split.
                    EXPECT_LE(result.ColorsUsed(), 1 << toDepth);
                    EXPECT_LT(MeanDifference(before, after), toDepth == 8 ? 3.0 : 12.0);
                    EXPECT_EQ(calls, 1 << toDepth);
                }
                if (fromDepth != 24 || toDepth == 24 || toDepth == 1)
                    break; // the quality only matters for reductions from 24 bits
            }
        }
    }
}

TEST_F(PixelFormatChains, CompressedTargetsHoldTheUncompressedResult) {
    const TDIBInfo& source = (*Sources)[vdPf24Bit];
    const TDIBInfo plain8 = ConvertPixelFormat(source, vdPf24Bit, vdPf8Bit, 1, {}, clWhite, false);
    const TDIBInfo rle8 = ConvertPixelFormat(source, vdPf24Bit, vdPf8BitRLE, 1, {}, clWhite, false);
    EXPECT_TRUE(SameImage(DIBToImage(plain8), DIBToImage(rle8)));
    const TDIBInfo plain4 = ConvertPixelFormat(source, vdPf24Bit, vdPf4Bit, 0, {}, clWhite, false);
    const TDIBInfo rle4 = ConvertPixelFormat(source, vdPf24Bit, vdPf4BitRLE, 0, {}, clWhite, false);
    EXPECT_TRUE(SameImage(DIBToImage(plain4), DIBToImage(rle4)));
}

TEST_F(PixelFormatChains, HalftonesFromEveryFormat) {
    for (int from = vdPf1Bit; from <= vdPf24Bit; ++from) {
        const TDIBInfo& source = (*Sources)[static_cast<std::size_t>(from)];
        const TDIBInfo colour = ConvertPixelFormat(source, static_cast<TVdPixelFormat>(from),
                                                   vdPfHalftone, 0, {}, clWhite, false);
        EXPECT_EQ(FormatOf(colour), vdPf8Bit);
        EXPECT_EQ(colour.ColorsUsed(), 215);
        EXPECT_LT(MeanDifference(DIBToImage(source), DIBToImage(colour)), 40.0) << from;
        const TDIBInfo bw = ConvertPixelFormat(source, static_cast<TVdPixelFormat>(from),
                                               vdPfHalftoneBW, 0, {}, clWhite, false);
        EXPECT_EQ(FormatOf(bw), vdPf1Bit);
        EXPECT_EQ(bw.ColorsUsed(), 2);
    }
}

TEST(PixelFormat, FailedEncodingLeavesTheBitmapAsItWas) {
    // 4-bit RLE to 8-bit RLE decodes, expands and re-encodes. Alternating pixels repeat as
    // pixel pairs at 4 bits but never repeat at 8 bits, so the last step fails.
    std::vector<int> pixels;
    for (int i = 0; i < 64; ++i)
        pixels.push_back(i % 2 ? 2 : 1);
    TDIBInfo rle4 =
        Convert4BitRGBTo4BitRLE(MakeIndexedDIB(32, 2, 4, pixels, std::vector<RGBQUAD>(16)), false);
    TVdInternalDIB dib(true);
    dib.TakeOver(std::move(rle4));
    const QByteArray before = dib.SaveToClipboardFormat();
    EXPECT_THROW(dib.SetPixelsFormat(vdPf8BitRLE, 0, {}, clWhite), EVdDIBCompressionFailed);
    EXPECT_EQ(dib.SaveToClipboardFormat(), before);
    EXPECT_EQ(dib.GetPixelFormat(), vdPf4BitRLE);
    dib.SetPixelsFormat(vdPf8Bit, 0, {}, clWhite);
    EXPECT_EQ(dib.GetPixelFormat(), vdPf8Bit);
}

TEST(PixelFormat, SameFormatAndUnknownQualityAreAssertions) {
    TVdInternalDIB dib(false);
    EXPECT_THROW(dib.SetPixelsFormat(vdPf8Bit, 0, {}, clWhite), EAssertionFailed);
    dib.CreateDIB(2, 2, 0, 24);
    try {
        dib.SetPixelsFormat(vdPf8Bit, 2, {}, clWhite);
        FAIL();
    } catch (const EAssertionFailed& e) {
        EXPECT_STREQ(e.what(), "TVdIntenalDIB.SetPixelsFormat: PixelFormat Error");
    }
    EXPECT_EQ(dib.GetPixelFormat(), vdPf24Bit);
}

TEST(PixelFormat, ConversionsRefuseTheWrongInput) {
    const TDIBInfo one = MakeIndexedDIB(1, 1, 1, {0}, {});
    const TDIBInfo eight = MakeIndexedDIB(1, 1, 8, {0}, {});
    const auto message = [](auto convert) -> std::string {
        try {
            convert();
        } catch (const EVdDIBBadDIBType& e) {
            return e.what();
        }
        return "";
    };
    const TSplitProgress none;
    EXPECT_EQ(message([&] { Convert1BitRGBTo4BitRGB(eight, false); }),
              "Convert1BitRGBTo4BitRGB: Invalid Bitcount & Compression Combination");
    EXPECT_EQ(message([&] { Convert1BitRGBTo8BitRGB(eight, false); }),
              "Convert1BitRGBTo8BitRGB: Invalid Bitcount & Compression Combination");
    EXPECT_EQ(message([&] { Convert4BitRGBTo8BitRGB(one, false); }),
              "Convert4BitRGBTo8BitRGB: Invalid Bitcount & Compression Combination");
    EXPECT_EQ(message([&] { Convert1BitRGBToTrueColor(eight, false); }),
              "Convert1BitRGBToTrueColor: Invalid Bitcount & Compression Combination");
    EXPECT_EQ(message([&] { Convert4BitRGBToTrueColor(one, false); }),
              "Convert4BitRGBToTrueColor: Invalid Bitcount & Compression Combination");
    EXPECT_EQ(message([&] { Convert8BitRGBToTrueColor(one, false); }),
              "Convert8BitRGBToTrueColor: Invalid Bitcount & Compression Combination");
    EXPECT_EQ(message([&] { ConvertTrueColorTo8BitRGBLow(eight, false, none); }),
              "ConvertTrueColorTo8BitRGBLow: Invalid Bitcount");
    EXPECT_EQ(message([&] { ConvertTrueColorTo4BitRGBLow(eight, false, none); }),
              "ConvertTrueColorTo4BitRGBLow: Invalid Bitcount");
    EXPECT_EQ(message([&] { ConvertTrueColorTo8BitRGBHigh(eight, false, none); }),
              "ConvertTrueColorTo8BitRGBHigh: Invalid Bitcount");
    EXPECT_EQ(message([&] { ConvertTrueColorTo4BitRGBHigh(eight, false, none); }),
              "ConvertTrueColorTo4BitRGBHigh: Invalid Bitcount");
    EXPECT_EQ(message([&] { Convert8BitRGBTo4BitRGB(one, false, none); }),
              "Convert8BitRGBTo4BitRGB: Invalid Bitcount or Compression");
    EXPECT_EQ(message([&] { ConvertTrueColorTo1BitRGB(eight, false, clWhite); }),
              "ConvertTrueColorTo1BitRGB: Invalid Bitcount");
    EXPECT_EQ(message([&] { Convert8BitTo1BitRGB(one, false, clWhite); }),
              "Convert8BitTo1BitRGB: Invalid Bitcount or Compression");
    EXPECT_EQ(message([&] { Convert4BitRGBTo1BitRGB(eight, false, clWhite); }),
              "Convert4BitRGBTo1BitRGB: Invalid Bitcount");
    TDIBInfo rle = CloneDIB(eight, false);
    rle.Header.biCompression = BI_RLE8;
    EXPECT_THROW(ConvertToHalfTone(rle, false), EAssertionFailed);
    EXPECT_THROW(ConvertToHalfToneBW(rle, false), EAssertionFailed);
}

TEST(PaletteReduction, OneColourGivesOneEntryAndStillCountsEveryLeaf) {
    QImage image(5, 3, QImage::Format_RGB32);
    image.fill(qRgb(10, 200, 30));
    const TDIBInfo source = MakeTrueColorDIB(image);
    for (const bool high : {false, true}) {
        int calls8 = 0;
        int calls4 = 0;
        const TSplitProgress count8 = [&calls8] { ++calls8; };
        const TSplitProgress count4 = [&calls4] { ++calls4; };
        const TDIBInfo eight = high ? ConvertTrueColorTo8BitRGBHigh(source, false, count8)
                                    : ConvertTrueColorTo8BitRGBLow(source, false, count8);
        const TDIBInfo four = high ? ConvertTrueColorTo4BitRGBHigh(source, false, count4)
                                   : ConvertTrueColorTo4BitRGBLow(source, false, count4);
        EXPECT_EQ(calls8, 256);
        EXPECT_EQ(calls4, 16);
        EXPECT_EQ(eight.ColorsUsed(), 1);
        EXPECT_EQ(four.ColorsUsed(), 1);
        EXPECT_EQ(eight.ColorTable[0], (RGBQUAD{30, 200, 10, 0}));
        EXPECT_TRUE(SameImage(image, DIBToImage(eight)));
        EXPECT_TRUE(SameImage(image, DIBToImage(four)));
    }
}

TEST(PaletteReduction, TwoColoursInOneHistogramCellMergeOnlyAtLowQuality) {
    QImage image(2, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(0, 0, 0));
    image.setPixel(1, 0, qRgb(1, 1, 1));
    const TDIBInfo source = MakeTrueColorDIB(image);
    const TDIBInfo low = ConvertTrueColorTo8BitRGBLow(source, false, {});
    ASSERT_EQ(low.ColorsUsed(), 1);
    EXPECT_EQ(low.ColorTable[0], RGBQUAD{}); // the cell's mean, truncated
    const TDIBInfo high = ConvertTrueColorTo8BitRGBHigh(source, false, {});
    ASSERT_EQ(high.ColorsUsed(), 2);
    EXPECT_TRUE(SameImage(image, DIBToImage(high)));
}

TEST(PaletteReduction, SplitsTheWidestChannelUpperHalfFirst) {
    // Red and blue vary alike and green not at all: the red cut comes first, then blue, and
    // the upper halves are numbered first.
    const std::vector<TItem> corners = {{0, 0, 0}, {255, 0, 0}, {0, 0, 255}, {255, 0, 255}};
    const std::vector<RGBQUAD> expected = {
        {255, 0, 255, 0}, {0, 0, 255, 0}, {255, 0, 0, 0}, {0, 0, 0, 0}};
    for (const TSplitRule rule : {TSplitRule::LowQuality, TSplitRule::HighQuality}) {
        int calls = 0;
        EXPECT_EQ(Split(corners, 4, rule, &calls), expected);
        EXPECT_EQ(calls, 16);
    }
}

TEST(PaletteReduction, TheTwoRulesDifferInTheBlueFactor) {
    // Green variance 1, blue variance 7/4, red none: 2·vB = 3.5 lies between 3·vG and 4·vG,
    // so the low-quality rule cuts blue and the high-quality rule cuts green. Leaves round
    // halves to even.
    const std::vector<TItem> items = {{9, 0, 0}, {9, 2, 0}, {9, 0, 0}, {9, 2, 3},
                                      {9, 0, 3}, {9, 2, 3}, {9, 0, 1}, {9, 2, 2}};
    EXPECT_EQ(Split(items, 1, TSplitRule::LowQuality),
              (std::vector<RGBQUAD>{{3, 2, 9, 0}, {0, 0, 9, 0}}));
    EXPECT_EQ(Split(items, 1, TSplitRule::HighQuality),
              (std::vector<RGBQUAD>{{2, 2, 9, 0}, {1, 0, 9, 0}}));
}

TEST(PaletteReduction, EightToFourWeighsColoursByTheirPixels) {
    // Three colours: two dark ones used by one pixel each, a bright one by six. Unused table
    // entries take no part.
    std::vector<RGBQUAD> table(256, RGBQUAD{77, 77, 77, 0});
    table[1] = {0, 0, 0, 0};
    table[2] = {0, 0, 40, 0};
    table[3] = {250, 250, 250, 0};
    const TDIBInfo source = MakeIndexedDIB(4, 2, 8, {1, 2, 3, 3, 3, 3, 3, 3}, table);
    int calls = 0;
    const TDIBInfo out = Convert8BitRGBTo4BitRGB(source, false, [&calls] { ++calls; });
    EXPECT_EQ(calls, 16);
    EXPECT_EQ(out.BitCount(), 4);
    EXPECT_EQ(out.ColorsUsed(), 3);
    EXPECT_TRUE(SameImage(DIBToImage(source), DIBToImage(out)));
}

TEST(MonoColor, OnlyTheExactColourBecomesWhite) {
    QImage image(3, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 255, 255));
    image.setPixel(1, 0, qRgb(254, 255, 255));
    image.setPixel(2, 0, qRgb(0, 128, 255));
    const TDIBInfo source = MakeTrueColorDIB(image);
    const TDIBInfo white = ConvertTrueColorTo1BitRGB(source, false, clWhite);
    EXPECT_EQ(white.Row(0)[0], 0x80);
    EXPECT_EQ(white.ColorTable[0], RGBQUAD{});
    EXPECT_EQ(white.ColorTable[1], (RGBQUAD{255, 255, 255, 0}));
    const TDIBInfo orange = ConvertTrueColorTo1BitRGB(source, false, TColor{0xFF8000});
    EXPECT_EQ(orange.Row(0)[0], 0x20);

    // 1 bit to 24 and back: every pixel that is not white turns black.
    const TDIBInfo mono = MakeIndexedDIB(3, 1, 1, {0, 1, 1}, {{0, 0, 255, 0}, {255, 255, 255, 0}});
    const TDIBInfo back =
        ConvertTrueColorTo1BitRGB(Convert1BitRGBToTrueColor(mono, false), false, clWhite);
    const QImage result = DIBToImage(back);
    EXPECT_EQ(result.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(result.pixel(1, 0), qRgb(255, 255, 255));
}

TEST(Halftone, WhiteAndBlackMapToTheCornersOfThePalette) {
    for (const auto& [colour, index] :
         {std::pair{qRgb(255, 255, 255), 209}, std::pair{qRgb(0, 0, 0), 0}}) {
        QImage image(7, 5, QImage::Format_RGB32);
        image.fill(colour);
        const TDIBInfo out = ConvertToHalfTone(MakeTrueColorDIB(image), false);
        EXPECT_EQ(out.ColorsUsed(), 215);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                EXPECT_EQ(out.Row(y)[x], index);
    }
    const auto& colors = HalftoneColors();
    EXPECT_EQ(colors[209], (RGBQUAD{255, 255, 255, 0}));
    EXPECT_EQ(colors[(3 * 7 + 2) * 5 + 1], (RGBQUAD{64, 85, 153, 0}));
    EXPECT_EQ(colors[210], (RGBQUAD{0, 0, 128, 0}));
    EXPECT_EQ(colors[213], (RGBQUAD{192, 192, 192, 0}));
}

TEST(Halftone, ErrorsDiffuseInSerpentineOrder) {
    // Mid grey, worked out by hand. Only red carries an error (128 is a level of green and
    // blue): row 0 left to right gives red 153, 102, 153; row 1, right to left, takes the
    // errors 25, −17, 19 from above and gives 102, 153, 102 from its right end.
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(128, 128, 128));
    const TDIBInfo out = ConvertToHalfTone(MakeTrueColorDIB(image), false);
    const int high = (3 * 7 + 3) * 5 + 2; // red 153
    const int low = (2 * 7 + 3) * 5 + 2;  // red 102
    EXPECT_EQ((std::vector<int>{out.Row(0)[0], out.Row(0)[1], out.Row(0)[2]}),
              (std::vector<int>{high, low, high}));
    EXPECT_EQ((std::vector<int>{out.Row(1)[0], out.Row(1)[1], out.Row(1)[2]}),
              (std::vector<int>{low, high, low}));
}

TEST(Halftone, BlackAndWhiteByTheSumOfTheChannels) {
    // Grey 100: the first pixel is black and leaves −100 per channel; the next sees
    // 100 + 1200 div 32 = 137, which sums to 411 ≥ 384: white.
    QImage image(2, 1, QImage::Format_RGB32);
    image.fill(qRgb(100, 100, 100));
    const TDIBInfo out = ConvertToHalfToneBW(MakeTrueColorDIB(image), false);
    EXPECT_EQ(out.Row(0)[0], 0x40);
    EXPECT_EQ(out.ColorsUsed(), 2);
    EXPECT_EQ(out.ColorTable[1], (RGBQUAD{255, 255, 255, 0}));

    // A grey ramp keeps its average brightness.
    QImage ramp(64, 16, QImage::Format_RGB32);
    for (int x = 0; x < 64; ++x)
        for (int y = 0; y < 16; ++y)
            ramp.setPixel(x, y, qRgb(x * 4, x * 4, x * 4));
    const QImage bw = DIBToImage(ConvertToHalfToneBW(MakeTrueColorDIB(ramp), false));
    double sourceMean = 0;
    double resultMean = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 64; ++x) {
            sourceMean += qRed(ramp.pixel(x, y));
            resultMean += qRed(bw.pixel(x, y));
        }
    EXPECT_NEAR(resultMean / 1024, sourceMean / 1024, 4.0);
}

TEST(Halftone, BlackAndWhiteKeepsTheBrightnessOfSaturatedColours) {
    // Pure red, green or blue sums to 255 of 765: about one pixel in three is white. The
    // channels a colour lacks gather large errors; cutting them off at −256 as the colour
    // halftone's tables do would leave only one pixel in seventeen white.
    for (const QRgb colour : {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)}) {
        QImage image(60, 60, QImage::Format_RGB32);
        image.fill(colour);
        const QImage bw = DIBToImage(ConvertToHalfToneBW(MakeTrueColorDIB(image), false));
        int white = 0;
        for (int y = 0; y < bw.height(); ++y)
            for (int x = 0; x < bw.width(); ++x)
                white += bw.pixel(x, y) == qRgb(255, 255, 255);
        EXPECT_NEAR(white / 3600.0, 1.0 / 3, 0.03) << std::hex << colour;
    }
}
