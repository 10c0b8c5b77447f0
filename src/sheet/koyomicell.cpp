#include "koyomicell.h"

#include <algorithm>
#include <array>
#include <optional>

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include "platform/styledtext.h"

namespace {

using namespace KoyomiSizes;

// Text is measured and drawn at this pixel size and scaled to its em: outline metrics scale
// exactly, and the same glyphs reach every device.
constexpr int ReferencePx = 100;

// The moon's mark is a disc this share of the line's height.
constexpr double MoonShare = 0.85;
// Room above and below the ink of a line's ideographs.
constexpr double LinePad = 0.2;

// The sizes tried, largest first: whole ems down to the smallest, then narrower at that.
struct TSize {
    double Em;
    double Stretch;
};
// One em for all small text, so that every cell reads alike; narrower only where needed.
constexpr std::array<TSize, 4> Sizes = {
    {{SmallestEm, 1}, {SmallestEm, 0.9}, {SmallestEm, 0.85}, {SmallestEm, NarrowestStretch}}};

QFont ReferenceFont(const QFont& font) {
    QFont f = font;
    f.setPixelSize(ReferencePx);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    return f;
}

// Where the layout may put text: a line beside the number or across the cell below it.
struct TLine {
    QRectF Rect;
    double Used = 0; // width taken from the left
};

QString Join(const QStringList& names) {
    return names.join(QStringLiteral("・"));
}

} // namespace

std::vector<TKoyomiEntry> KoyomiEntries(const Koyomi::TKoyomiDay& day, const QString& holidayNames,
                                        const TKoyomiOptions& options) {
    std::vector<TKoyomiEntry> entries;
    if (options.HolidayNames && !holidayNames.isEmpty()) {
        QStringList names = holidayNames.split(u',', Qt::SkipEmptyParts);
        for (QString& name : names)
            name = name.trimmed();
        names.removeAll(QString());
        if (!names.isEmpty()) {
            // All names together, else the first alone.
            QStringList forms{Join(names)};
            if (names.size() > 1)
                forms << names.first();
            entries.push_back({TKoyomiKind::Holiday, forms});
        }
    }
    if (!day.Known())
        return entries;
    const bool taian = day.Rokuyo == Koyomi::TRokuyo::Taian;
    if (options.Rokuyo || (options.Taian && taian))
        entries.push_back(
            {TKoyomiKind::Rokuyo, {Koyomi::RokuyoName(day.Rokuyo)}, options.Taian && taian});
    if (options.SolarTerms && day.SolarTerm >= 0) {
        Koyomi::TKoyomiDay term;
        term.SolarTerm = day.SolarTerm;
        const QStringList names = Koyomi::DayNames(term);
        if (!names.isEmpty())
            entries.push_back({TKoyomiKind::SolarTerm, {names.first()}});
    }
    if (options.Zassetsu)
        for (const QString& name : Koyomi::ZassetsuNames(day.Zassetsu))
            entries.push_back({TKoyomiKind::Zassetsu, {name}});
    if (options.Kyureki == TKyurekiMode::EveryDay ||
        (options.Kyureki == TKyurekiMode::FirstDay && day.LunarDay == 1)) {
        const QString date = QStringLiteral("%1%2/%3")
                                 .arg(day.LeapMonth ? QStringLiteral("閏") : QString())
                                 .arg(day.LunarMonth)
                                 .arg(day.LunarDay);
        entries.push_back({TKoyomiKind::LunarDate, {QStringLiteral("旧") + date, date}});
    }
    if (options.MoonPhases && day.MoonPhase >= 0) {
        TKoyomiEntry moon{TKoyomiKind::Moon, {}};
        moon.Phase = day.MoonPhase;
        entries.push_back(moon);
    }
    return entries;
}

namespace {

// The font as text is measured and drawn in it: at the reference size, its synthetic styles
// left to DrawStyledText.
QFont MeasuredFont(const QFont& font) {
    const QFont reference = ReferenceFont(font);
    return WithoutSynthetic(reference, SyntheticStyles(reference));
}

QFont Bold(QFont font) {
    font.setBold(true);
    return font;
}

} // namespace

TKoyomiFaces::TKoyomiFaces(const QFont& numberFont, const QString& face)
    : FNumber(numberFont), FRegular(face), FBold(Bold(QFont(face))),
      FNumberMetrics(MeasuredFont(FNumber)), FRegularMetrics(MeasuredFont(FRegular)),
      FBoldMetrics(MeasuredFont(FBold)) {}

