// Printing into a PDF file, the way a user without a print queue prints, read back by poppler.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "sampledocument.h"

using namespace report_testing;

namespace {

// Checks a printed sample document as poppler reads it back.
void ExpectSamplePdf(const QString& pdf, const QString& workDir) {
    const auto info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.has_value()) << "pdfinfo could not read " << pdf.toStdString();
    EXPECT_TRUE(info->contains("(A4)")) << info->constData();
    EXPECT_TRUE(info->contains("Pages:           1")) << info->constData();
    // A4 portrait, 595.3 × 841.9 points, however the writer rounds it.
    static const QRegularExpression size(QStringLiteral(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)"));
    const auto match = size.match(QString::fromUtf8(*info));
    ASSERT_TRUE(match.hasMatch()) << info->constData();
    EXPECT_NEAR(match.captured(1).toDouble(), 595.3, 1.0);
    EXPECT_NEAR(match.captured(2).toDouble(), 841.9, 1.0);

    const auto text =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.has_value());
    EXPECT_TRUE(text->contains("TAMURIKA 2026")) << text->constData();
    EXPECT_TRUE(text->contains("D1")) << text->constData();
    EXPECT_TRUE(text->contains("D14")) << text->constData();

    // At 48 per inch one pixel is two design units, measured from the paper's corner.
    const QImage page = RenderPdf(pdf, 48, workDir);
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(page.width(), 397);
    EXPECT_NEAR(page.height(), 561, 1);
    auto redNear = [&page](int x, int y) {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (IsRed(page.pixel(x + dx, y + dy)))
                    return true;
        return false;
    };
    const int midX = (SampleDocument::TitleLeft + 200) / 2;
    EXPECT_TRUE(redNear(midX, SampleDocument::TitleTop / 2)) << "top border";
    EXPECT_TRUE(redNear(midX, SampleDocument::TitleBottom / 2)) << "bottom border";
    EXPECT_TRUE(redNear(SampleDocument::TitleLeft / 2, (SampleDocument::TitleTop + 20) / 2))
        << "left border";
    EXPECT_FALSE(redNear(midX, (SampleDocument::TitleTop + SampleDocument::TitleBottom) / 2 - 8))
        << "inside";
    EXPECT_TRUE(
        IsBlue(page.pixel((SampleDocument::PictureLeft + SampleDocument::PictureRight) / 4,
                          (SampleDocument::PictureTop + SampleDocument::PictureBottom) / 4)));
    EXPECT_FALSE(IsBlue(
        page.pixel(SampleDocument::PictureLeft / 2 - 4, SampleDocument::PictureTop / 2 + 10)));
}

} // namespace

TEST(PrintToPdf, ADocumentPrintedIntoAFileReadsBackWithPoppler) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("calendar.pdf"));
    TQtPrinter printer;
    printer.PrintToFile(pdf);
    EXPECT_EQ(printer.PrinterIndex(), -1);
    SampleDocument sample(&printer);
    sample.Doc.BeginDoc();
    EXPECT_GT(sample.Doc.State(), rsIdle);
    sample.Doc.PrintPage();
    EXPECT_DOUBLE_EQ(sample.Doc.Scale(), printer.ResolutionY() / 96.0);
    sample.Doc.EndDoc();
    EXPECT_EQ(printer.Title(), QStringLiteral("たむりか printtest"));
    ASSERT_TRUE(QFile::exists(pdf));
    ExpectSamplePdf(pdf, dir.path());
    // The job's title is the document's, in the file's metadata.
    const auto info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.has_value());
    EXPECT_TRUE(QString::fromUtf8(*info).contains(QStringLiteral("たむりか printtest")));
}

TEST(PrintToPdf, AFileThatCannotBeWrittenGivesAMessageAndLeavesTheDocumentIdle) {
    QTemporaryDir dir;
    TQtPrinter printer;
    printer.PrintToFile(dir.filePath(QStringLiteral("no/such/folder/calendar.pdf")));
    SampleDocument sample(&printer);
    try {
        sample.Doc.BeginDoc();
        ADD_FAILURE() << "a job started into a folder that does not exist";
    } catch (const EPrinter& e) {
        EXPECT_EQ(
            e.Message(),
            QStringLiteral(
                "PDFファイル「calendar.pdf」に印刷できません。書き込める場所を選んでください。"));
    }
    EXPECT_EQ(sample.Doc.State(), rsIdle);
    EXPECT_FALSE(printer.Printing());
    // The user picks another file and prints.
    printer.PrintToFile(dir.filePath(QStringLiteral("calendar.pdf")));
    sample.Doc.BeginDoc();
    sample.Doc.PrintPage();
    sample.Doc.EndDoc();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("calendar.pdf"))));
}

TEST(PrintToPdf, NoQueueAndNoFileGiveAMessage) {
    TQtPrinter printer;
    printer.PrintToFile(QString());
    SampleDocument sample(&printer);
    try {
        sample.Doc.BeginDoc();
        ADD_FAILURE() << "a job started with nowhere to go";
    } catch (const EPrinter& e) {
        const QString expected =
            printer.Printers().isEmpty()
                ? QStringLiteral(
                      "印刷できるプリンタがありません。プリンタを設定するか、PDFファイルに印刷してください。")
                : QStringLiteral("印刷先のPDFファイルが選ばれていません。");
        EXPECT_EQ(e.Message(), expected);
    }
    EXPECT_EQ(sample.Doc.State(), rsIdle);
}
