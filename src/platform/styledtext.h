// Bold and italic that a face does not have, drawn by one rule on every device. Qt synthesises a
// missing bold or italic differently per device (FreeType emboldening in bitmaps, a thin stroke
// in a PDF, nothing for glyphs drawn as outlines at large sizes), so the IPA fonts, which have
// neither, came out heavy on screen, light in the PDF and plain at 300 per inch. Here the text
// is laid out and filled in the face's own upright regular style, as text; a missing italic is
// a slant of the line about its baseline, and a missing bold an outline stroked around the
// glyphs with a width proportional to the em. The same geometry reaches every device.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

/// The styles of a font that its face cannot draw itself.
struct TSyntheticStyles {
    bool Bold = false;
    bool Italic = false;
    bool Any() const { return Bold || Italic; }
    bool operator==(const TSyntheticStyles&) const = default;
};

/// Width of the stroke around the glyphs of a synthetic bold, as a share of the em: FreeType's
/// own emboldening strength, so the face looks as bold as other programs make it.
inline constexpr double SyntheticBoldStroke = 1.0 / 24;
/// Horizontal shift per unit of height above the baseline of a synthetic italic: FreeType's
/// oblique slant (about 12 degrees).
inline constexpr double SyntheticItalicSlant = 0x0366A / 65536.0;

/// Which of `font`'s bold and italic the face that the system matches for it lacks.
TSyntheticStyles SyntheticStyles(const QFont& font);

/// `font` without the styles that are drawn by hand: what the text is laid out and filled in.
QFont WithoutSynthetic(const QFont& font, TSyntheticStyles styles);

/// Draws `text` laid out in `box` by the Qt::Alignment / Qt::TextFlag `flags` exactly as
/// QPainter::drawText(box, flags, text) lays it out, in `font` (already without the synthetic
/// styles) and `color`, and adds the synthetic `styles`. The glyphs stay text on a PDF page;
/// the stroke of a synthetic bold is an outline drawn over them.
void DrawStyledText(QPainter& painter, const QFont& font, TSyntheticStyles styles, const QRect& box,
                    int flags, const QString& text, const QColor& color);