QSizeF TKoyomiFaces::NumberSize(const QString& text, double em) const {
    const double k = em / ReferencePx;
    return {FNumberMetrics.horizontalAdvance(text) * k, FNumberMetrics.height() * k};
}

QSizeF TKoyomiFaces::TextSize(const QString& text, double em, bool bold) const {
    const QFontMetricsF& metrics = bold ? FBoldMetrics : FRegularMetrics;
    const double k = em / ReferencePx;
    return {metrics.horizontalAdvance(text) * k, metrics.height() * k};
}

double TKoyomiFaces::LineHeight(double em) const {
    return FRegularMetrics.tightBoundingRect(QStringLiteral("国")).height() * em / ReferencePx +
           2 * LinePad;
}

double TKoyomiFaces::LineBaseline(double em) const {
    return -FRegularMetrics.tightBoundingRect(QStringLiteral("国")).top() * em / ReferencePx +
           LinePad;
}

double TKoyomiFaces::TextAscent(double em, bool bold) const {
    return (bold ? FBoldMetrics : FRegularMetrics).ascent() * em / ReferencePx;
}

QRectF TKoyomiFaces::NumberInk(const QString& text, double em) const {
    const double k = em / ReferencePx;
    const QRectF ink = FNumberMetrics.tightBoundingRect(text);
    return {ink.left() * k, ink.top() * k, ink.width() * k, ink.height() * k};
}

double TKoyomiFaces::NumberAscent(double em) const {
    return FNumberMetrics.ascent() * em / ReferencePx;
}

namespace {

// Places entries into the lines at one size; what does not fit goes to `dropped`.
class TPlacer {
  public:
    TPlacer(const TKoyomiFaces& faces, const TSize& size, std::vector<TLine> lines, QRectF under)
        : FFaces(faces), FSize(size), FLines(std::move(lines)), FUnder(under),
          FLineHeight(faces.LineHeight(size.Em)), FBaseline(faces.LineBaseline(size.Em)) {}

    double Width(const QString& text, bool bold) const {
        return FFaces.TextSize(text, FSize.Em, bold).width() * FSize.Stretch +
               (bold ? FSize.Em * SyntheticBoldStroke : 0);
    }

    // The left edge of the free part of a line, or nothing when `width` does not fit there.
    std::optional<double> Room(const TLine& line, double width) const {
        const double gap = line.Used > 0 ? Gap : 0;
        if (line.Rect.width() - line.Used - gap + 1e-9 < width)
            return std::nullopt;
        return line.Rect.left() + line.Used + gap;
    }

    void Take(TLine& line, double x, double width) { line.Used = x + width - line.Rect.left(); }

    void Add(const TKoyomiEntry& entry, const QString& text, const QRectF& rect) {
        Placed.push_back({entry.Kind, text, rect, rect.top() + FBaseline, FSize.Em, FSize.Stretch,
                          entry.Emphasis, entry.Phase});
    }

    bool PlaceMoon(const TKoyomiEntry& entry) {
        const double d = FLineHeight * MoonShare;
        if (!FUnderUsed && FUnder.width() >= d && FUnder.height() >= d) {
            FUnderUsed = true;
            Placed.push_back({entry.Kind,
                              {},
                              QRectF(FUnder.left(), FUnder.top(), d, d),
                              0,
                              FSize.Em,
                              1,
                              false,
                              entry.Phase});
            return true;
        }
        for (TLine& line : FLines)
            if (auto x = Room(line, d)) {
                Placed.push_back({entry.Kind,
                                  {},
                                  QRectF(*x, line.Rect.top() + (FLineHeight - d) / 2, d, d),
                                  0,
                                  FSize.Em,
                                  1,
                                  false,
                                  entry.Phase});
                Take(line, *x, d);
                return true;
            }
        return false;
    }

    bool PlaceText(const TKoyomiEntry& entry) {
        for (const QString& form : entry.Forms) {
            const double width = Width(form, entry.Emphasis);
            for (TLine& line : FLines)
                if (auto x = Room(line, width)) {
                    Add(entry, form, QRectF(*x, line.Rect.top(), width, FLineHeight));
                    Take(line, *x, width);
                    return true;
                }
        }
        // A holiday's name too long for a line may go on in the next one, as printed calendars
        // break it.
        if (entry.Kind != TKoyomiKind::Holiday)
            return false;
        const QString& name = entry.Forms.first();
        for (std::size_t l = 0; l + 1 < FLines.size(); ++l)
            for (qsizetype split = name.size() - 1; split >= 1; --split) {
                const QString head = name.left(split), tail = name.mid(split);
                const auto x1 = Room(FLines[l], Width(head, entry.Emphasis));
                const auto x2 = Room(FLines[l + 1], Width(tail, entry.Emphasis));
                if (!x1 || !x2)
                    continue;
                const double w1 = Width(head, entry.Emphasis), w2 = Width(tail, entry.Emphasis);
                Add(entry, head, QRectF(*x1, FLines[l].Rect.top(), w1, FLineHeight));
                Add(entry, tail, QRectF(*x2, FLines[l + 1].Rect.top(), w2, FLineHeight));
                Take(FLines[l], *x1, w1);
                Take(FLines[l + 1], *x2, w2);
                return true;
            }
        return false;
    }

