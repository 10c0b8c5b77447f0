#include "koyomicell.h"

#include <algorithm>
#include <array>
#include <map>

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
constexpr double MoonShare = 0.8;

// The sizes tried, largest first: whole ems down to the smallest, then narrower at that.
struct TSize {
    double Em;
    double Stretch;
};
constexpr std::array<TSize, 6> Sizes = {{{LargestEm, 1},
                                         {7.0, 1},
                                         {SmallestEm, 1},
                                         {SmallestEm, 0.9},
                                         {SmallestEm, 0.85},
                                         {SmallestEm, NarrowestStretch}}};

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

TKoyomiCellLayout LayoutKoyomiCell(const QSizeF& cellSize, const QString& number,
                                   const TKoyomiFaces& faces,
                                   const std::vector<TKoyomiEntry>& entries) {
    TKoyomiCellLayout layout;
    layout.NumberEm = NumberEm;
    // The number in its regular face's box, with room for a synthetic bold's stroke.
    const QSizeF numberSize = faces.NumberSize(number, NumberEm);
    const double stroke = NumberEm * SyntheticBoldStroke;
    layout.Number = QRectF(Margin, Margin, numberSize.width() + stroke, numberSize.height());
    if (entries.empty())
        return layout;

    const QRectF inside(Margin, Margin, cellSize.width() - 2 * Margin,
                        cellSize.height() - 2 * Margin);
    std::vector<TKoyomiPlaced> best;
    std::vector<TKoyomiKind> bestDropped;
    for (const TSize& size : Sizes) {
        const double lineHeight = faces.TextSize(QStringLiteral("国"), size.Em, false).height();
        // The lines: beside the number from the top down, then across the cell once below the
        // number's bottom.
        std::vector<TLine> lines;
        const double besideLeft = layout.Number.right() + Gap;
        for (double top = inside.top(); top + lineHeight <= inside.bottom() + 1e-9;
             top += lineHeight) {
            const double left = top >= layout.Number.bottom() ? inside.left() : besideLeft;
            if (left < inside.right())
                lines.push_back({QRectF(left, top, inside.right() - left, lineHeight)});
        }
        // Under the number, beside nothing: room for the moon's mark.
        const double underTop = layout.Number.bottom();
        const QRectF under(inside.left(), underTop, besideLeft - Gap - inside.left(),
                           inside.bottom() - underTop);

        std::vector<TKoyomiPlaced> placed;
        std::vector<TKoyomiKind> dropped;
        bool underUsed = false;
        for (const TKoyomiEntry& entry : entries) {
            if (entry.Kind == TKoyomiKind::Moon) {
                const double d = lineHeight * MoonShare;
                if (!underUsed && under.width() >= d && under.height() >= d) {
                    underUsed = true;
                    placed.push_back({entry.Kind,
                                      {},
                                      QRectF(under.left(), under.top(), d, d),
                                      size.Em,
                                      1,
                                      false,
                                      entry.Phase});
                    continue;
                }
                auto line = std::find_if(lines.begin(), lines.end(), [&](const TLine& l) {
                    return l.Rect.width() - l.Used >= d + (l.Used > 0 ? Gap : 0);
                });
                if (line == lines.end()) {
                    dropped.push_back(entry.Kind);
                    continue;
                }
                const double x = line->Rect.left() + line->Used + (line->Used > 0 ? Gap : 0);
                const double y = line->Rect.top() + (lineHeight - d) / 2;
                placed.push_back(
                    {entry.Kind, {}, QRectF(x, y, d, d), size.Em, 1, false, entry.Phase});
                line->Used = x + d - line->Rect.left();
                continue;
            }
            bool done = false;
            for (const QString& form : entry.Forms) {
                const double boldStroke = entry.Emphasis ? size.Em * SyntheticBoldStroke : 0;
                const double width =
                    faces.TextSize(form, size.Em, entry.Emphasis).width() * size.Stretch +
                    boldStroke;
                for (TLine& line : lines) {
                    const double gap = line.Used > 0 ? Gap : 0;
                    if (line.Rect.width() - line.Used - gap + 1e-9 < width)
                        continue;
                    const double x = line.Rect.left() + line.Used + gap;
                    placed.push_back({entry.Kind, form,
                                      QRectF(x, line.Rect.top(), width, lineHeight), size.Em,
                                      size.Stretch, entry.Emphasis, -1});
                    line.Used = x + width - line.Rect.left();
                    done = true;
                    break;
                }
                if (done)
                    break;
            }
            if (!done)
                dropped.push_back(entry.Kind);
        }
        best = std::move(placed);
        bestDropped = std::move(dropped);
        if (bestDropped.empty())
            break;
    }
    layout.Placed = std::move(best);
    layout.Dropped = std::move(bestDropped);
    return layout;
}

namespace {

// Draws `text` at `em` with horizontal `stretch` into `rect` (cell units), its top left there.
void DrawSmallText(QPainter& painter, const QFont& font, const QString& text, const QRectF& rect,
                   double em, double stretch, const QColor& color) {
    const QFont reference = ReferenceFont(font);
    const TSyntheticStyles styles = SyntheticStyles(reference);
    const QFont drawn = WithoutSynthetic(reference, styles);
    const double k = em / ReferencePx;
    const QFontMetricsF metrics(drawn);
    painter.save();
    // Nothing outside the place the layout gave, whatever a glyph's ink does.
    painter.setClipRect(rect, Qt::IntersectClip);
    // A synthetic bold's stroke spreads half its width left of the glyphs.
    const double inset = styles.Bold ? em * SyntheticBoldStroke / 2 : 0;
    painter.translate(rect.left() + inset, rect.top());
    painter.scale(k * stretch, k);
    const QRect box(0, 0, static_cast<int>(metrics.horizontalAdvance(text)) + 2,
                    static_cast<int>(metrics.height()) + 1);
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
    DrawSmallText(painter, faces.NumberFont(), number, layout.Number, layout.NumberEm, 1,
                  colors.Number);
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
        DrawSmallText(painter, faces.TextFont(p.Emphasis), p.Text, p.Rect, p.Em, p.Stretch,
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
