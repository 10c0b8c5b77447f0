#include "koyomicell.h"

#include <algorithm>
#include <array>
#include <optional>

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

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
                                        const TKoyomiOptions& options,
                                        const QStringList& familyNames) {
    std::vector<TKoyomiEntry> entries;
    for (const QString& name : familyNames) {
        if (name.isEmpty())
            continue;
        // Too long for the cell even over two lines, the name is shortened, never dropped
        // while a shorter form fits: "おばあちゃん…".
        QStringList forms{name};
        for (qsizetype n = name.size() - 1; n >= 1; --n)
            forms << name.left(n).trimmed() + QStringLiteral("…");
        entries.push_back({TKoyomiKind::Family, forms});
    }
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

QFont DrawnFont(const QFont& reference) {
    return WithoutSynthetic(reference, SyntheticStyles(reference));
}

QFont Bold(QFont font) {
    font.setBold(true);
    return font;
}

} // namespace

TKoyomiFace::TKoyomiFace(const QFont& font)
    : Drawn(DrawnFont(ReferenceFont(font))), Styles(SyntheticStyles(ReferenceFont(font))),
      Metrics(Drawn) {}

const QList<QGlyphRun>& TKoyomiFace::Shaped(const QString& text) const {
    auto it = FShaped.constFind(text);
    if (it != FShaped.constEnd())
        return *it;
    QTextLayout layout(text, Drawn);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(0x01000000);
    layout.endLayout();
    // Glyphs a fallback face draws come as runs of their own; all are moved onto the baseline.
    QList<QGlyphRun> runs = layout.glyphRuns();
    for (QGlyphRun& run : runs) {
        QList<QPointF> positions = run.positions();
        for (QPointF& p : positions)
            p.ry() -= line.ascent();
        run.setPositions(positions);
    }
    return *FShaped.insert(text, runs);
}

TKoyomiFaces::TKoyomiFaces(const QFont& numberFont, const QString& face)
    : FNumber(numberFont), FRegular(face), FBold(Bold(QFont(face))), FNumberFace(FNumber),
      FRegularFace(FRegular), FBoldFace(FBold) {
    const QRectF ideograph = FRegularFace.Metrics.tightBoundingRect(QStringLiteral("国"));
    FIdeographTop = ideograph.top();
    FIdeographHeight = ideograph.height();
}

QSizeF TKoyomiFaces::NumberSize(const QString& text, double em) const {
    const double k = em / ReferencePx;
    return {FNumberFace.Metrics.horizontalAdvance(text) * k, FNumberFace.Metrics.height() * k};
}

QSizeF TKoyomiFaces::TextSize(const QString& text, double em, bool bold) const {
    // The sum of the characters' advances: the small text is set without kerning and its
    // scripts (kanji, kana, digits) have no contextual forms, so shaping would add nothing.
    const TKoyomiFace& face = TextFace(bold);
    QHash<char16_t, double>& advances = FAdvances[bold ? 1 : 0];
    double width = 0;
    for (const QChar c : text) {
        auto it = advances.constFind(c.unicode());
        if (it == advances.constEnd())
            it = advances.insert(c.unicode(), face.Metrics.horizontalAdvance(c));
        width += *it;
    }
    const double k = em / ReferencePx;
    return {width * k, face.Metrics.height() * k};
}

double TKoyomiFaces::LineHeight(double em) const {
    return FIdeographHeight * em / ReferencePx + 2 * LinePad;
}

double TKoyomiFaces::LineBaseline(double em) const {
    return -FIdeographTop * em / ReferencePx + LinePad;
}

double TKoyomiFaces::TextAscent(double em, bool bold) const {
    return TextFace(bold).Metrics.ascent() * em / ReferencePx;
}

QRectF TKoyomiFaces::NumberInk(const QString& text, double em) const {
    const double k = em / ReferencePx;
    auto it = FInks.constFind(text);
    if (it == FInks.constEnd())
        it = FInks.insert(text, FNumberFace.Metrics.tightBoundingRect(text));
    const QRectF& ink = *it;
    return {ink.left() * k, ink.top() * k, ink.width() * k, ink.height() * k};
}