    std::vector<TKoyomiPlaced> Placed;

  private:
    const TKoyomiFaces& FFaces;
    TSize FSize;
    std::vector<TLine> FLines;
    QRectF FUnder;
    double FLineHeight;
    double FBaseline;
    bool FUnderUsed = false;
};

// Whether dropping `a` keeps more of what matters than dropping `b`: the kinds dropped compared
// most important first, fewer drops of a more important kind winning.
bool Better(const std::vector<TKoyomiKind>& a, const std::vector<TKoyomiKind>& b) {
    std::array<int, 6> countA{}, countB{};
    for (TKoyomiKind k : a)
        ++countA[static_cast<std::size_t>(k)];
    for (TKoyomiKind k : b)
        ++countB[static_cast<std::size_t>(k)];
    for (std::size_t k = 0; k < countA.size(); ++k)
        if (countA[k] != countB[k])
            return countA[k] < countB[k];
    return false;
}

} // namespace

TKoyomiCellLayout LayoutKoyomiCell(const QSizeF& cellSize, const QString& number,
                                   const TKoyomiFaces& faces,
                                   const std::vector<TKoyomiEntry>& entries) {
    TKoyomiCellLayout layout;
    layout.NumberEm = NumberEm;
    // The number's ink at the top left: digits have no descent, and the room above and below
    // them in the face's line box is where the small text goes.
    const QRectF ink = faces.NumberInk(number, NumberEm);
    const double stroke = NumberEm * SyntheticBoldStroke;
    layout.Number = QRectF(Margin, Margin, ink.width() + stroke, ink.height() + stroke);
    layout.NumberOrigin =
        QPointF(Margin + stroke / 2 - ink.left(), Margin + stroke / 2 - ink.top());
    if (entries.empty())
        return layout;

    const QRectF inside(Margin, Margin, cellSize.width() - 2 * Margin,
                        cellSize.height() - 2 * Margin);
    bool first = true;
    for (const TSize& size : Sizes) {
        const double lineHeight = faces.LineHeight(size.Em);
        // The lines: beside the number from the top down; a line that would pass the number's
        // foot starts below it instead, across the cell, where there is room.
        std::vector<TLine> lines;
        const double besideLeft = layout.Number.right() + Gap;
        const double foot = layout.Number.bottom() + LinePad;
        double top = inside.top();
        while (top + lineHeight <= inside.bottom() + 1e-9) {
            if (top < foot && top + lineHeight > layout.Number.bottom() &&
                foot + lineHeight <= inside.bottom() + 1e-9 && top > inside.top())
                top = foot;
            const double left = top >= foot - 1e-9 ? inside.left() : besideLeft;
            if (left < inside.right())
                lines.push_back({QRectF(left, top, inside.right() - left, lineHeight)});
            top += lineHeight;
        }
        // Under the number, left of the lines beside it: room for the moon's mark.
        // Under the number, where no line goes across the cell: room for the moon's mark.
        const bool across = std::any_of(lines.begin(), lines.end(), [&](const TLine& l) {
            return l.Rect.left() <= inside.left() + 1e-9;
        });
        const QRectF under =
            across ? QRectF()
                   : QRectF(inside.left(), foot, layout.Number.width(), inside.bottom() - foot);

        TPlacer placer(faces, size, std::move(lines), under);
        std::vector<TKoyomiKind> dropped;
        for (const TKoyomiEntry& entry : entries) {
            const bool done =
                entry.Kind == TKoyomiKind::Moon ? placer.PlaceMoon(entry) : placer.PlaceText(entry);
            if (!done)
                dropped.push_back(entry.Kind);
        }
        // The widest size at which the most important entries show: a size that shows an entry
        // the best so far lacks, before any that it shows less important, wins.
        if (first || Better(dropped, layout.Dropped)) {
            layout.Placed = std::move(placer.Placed);
            layout.Dropped = std::move(dropped);
        }
        first = false;
        if (layout.Dropped.empty())
            break;
    }
    return layout;
}

