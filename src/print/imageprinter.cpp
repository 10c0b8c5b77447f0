#include "imageprinter.h"

#include <QPageSize>

TImagePrinter::TImagePrinter(int dotsPerInch) : FDotsPerInch(dotsPerInch) {}

TImagePrinter::~TImagePrinter() = default;

bool TImagePrinter::SetSettings(const TPrinterSettings& settings) {
    if (PageSizeIdOfPaperCode(settings.PaperSize) < 0)
        return false;
    FSettings = settings;
    return true;
}

void TImagePrinter::BeginDoc() {
    if (FPrinting)
        throw EPrinter(QStringLiteral("プリンタは印刷中です．"));
    FPages.clear();
    FPrinting = true;
    StartPage();
}

void TImagePrinter::StartPage() {
    const int id = PageSizeIdOfPaperCode(FSettings.PaperSize);
    QSize size = QPageSize(static_cast<QPageSize::PageSizeId>(id >= 0 ? id : QPageSize::A4))
                     .sizePixels(FDotsPerInch);
    if (FSettings.Orientation == DMORIENT_LANDSCAPE)
        size.transpose();
    QImage page(size, QImage::Format_RGB32);
    if (page.isNull()) {
        FPrinting = false;
        throw EPrinter(QStringLiteral("この解像度のページを作れません。解像度を下げてください。"));
    }
    page.fill(Qt::white);
    const int dotsPerMetre = qRound(FDotsPerInch / 0.0254);
    page.setDotsPerMeterX(dotsPerMetre);
    page.setDotsPerMeterY(dotsPerMetre);
    FPages.push_back(std::move(page));
    FCanvas = std::make_unique<TCanvas>(&FPages.back());
}

void TImagePrinter::FinishPage() {
    if (FCanvas)
        FCanvas->EndPaint();
    FCanvas.reset();
}

void TImagePrinter::NewPage() {
    if (!FPrinting)
        return;
    FinishPage();
    StartPage();
}

void TImagePrinter::EndDoc() {
    if (!FPrinting)
        return;
    FinishPage();
    FPrinting = false;
}

void TImagePrinter::Abort() {
    if (!FPrinting)
        return;
    FinishPage();
    FPages.clear();
    FPrinting = false;
}

TCanvas& TImagePrinter::Canvas() {
    if (!FCanvas)
        throw EPrinter(QStringLiteral("印刷中ではありません。"));
    return *FCanvas;
}
