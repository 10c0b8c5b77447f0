// "印刷(&P)" of the preview window opened by "ﾌﾟﾚﾋﾞｭ-＆印刷", printing through a real CUPS
// scheduler into a cups-pdf queue; the page that comes out of the queue is compared with the
// sheet tamurika-export writes into a PDF file. Its own executable: the CUPS library takes the
// scheduler's address from the environment once, before Qt's print support asks for printers.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include "app/mainunit.h"
#include "app/modal.h"
#include "calex/calex.h"
#include "common/imagemagick.h"
#include "common/sheetpage.h"
#include "export/exportcommand.h"
#include "preview/printlrunit.h"
#include "previewdocument.h"
#include "print/printer.h"
#include "report/privatecups.h"
#include "widgets/image.h"

using namespace testing_support;

namespace {

// How far two renderings of one page agree inside `area`: of the pixels that carry ink in the
// reference, the share that carries the same ink in `page`.
double Agreement(const QImage& page, const QImage& reference, const QRect& area, int* inked) {
    int both = 0;
    *inked = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const TInk ink = InkOf(reference.pixel(x, y));
            if (ink == TInk::None || ink == TInk::Other)
                continue;
            ++*inked;
            // A pixel's neighbours count too: the two pages are rasterised apart.
            bool same = false;
            for (int dy = -1; dy <= 1 && !same; ++dy)
                for (int dx = -1; dx <= 1 && !same; ++dx)
                    same = page.rect().contains(x + dx, y + dy) &&
                           InkOf(page.pixel(x + dx, y + dy)) == ink;
            both += same;
        }
    return *inked > 0 ? double(both) / *inked : 0.0;
}

