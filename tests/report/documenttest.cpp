#include <gtest/gtest.h>

#include "common/errors.h"

#include "report/lightrep.h"
#include "reporttesting.h"

using namespace report_testing;

namespace {

// A document on a 600-per-inch test printer with a 100-pixel unprintable band on the left.
struct PrintingDocument : ::testing::Test {
    TImagePrinter printer{600, QSize(1200, 400), TPoint{100, 0}};
    VEvudaRir doc{&printer};
};

} // namespace

TEST(VEvudaRir, PaperOrientationAndTheResizeRule) {
    TImagePrinter printer(600, QSize(10, 10));
    VEvudaRir doc(&printer);
    EXPECT_EQ(doc.PaperSize(), psA4);
    EXPECT_EQ(doc.Orientation(), poPortrait);
    EXPECT_EQ(doc.Width(), 794);
    EXPECT_EQ(doc.Height(), 1123);
    EXPECT_EQ(doc.MarginTop(), 36);
    EXPECT_EQ(doc.MarginLeft(), 36);
    EXPECT_EQ(doc.MarginRight(), 36);
    EXPECT_EQ(doc.MarginBottom(), 36);
    EXPECT_EQ(doc.Color(), clWhite);

    doc.SetOrientation(poLandscape);
    EXPECT_EQ(doc.Width(), 1123);
    EXPECT_EQ(doc.Height(), 794);
    doc.SetOrientation(poPortrait);
    const struct {
        TPaperSize size;
        int w, h;
    } papers[] = {{psA5, 559, 794},
                  {psB5, 688, 971},
                  {psB4, 971, 1376},
                  {psA3, 1123, 1587},
                  {psA4, 794, 1123}};
    for (const auto& p : papers) {
        doc.SetPaperSize(p.size);
        EXPECT_EQ(doc.Width(), p.w);
        EXPECT_EQ(doc.Height(), p.h);
    }

    doc.SetWidth(500);
    EXPECT_EQ(doc.Width(), 794);
    doc.SetPaperSize(psNone);
    doc.SetWidth(500);
    EXPECT_EQ(doc.Width(), 500);
    EXPECT_EQ(doc.Height(), 1123);
}

TEST(VEvudaRir, MarginsAreBoundByHalfTheWidthOnAllFourSides) {
    TImagePrinter printer(600, QSize(10, 10));
    VEvudaRir doc(&printer);
    for (auto [set, get] : {std::pair{&VEvudaRir::SetMarginLeft, &VEvudaRir::MarginLeft},
                            std::pair{&VEvudaRir::SetMarginTop, &VEvudaRir::MarginTop},
                            std::pair{&VEvudaRir::SetMarginRight, &VEvudaRir::MarginRight},
                            std::pair{&VEvudaRir::SetMarginBottom, &VEvudaRir::MarginBottom}}) {
        (doc.*set)(0);
        EXPECT_EQ((doc.*get)(), 36);
        (doc.*set)(-5);
        EXPECT_EQ((doc.*get)(), 36);
        (doc.*set)(397);
        EXPECT_EQ((doc.*get)(), 36);
        (doc.*set)(396);
        EXPECT_EQ((doc.*get)(), 396);
        (doc.*set)(36);
    }
}

TEST(VEvudaRir, MarginChangesRealignThePanels) {
    TImagePrinter printer(600, QSize(10, 10));
    VEvudaRir doc(&printer);
    auto* band = CreateLR<TLRLayoutPanel>(&doc);
    EXPECT_EQ(band->BoundsRect(), (TRect{37, 37, 757, 137}));
    doc.SetMarginLeft(39);
    doc.SetMarginRight(39);
    doc.SetMarginTop(36);
    doc.SetMarginBottom(48);
    EXPECT_EQ(band->BoundsRect(), (TRect{40, 37, 754, 137})); // 714 wide
    doc.SetMarginLeft(49); // "位置決定" shifts the sheet by the track bar's value
    doc.SetMarginRight(29);
    EXPECT_EQ(band->BoundsRect(), (TRect{50, 37, 764, 137}));
}

