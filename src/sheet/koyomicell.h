// The 暦 of one day cell: what it says of the day (holiday name, 六曜, solar term, 雑節,
// lunisolar date, moon phase), laid out beside and under the day number without touching it or
// leaving the cell, and drawn. The sheet's cells, the sample month of the main window and the
// preview cell of the dialog "暦の表示" all lay out and draw through here, so they agree.
//
// Everything is measured and placed in the cell's own units (the sheet's design units, 1/96
// inch) with the faces' outline metrics, unhinted, so the layout is the same on every device
// and at every zoom; only the drawing is scaled.
#pragma once

#include <array>
#include <vector>

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QRawFont>
#include <QTransform>

#include "calendar/koyomi.h"
#include "model/koyomioptions.h"
#include "platform/styledtext.h"

class QPainter;

/// The kinds of small text, in the order in which they give way when a cell is too small:
/// the later ones are dropped first. The family's own days come first of all.
enum class TKoyomiKind { Family, Holiday, Rokuyo, SolarTerm, Zassetsu, LunarDate, Moon };
inline constexpr std::size_t KoyomiKindCount = 7;

/// One thing a cell says: its forms, longest first (a shorter one is taken where the longer does
/// not fit), whether it is set off (大安), and for the moon its phase.
struct TKoyomiEntry {
    TKoyomiKind Kind = TKoyomiKind::Holiday;
    QStringList Forms;
    bool Emphasis = false;
    int Phase = -1; // a Koyomi::TLunarPhase for TKoyomiKind::Moon

    bool operator==(const TKoyomiEntry&) const = default;
};

/// What a day shows by `options`, in priority order: the family's days that fall on it
/// (`familyNames`, shown whatever the options), its holiday names (`holidayNames`, comma
/// text as the day table keeps them), its 六曜 (大安 set off when "大安を強調" is on, and shown
/// by that option alone), solar term, seasonal days, lunisolar date ("旧M/D", or "旧閏M/D"), and
/// moon phase. Nothing for a day the engine does not know.
std::vector<TKoyomiEntry> KoyomiEntries(const Koyomi::TKoyomiDay& day, const QString& holidayNames,
                                        const TKoyomiOptions& options,
                                        const QStringList& familyNames = {});

/// The sizes of the cell's layout, in its units (1/96 inch on the sheet).
namespace KoyomiSizes {
/// The day number's em while the 暦 is shown (without it the number keeps its own size).
inline constexpr double NumberEm = 9;
/// The small text's em: 5 pt (docs/koyomi.md says why not smaller).
inline constexpr double SmallestEm = 5.0 * 96 / 72;
/// How far the small text may be condensed (長体) at the smallest em before it gives way.
inline constexpr double NarrowestStretch = 0.8;
/// Room kept free along the cell's edges (its lines) and between neighbours.
inline constexpr double Margin = 0.3;
inline constexpr double Gap = 0.6;
} // namespace KoyomiSizes

/// One placed piece: its text (or the moon's phase), where it goes, its em and its horizontal
/// stretch.
struct TKoyomiPlaced {
    TKoyomiKind Kind = TKoyomiKind::Holiday;
    QString Text;
    QRectF Rect;
    double Baseline = 0; // of the text, below the top of the page
    double Em = 0;
    double Stretch = 1;
    bool Emphasis = false;
    int Phase = -1;
};

/// A cell laid out: where the number goes and at which em, what is placed, what gave way.
struct TKoyomiCellLayout {
    QRectF Number;        // the number's ink, a bold's stroke included
    QPointF NumberOrigin; // the left end of its baseline
    double NumberEm = 0;
    std::vector<TKoyomiPlaced> Placed;
    std::vector<TKoyomiKind> Dropped;
};

/// A face as text is measured and drawn in it: at the reference size, unhinted, its synthetic
/// styles (a bold the face lacks) left to DrawStyledText.
struct TKoyomiFace {
    explicit TKoyomiFace(const QFont& font);
    QFont Drawn;
    TSyntheticStyles Styles;
    QFontMetricsF Metrics;

    /// `text` shaped in the face once, its baseline's left end at (0, 0): a year's cells repeat
    /// a few dozen texts hundreds of times.
    const QList<QGlyphRun>& Shaped(const QString& text) const;

  private:
    mutable QHash<QString, QList<QGlyphRun>> FShaped;
};

