#include "font.h"

#include <cmath>
#include <cstdlib>

namespace {

// Rounds halves away from zero, as the Windows MulDiv does.
int MulDiv(int number, int numerator, int denominator) {
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

} // namespace

TFont::TFont() : FName(DefaultFaceName), FHeight(-12) {}

TFont::TFont(const TFont& other)
    : FName(other.FName), FHeight(other.FHeight), FStyle(other.FStyle), FColor(other.FColor),
      FCharset(other.FCharset) {}

TFont& TFont::operator=(const TFont& other) {
    Assign(other);
    return *this;
}

void TFont::SetName(const QString& name) {
    if (name == FName)
        return;
    FName = name;
    Changed();
}

void TFont::SetHeight(int height) {
    if (height == FHeight)
        return;
    FHeight = height;
    Changed();
}

int TFont::Size() const {
    return -MulDiv(FHeight, 72, ScreenPixelsPerInch);
}

void TFont::SetSize(int points) {
    SetHeight(-MulDiv(points, ScreenPixelsPerInch, 72));
}

void TFont::SetStyle(TFontStyles style) {
    if (style == FStyle)
        return;
    FStyle = style;
    Changed();
}

void TFont::SetColor(TColor color) {
    if (color == FColor)
        return;
    FColor = color;
    Changed();
}

void TFont::SetCharset(std::uint8_t charset) {
    if (charset == FCharset)
        return;
    FCharset = charset;
    Changed();
}

void TFont::Assign(const TFont& other) {
    if (&other == this || other == *this)
        return;
    FName = other.FName;
    FHeight = other.FHeight;
    FStyle = other.FStyle;
    FColor = other.FColor;
    FCharset = other.FCharset;
    Changed();
}

bool TFont::operator==(const TFont& other) const {
    return FName == other.FName && FHeight == other.FHeight && FStyle == other.FStyle &&
           FColor == other.FColor && FCharset == other.FCharset;
}

int TFont::PixelHeightFor(int pixelsPerInch) const {
    const int screenPixels = std::abs(FHeight);
    if (pixelsPerInch == ScreenPixelsPerInch || pixelsPerInch <= 0)
        return screenPixels;
    const int points = MulDiv(screenPixels, 72, ScreenPixelsPerInch);
    return MulDiv(points, pixelsPerInch, 72);
}

QFont TFont::ToQFont(int pixelsPerInch) const {
    QFont font(FName);
    font.setPixelSize(std::max(1, PixelHeightFor(pixelsPerInch)));
    font.setBold((FStyle & fsBold) != 0);
    font.setItalic((FStyle & fsItalic) != 0);
    font.setUnderline((FStyle & fsUnderline) != 0);
    font.setStrikeOut((FStyle & fsStrikeOut) != 0);
    // Qt's own smoothing of glyph outlines is kept; only shapes and lines are drawn unsmoothed.
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

void TFont::Changed() {
    if (OnChange)
        OnChange();
}

void RegisterFontSubstitutes() {
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ 明朝"), QStringLiteral("IPAMincho"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho"));
}