TEST(VEvudaRir, PreviewStatesAndScales) {
    TImagePrinter printer(600, QSize(10, 10));
    VEvudaRir doc(&printer);
    QImage screen = WhitePage(800, 1130);
    TCanvas canvas(&screen);
    for (int scale : {24, 101, 0, -50})
        EXPECT_EQ(ErrorOf([&] { doc.DrawPreview(canvas, 0, 0, scale); }),
                  QStringLiteral("印刷スケールが無効です．"));
    EXPECT_EQ(doc.State(), rsIdle);

    const struct {
        int scale, w, h;
    } sizes[] = {{25, 198, 280}, {50, 397, 561}, {75, 595, 842}, {100, 794, 1123}};
    auto* band = CreateLR<TLRLayoutPanel>(&doc);
    auto* item = CreateLR<TLRItem>(band);
    item->SetBounds(0, 0, 714, 10);
    item->SetTransparent(false);
    item->SetColor(clBlack);
    for (const auto& s : sizes) {
        screen.fill(Qt::red);
        doc.DrawPreview(canvas, 3, 4, s.scale);
        canvas.EndPaint();
        // The page replaces exactly its rectangle: red around it, white and black inside.
        QRect nonRed;
        for (int y = 0; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x)
                if (screen.pixel(x, y) != qRgb(255, 0, 0))
                    nonRed |= QRect(x, y, 1, 1);
        EXPECT_EQ(nonRed, QRect(3, 4, s.w, s.h)) << s.scale;
        EXPECT_EQ(doc.State(), rsPreviewing);
        // The black band stays visible when shrunk.
        EXPECT_LT(qGray(screen.pixel(3 + s.w / 2, 4 + 37 * s.scale / 100 + 1)), 128) << s.scale;
    }
    doc.EndPreview();
    EXPECT_EQ(doc.State(), rsIdle);
    EXPECT_EQ(doc.PageNumber(), 0);
}

TEST(VEvudaRir, RenderPreviewIsAWholePreviewIntoAPageOfThePapersSize) {
    TImagePrinter printer(600, QSize(10, 10));
    VEvudaRir doc(&printer);
    auto* band = CreateLR<TLRLayoutPanel>(&doc);
    auto* item = CreateLR<TLRItem>(band);
    item->SetBounds(0, 0, 714, 10);
    item->SetTransparent(false);
    item->SetColor(clBlack);

    // The same pixels as a preview drawn by hand, on a bitmap as large as the paper.
    QImage byHand = WhitePage(794, 1123);
    {
        TCanvas canvas(&byHand);
        doc.BeginPreview();
        doc.DrawPreview(canvas, 0, 0, 100);
        doc.EndPreview();
    }
    const QImage rendered = doc.RenderPreview()->Image();
    EXPECT_EQ(rendered.size(), QSize(794, 1123));
    EXPECT_EQ(rendered.convertToFormat(QImage::Format_RGB32),
              byHand.convertToFormat(QImage::Format_RGB32));
    const QRect ink = InkBounds(rendered);
    EXPECT_EQ(ink.topLeft(), QPoint(37, 37)); // the band at the margins
    EXPECT_EQ(doc.State(), rsIdle);
    EXPECT_EQ(doc.PageNumber(), 0);

    // Another paper: the page takes that paper's size.
    doc.SetPrintPaper(psLetter);
    EXPECT_EQ(doc.RenderPreview()->Image().size(), QSize(816, 1056));
    doc.SetPrintPaper(psNone);

    // A size and pixel ratio of the caller's; the page is drawn at scale × ratio, so 50 % at
    // a ratio of 2 covers what 100 % covers at 1.
    const QImage half = doc.RenderPreview(50, 2.0, QSize(794, 1123))->Image();
    EXPECT_EQ(half.size(), QSize(794, 1123));
    EXPECT_EQ(InkBounds(half), ink);

    // A drawing that fails still ends the preview.
    EXPECT_EQ(ErrorOf([&] { (void)doc.RenderPreview(101); }),
              QStringLiteral("印刷スケールが無効です．"));
    EXPECT_EQ(doc.State(), rsIdle);
}