namespace {

// Draws `text` at `em` with horizontal `stretch`, its baseline's left end at `origin` (cell
// units), nothing of it outside `clip`.
void DrawSmallText(QPainter& painter, const QFont& font, const QString& text, const QPointF& origin,
                   const QRectF& clip, double em, double stretch, const QColor& color) {
    const QFont reference = ReferenceFont(font);
    const TSyntheticStyles styles = SyntheticStyles(reference);
    const QFont drawn = WithoutSynthetic(reference, styles);
    const QFontMetricsF metrics(drawn);
    painter.save();
    painter.setClipRect(clip, Qt::IntersectClip);
    painter.translate(origin);
    painter.scale(em / ReferencePx * stretch, em / ReferencePx);
    // Laid out in a box whose top is the ascent above the baseline.
    const int ascent = static_cast<int>(metrics.ascent() + 0.5);
    const QRect box(0, -ascent, static_cast<int>(metrics.horizontalAdvance(text)) + ReferencePx,
                    static_cast<int>(metrics.height()) + 2);
    DrawStyledText(painter, drawn, styles, box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                   text, color);
    painter.restore();
}

// 新月 ●, 上弦 ◐, 満月 ○, 下弦 ◑: the dark part filled, the lit part left white, as Japanese
// calendars mark them (the Moon seen from the north: first quarter lit on the right).
void DrawMoon(QPainter& painter, const QRectF& rect, int phase, const QColor& color) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const double pen = rect.width() / 10;
    const QRectF disc = rect.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2);
    painter.setPen(QPen(color, pen));
    painter.setBrush(phase == static_cast<int>(Koyomi::TLunarPhase::NewMoon) ? QBrush(color)
                                                                             : QBrush(Qt::white));
    painter.drawEllipse(disc);
    if (phase == static_cast<int>(Koyomi::TLunarPhase::FirstQuarter) ||
        phase == static_cast<int>(Koyomi::TLunarPhase::LastQuarter)) {
        QPainterPath half;
        // The dark half: the left one at first quarter, the right one at last quarter.
        const double start =
            phase == static_cast<int>(Koyomi::TLunarPhase::FirstQuarter) ? 90 : -90;
        half.moveTo(disc.center());
        half.arcTo(disc, start, 180);
        half.closeSubpath();
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawPath(half);
    }
    painter.restore();
}

} // namespace

void DrawKoyomiCell(QPainter& painter, const QPointF& origin, const TKoyomiCellLayout& layout,
                    const QString& number, const TKoyomiFaces& faces, const TKoyomiColors& colors) {
    painter.save();
    painter.translate(origin);
    // The number with its ink where the layout put it.
    DrawSmallText(painter, faces.NumberFont(), number, layout.NumberOrigin, layout.Number,
                  layout.NumberEm, 1, colors.Number);
    for (const TKoyomiPlaced& p : layout.Placed) {
        if (p.Kind == TKoyomiKind::Moon) {
            DrawMoon(painter, p.Rect, p.Phase, colors.Text);
            continue;
        }
        if (p.Emphasis) {
            // 大安 on a tint of the text's colour.
            QColor tint = colors.Text;
            tint.setAlphaF(0.18f);
            painter.fillRect(p.Rect, tint);
        }
        // A synthetic bold's stroke spreads half its width left of the glyphs.
        const double inset = p.Emphasis ? p.Em * SyntheticBoldStroke / 2 : 0;
        DrawSmallText(painter, faces.TextFont(p.Emphasis), p.Text,
                      QPointF(p.Rect.left() + inset, p.Baseline), p.Rect, p.Em, p.Stretch,
                      colors.Text);
    }
    painter.restore();
}

QString KoyomiToolTip(int year, int month, int day, const Koyomi::TKoyomiDay& koyomi,
                      const QString& holidayNames) {
    QStringList lines;
    lines << QStringLiteral("%1年%2月%3日").arg(year).arg(month).arg(day);
    if (koyomi.Known()) {
        lines << Koyomi::LunarDateText(koyomi) + QStringLiteral("　") +
                     Koyomi::RokuyoName(koyomi.Rokuyo);
        const QStringList names = Koyomi::DayNames(koyomi);
        if (!names.isEmpty())
            lines << Join(names);
    }
    QStringList holidays = holidayNames.split(u',', Qt::SkipEmptyParts);
    for (QString& name : holidays)
        name = name.trimmed();
    holidays.removeAll(QString());
    if (!holidays.isEmpty())
        lines << Join(holidays);
    return lines.join(u'\n');
}
