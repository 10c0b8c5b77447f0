#include "styledtext.h"

#include <algorithm>

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>
#include <QTextOption>

namespace {

struct TFaceStyles {
    bool Bold = false;
    bool Italic = false;
};

// What the face that Qt matched for `font` is by itself. A synthesised face reports the weight
// and slant it was asked for, so they are looked up in the font database under its style name.
TFaceStyles MatchedFace(const QFont& font) {
    const QFontInfo info(font);
    const QString family = info.family();
    const QStringList styles = QFontDatabase::styles(family);
    TFaceStyles face;
    if (styles.contains(info.styleName())) {
        const QFont matched = QFontDatabase::font(family, info.styleName(), 12);
        face.Bold = matched.weight() >= QFont::DemiBold;
        face.Italic = matched.style() != QFont::StyleNormal;
        return face;
    }
    // A style name the database does not list: whether the family has such a face at all.
    for (const QString& style : styles) {
        const QFont f = QFontDatabase::font(family, style, 12);
        face.Bold = face.Bold || f.weight() >= QFont::DemiBold;
        face.Italic = face.Italic || f.style() != QFont::StyleNormal;
    }
    return face;
}

// The text as QPainter::drawText shows it for `flags`: line breaks, tabs and the mnemonic
// ampersands ("&x" underlines x, "&&" is one "&").
QString PreparedText(const QString& text, int flags, QList<QTextLayout::FormatRange>& underlines) {
    const bool singleLine = (flags & Qt::TextSingleLine) != 0;
    const bool expandTabs = (flags & Qt::TextExpandTabs) != 0;
    QString s = text;
    for (QChar& c : s) {
        if (c == u'\r' || (singleLine && c == u'\n'))
            c = u' ';
        else if (c == u'\n')
            c = QChar::LineSeparator;
        else if (c == u'\t' && !expandTabs)
            c = u' ';
    }
    if ((flags & Qt::TextShowMnemonic) == 0)
        return s;
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'&') {
            if (++i == s.size())
                break;
            if (s[i] != u'&') {
                QTextLayout::FormatRange range;
                range.start = static_cast<int>(out.size());
                range.length = 1;
                range.format.setFontUnderline(true);
                underlines.append(range);
            }
        }
        out += s[i];
    }
    return out;
}

// The outlines of the line's glyphs, relative to the point the line is drawn at.
QPainterPath LineOutline(const QTextLine& line) {
    QPainterPath outline;
    for (const QGlyphRun& run : line.glyphRuns()) {
        const QRawFont raw = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i)
            outline.addPath(raw.pathForGlyph(glyphs[i]).translated(positions[i]));
    }
    return outline;
}

} // namespace

TSyntheticStyles SyntheticStyles(const QFont& font) {
    const bool bold = font.bold();
    const bool italic = font.style() != QFont::StyleNormal;
    if (!bold && !italic)
        return {};
    const TFaceStyles face = MatchedFace(font);
    return {bold && !face.Bold, italic && !face.Italic};
}

QFont WithoutSynthetic(const QFont& font, TSyntheticStyles styles) {
    QFont f = font;
    if (styles.Bold)
        f.setBold(false);
    if (styles.Italic)
        f.setItalic(false);
    return f;
}

void DrawStyledText(QPainter& painter, const QFont& font, TSyntheticStyles styles, const QRect& box,
                    int flags, const QString& text, const QColor& color) {
    // Laid out as qt_format_text lays out QPainter::drawText: lines on whole pixels one leading
    // apart, the block placed vertically in the box, each line horizontally.
    const QFont f(font, painter.device());
    const QFontMetricsF fm(f);
    QList<QTextLayout::FormatRange> underlines;
    QTextLayout layout(PreparedText(text, flags, underlines), f, painter.device());
    QTextOption option;
    option.setTextDirection(Qt::LeftToRight);
    const bool wrap = (flags & Qt::TextWordWrap) != 0;
    option.setWrapMode(wrap ? QTextOption::WordWrap : QTextOption::ManualWrap);
    if (flags & Qt::TextExpandTabs)
        option.setTabStopDistance(qRound(fm.horizontalAdvance(u'x') * 8));
    layout.setTextOption(option);
    layout.setFormats(underlines);

    const bool dontClip = (flags & Qt::TextDontClip) != 0;
    const qreal lineWidth = wrap ? std::max<qreal>(0, box.width()) : 0x01000000;
    const int leading = static_cast<int>(fm.leading());
    qreal height = 0;
    qreal width = 0;
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(lineWidth);
        height = std::ceil(height + leading);
        line.setPosition(QPointF(0, height));
        height += line.ascent() + line.descent();
        width = std::max(width, line.naturalTextWidth());
        if (!dontClip && height >= box.height())
            break;
    }
    layout.endLayout();

    qreal top = 0;
    if (flags & Qt::AlignBottom)
        top = box.height() - height;
    else if (flags & Qt::AlignVCenter)
        top = (box.height() - height) / 2;
    qreal left = 0;
    if (flags & Qt::AlignRight)
        left = box.width() - width;
    else if (flags & Qt::AlignHCenter)
        left = (box.width() - width) / 2;
    const QRectF bounds(box.x() + left, box.y() + top, width, height);

    painter.save();
    if (!dontClip && !QRectF(box).contains(bounds))
        painter.setClipRect(box, Qt::IntersectClip);
    painter.setPen(color);
    const qreal em = f.pixelSize() > 0 ? f.pixelSize() : QFontInfo(f).pixelSize();
    QPen stroke(color, em * SyntheticBoldStroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const qreal advance = line.horizontalAdvance();
        qreal x = 0;
        if (flags & Qt::AlignRight)
            x = box.width() - advance;
        else if (flags & Qt::AlignHCenter)
            x = (box.width() - advance) / 2;
        const QPointF origin(box.x() + x, box.y() + top);
        painter.save();
        if (styles.Italic) {
            // Slanted about the baseline, so that the glyphs keep their places on it.
            const qreal baseline = origin.y() + line.y() + line.ascent();
            painter.translate(0, baseline);
            painter.shear(-SyntheticItalicSlant, 0);
            painter.translate(0, -baseline);
        }
        line.draw(&painter, origin);
        if (styles.Bold) {
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.strokePath(LineOutline(line).translated(origin), stroke);
        }
        painter.restore();
    }
    painter.restore();
}