TEST(VEvudaRir, PreviewPageDrawsOnWhiteAndCountsPages) {
    TImagePrinter printer(600, QSize(10, 10));
    VEvudaRir doc(&printer);
    QImage image = WhitePage(794, 1123);
    image.fill(Qt::black);
    TCanvas canvas(&image);
    doc.PreviewPage(canvas);
    doc.PreviewPage(canvas);
    canvas.EndPaint();
    EXPECT_EQ(doc.State(), rsPreviewing);
    EXPECT_EQ(doc.PageNumber(), 2);
    EXPECT_TRUE(InkBounds(image).isNull());
    EXPECT_EQ(doc.Scale(), 1.0);
}

TEST_F(PrintingDocument, JobStatesAndTheirMessages) {
    EXPECT_EQ(ErrorOf([&] { doc.PrintPage(); }),
              QStringLiteral("BeginDocが呼び出されていません．"));
    doc.BeginPreview();
    EXPECT_EQ(ErrorOf([&] { doc.PrintPage(); }),
              QStringLiteral("BeginDocが呼び出されていません．"));
    doc.SetTitle(QStringLiteral("たむりか2026年"));
    doc.BeginDoc(); // ends the preview first
    EXPECT_EQ(doc.State(), rsPrinting);
    EXPECT_EQ(printer.JobTitles, (std::vector<QString>{QStringLiteral("たむりか2026年")}));
    EXPECT_EQ(ErrorOf([&] { doc.BeginDoc(); }), QStringLiteral("プリンタは印刷中です．"));
    EXPECT_EQ(ErrorOf([&] { doc.BeginPreview(); }),
              QStringLiteral("プリンタが印刷中のため、プレビューを開始できません．"));
    QImage screen = WhitePage(200, 300);
    TCanvas canvas(&screen);
    EXPECT_EQ(ErrorOf([&] { doc.DrawPreview(canvas, 0, 0, 25); }),
              QStringLiteral("プリンタが印刷中のため、プレビューを開始できません．"));
    doc.PrintPage();
    EXPECT_EQ(doc.PageNumber(), 1);
    EXPECT_DOUBLE_EQ(doc.Scale(), 6.25);
    doc.EndDoc();
    EXPECT_EQ(doc.State(), rsIdle);
    EXPECT_EQ(doc.PageNumber(), 1); // kept after the job
    EXPECT_EQ(printer.JobsEnded, 1);
    doc.EndDoc(); // nothing to end
    EXPECT_EQ(printer.JobsEnded, 1);
}

TEST_F(PrintingDocument, AWrongPageRangeStartsNoJob) {
    doc.SetFirstPage(3);
    doc.SetLastPage(1);
    EXPECT_EQ(ErrorOf([&] { doc.BeginDoc(); }),
              QStringLiteral("印刷ページ範囲が正しくありません．"));
    EXPECT_EQ(doc.LastPage(), 3);
    EXPECT_EQ(doc.State(), rsIdle);
    EXPECT_TRUE(printer.JobTitles.empty());
}

TEST_F(PrintingDocument, PagesBeforeTheRangeAreDrawnOntoNothing) {
    auto* band = CreateLR<TLRLayoutPanel>(&doc);
    auto* item = CreateLR<TLRItem>(band);
    item->SetTransparent(false);
    item->SetColor(clBlue);
    int printed = 0;
    band->AfterPrint = [&printed](TLRControl*) { ++printed; };
    doc.SetFirstPage(2);
    doc.BeginDoc();
    doc.PrintPage();
    EXPECT_EQ(printed, 1); // events still raised
    EXPECT_EQ(doc.Scale(), 1.0);
    EXPECT_TRUE(InkBounds(printer.Page(0)).isNull());
    doc.PrintPage();
    EXPECT_EQ(printed, 2);
    EXPECT_DOUBLE_EQ(doc.Scale(), 6.25);
    EXPECT_FALSE(InkBounds(printer.Page(0)).isNull());
    EXPECT_EQ(printer.Pages.size(), 1u); // the discarded page took no sheet
    doc.PrintPage();                     // a second printed page starts a new sheet
    EXPECT_EQ(printer.Pages.size(), 2u);
    doc.EndDoc();
}

