// A font description as the class library keeps it: face, height, style set, colour and
// character set, with a notice on every change. The calendar controls redraw on that notice.
#pragma once

#include <cstdint>
#include <functional>

#include <QFont>
#include <QString>

#include "tcolor.h"

enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = std::uint8_t; // a set of TFontStyle bits

inline constexpr std::uint8_t SHIFTJIS_CHARSET = 128;
inline constexpr std::uint8_t DEFAULT_CHARSET = 1;

/// The face of a new TFont, and the one the windows and the sheet are drawn in.
inline const QString DefaultFaceName = QStringLiteral("ＭＳ Ｐゴシック");

/// Screen resolution that every design length and font height is given in.
inline constexpr int ScreenPixelsPerInch = 96;

class TFont {
  public:
    TFont();
    // Copies take the attributes, never the change handler of the original.
    TFont(const TFont& other);
    TFont& operator=(const TFont& other);

    /// Raised after each change of an attribute.
    std::function<void()> OnChange;

    const QString& Name() const { return FName; }
    void SetName(const QString& name);
    /// Negative: character height in pixels at 96 per inch; positive: cell height.
    int Height() const { return FHeight; }
    void SetHeight(int height);
    /// Size in points, derived from the height at 96 per inch.
    int Size() const;
    void SetSize(int points);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    std::uint8_t Charset() const { return FCharset; }
    void SetCharset(std::uint8_t charset);

    /// Takes every attribute of `other` with one change notice (none when nothing differs).
    void Assign(const TFont& other);

    bool operator==(const TFont& other) const;

    /// The Qt font for a device of `pixelsPerInch`. On the 96-per-inch screen and preview
    /// bitmap the height is used as it stands; on any other device the font keeps its point
    /// size, rounded to a whole point, and takes that device's pixel height for it.
    QFont ToQFont(int pixelsPerInch = ScreenPixelsPerInch) const;

    /// Pixel height of the character box on a device of `pixelsPerInch` (see ToQFont).
    int PixelHeightFor(int pixelsPerInch) const;

  private:
    void Changed();

    QString FName;
    int FHeight;
    TFontStyles FStyle = 0;
    TColor FColor = clWindowText;
    std::uint8_t FCharset = DEFAULT_CHARSET;
};

/// Registers the IPA fonts as substitutes for the "ＭＳ" faces that settings and layouts name,
/// so that drawn text keeps the metrics the layouts were made for. Safe to call repeatedly.
void RegisterFontSubstitutes();
