// A printer whose pages are pictures: every page of a job is drawn onto a white image of the
// paper's size at the printer's resolution, with no unprintable band. tamurika-export renders
// the sheet into a PNG file through it, by the same print path as a real printer.
#pragma once

#include <memory>
#include <vector>

#include <QImage>

#include "printer.h"

class TImagePrinter : public TPrinter {
  public:
    /// A printer of `dotsPerInch` pixels per inch (both ways).
    explicit TImagePrinter(int dotsPerInch);
    ~TImagePrinter() override;

    QStringList Printers() const override { return {}; }
    int PrinterIndex() const override { return -1; }
    void SetPrinterIndex(int) override {}
    void LoadDriverDefaults() override { FSettings = TPrinterSettings{}; }
    std::optional<TPrinterSettings> Settings() const override { return FSettings; }
    bool SetSettings(const TPrinterSettings& settings) override;
    int ResolutionY() const override { return FDotsPerInch; }
    std::optional<TPoint> PhysicalOffset() const override { return TPoint{0, 0}; }
    QString Title() const override { return FTitle; }
    void SetTitle(const QString& title) override { FTitle = title; }
    void BeginDoc() override;
    void NewPage() override;
    void EndDoc() override;
    void Abort() override;
    bool Printing() const override { return FPrinting; }
    TCanvas& Canvas() override;

    /// The pages of the last job, in order; complete once the job has ended.
    const std::vector<QImage>& Pages() const { return FPages; }

  private:
    void StartPage();
    void FinishPage();

    int FDotsPerInch;
    TPrinterSettings FSettings;
    QString FTitle;
    bool FPrinting = false;
    std::vector<QImage> FPages;
    std::unique_ptr<TCanvas> FCanvas; // on the last page
};
