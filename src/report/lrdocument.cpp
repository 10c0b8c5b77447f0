#include "lrdocument.h"

#include <algorithm>
#include <cmath>

#include <QImage>
#include <QPainter>

#include "lrdesign.h"
#include "lrpanel.h"

namespace {

struct Paper {
    int Width; // portrait, design units
    int Height;
    int Code; // of the printer settings block
};

Paper PaperOf(TPaperSize size) {
    switch (size) {
    case psA4:
        return {794, 1123, DMPAPER_A4};
    case psB4:
        return {971, 1376, DMPAPER_B4};
    case psB5:
        return {688, 971, DMPAPER_B5};
    case psA3:
        return {1123, 1587, DMPAPER_A3};
    case psA5:
        return {559, 794, DMPAPER_A5};
    case psLetter:
        return {816, 1056, DMPAPER_LETTER};
    case psNone:
        break;
    }
    return {0, 0, 0};
}

} // namespace

VEvudaRir::VEvudaRir(TPrinter* printer) : FPrinter(printer != nullptr ? printer : &::Printer()) {
    SetAlign(alNone);
    SetColor(clWhite);
    FPrinterIndex = FPrinter->PrinterIndex();
    SetPaperSize(psA4);
}

VEvudaRir::~VEvudaRir() {
    if (FState == rsPrinting)
        FPrinter->Abort();
}

void VEvudaRir::SetPrinter(TPrinter* printer) {
    if (printer == nullptr || printer == FPrinter)
        return;
    FPrinter = printer;
    // The selection the document has seen is that of its own printer: another printer starts
    // from its own, so that printing once elsewhere (into a PDF file) reloads nothing when the
    // document returns to the printer the user set up.
    FPrinterIndex = printer->PrinterIndex();
}

void VEvudaRir::PrinterChosen() {
    FPrinterIndex = FPrinter->PrinterIndex();
}

void VEvudaRir::SetMargin(int& margin, int value) {
    if (value == margin || value <= 0 || value >= Width() / 2)
        return;
    margin = value;
    Realign();
    Invalidate();
}

void VEvudaRir::SetOrientation(TPrinterOrientation orientation) {
    if (orientation == FOrientation)
        return;
    FOrientation = orientation;
    if (!Loading())
        UpdatePageSize();
}

void VEvudaRir::SetPaperSize(TPaperSize paperSize) {
    if (paperSize == FPaperSize)
        return;
    FPaperSize = paperSize;
    UpdatePageSize();
}

void VEvudaRir::SetPrintPaper(TPaperSize paper) {
    FPrintPaper = paper;
}

int VEvudaRir::PaperWidth() const {
    if (FPrintPaper == psNone || FPrintPaper == FPaperSize)
        return Width();
    const Paper paper = PaperOf(FPrintPaper);
    return FOrientation == poLandscape ? paper.Height : paper.Width;
}

int VEvudaRir::PaperHeight() const {
    if (FPrintPaper == psNone || FPrintPaper == FPaperSize)
        return Height();
    const Paper paper = PaperOf(FPrintPaper);
    return FOrientation == poLandscape ? paper.Width : paper.Height;
}

double VEvudaRir::PaperFit() const {
    if (PaperWidth() == Width() && PaperHeight() == Height())
        return 1.0;
    if (Width() <= 0 || Height() <= 0)
        return 1.0;
    return std::min(static_cast<double>(PaperWidth()) / Width(),
                    static_cast<double>(PaperHeight()) / Height());
}

void VEvudaRir::UpdatePageSize() {
    if (FPaperSize == psNone)
        return;
    const Paper paper = PaperOf(FPaperSize);
    const bool landscape = FOrientation == poLandscape;
    FPageWidth = landscape ? paper.Height : paper.Width;
    FPageHeight = landscape ? paper.Width : paper.Height;
    if (FPageWidth != Width() || FPageHeight != Height())
        TLRWinControl::SetBounds(Left(), Top(), FPageWidth, FPageHeight);
}

void VEvudaRir::SetBounds(int left, int top, int width, int height) {
    // A fixed paper fixes the page: any other size is undone at once.
    if (FPaperSize != psNone && !Loading()) {
        width = FPageWidth;
        height = FPageHeight;
    }
    TLRWinControl::SetBounds(left, top, width, height);
}

TRect VEvudaRir::AlignRect() const {
    // The client area less the margins, less the one-unit bevel on every side.
    return {1 + FMarginLeft, 1 + FMarginTop, Width() - 1 - FMarginRight,
            Height() - 1 - FMarginBottom};
}

