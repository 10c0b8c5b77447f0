// Bold and italic that a face lacks: which faces need them drawn, that text laid out by hand
// lands exactly where QPainter::drawText puts it, and that a synthetic bold carries the same
// ink in a bitmap at 96 and at 300 per inch and in a PDF page as poppler draws it.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include "../common/sheetpage.h"
#include "platform/canvas.h"
#include "platform/styledtext.h"

using testing_support::PdfText;
using testing_support::RenderPdf;

namespace {

const QString IpaMincho = QStringLiteral("IPAPMincho"); // IPA P明朝
const QString NotoSans = QStringLiteral("Noto Sans CJK JP");

// Whether the system has the family itself, not a fallback for it.
bool Installed(const QString& family) {
    return QFontInfo(QFont(family)).family() == family;
}

QFont Font(const QString& family, int pixels, bool bold = false, bool italic = false) {
    QFont f(family);
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

QImage White(int w, int h, int dpi = 96) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dpm = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    return image;
}

// The ink of an area: the darkness of every pixel added up, in pixels of full black.
double Ink(const QImage& image, const QRect& area) {
    double ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ink += (255 - qGray(image.pixel(x, y))) / 255.0;
    return ink;
}

// A text drawn at `dpi` through a canvas, with its font given at 96 per inch as in a layout.
QImage CanvasText(const QString& face, TFontStyles style, int dpi, const QString& text) {
    const double scale = dpi / 96.0;
    QImage image = White(qRound(200 * scale), qRound(50 * scale), dpi);
    TCanvas canvas(&image);
    canvas.Font.SetName(face);
    canvas.Font.SetHeight(-32);
    canvas.Font.SetStyle(style);
    canvas.Font.SetColor(clBlack);
    canvas.Brush.Style = bsClear;
    TRect box{0, 0, image.width(), image.height()};
    canvas.DrawText(box, text, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    canvas.EndPaint();
    return image;
}

} // namespace

TEST(SyntheticStyles, OnlyWhatTheFaceLacksIsDrawnByHand) {
    ASSERT_TRUE(Installed(IpaMincho)) << "fonts-ipafont-mincho is needed";
    // The IPA fonts have one upright regular face.
    EXPECT_EQ(SyntheticStyles(Font(IpaMincho, 32)), (TSyntheticStyles{false, false}));
    EXPECT_EQ(SyntheticStyles(Font(IpaMincho, 32, true)), (TSyntheticStyles{true, false}));
    EXPECT_EQ(SyntheticStyles(Font(IpaMincho, 32, true, true)), (TSyntheticStyles{true, true}));
    // So have the two faces of the settings, drawn with them.
    EXPECT_EQ(SyntheticStyles(Font(QStringLiteral("ＭＳ Ｐゴシック"), 11, true)),
              (TSyntheticStyles{true, false}));
    const QFont plain = WithoutSynthetic(Font(IpaMincho, 32, true, true), {true, true});
    EXPECT_FALSE(plain.bold());
    EXPECT_FALSE(plain.italic());
    EXPECT_EQ(plain.pixelSize(), 32);

    ASSERT_TRUE(Installed(NotoSans)) << "fonts-noto-cjk is needed";
    // Noto has a bold face of its own, and no italic.
    EXPECT_EQ(SyntheticStyles(Font(NotoSans, 32, true)), (TSyntheticStyles{false, false}));
    EXPECT_EQ(SyntheticStyles(Font(NotoSans, 32, true, true)), (TSyntheticStyles{false, true}));
    const QFont bold = WithoutSynthetic(Font(NotoSans, 32, true, true), {false, true});
    EXPECT_TRUE(bold.bold());
    EXPECT_FALSE(bold.italic());
}

TEST(DrawStyledText, LaysTextOutExactlyAsDrawTextDoes) {
    struct Case {
        const char* what;
        QRect box;
        int flags;
        const char16_t* text;
    };
    const int single = Qt::TextSingleLine | Qt::TextShowMnemonic;
    const Case cases[] = {
        {"top left", {3, 2, 150, 40}, Qt::AlignLeft | Qt::AlignTop | single, u"2027年 平成"},
        {"centred", {0, 0, 160, 44}, Qt::AlignHCenter | Qt::AlignVCenter | single, u"１２月"},
        {"bottom right", {5, 0, 150, 41}, Qt::AlignRight | Qt::AlignBottom | single, u"31"},
        {"mnemonic", {0, 0, 160, 40}, Qt::AlignLeft | Qt::AlignTop | single, u"&Print && 印刷"},
        {"clipped", {20, 10, 40, 20}, Qt::AlignLeft | Qt::AlignTop | single, u"WWWWWWWW"},
        {"unclipped", {20, 10, 40, 20}, Qt::AlignLeft | single | Qt::TextDontClip, u"WWWWWW"},
        {"word wrap", {2, 0, 70, 60}, Qt::AlignHCenter | Qt::TextWordWrap, u"aaa bbb ccc ddd"},
    };
    for (const QString& family : {QStringLiteral("IPAPGothic"), IpaMincho, NotoSans}) {
        if (!Installed(family))
            continue;
        for (int pixels : {11, 15, 32}) {
            const QFont font = Font(family, pixels);
            for (const Case& c : cases) {
                const QString text = QString::fromUtf16(c.text);
                QImage byQt = White(160, 60);
                QImage byHand = byQt;
                {
                    QPainter p(&byQt);
                    p.setFont(font);
                    p.setPen(Qt::black);
                    p.drawText(c.box, c.flags, text);
                }
                {
                    QPainter p(&byHand);
                    DrawStyledText(p, font, {}, c.box, c.flags, text, Qt::black);
                }
                EXPECT_EQ(byHand, byQt) << family.toStdString() << " " << pixels << " " << c.what;
            }
        }
    }
}

TEST(DrawStyledText, ABoldOfOneRuleCarriesTheSameInkAtEveryResolution) {
    ASSERT_TRUE(Installed(IpaMincho));
    const QString text = QStringLiteral("2027年");
    const QRect all(0, 0, 200, 50);
    const double regular = Ink(CanvasText(IpaMincho, 0, 96, text), all);
    const QImage screen = CanvasText(IpaMincho, fsBold, 96, text);
    const double bold = Ink(screen, all);
    // Heavier than the regular face, by the stroke around its outlines.
    EXPECT_GT(bold, 1.2 * regular);
    EXPECT_LT(bold, 2.0 * regular);
    // Every glyph pixel of the regular face stays inked: the stroke only adds.
    const QImage plain = CanvasText(IpaMincho, 0, 96, text);
    int lost = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 200; ++x)
            lost += qGray(plain.pixel(x, y)) < 100 && qGray(screen.pixel(x, y)) > 160;
    EXPECT_EQ(lost, 0);