double TKoyomiFaces::NumberAscent(double em) const {
    return FNumberFace.Metrics.ascent() * em / ReferencePx;
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

    // `text` on one line, where there is room.
    bool PlaceLine(const TKoyomiEntry& entry, const QString& text) {
        const double width = Width(text, entry.Emphasis);
        for (TLine& line : FLines)
            if (auto x = Room(line, width)) {
                Add(entry, text, QRectF(*x, line.Rect.top(), width, FLineHeight));
                Take(line, *x, width);
                return true;
            }
        return false;
    }

    bool PlaceText(const TKoyomiEntry& entry) {
        if (entry.Kind == TKoyomiKind::Family) {
            // The family's own name whole, on one line or two, before it is shortened.
            // Shortened only at the narrowest size, so that a narrower size that shows it whole
            // wins.
            if (PlaceLine(entry, entry.Forms.first()) || PlaceBroken(entry))
                return true;
            return FSize.Stretch == NarrowestStretch &&
                   std::any_of(entry.Forms.begin() + 1, entry.Forms.end(),
                               [&](const QString& form) { return PlaceLine(entry, form); });
        }
        for (const QString& form : entry.Forms)
            if (PlaceLine(entry, form))
                return true;
        // A holiday's name too long for a line may go on in the next one, as printed calendars
        // break it.
        return entry.Kind == TKoyomiKind::Holiday && PlaceBroken(entry);
    }

    // The entry's first form over two lines.
    bool PlaceBroken(const TKoyomiEntry& entry) {
        const QString& name = entry.Forms.first();
        // Where a line may end: at a space first ("Hana" / "19歳", the space dropped), then
        // after any character but inside a word of Latin letters or digits, the later the
        // better.
        const auto inWord = [](QChar c) { return c.unicode() < 0x2E80 && c.isLetterOrNumber(); };
        std::vector<std::pair<QString, QString>> splits;
        for (qsizetype i = name.size() - 1; i >= 1; --i)
            if (name[i] == u' ')
                splits.emplace_back(name.left(i), name.mid(i + 1));
        for (qsizetype i = name.size() - 1; i >= 1; --i)
            if (name[i] != u' ' && name[i - 1] != u' ' && !(inWord(name[i - 1]) && inWord(name[i])))
                splits.emplace_back(name.left(i), name.mid(i));
        for (const auto& [head, tail] : splits)
            for (std::size_t l = 0; l + 1 < FLines.size(); ++l) {
                if (head.isEmpty() || tail.isEmpty())
                    continue;
                const double w1 = Width(head, entry.Emphasis), w2 = Width(tail, entry.Emphasis);
                const auto x1 = Room(FLines[l], w1);
                const auto x2 = Room(FLines[l + 1], w2);
                if (!x1 || !x2)
                    continue;
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
    std::array<int, KoyomiKindCount> countA{}, countB{};
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
    const QRectF inside(Margin, Margin, cellSize.width() - 2 * Margin,
                        cellSize.height() - 2 * Margin);
    if (entries.empty())
        return layout;

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

// Draws a cell's texts under the cell's transform, changing the painter's transform and pen
// only when a text needs another em, stretch or colour.
class TCellPainter {
  public:
    // `cell` takes cell units to the painter's world; the painter's own state is changed only
    // for what is drawn directly, and given back as it was.
    TCellPainter(QPainter& painter, const QTransform& cell, TKoyomiBatch* batch)
        : FPainter(painter), FCell(cell), FBatch(batch) {}
    ~TCellPainter() {
        if (FSaved)
            FPainter.restore();
    }
    TCellPainter(const TCellPainter&) = delete;
    TCellPainter& operator=(const TCellPainter&) = delete;

    // `text` at `em` with horizontal `stretch`, its baseline's left end at `origin` (cell
    // units). A face the system draws itself is drawn from its shaped glyphs (or gathered in
    // the batch); a synthetic bold or italic (大安 in a face without a bold) through
    // DrawStyledText, which adds the stroke.
    void Text(const TKoyomiFace& face, const QString& text, const QPointF& origin, double em,
              double stretch, const QColor& color) {
        const double kx = em / ReferencePx * stretch, ky = em / ReferencePx;
        if (FBatch != nullptr && !face.Styles.Italic && FCell.isAffine() && FCell.m12() == 0 &&
            FCell.m21() == 0) {
            if (!face.Styles.Bold) {
                FBatch->Add(FPainter, FCell, face, text, origin, em, stretch, color);
                return;
            }
            // A bold the face lacks, struck twice half a stroke to either side: as wide as the
            // stroked outline DrawStyledText draws, and still plain text on a PDF page (readers
            // take the second strike for the bold it is).
            const double half = em * SyntheticBoldStroke / 2;
            FBatch->Add(FPainter, FCell, face, text, origin - QPointF(half, 0), em, stretch, color);
            FBatch->Add(FPainter, FCell, face, text, origin + QPointF(half, 0), em, stretch, color);
            return;
        }
        Use(em, stretch);
        const QPointF at(origin.x() / kx, origin.y() / ky);
        if (!face.Styles.Any()) {
            if (!FPen || FPenColor != color) {
                FPainter.setPen(color);
                FPen = true;
                FPenColor = color;
            }
            for (const QGlyphRun& run : face.Shaped(text))
                FPainter.drawGlyphRun(at, run);
            return;
        }
        // Laid out in a box whose top is the ascent above the baseline.
        const QFontMetricsF& metrics = face.Metrics;
        const int ascent = static_cast<int>(metrics.ascent() + 0.5);
        const QRect box(0, -ascent, static_cast<int>(metrics.horizontalAdvance(text)) + ReferencePx,
                        static_cast<int>(metrics.height()) + 2);
        FPainter.translate(at);
        DrawStyledText(FPainter, face.Drawn, face.Styles, box,
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, text,
                       color);
        FPainter.translate(-at);
        FPen = false;
    }

    // Back to cell units, for a shape.
    QPainter& Shapes() {
        Save();
        if (FEm != 0) {
            FPainter.setWorldTransform(FCell);
            FEm = 0;
            FStretch = 0;
        }
        FPen = false;
        return FPainter;
    }

  private:
    void Save() {
        if (FSaved)
            return;
        FPainter.save();
        FPainter.setWorldTransform(FCell);
        FSaved = true;
    }

    void Use(double em, double stretch) {
        Save();
        if (em == FEm && stretch == FStretch)
            return;
        QTransform transform = FCell;
        transform.scale(em / ReferencePx * stretch, em / ReferencePx);
        FPainter.setWorldTransform(transform);
        FEm = em;
        FStretch = stretch;
    }

    QPainter& FPainter;
    const QTransform FCell;
    TKoyomiBatch* FBatch;
    bool FSaved = false;
    double FEm = 0, FStretch = 0;
    bool FPen = false;
    QColor FPenColor;
};

} // namespace

void TKoyomiBatch::Add(QPainter& painter, const QTransform& cell, const TKoyomiFace& face,
                       const QString& text, const QPointF& origin, double em, double stretch,
                       const QColor& color) {
    const double kx = em / ReferencePx * stretch, ky = em / ReferencePx;
    // The group's glyphs are placed in device units divided by the group's scale, so that one
    // transform, a scale alone, draws them all.
    const double sx = cell.m11() * kx, sy = cell.m22() * ky;
    for (const QGlyphRun& run : face.Shaped(text)) {
        const QRawFont font = run.rawFont();
        auto group = std::find_if(FGroups.begin(), FGroups.end(), [&](const TGroup& g) {
            return g.Painter == &painter && g.ScaleX == sx && g.ScaleY == sy && g.Color == color &&
                   g.Font == font;
        });
        if (group == FGroups.end()) {
            FGroups.push_back({&painter, font, sx, sy, color, {}, {}});
            group = FGroups.end() - 1;
        }
        group->Glyphs += run.glyphIndexes();
        for (const QPointF& p : run.positions()) {
            const QPointF device = cell.map(origin + QPointF(p.x() * kx, p.y() * ky));
            group->Positions << QPointF(device.x() / sx, device.y() / sy);
        }
    }
}

void TKoyomiBatch::Draw() {
    for (const TGroup& group : FGroups) {
        QPainter& painter = *group.Painter;
        painter.save();
        painter.setWorldTransform(QTransform(group.ScaleX, 0, 0, group.ScaleY, 0, 0));
        painter.setPen(group.Color);
        QGlyphRun run;
        run.setRawFont(group.Font);
        run.setGlyphIndexes(group.Glyphs);
        run.setPositions(group.Positions);
        painter.drawGlyphRun(QPointF(0, 0), run);
        painter.restore();
    }
    FGroups.clear();
}

namespace {

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
                    const QString& number, const TKoyomiFaces& faces, const TKoyomiColors& colors,
                    TKoyomiBatch* batch) {
    DrawKoyomiCell(painter,
                   QTransform::fromTranslate(origin.x(), origin.y()) * painter.worldTransform(),
                   layout, number, faces, colors, batch);
}

void DrawKoyomiCell(QPainter& painter, const QTransform& cellToWorld,
                    const TKoyomiCellLayout& layout, const QString& number,
                    const TKoyomiFaces& faces, const TKoyomiColors& colors, TKoyomiBatch* batch) {
    // Not clipped: the layout keeps every piece inside the cell and off the others (the tests
    // check it for every day of a year), and a clip per cell would double what a PDF page holds.
    TCellPainter cell(painter, cellToWorld, batch);
    // The number with its ink where the layout put it.
    cell.Text(faces.NumberFace(), number, layout.NumberOrigin, layout.NumberEm, 1, colors.Number);
    for (const TKoyomiPlaced& p : layout.Placed) {
        if (p.Kind == TKoyomiKind::Moon) {
            DrawMoon(cell.Shapes(), p.Rect, p.Phase, colors.Text);
            continue;
        }
        if (p.Emphasis) {
            // 大安 on a tint of the text's colour.
            QColor tint = colors.Text;
            tint.setAlphaF(0.18f);
            cell.Shapes().fillRect(p.Rect, tint);
        }
        // A synthetic bold's stroke spreads half its width left of the glyphs.
        const double inset = p.Emphasis ? p.Em * SyntheticBoldStroke / 2 : 0;
        cell.Text(faces.TextFace(p.Emphasis), p.Text, QPointF(p.Rect.left() + inset, p.Baseline),
                  p.Em, p.Stretch, colors.Text);
    }
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