TLRWinControl* VEvudaRir::CheckParent(TLRWinControl* parent) {
    if (dynamic_cast<TLRForm*>(parent) == nullptr)
        throw ELRError(QStringLiteral("フォーム上にのみ配置できます．"));
    return parent;
}

void VEvudaRir::Loaded() {
    TLRWinControl::Loaded();
    if (!Designing())
        SetVisible(false);
}

void VEvudaRir::ApplyPrinterSettings() {
    TPrinter& printer = *FPrinter;
    // A printer selected behind the document's back starts from its driver's defaults; one the
    // user chose in the set-up dialog (PrinterChosen) keeps what was chosen with it.
    const int index = printer.PrinterIndex();
    if (index != FPrinterIndex) {
        printer.LoadDriverDefaults();
        FPrinterIndex = index;
    }
    if (FPaperSize == psNone) {
        if (OnSetPrinter)
            OnSetPrinter(this);
        return;
    }
    const QString failed = QStringLiteral("用紙設定時にエラーが発生しました．");
    std::optional<TPrinterSettings> settings = printer.Settings();
    if (!settings)
        throw ELRError(failed);
    settings->PaperSize = PaperOf(FPrintPaper != psNone ? FPrintPaper : FPaperSize).Code;
    settings->Orientation = FOrientation == poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    if (!printer.SetSettings(*settings))
        throw ELRError(failed);
}

void VEvudaRir::BeginDoc() {
    if (FState == rsPrinting)
        throw ELRError(QStringLiteral("プリンタは印刷中です．"));
    if (FState == rsPreviewing)
        EndPreview();
    if (FLastPage != 0 && FLastPage < FFirstPage) {
        FLastPage = FFirstPage;
        throw ELRError(QStringLiteral("印刷ページ範囲が正しくありません．"));
    }
    ApplyPrinterSettings();
    FPrinter->SetTitle(FTitle);
    FPrinter->SetDocumentTitle(FDocumentTitle);
    FPrinter->BeginDoc(); // a job that cannot start raises here, and the document stays idle
    FTarget = &FPrinter->Canvas();
    FState = rsPrinting;
    FPageNumber = 0;
    FPagesOnPaper = 0;
    // Any range may put a page outside it (negative bounds included).
    if ((FFirstPage > 1 || FLastPage != 0) && !FDiscardCanvas)
        FDiscardCanvas = std::make_unique<TCanvas>();
}

void VEvudaRir::PrintPage() {
    // Also refused while previewing: there is no job whose page could be drawn on.
    if (FState != rsPrinting)
        throw ELRError(QStringLiteral("BeginDocが呼び出されていません．"));
    const int n = ++FPageNumber;
    if (n < FFirstPage || (FLastPage != 0 && n > FLastPage)) {
        // Outside the range the page is drawn in full, so every print event is raised, but
        // onto a canvas that keeps nothing.
        FScale = 1.0;
        FTarget = FDiscardCanvas.get();
    } else {
        if (FPagesOnPaper > 0)
            FPrinter->NewPage();
        ++FPagesOnPaper;
        FTarget = &FPrinter->Canvas();
        const int printer = FPrinter->ResolutionY();
        const long double screen = ScreenPixelsPerInch;
        FScale = printer > 0 ? static_cast<double>(printer / screen) : 1.0;
    }
    PrintPanels();
}

void VEvudaRir::EndDoc() {
    FDiscardCanvas.reset();
    if (FState != rsPrinting)
        return;
    // Idle before the printer ends the job, so that a failure there leaves no job behind.
    FState = rsIdle;
    FTarget = nullptr;
    FPrinter->EndDoc();
}

void VEvudaRir::AbortDoc() {
    FDiscardCanvas.reset();
    if (FState != rsPrinting)
        return;
    FState = rsIdle;
    FTarget = nullptr;
    FPrinter->Abort();
}

void VEvudaRir::BeginPreview() {
    if (FState == rsPrinting)
        throw ELRError(QStringLiteral("プリンタが印刷中のため、プレビューを開始できません．"));
    FState = rsPreviewing;
    FPageNumber = 0;
}

void VEvudaRir::EndPreview() {
    FState = rsIdle;
    FPageNumber = 0;
}

void VEvudaRir::PreviewPage(TCanvas& canvas, double pixelScale) {
    if (FState != rsPreviewing)
        BeginPreview();
    FScale = pixelScale > 0 ? pixelScale : 1.0;
    FTarget = &canvas;
    canvas.Brush.Color = clWhite;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(ScaleRect({0, 0, PaperWidth(), PaperHeight()}, FScale));
    ++FPageNumber;
    PrintPanels();
}