TEST_F(PrintingDocument, NegativeLastPageDiscardsWithoutFailing) {
    auto* band = CreateLR<TLRLayoutPanel>(&doc);
    CreateLR<TLRItem>(band)->SetTransparent(false);
    doc.SetFirstPage(-5);
    doc.SetLastPage(-1);
    doc.BeginDoc();
    doc.PrintPage(); // page 1 > −1: discarded, onto the discard canvas that must exist
    EXPECT_TRUE(InkBounds(printer.Page(0)).isNull());
    doc.EndDoc();
}

namespace {

// A band at the left with a black block of 20 × 10 units at its origin, the layout area
// starting 40 units from the paper's left edge; the band.
TLRLayoutPanel* AddBlackBlock(VEvudaRir& doc) {
    auto* band = CreateLR<TLRLayoutPanel>(&doc);
    band->SetLRAlign(laLeft);
    auto* item = CreateLR<TLRItem>(band);
    item->SetBounds(0, 0, 20, 10);
    item->SetTransparent(false);
    item->SetColor(clBlack);
    doc.SetMarginLeft(39);
    return band;
}

} // namespace

TEST_F(PrintingDocument, ThePhysicalOffsetPutsDesignZeroOnThePaperCorner) {
    ASSERT_EQ(AddBlackBlock(doc)->Left(), 40);
    doc.BeginDoc();
    doc.PrintPage();
    // 40 − Trunc(100 ÷ 6.25) = 24, times 6.25 = device x 150: the 100 unprintable pixels plus
    // 150 are 250 pixels from the paper's edge, 40 units at 600 per inch.
    const QRect ink = InkBounds(printer.Page(0));
    EXPECT_EQ(ink.left(), 150);
    EXPECT_EQ(ink.top(), 231); // 37 × 6.25 = 231.25, no vertical band
    doc.EndDoc();
}

TEST(VEvudaRir, ThePreviewIsNeverShiftedByThePrintersUnprintableBand) {
    // The band belongs to the printer's device origin only: the preview shows the paper, so
    // the same document previews alike on a printer with and without one, at the design
    // position, also after a job on the banded printer and at every zoom.
    TImagePrinter banded(600, QSize(1200, 400), TPoint{100, 150});
    TImagePrinter plain(600, QSize(1200, 400));
    const auto preview = [](TPrinter& printer, int scale, bool printFirst) {
        VEvudaRir doc(&printer);
        AddBlackBlock(doc);
        if (printFirst) {
            doc.BeginDoc();
            doc.PrintPage();
            doc.EndDoc();
        }
        QImage screen = WhitePage(doc.Width(), doc.Height());
        {
            TCanvas canvas(&screen);
            doc.DrawPreview(canvas, 0, 0, scale);
            doc.EndPreview();
        }
        return screen;
    };
    const QImage shown = preview(banded, 100, false);
    EXPECT_EQ(InkBounds(shown), QRect(40, 37, 19, 9)); // the edges are the next item's
    EXPECT_EQ(shown, preview(plain, 100, false));
    EXPECT_EQ(preview(banded, 100, true), shown);
    EXPECT_EQ(preview(banded, 50, false), preview(plain, 50, false));
}

