// Looking at a printed year sheet from outside: where its parts lie on an A4 page at 96 per
// inch (one pixel per design unit), what colour the ink in a place has, and poppler's tools to
// read a PDF back.
#pragma once

#include <algorithm>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QSize>
#include <QString>
#include <QStringList>

namespace testing_support {

/// The page at 96 per inch.
inline constexpr int PageWidth = 794;
inline constexpr int PageHeight = 1123;

/// The picture box, 708 × 531 at (3, 2) of its panel at (40, 37): a fitted picture lies in it
/// with its own shape, a filling one covers it.
inline QRect PictureBox(int position = 0) {
    return {43 + position, 39, 708, 531};
}

/// Month n's block: four across, three down, under the year title.
inline QPoint MonthOrigin(int month, int position = 0) {
    const int c = (month - 1) % 4;
    const int r = (month - 1) / 4;
    return {40 + position + 178 * c, 620 + 150 * r};
}
/// The first header cell's top-left corner: right of the 5-unit spacer, under the title.
inline QPoint HeaderOrigin(int month, int position = 0) {
    return MonthOrigin(month, position) + QPoint(5, 24);
}
/// A day cell's 24 × 16 rectangle; its left line lies one pixel left of it, its bottom line in
/// its last row.
inline QRect DayCell(int month, int col, int row, int position = 0) {
    const QPoint o = HeaderOrigin(month, position);
    return {o.x() + 24 * col, o.y() + 16 + 16 * row, 24, 16};
}
inline QRect HeaderCell(int month, int col, int position = 0) {
    const QPoint o = HeaderOrigin(month, position);
    return {o.x() + 24 * col, o.y(), 24, 16};
}
/// The inside of a cell, where its text is and no line.
inline QRect Inside(const QRect& cell) {
    return cell.adjusted(0, 0, -1, -1);
}

enum class TInk { None, Black, Red, Blue, Green, Other };

/// The ink a pixel shows, anti-aliased glyph edges (pink for red, pale blue for blue) included.
inline TInk InkOf(QRgb c) {
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    if (r > 150 && r - std::max(g, b) > 80)
        return TInk::Red;
    if (b > 150 && b - std::max(r, g) > 80)
        return TInk::Blue;
    if (g > 90 && g - std::max(r, b) > 40)
        return TInk::Green;
    if (std::max({r, g, b}) < 140 && std::max({r, g, b}) - std::min({r, g, b}) < 40)
        return TInk::Black;
    if (std::min({r, g, b}) > 230)
        return TInk::None;
    return TInk::Other;
}

/// The ink most pixels of `area` carry, if at least `minimum` pixels carry ink at all.
inline TInk MainInk(const QImage& page, const QRect& area, int minimum = 6) {
    int counts[6] = {};
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[static_cast<int>(InkOf(page.pixel(x, y)))];
    int best = 1;
    for (int k = 2; k <= 4; ++k)
        if (counts[k] > counts[best])
            best = k;
    return counts[best] >= minimum ? static_cast<TInk>(best) : TInk::None;
}

inline const char* InkName(TInk ink) {
    switch (ink) {
    case TInk::None:
        return "none";
    case TInk::Black:
        return "black";
    case TInk::Red:
        return "red";
    case TInk::Blue:
        return "blue";
    case TInk::Green:
        return "green";
    case TInk::Other:
        break;
    }
    return "other";
}

/// A pixel dark enough to be a line or a glyph (anti-aliased edges included).
inline bool IsDark(QRgb c) {
    return qGray(c) < 160;
}

/// Runs a tool and returns its standard output; nothing when it fails.
inline std::optional<QByteArray> RunTool(const QString& program, const QStringList& args,
                                         int timeoutMs = 60000) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput();
}

/// The first page of a PDF drawn by poppler's pdftoppm at `dpi`.
inline QImage RenderPdf(const QString& pdf, int dpi, const QString& workDir) {
    const QString prefix = workDir + QStringLiteral("/rendered");
    if (!RunTool(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                  QStringLiteral("-singlefile"), pdf, prefix}))
        return {};
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

/// The PDF's text as poppler's pdftotext extracts it.
inline QString PdfText(const QString& pdf) {
    const auto text = RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    return text ? QString::fromUtf8(*text) : QString();
}

struct TPdfInfo {
    int Pages = 0;
    double Width = 0; // points
    double Height = 0;
};

/// Page count and first page size as pdfinfo tells them.
inline std::optional<TPdfInfo> PdfInfo(const QString& pdf) {
    const auto out = RunTool(QStringLiteral("pdfinfo"), {pdf});
    if (!out)
        return std::nullopt;
    const QString text = QString::fromUtf8(*out);
    static const QRegularExpression pages(QStringLiteral(R"(Pages:\s+(\d+))"));
    static const QRegularExpression size(QStringLiteral(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)"));
    const auto p = pages.match(text);
    const auto s = size.match(text);
    if (!p.hasMatch() || !s.hasMatch())
        return std::nullopt;
    return TPdfInfo{p.captured(1).toInt(), s.captured(1).toDouble(), s.captured(2).toDouble()};
}

/// The pixel size of every picture in a PDF, in the order poppler's pdfimages lists them.
inline std::vector<QSize> PdfImageSizes(const QString& pdf) {
    std::vector<QSize> sizes;
    const auto out = RunTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    if (!out)
        return sizes;
    // "page num type width height color ...", a rule, then a line per picture.
    for (const QString& line : QString::fromUtf8(*out).split(u'\n').mid(2)) {
        const QStringList f = line.simplified().split(u' ');
        if (f.size() > 4 && f[2] == QLatin1String("image"))
            sizes.emplace_back(f[3].toInt(), f[4].toInt());
    }
    return sizes;
}

} // namespace testing_support
