#include "sampletitle.h"

#include <QFontMetricsF>

#include "model/calendarmodel.h"
#include "platform/font.h"

namespace {

QFont FaceAt(const QString& face, TFontStyles style, int height) {
    TFont font;
    font.SetName(face);
    font.SetHeight(-height);
    font.SetStyle(style);
    font.SetCharset(SHIFTJIS_CHARSET);
    return font.ToQFont();
}

bool Fits(const QString& text, const QFont& font, int width) {
    return QFontMetricsF(font).horizontalAdvance(text) <= width;
}

} // namespace

TSampleTitle SampleYearTitle(const TCalendarModel& model, int width, int height) {
    const TOwnTitle& own = model.Shape.Title;
    const bool replace = own.Shown() && own.Place == TOwnTitlePlace::Replace;
    const QString yearTitle = model.YearTitle();
    const QString whole = replace ? own.Text : yearTitle;
    const QString face = replace ? own.Font.Name : DefaultFaceName;
    const TFontStyles style = replace ? own.Font.Style : TFontStyles(fsBold);

    TSampleTitle title{whole, FaceAt(face, style, height), {}};
    for (int h = height - 1; h >= SampleTitleMinHeight && !Fits(whole, title.Font, width); --h)
        title.Font = FaceAt(face, style, h);
    const bool cut = !Fits(whole, title.Font, width);
    if (cut)
        title.Text = QFontMetrics(title.Font).elidedText(whole, Qt::ElideRight, width);

    if (replace)
        title.ToolTip = QStringLiteral("自分の題名「%1」を年の題名（%2）の代わりに印刷します")
                            .arg(own.Text, yearTitle.trimmed());
    else if (own.Shown())
        title.ToolTip = QStringLiteral("自分の題名「%1」を年の題名（%2）の上に印刷します")
                            .arg(own.Text, yearTitle.trimmed());
    else if (cut)
        title.ToolTip = yearTitle.trimmed();
    return title;
}
