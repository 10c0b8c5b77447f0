// The bold and italic year title on every output: the preview window's page, the PNG of
// tamurika-export at 96 and at 300 per inch and its PDF as poppler draws it carry the same ink
// and the same slant, for a face with a bold of its own (Noto Sans CJK) and for one without
// (IPA P明朝), whose bold and italic are drawn by hand alike on every device.
#include <gtest/gtest.h>

#include <algorithm>

#include <QFile>
#include <QFontDatabase>
#include <QTemporaryDir>

#include "calendar/holidaymodel.h"
#include "calendar/holidays.h"
#include "common/sheetpage.h"
#include "exportfixture.h"
#include "model/calendardocument.h"
#include "model/settingsslots.h"
#include "preview/previewdocument.h"
#include "preview/printlrunit.h"
#include "sheet/sheetcomposition.h"
#include "widgets/image.h"

using namespace Qt::StringLiterals;
using namespace testing_support;

namespace {

struct TTitleFont {
    const char* What;
    QString Face;
    QByteArray FaceInSettings; // as the settings file holds it, in Shift-JIS
    TFontStyles Style;
};

const TTitleFont IpaBold{"IPA P明朝 bold", u"IPA P明朝"_s, "IPA P\x96\xbe\x92\xa9", fsBold};
const TTitleFont IpaBoldItalic{"IPA P明朝 bold italic", u"IPA P明朝"_s, "IPA P\x96\xbe\x92\xa9",
                               fsBold | fsItalic};
const TTitleFont NotoBold{"Noto Sans CJK JP bold", u"Noto Sans CJK JP"_s, "Noto Sans CJK JP",
                          fsBold};

/// The 2027 sheet with the year title in `face` and `style`, as the preview window shows it at
/// 100 % (one pixel per design unit).
QImage PreviewPage(const QString& face, TFontStyles style) {
    QTemporaryDir folder;
    testing_support::KeepZoomAt100(folder.path()); // a first window on this screen opens fitted
    TCalendarDocument document(folder.path());
    document.Open();
    document.SetYear(2027);
    document.SetFont(sfYear, {face, style});
    TFrmPrtLR window(document);
    window.Compose();
    window.show();
    return window.Image1->Picture().Graphic()->ToImage();
}

/// A copy of tamurika-export whose saved settings set the year title's face and style.
class BoldTitleTest : public ExportProgramTest {
  protected:
    /// The sheet's outputs for `font`: preview, PNG at 96, PNG at 300 seen at 96, PDF at 96.
    std::vector<std::pair<const char*, QImage>> Outputs(const TTitleFont& font) {
        QFile ini(program.filePath(u"tamurika.ini"_s));
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write("[tamurika]\r\nzenkai=1\r\n[settei1]\r\nfont1=" + font.FaceInSettings +
                  "\r\nfs11=" + ((font.Style & fsBold) ? "1" : "0") +
                  "\r\nfs12=" + ((font.Style & fsItalic) ? "1" : "0") + "\r\n");
        ini.close();

        std::vector<std::pair<const char*, QImage>> pages;
        pages.emplace_back("preview", PreviewPage(font.Face, font.Style));
        const QString png = work.filePath(u"sheet.png"_s);
        const QString fine = work.filePath(u"sheet-300.png"_s);
        const QString pdf = work.filePath(u"sheet.pdf"_s);
        for (const QStringList& output :
             {QStringList{u"--png"_s, png}, QStringList{u"--png"_s, fine, u"--dpi"_s, u"300"_s},
              QStringList{u"--pdf"_s, pdf}}) {
            const ExportResult run =
                RunExport(Program(), QStringList{u"--year"_s, u"2027"_s} + output, work.path(),
                          u"Asia/Tokyo"_s, 120000);
            EXPECT_EQ(run.code, 0) << run.err.toStdString();
        }
        pages.emplace_back("PNG at 96", QImage(png).convertToFormat(QImage::Format_RGB32));
        pages.emplace_back("PNG at 300", AtScreenResolution(QImage(fine)));
        pages.emplace_back("PDF", RenderPdf(pdf, 96, work.path()));
        EXPECT_TRUE(PdfText(pdf).contains(u"2027年"_s)) << "the title stays text in the PDF";
        for (const auto& [what, page] : pages)
            EXPECT_EQ(page.size(), QSize(PageWidth, PageHeight)) << font.What << ", " << what;
        return pages;
    }

    /// Every output's title ink lies within 15 % of every other's; returns the preview's.
    double ExpectSameInk(const TTitleFont& font,
                         const std::vector<std::pair<const char*, QImage>>& pages) {
        double least = 1e9, most = 0;
        for (const auto& [what, page] : pages) {
            if (page.size() != QSize(PageWidth, PageHeight))
                continue;
            const double ink = Ink(page, YearTitleArea());
            least = std::min(least, ink);
            most = std::max(most, ink);
            RecordProperty(std::string(font.What) + ", " + what, std::to_string(ink));
        }
        EXPECT_GT(least, 100) << font.What;
        EXPECT_LE(most, 1.15 * least)
            << font.What << ": title ink from " << least << " to " << most;
        return Ink(pages.front().second, YearTitleArea());
    }
};

TEST_F(BoldTitleTest, ABoldTitleOfAFaceWithoutBoldCarriesTheSameInkOnEveryOutput) {
    ASSERT_TRUE(QFontDatabase::hasFamily(u"IPAPMincho"_s)) << "fonts-ipafont-mincho is needed";
    const auto bold = Outputs(IpaBold);
    const double boldInk = ExpectSameInk(IpaBold, bold);
    // The bold is there: clearly heavier than the regular face in the preview.
    const double regular = Ink(PreviewPage(IpaBold.Face, 0), YearTitleArea());
    EXPECT_GT(boldInk, 1.3 * regular);

    // Slanted by hand the same way everywhere; upright it does not lean.
    const auto slanted = Outputs(IpaBoldItalic);
    ExpectSameInk(IpaBoldItalic, slanted);
    const double upright = InkLean(bold.front().second, YearTitleArea());
    RecordProperty("lean upright", std::to_string(upright));
    for (const auto& [what, page] : slanted) {
        const double lean = InkLean(page, YearTitleArea());
        RecordProperty(std::string("lean, ") + what, std::to_string(lean));
        EXPECT_GT(lean - upright, 2.0) << what;
        EXPECT_NEAR(lean, InkLean(slanted.front().second, YearTitleArea()), 1.0) << what;
    }
}

TEST_F(BoldTitleTest, ABoldTitleOfAFaceWithItsOwnBoldCarriesTheSameInkOnEveryOutput) {
    ASSERT_TRUE(QFontDatabase::hasFamily(NotoBold.Face)) << "fonts-noto-cjk is needed";
    const double boldInk = ExpectSameInk(NotoBold, Outputs(NotoBold));
    const double regular = Ink(PreviewPage(NotoBold.Face, 0), YearTitleArea());
    EXPECT_GT(boldInk, 1.3 * regular);
}

} // namespace