TEST(PrintQueue, ThePreviewPrintsTheSameSheetAsTheExportThroughCups) {
    report_testing::TPrivateCups cups;
    const QString cannotRun = cups.Start();
    if (!cannotRun.isEmpty())
        GTEST_SKIP() << "no private CUPS scheduler here: " << cannotRun.toStdString();
    qputenv("CUPS_SERVER", cups.Socket().toLocal8Bit());

    QTemporaryDir dir; // the program's folder: no stored position; the preview opens at 100 %
    KeepZoomAt100(dir.path());
    // Fine enough to print without the coarse-print question (163 pixels per inch).
    const QString photo = dir.filePath(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(MakeQuarters(photo, 1200, 600));
    // The year title in IPA P明朝 bold, a face without a bold of its own.
    {
        QFile ini(dir.filePath(QStringLiteral("tamurika.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(
            "[tamurika]\r\nzenkai=1\r\n[settei1]\r\nfont1=IPA P\x96\xbe\x92\xa9\r\nfs11=1\r\n");
    }

    TPrinter& printer = Printer();
    const int index = static_cast<int>(printer.Printers().indexOf(cups.QueueName()));
    ASSERT_GE(index, 0) << printer.Printers().join(u' ').toStdString();
    printer.SetPrinterIndex(index);

    TmainForm form(dir.path());
    form.show();
    while (form.CalendarEx1->Year() < 2027)
        form.Button5Click();
    while (form.CalendarEx1->Year() > 2027)
        form.Button2Click();
    form.LoadPictureFile(photo);

    bool closed = false;
    QImage shown; // the preview at 100 %
    auto seen = WhenModal([&closed, &shown](QWidget* w) {
        auto* preview = qobject_cast<TFrmPrtLR*>(w);
        ASSERT_NE(preview, nullptr);
        EXPECT_EQ(preview->Zoom(), 4);
        shown = preview->Image1->Picture().Graphic()->ToImage();
        preview->BtnInsatu->click();
        closed = !preview->isVisible();
    });
    form.Button1->click();
    ASSERT_TRUE(*seen);
    EXPECT_TRUE(closed) << "printing closes the window";
    EXPECT_EQ(FrmPrtLR, nullptr);

    const QString printed = cups.WaitForPdf(90000);
    ASSERT_FALSE(printed.isEmpty()) << "the queue wrote no PDF:\n" << cups.LogTail().toStdString();
    const auto info = PdfInfo(printed);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->Pages, 1);
    EXPECT_NEAR(info->Width, 595.3, 1.0);
    EXPECT_NEAR(info->Height, 841.9, 1.0);

    // The same sheet exported straight into a PDF file.
    QTemporaryDir work;
    const QString exported = work.filePath(QStringLiteral("export.pdf"));
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    ASSERT_EQ(RunExport({QStringLiteral("--year"), QStringLiteral("2027"),
                         QStringLiteral("--picture"), photo, QStringLiteral("--pdf"), exported},
                        outStream, errStream, dir.path()),
              0)
        << err.toStdString();
    // The queue's filters keep glyphs but not their text, so the text is read from the export
    // and the glyphs compared picture against picture.
    EXPECT_TRUE(PdfText(exported).contains(QStringLiteral("2027年")));

    const QImage page = RenderPdf(printed, 96, work.path());
    const QImage reference = RenderPdf(exported, 96, work.path());
    ASSERT_EQ(page.size(), QSize(PageWidth, PageHeight));
    ASSERT_EQ(reference.size(), page.size());
    const std::pair<const char*, QRect> areas[] = {
        {"year title", QRect(300, 578, 200, 40)},
        {"January", QRect(MonthOrigin(1), QSize(178, 140))},
        {"May", QRect(MonthOrigin(5), QSize(178, 140))},
        {"December", QRect(MonthOrigin(12), QSize(178, 140))},
        {"picture", QRect(43, 127, 708, 354)},
    };
    for (const auto& [what, area] : areas) {
        int inked = 0;
        const double agreement = Agreement(page, reference, area, &inked);
        EXPECT_GT(inked, 100) << what;
        EXPECT_GT(agreement, 0.9) << what;
        int reverse = 0;
        EXPECT_GT(Agreement(reference, page, area, &reverse), 0.9) << what << " (reverse)";
    }
    // The bold title carries the same ink on paper, in the PDF file and in the preview.
    ASSERT_EQ(shown.size(), page.size());
    const double onPaper = Ink(page, YearTitleArea());
    for (const auto& [what, other] :
         {std::pair{"PDF file", reference}, std::pair{"preview", shown}}) {
        const double ink = Ink(other, YearTitleArea());
        EXPECT_LE(std::max(ink, onPaper), 1.15 * std::min(ink, onPaper))
            << what << ": " << ink << " against " << onPaper << " on paper";
    }
    EXPECT_EQ(MainInk(page, Inside(DayCell(1, 5, 0)).adjusted(1, 1, -1, -1)), TInk::Red);
    EXPECT_EQ(MainInk(page, Inside(DayCell(1, 6, 0)).adjusted(1, 1, -1, -1)), TInk::Blue);
    EXPECT_EQ(MainInk(page, Inside(DayCell(2, 2, 3)).adjusted(1, 1, -1, -1)), TInk::Red);

    // The job is named after the sheet.
    const QByteArray title = QStringLiteral("たむりか2027年").toUtf8();
    QDeadlineTimer deadline(30000);
    while (!cups.PageLog().contains(title) && !deadline.hasExpired())
        QThread::msleep(100);
    EXPECT_TRUE(cups.PageLog().contains(title)) << cups.PageLog().constData();

    // tamurika-export sends the same page to the queue.
    ASSERT_TRUE(QFile::remove(printed));
    ASSERT_EQ(
        RunExport({QStringLiteral("--year"), QStringLiteral("2027"), QStringLiteral("--picture"),
                   photo, QStringLiteral("--printer"), cups.QueueName()},
                  outStream, errStream, dir.path()),
        0)
        << err.toStdString();
    const QString queued = cups.WaitForPdf(90000);
    ASSERT_FALSE(queued.isEmpty()) << cups.LogTail().toStdString();
    const QImage again = RenderPdf(queued, 96, work.path());
    ASSERT_EQ(again.size(), page.size());
    for (const auto& [what, area] : areas) {
        int inked = 0;
        EXPECT_GT(Agreement(again, page, area, &inked), 0.95) << what;
    }
}

} // namespace