/// The faces of a cell measured: the number's, and the small text's regular and bold. Made
/// once for a sheet or a sample month, as measuring needs the font database; the widths of the
/// few texts a year's cells repeat are measured once.
class TKoyomiFaces {
  public:
    TKoyomiFaces(const QFont& numberFont, const QString& face);

    const QFont& NumberFont() const { return FNumber; }
    const QFont& TextFont(bool bold) const { return bold ? FBold : FRegular; }
    /// The width and height `text` takes at `em` (unhinted outline metrics of the regular face:
    /// a synthetic bold spreads outside them by its stroke).
    QSizeF NumberSize(const QString& text, double em) const;
    /// The ink of `text` in the number's face at `em`, about its baseline's left end.
    QRectF NumberInk(const QString& text, double em) const;
    double NumberAscent(double em) const;
    QSizeF TextSize(const QString& text, double em, bool bold) const;
    /// A line of small text at `em`: as high as the ink of the face's ideographs with a little
    /// room, and its baseline below the line's top.
    double LineHeight(double em) const;
    double LineBaseline(double em) const;
    /// The face's ascent at `em` (as text is laid out in a box).
    double TextAscent(double em, bool bold) const;
    /// The number's face and the small text's, regular or bold, ready to draw.
    const TKoyomiFace& NumberFace() const { return FNumberFace; }
    const TKoyomiFace& TextFace(bool bold) const { return bold ? FBoldFace : FRegularFace; }

  private:
    QFont FNumber, FRegular, FBold;
    TKoyomiFace FNumberFace, FRegularFace, FBoldFace;
    // Advances at the reference size, by character: regular, bold; the numbers' inks.
    mutable std::array<QHash<char16_t, double>, 2> FAdvances;
    mutable QHash<QString, QRectF> FInks;
    double FIdeographTop = 0, FIdeographHeight = 0;
};

/// Lays out a cell of `cellSize` (its usable inside: the lines lie outside it) with the day
/// number `number` at the top left (at NumberEm) and the entries to the right of it and below
/// it. The text is made as large as lets every entry fit, at least SmallestEm and
/// NarrowestStretch; what does not fit then is dropped, lowest priority first.
TKoyomiCellLayout LayoutKoyomiCell(const QSizeF& cellSize, const QString& number,
                                   const TKoyomiFaces& faces,
                                   const std::vector<TKoyomiEntry>& entries);

/// The colours a cell is drawn in.
struct TKoyomiColors {
    QColor Number;
    QColor Text;
};

/// The texts of many cells gathered and drawn together: a PDF page then holds one text object
/// for each face, size and colour of a month's cells, not one for every text of every cell,
/// which would make a page with the 暦 shown several times as large and slow to write.
class TKoyomiBatch {
  public:
    /// Gathers `text` drawn by `painter` under its world transform `cell` (a scale and a shift)
    /// at `em` and horizontal `stretch`, its baseline's left end at `origin` in cell units.
    void Add(QPainter& painter, const QTransform& cell, const TKoyomiFace& face,
             const QString& text, const QPointF& origin, double em, double stretch,
             const QColor& color);
    /// Draws what was gathered and forgets it.
    void Draw();

  private:
    struct TGroup {
        QPainter* Painter;
        QRawFont Font;
        double ScaleX, ScaleY;
        QColor Color;
        QList<quint32> Glyphs;
        QList<QPointF> Positions;
    };
    std::vector<TGroup> FGroups;
};

/// Draws a laid-out cell whose usable inside has its top left at `origin`, in cell units that
/// the painter's transform takes to the device. With a `batch`, the texts a face draws itself
/// are gathered there to be drawn with those of other cells.
void DrawKoyomiCell(QPainter& painter, const QPointF& origin, const TKoyomiCellLayout& layout,
                    const QString& number, const TKoyomiFaces& faces, const TKoyomiColors& colors,
                    TKoyomiBatch* batch = nullptr);
/// The same, with `cellToWorld` taking cell units to the painter's world (the painter's own
/// transform is not used).
void DrawKoyomiCell(QPainter& painter, const QTransform& cellToWorld,
                    const TKoyomiCellLayout& layout, const QString& number,
                    const TKoyomiFaces& faces, const TKoyomiColors& colors, TKoyomiBatch* batch);

/// A day's names for a tool tip: the date, the lunisolar date, the 六曜, the solar term, the
/// moon phase, the seasonal days and the holiday names, one to a line.
QString KoyomiToolTip(int year, int month, int day, const Koyomi::TKoyomiDay& koyomi,
                      const QString& holidayNames);