TEST_F(PrintingDocument, PaperAndOrientationAreForcedAtEveryJob) {
    doc.BeginDoc();
    doc.EndDoc();
    EXPECT_EQ(printer.Current.PaperSize, DMPAPER_A4);
    EXPECT_EQ(printer.Current.Orientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(printer.DriverDefaultsLoaded, 0);

    // The user picks landscape B5 in the set-up dialog: the document's paper wins again.
    printer.Current = {DMPAPER_B5, DMORIENT_LANDSCAPE};
    doc.SetOrientation(poLandscape);
    doc.BeginDoc();
    doc.EndDoc();
    EXPECT_EQ(printer.Current.PaperSize, DMPAPER_A4);
    EXPECT_EQ(printer.Current.Orientation, DMORIENT_LANDSCAPE);

    // Another printer selected: its driver's defaults are loaded once, then the paper set.
    printer.Index = 1;
    doc.BeginDoc();
    doc.EndDoc();
    EXPECT_EQ(printer.DriverDefaultsLoaded, 1);
    EXPECT_EQ(printer.Current.PaperSize, DMPAPER_A4);
    doc.BeginDoc();
    doc.EndDoc();
    EXPECT_EQ(printer.DriverDefaultsLoaded, 1);
}

TEST_F(PrintingDocument, APrinterChosenInTheSetUpDialogKeepsItsSettings) {
    // The set-up dialog selects the second printer with what the user chose for it (its paper
    // stands for copies and the like, which the fake printer does not hold).
    printer.Index = 1;
    printer.Current = {DMPAPER_B5, DMORIENT_LANDSCAPE};
    doc.PrinterChosen();
    doc.BeginDoc();
    doc.EndDoc();
    EXPECT_EQ(printer.DriverDefaultsLoaded, 0);
    EXPECT_EQ(printer.Current.PaperSize, DMPAPER_A4); // paper and orientation still forced
    EXPECT_EQ(printer.Current.Orientation, DMORIENT_PORTRAIT);

    // Selected again behind the document's back: that printer starts from its defaults.
    printer.Index = 0;
    doc.BeginDoc();
    doc.EndDoc();
    EXPECT_EQ(printer.DriverDefaultsLoaded, 1);
}

TEST_F(PrintingDocument, WithoutAFixedPaperTheApplicationSetsThePrinterUp) {
    int raised = 0;
    doc.OnSetPrinter = [&](TLRControl* sender) {
        EXPECT_EQ(sender, &doc);
        ++raised;
    };
    doc.SetPaperSize(psNone);
    printer.Current = {DMPAPER_B5, DMORIENT_LANDSCAPE};
    doc.BeginDoc();
    doc.EndDoc();
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(printer.SettingsWritten, 0);
    EXPECT_EQ(printer.Current.PaperSize, DMPAPER_B5);
}

TEST_F(PrintingDocument, PrinterFailuresLeaveTheDocumentIdle) {
    printer.SettingsAccessible = false;
    EXPECT_EQ(ErrorOf([&] { doc.BeginDoc(); }),
              QStringLiteral("用紙設定時にエラーが発生しました．"));
    EXPECT_EQ(doc.State(), rsIdle);
    printer.SettingsAccessible = true;
    printer.FailToStart = true;
    EXPECT_EQ(ErrorOf([&] { doc.BeginDoc(); }),
              QStringLiteral("プリンタ「one」で印刷を始められません。"));
    EXPECT_EQ(doc.State(), rsIdle);
    printer.FailToStart = false;
    doc.BeginDoc();
    // A page that fails to draw can be dropped, and the next job starts.
    auto* band = CreateLR<TLRLayoutPanel>(&doc);
    band->BeforePrint = [](TLRControl*, TRect, TPrintStatus&) {
        throw Exception(QStringLiteral("壊れた画像"));
    };
    EXPECT_EQ(ErrorOf([&] { doc.PrintPage(); }), QStringLiteral("壊れた画像"));
    EXPECT_EQ(doc.State(), rsPrinting);
    doc.AbortDoc();
    EXPECT_EQ(doc.State(), rsIdle);
    EXPECT_EQ(printer.JobsAborted, 1);
}

TEST(VEvudaRir, PlacementOnAFormOnly) {
    TImagePrinter printer(600, QSize(10, 10));
    TLRForm form;
    auto* doc = CreateLR<VEvudaRir>(&form, QStringLiteral("LightRep1"));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->Parent(), &form);
    auto* panel = CreateLR<TLRLayoutPanel>(doc);
    auto other = std::make_unique<VEvudaRir>(&printer);
    EXPECT_EQ(ErrorOf([&] { other->SetParent(panel); }),
              QStringLiteral("フォーム上にのみ配置できます．"));
    EXPECT_EQ(other->Parent(), nullptr);
}

TEST(VEvudaRir, LoadingHidesTheDocumentOutsideDesignMode) {
    TImagePrinter printer(600, QSize(10, 10));
    VEvudaRir doc(&printer);
    doc.SetLoading(true);
    doc.SetWidth(300); // a stored layout sets its size freely while it is read
    EXPECT_EQ(doc.Width(), 300);
    doc.SetLoading(false);
    EXPECT_FALSE(doc.Visible());
}
