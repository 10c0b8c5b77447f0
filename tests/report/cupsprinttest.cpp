// Printing through a real CUPS scheduler to a cups-pdf queue, read back with poppler. Its own
// executable: the CUPS library takes the scheduler's address from the environment once, before
// Qt's print support first asks for printers.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QPageSize>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include "privatecups.h"
#include "sampledocument.h"

using namespace report_testing;

TEST(CupsQueue, ADocumentPrintedThroughCupsComesOutOfTheQueueAsA4WithItsTextAndBorder) {
    TPrivateCups cups;
    const QString cannotRun = cups.Start();
    if (!cannotRun.isEmpty())
        GTEST_SKIP() << "no private CUPS scheduler here: " << cannotRun.toStdString();
    qputenv("CUPS_SERVER", cups.Socket().toLocal8Bit());

    TQtPrinter printer;
    const QStringList queues = printer.Printers();
    const int index = static_cast<int>(queues.indexOf(cups.QueueName()));
    ASSERT_GE(index, 0) << "Qt does not see the queue; it sees: "
                        << queues.join(u' ').toStdString();
    printer.SetPrinterIndex(index);
    EXPECT_EQ(printer.PrinterIndex(), index);
    EXPECT_GT(printer.ResolutionY(), 0);

    SampleDocument sample(&printer);
    // The user had chosen landscape Letter: the document's A4 portrait wins at every job.
    printer.QtPrinter().setPageSize(QPageSize(QPageSize::Letter));
    printer.QtPrinter().setPageOrientation(QPageLayout::Landscape);
    sample.Doc.BeginDoc();
    sample.Doc.PrintPage();
    EXPECT_DOUBLE_EQ(sample.Doc.Scale(), printer.ResolutionY() / 96.0);
    sample.Doc.EndDoc();
    EXPECT_EQ(sample.Doc.State(), rsIdle);

    const QString pdf = cups.WaitForPdf(90000);
    ASSERT_FALSE(pdf.isEmpty()) << "the queue wrote no PDF:\n" << cups.LogTail().toStdString();

    const auto info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.has_value());
    EXPECT_TRUE(info->contains("Pages:           1")) << info->constData();
    static const QRegularExpression size(QStringLiteral(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)"));
    const auto match = size.match(QString::fromUtf8(*info));
    ASSERT_TRUE(match.hasMatch()) << info->constData();
    EXPECT_NEAR(match.captured(1).toDouble(), 595.3, 1.0) << "A4 portrait";
    EXPECT_NEAR(match.captured(2).toDouble(), 841.9, 1.0) << "A4 portrait";

    // The queue's filters turn the page into PostScript and back, which keeps the glyphs and
    // the font but not the table from glyphs to characters, so the text cannot be extracted
    // again. It is compared, glyph for glyph, with the same page printed straight into a PDF
    // file, whose text poppler does read.
    const auto fonts = RunTool(QStringLiteral("pdffonts"), {pdf});
    ASSERT_TRUE(fonts.has_value());
    EXPECT_TRUE(fonts->contains("IPAPGothic")) << fonts->constData();

    QTemporaryDir work;
    const QString direct = work.filePath(QStringLiteral("direct.pdf"));
    {
        TQtPrinter file;
        file.PrintToFile(direct);
        SampleDocument same(&file);
        same.Doc.BeginDoc();
        same.Doc.PrintPage();
        same.Doc.EndDoc();
    }
    const auto text = RunTool(QStringLiteral("pdftotext"), {direct, QStringLiteral("-")});
    ASSERT_TRUE(text.has_value() && text->contains("TAMURIKA 2026") && text->contains("D14"));
    const QImage page = RenderPdf(pdf, 96, work.path());
    const QImage reference = RenderPdf(direct, 96, work.path());
    ASSERT_FALSE(page.isNull());
    ASSERT_EQ(page.size(), reference.size());
    // Inside the title's frame and over the day grid: the same dark glyph pixels, give or
    // take the edges that two resolutions round differently.
    for (const QRect area :
         {QRect(SampleDocument::TitleLeft + 4, SampleDocument::TitleTop + 4, 392, 32),
          QRect(45, 307, 168, 32)}) {
        int dark = 0, darkBoth = 0, darkReference = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const bool a = qGray(page.pixel(x, y)) < 100;
                const bool b = qGray(reference.pixel(x, y)) < 100;
                dark += a;
                darkReference += b;
                darkBoth += a && b;
            }
        EXPECT_GT(darkReference, 100)
            << "the reference has text in " << area.x() << "," << area.y();
        EXPECT_GT(darkBoth, darkReference * 8 / 10) << "glyphs at " << area.x() << "," << area.y();
        EXPECT_LT(dark, darkReference * 12 / 10) << "glyphs at " << area.x() << "," << area.y();
    }
    // Two pixels per design unit from here: borders and picture at 48 per inch.
    const QImage small = RenderPdf(pdf, 48, work.path());
    auto redNear = [&small](int x, int y) {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (small.rect().contains(x + dx, y + dy) && IsRed(small.pixel(x + dx, y + dy)))
                    return true;
        return false;
    };
    const int midX = (SampleDocument::TitleLeft + 200) / 2;
    EXPECT_TRUE(redNear(midX, SampleDocument::TitleTop / 2)) << "top border";
    EXPECT_TRUE(redNear(midX, SampleDocument::TitleBottom / 2)) << "bottom border";
    EXPECT_FALSE(redNear(midX, SampleDocument::TitleTop / 2 + 8)) << "inside the frame";
    EXPECT_TRUE(
        IsBlue(small.pixel((SampleDocument::PictureLeft + SampleDocument::PictureRight) / 4,
                           (SampleDocument::PictureTop + SampleDocument::PictureBottom) / 4)));

    // The job carries the document's title; the scheduler logs it with the paper.
    // The line is written when the job ends, a moment after the PDF.
    const QByteArray title = QStringLiteral("たむりか printtest A4").toUtf8();
    QDeadlineTimer deadline(30000);
    while (!cups.PageLog().contains(title) && !deadline.hasExpired())
        QThread::msleep(100);
    EXPECT_TRUE(cups.PageLog().contains(title)) << cups.PageLog().constData();
}
