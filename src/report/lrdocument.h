// The report document: one page of a fixed paper size on which panels are laid out in design
// units, drawn the same way into a preview bitmap at one pixel per unit and onto a printer's
// page at the printer's resolution.
#pragma once

#include <cstdint>
#include <memory>

#include "lrcontrol.h"
#include "platform/bitmap.h"
#include "print/printer.h"

enum TPaperSize : std::uint8_t { psNone, psA4, psB4, psB5, psA3, psA5, psLetter };
enum TPrinterOrientation : std::uint8_t { poPortrait, poLandscape };
enum TReportState : std::uint8_t { rsIdle, rsPrinting, rsPreviewing };

class VEvudaRir : public TLRWinControl {
  public:
    /// A document printing on `printer` (not owned), or on the application's printer.
    explicit VEvudaRir(TPrinter* printer = nullptr);
    ~VEvudaRir() override;

    /// Raised by BeginDoc instead of the paper set-up when PaperSize is psNone.
    TNotifyEvent OnSetPrinter;

    int MarginTop() const { return FMarginTop; }
    int MarginLeft() const { return FMarginLeft; }
    int MarginRight() const { return FMarginRight; }
    int MarginBottom() const { return FMarginBottom; }
    /// A margin is taken when it differs, is above 0 and below half the page's width (for all
    /// four margins); anything else is ignored. Taking it aligns the panels again.
    void SetMarginTop(int value) { SetMargin(FMarginTop, value); }
    void SetMarginLeft(int value) { SetMargin(FMarginLeft, value); }
    void SetMarginRight(int value) { SetMargin(FMarginRight, value); }
    void SetMarginBottom(int value) { SetMargin(FMarginBottom, value); }

    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation orientation);
    TPaperSize PaperSize() const { return FPaperSize; }
    void SetPaperSize(TPaperSize paperSize);
    /// The paper the page is printed on; psNone (the default): the page's own paper. On another
    /// paper the whole page is scaled to fit it, keeping its proportions, and centred; the
    /// layout stays that of the page. The preview shows that paper too.
    TPaperSize PrintPaper() const { return FPrintPaper; }
    void SetPrintPaper(TPaperSize paper);
    /// The size of the paper printed on, in design units (the page's own without PrintPaper).
    int PaperWidth() const;
    int PaperHeight() const;
    /// The print job's name.
    const QString& Title() const { return FTitle; }
    void SetTitle(const QString& title) { FTitle = title; }
    /// The title a PDF file of the document carries; the job's name when empty.
    const QString& DocumentTitle() const { return FDocumentTitle; }
    void SetDocumentTitle(const QString& title) { FDocumentTitle = title; }
    /// The pages that reach the printer: FirstPage..LastPage; 0 and 1 both mean from the
    /// first page, LastPage 0 means no upper bound.
    int FirstPage() const { return FFirstPage; }
    void SetFirstPage(int page) { FFirstPage = page; }
    int LastPage() const { return FLastPage; }
    void SetLastPage(int page) { FLastPage = page; }

    /// The printer used; SetPrinter(nullptr) is ignored.
    TPrinter* Printer() const { return FPrinter; }
    void SetPrinter(TPrinter* printer);
    /// The printer now selected was chosen by the user together with its settings (copies,
    /// duplex, colour), in the printer set-up dialog: the next jobs keep them, where otherwise
    /// BeginDoc would load the driver's defaults for a printer selected since the last job.
    /// Paper and orientation are the document's at every job all the same.
    void PrinterChosen();

    TReportState State() const { return FState; }
    int PageNumber() const { return FPageNumber; }
    /// Device units per design unit of the page being drawn.
    double Scale() const { return FScale; }

    /// Sets the printer's paper and orientation and starts a print job titled Title.
    void BeginDoc();
    /// Draws the next page onto the printer's page (or onto nothing outside the page range).
    void PrintPage();
    /// Ends the print job.
    void EndDoc();
    /// Drops a running print job (after a page failed to draw) and returns to idle.
    void AbortDoc();

    void BeginPreview();
    void EndPreview();
    /// Draws the next page from (0, 0) of `canvas` on white, at `pixelScale` device pixels per
    /// design unit: 1.0 for a screen, more for one of a device pixel ratio above 1, drawn then
    /// as a printer of that many times 96 per inch draws the page.
    void PreviewPage(TCanvas& canvas, double pixelScale = 1.0);
    /// Renders the page into a bitmap of `pixelFormat` and copies it shrunk to `scale` percent
    /// (25..100) to (x, y) of `canvas`. With a `pixelRatio` above 1 (a screen of that device
    /// pixel ratio) the page is rendered at that scale and the copy has that many more pixels
    /// each way: Trunc(scale × Width × pixelRatio ÷ 100) wide.
    void DrawPreview(TCanvas& canvas, int x, int y, int scale, TPixelFormat pixelFormat = pfDevice,
                     double pixelRatio = 1.0);
    /// The page as a picture, drawn by a whole preview (BeginPreview, DrawPreview at `scale`
    /// and `pixelRatio`, EndPreview, even when drawing fails) into a new bitmap of `pixels`;
    /// an empty size takes the paper's. What the preview window shows and what the PNG at 96
    /// per inch holds.
    std::unique_ptr<TBitmap> RenderPreview(int scale = 100, double pixelRatio = 1.0,
                                           QSize pixels = QSize());

    /// The design view: white, design grid, centimetre ruler and the name.
    void Paint(TCanvas& canvas) override;

    void SetBounds(int left, int top, int width, int height) override;

  protected:
    TRect AlignRect() const override;
    TLRWinControl* CheckParent(TLRWinControl* parent) override;
    void Loaded() override;

  private:
    void SetMargin(int& margin, int value);
    void UpdatePageSize();
    void ApplyPrinterSettings();
    void PrintPanels();
    /// How much the page is enlarged or reduced to fit the paper printed on: 1 on its own.
    double PaperFit() const;

    int FMarginTop = DotsPer100mm / 10 - 1;
    int FMarginLeft = DotsPer100mm / 10 - 1;
    int FMarginRight = DotsPer100mm / 10 - 1;
    int FMarginBottom = DotsPer100mm / 10 - 1;
    TPrinterOrientation FOrientation = poPortrait;
    TPaperSize FPaperSize = psNone;
    TPaperSize FPrintPaper = psNone;
    QString FTitle;
    QString FDocumentTitle;
    int FFirstPage = 0;
    int FLastPage = 0;

    TPrinter* FPrinter;         // not owned
    TCanvas* FTarget = nullptr; // not owned: the page being drawn onto
    TReportState FState = rsIdle;
    int FPageNumber = 0;
    double FScale = 1.0;
    int FPageWidth = 0;
    int FPageHeight = 0;
    std::unique_ptr<TCanvas> FDiscardCanvas; // swallows pages outside the range
    int FPrinterIndex = -1;
    int FPagesOnPaper = 0; // pages of the running job that reached the printer
};