    // At 300 per inch, seen at 96.
    const QImage fine = CanvasText(IpaMincho, fsBold, 300, text)
                            .scaled(200, 50, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_NEAR(Ink(fine, all), bold, 0.1 * bold);
    // The italic is the same slant everywhere: it keeps the ink and moves the tops right.
    const double italic = Ink(CanvasText(IpaMincho, fsBold | fsItalic, 96, text), all);
    EXPECT_NEAR(italic, bold, 0.1 * bold);

    // In a PDF the glyphs stay text and the stroke is drawn over them.
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("bold.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setResolution(300);
        writer.setPageSize(QPageSize(QSizeF(200 / 96.0, 50 / 96.0), QPageSize::Inch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        TCanvas canvas(&painter);
        canvas.Font.SetName(IpaMincho);
        canvas.Font.SetHeight(-32);
        canvas.Font.SetStyle(fsBold);
        canvas.Font.SetColor(clBlack);
        canvas.Brush.Style = bsClear;
        TRect box{0, 0, 625, 156};
        canvas.DrawText(box, text, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    EXPECT_TRUE(PdfText(pdf).contains(text)) << PdfText(pdf).toStdString();
    const QImage page = RenderPdf(pdf, 96, dir.path());
    ASSERT_FALSE(page.isNull()) << "pdftoppm (poppler-utils) is needed";
    EXPECT_NEAR(Ink(page, page.rect()), bold, 0.1 * bold);
}