void VEvudaRir::DrawPreview(TCanvas& canvas, int x, int y, int scale, TPixelFormat pixelFormat,
                            double pixelRatio) {
    if (scale < 25 || scale > 100)
        throw ELRError(QStringLiteral("印刷スケールが無効です．"));
    const double ratio = pixelRatio > 0 ? pixelRatio : 1.0;
    TBitmap page;
    page.SetPixelFormat(pixelFormat);
    // On a finer screen the page is drawn as a printer of that resolution draws it: lines and
    // letters get the device's pixels, and the zoom steps keep their size in design units.
    page.SetPixelsPerInch(qRound(ScreenPixelsPerInch * ratio));
    page.SetSize(ScaleValue(PaperWidth(), ratio), ScaleValue(PaperHeight(), ratio));
    PreviewPage(page.Canvas(), ratio);
    QImage pixels = page.Image();
    if (pixelFormat != pfDevice && pixelFormat != pf32bit)
        pixels = pixels.convertToFormat(ToQImageFormat(pixelFormat))
                     .convertToFormat(QImage::Format_RGB32);
    const int width = static_cast<int>(scale * PaperWidth() * ratio / 100);
    const int height = static_cast<int>(scale * PaperHeight() * ratio / 100);
    // Shrunk by averaging, so that the hair lines of the grids stay visible at 25 %.
    if (width != pixels.width() || height != pixels.height())
        pixels = pixels.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    canvas.StretchDraw(Bounds(x, y, width, height), pixels);
}

std::unique_ptr<TBitmap> VEvudaRir::RenderPreview(int scale, double pixelRatio, QSize pixels) {
    if (pixels.isEmpty())
        pixels = QSize(PaperWidth(), PaperHeight());
    BeginPreview();
    auto page = std::make_unique<TBitmap>(pixels.width(), pixels.height());
    try {
        DrawPreview(page->Canvas(), 0, 0, scale, pfDevice, pixelRatio);
    } catch (...) {
        EndPreview();
        throw;
    }
    EndPreview();
    page->Canvas().EndPaint();
    return page;
}

void VEvudaRir::PrintPanels() {
    // On a paper of another size the whole page is drawn scaled and centred, fonts, lines and
    // pictures alike: the device's painter maps the page's own drawing onto the paper. Its
    // corner moves by whole device pixels, so that lines stay on the device's grid.
    struct Shift {
        QPainter* Painter = nullptr;
        ~Shift() {
            if (Painter != nullptr)
                Painter->restore();
        }
    } shift;
    const double fit = PaperFit();
    if (fit != 1.0 && FTarget->Painter() != nullptr) {
        QPointF corner(std::round((PaperWidth() - Width() * fit) / 2 * FScale),
                       std::round((PaperHeight() - Height() * fit) / 2 * FScale));
        if (FState == rsPrinting) {
            // The printer's origin is the corner of its printable area.
            const TPoint offset = FPrinter->PhysicalOffset().value_or(TPoint{});
            corner -= QPointF(offset.X, offset.Y);
        }
        shift.Painter = FTarget->Painter();
        shift.Painter->save();
        shift.Painter->translate(corner);
        shift.Painter->scale(fit, fit);
    }
    for (TLRControl* child : Controls()) {
        auto* panel = dynamic_cast<TCustomLRPanel*>(child);
        if (panel == nullptr || !(Designing() || panel->Enabled()))
            continue;
        TRect rect = panel->BoundsRect();
        if (FState == rsPrinting && shift.Painter == nullptr) {
            // The printer's origin is the corner of its printable area; moving the page back
            // by the unprintable band puts design (0, 0) on the corner of the paper.
            const TPoint offset = FPrinter->PhysicalOffset().value_or(TPoint{});
            rect = rect.Offset(-static_cast<int>(offset.X / FScale),
                               -static_cast<int>(offset.Y / FScale));
        }
        panel->Print(*FTarget, rect, FScale);
    }
}

void VEvudaRir::Paint(TCanvas& canvas) {
    if (!Designing())
        return;
    canvas.Brush.Color = clWhite;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect({0, 0, Width(), Height()});
    DrawDesignGrid(canvas, Width(), Height(), 0, 0);
    canvas.Font.Assign(TFont());
    canvas.Font.SetSize(8);
    canvas.Font.SetColor(clSilver);
    canvas.Brush.Style = bsClear;
    for (int n = 0;; ++n) {
        const int x = DotsPer100mm * n / 10 + 1;
        if (x >= Width())
            break;
        canvas.TextOut(x, 1, QString::number(n));
    }
    for (int n = 0;; ++n) {
        const int y = DotsPer100mm * n / 10 + 1;
        if (y >= Height())
            break;
        canvas.TextOut(1, y, QString::number(n));
    }
    canvas.Font.Assign(Font());
    canvas.TextOut(4, 4, Name());
}
