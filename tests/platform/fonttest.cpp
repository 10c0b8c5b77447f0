#include <gtest/gtest.h>

#include <QFontInfo>

#include "platform/font.h"

namespace {

TEST(TFont, PrinterHeightKeepsTheRoundedPointSize) {
    TFont font;
    struct Row {
        int height, dpi, pixels;
    };
    // 11 px at 96/in is 8.25 pt, so 8 pt: 67 px at 600/in, not 11 × 6.25 = 68.75.
    const Row rows[] = {{-11, 96, 11},   {-11, 600, 67}, {-11, 300, 33},
                        {-32, 600, 200}, {-15, 600, 92}, {-13, 600, 83},
                        {-12, 96, 12},   {-9, 600, 58},  {-11, 1200, 133}};
    for (const Row& r : rows) {
        font.SetHeight(r.height);
        EXPECT_EQ(font.PixelHeightFor(r.dpi), r.pixels) << r.height << " at " << r.dpi;
    }
}

TEST(TFont, SizeAndHeightConvertAtTheScreenResolution) {
    TFont font;
    font.SetSize(10);
    EXPECT_EQ(font.Height(), -13);
    font.SetSize(24);
    EXPECT_EQ(font.Height(), -32);
    font.SetHeight(-15);
    EXPECT_EQ(font.Size(), 11);
    font.SetHeight(-11);
    EXPECT_EQ(font.Size(), 8);
}

TEST(TFont, NotifiesRealChangesOnly) {
    TFont font;
    int changes = 0;
    font.OnChange = [&] { ++changes; };
    font.SetColor(clRed);
    font.SetColor(clRed);
    font.SetStyle(fsBold | fsItalic);
    font.SetName(font.Name());
    EXPECT_EQ(changes, 2);

    TFont other;
    other.SetName(QStringLiteral("ＭＳ ゴシック"));
    other.SetHeight(-32);
    font.Assign(other); // several attributes, one notice
    EXPECT_EQ(changes, 3);
    font.Assign(other);
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(font == other);
}

TEST(TFont, CopiesDoNotCarryTheHandler) {
    TFont font;
    int changes = 0;
    font.OnChange = [&] { ++changes; };
    TFont copy(font);
    copy.SetColor(clBlue);
    EXPECT_EQ(changes, 0);
}

TEST(TFont, MsFacesAreDrawnWithTheIpaFonts) {
    TFont font;
    font.SetName(QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(QFontInfo(font.ToQFont()).family(), QStringLiteral("IPAGothic"));
    font.SetName(QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(QFontInfo(font.ToQFont()).family(), QStringLiteral("IPAPGothic"));
    font.SetHeight(-13);
    font.SetStyle(fsBold | fsItalic);
    const QFont q = font.ToQFont();
    EXPECT_EQ(q.pixelSize(), 13);
    EXPECT_TRUE(q.bold());
    EXPECT_TRUE(q.italic());
}

} // namespace
