// Helpers of the report engine's tests: a printer that prints onto an image at a chosen
// resolution, and pixel inspection.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QImage>
#include <QRect>
#include <QString>

#include "print/printer.h"

namespace report_testing {

/// A printer whose page is an image: its pixels are the printable area, the device origin its
/// top-left corner. Records what the document asked of it.
class TImagePrinter : public TPrinter {
  public:
    TImagePrinter(int dpi, QSize pixels, TPoint offset = {})
        : FDpi(dpi), FPixels(pixels), FOffset(offset) {}

    QStringList Printers() const override { return {QStringLiteral("one"), QStringLiteral("two")}; }
    int PrinterIndex() const override { return Index; }
    void SetPrinterIndex(int index) override { Index = index; }
    void LoadDriverDefaults() override {
        ++DriverDefaultsLoaded;
        Current = TPrinterSettings{0, DMORIENT_PORTRAIT}; // the driver's own paper: Letter
    }
    std::optional<TPrinterSettings> Settings() const override {
        if (!SettingsAccessible)
            return std::nullopt;
        return Current;
    }
    bool SetSettings(const TPrinterSettings& settings) override {
        Current = settings;
        ++SettingsWritten;
        return true;
    }
    int ResolutionY() const override { return FDpi; }
    std::optional<TPoint> PhysicalOffset() const override { return FOffset; }
    QString Title() const override { return FTitle; }
    void SetTitle(const QString& title) override { FTitle = title; }
    void BeginDoc() override {
        if (FailToStart)
            throw EPrinter(QStringLiteral("プリンタ「one」で印刷を始められません。"));
        Pages.clear();
        NewPage();
        JobTitles.push_back(FTitle);
    }
    void NewPage() override {
        FCanvas.reset();
        QImage page(FPixels, QImage::Format_RGB32);
        page.fill(Qt::white);
        const int dpm = qRound(FDpi / 0.0254);
        page.setDotsPerMeterX(dpm);
        page.setDotsPerMeterY(dpm);
        Pages.push_back(std::make_unique<QImage>(std::move(page)));
        FCanvas = std::make_unique<TCanvas>(Pages.back().get());
    }
    void EndDoc() override {
        FCanvas.reset();
        ++JobsEnded;
    }
    void Abort() override {
        FCanvas.reset();
        ++JobsAborted;
    }
    bool Printing() const override { return FCanvas != nullptr; }
    TCanvas& Canvas() override { return *FCanvas; }

    /// The pixels of a page, with all drawing finished.
    QImage Page(std::size_t i) {
        if (FCanvas)
            FCanvas->EndPaint();
        return *Pages.at(i);
    }

    int Index = 0;
    TPrinterSettings Current{0, DMORIENT_PORTRAIT};
    bool SettingsAccessible = true;
    bool FailToStart = false;
    int DriverDefaultsLoaded = 0;
    int SettingsWritten = 0;
    int JobsEnded = 0;
    int JobsAborted = 0;
    std::vector<QString> JobTitles;
    std::vector<std::unique_ptr<QImage>> Pages;

  private:
    int FDpi;
    QSize FPixels;
    TPoint FOffset;
    QString FTitle;
    std::unique_ptr<TCanvas> FCanvas;
};

inline bool IsWhite(const QImage& image, int x, int y) {
    return image.pixel(x, y) == qRgb(255, 255, 255);
}

/// The rectangle covering every pixel that is not white (null when all are white), within
/// `area` if given.
inline QRect InkBounds(const QImage& image, QRect area = QRect()) {
    if (area.isNull())
        area = image.rect();
    area &= image.rect();
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (!IsWhite(image, x, y))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

/// A white image of the given size at the given resolution.
inline QImage WhitePage(int w, int h, int dpi = 96) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dpm = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    return image;
}

} // namespace report_testing
