// The printer of the class library: the list of print queues and the selected one, its settings
// block (paper and orientation codes), resolution, physical offsets, print jobs with a title and
// the canvas of the job's page. TQtPrinter is the real one, over QPrinter and CUPS, which can
// also write the job into a PDF file when there is no print queue.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QPageLayout>
#include <QString>
#include <QStringList>

#include "platform/canvas.h"
#include "platform/exception.h"
#include "platform/types.h"

class QPrinter;
class TOutputFile;
class TPdfPictures;

/// A print job that cannot be started, or a printer that cannot be used.
class EPrinter : public Exception {
  public:
    using Exception::Exception;
};

/// Paper codes of the printer settings block, as the old platform numbered them.
inline constexpr int DMPAPER_LETTER = 1; // 8.5 × 11 inches
inline constexpr int DMPAPER_A3 = 8;
inline constexpr int DMPAPER_A4 = 9;
inline constexpr int DMPAPER_A5 = 11;
inline constexpr int DMPAPER_B4 = 12; // JIS B4
inline constexpr int DMPAPER_B5 = 13; // JIS B5
/// Orientation codes of the settings block.
inline constexpr int DMORIENT_PORTRAIT = 1;
inline constexpr int DMORIENT_LANDSCAPE = 2;

/// The members of the printer settings block that a report writes. Everything else the user
/// chose (copies, colour, resolution, duplex) stays with the printer.
struct TPrinterSettings {
    int PaperSize = DMPAPER_A4; // 0: a paper without one of the codes above
    int Orientation = DMORIENT_PORTRAIT;
};

/// Where a print job goes, as the printer set-up chose it: a queue with the number of copies it
/// prints, or a PDF file.
struct TJobDestination {
    QString Queue;    // empty when the job goes into a file
    QString FileName; // the PDF file; empty when the job goes to a queue
    int Copies = 1;
};

class TPrinter {
  public:
    virtual ~TPrinter();

    /// Names of the print queues, in the order PrinterIndex counts.
    virtual QStringList Printers() const = 0;
    /// Index of the selected queue in Printers(); −1 when the job goes into a file.
    virtual int PrinterIndex() const = 0;
    virtual void SetPrinterIndex(int index) = 0;
    /// Selects the current queue again with no settings block, so that its driver's default
    /// settings are loaded.
    virtual void LoadDriverDefaults() = 0;
    /// Reads the settings block; nullopt when it cannot be accessed.
    virtual std::optional<TPrinterSettings> Settings() const = 0;
    /// Selects the current queue with these settings; false when they cannot be applied.
    virtual bool SetSettings(const TPrinterSettings& settings) = 0;

    /// Vertical resolution in pixels per inch; 0 when it cannot be read.
    virtual int ResolutionY() const = 0;
    /// The unprintable band at the left and at the top in device pixels: the device origin is
    /// the corner of the printable area. nullopt when it cannot be read.
    virtual std::optional<TPoint> PhysicalOffset() const = 0;

    /// The print job's name in the queue.
    virtual QString Title() const = 0;
    virtual void SetTitle(const QString& title) = 0;
    /// The title a PDF file of the job carries in its document information; the job's name
    /// when empty. Printers that write no file take no notice.
    virtual void SetDocumentTitle(const QString& title) { Q_UNUSED(title); }

    /// Starts a job; EPrinter with a message for the user when it cannot be started, and then
    /// no job runs.
    virtual void BeginDoc() = 0;
    /// Ends the current page and starts the next sheet.
    virtual void NewPage() = 0;
    /// Ends the job and hands it to the queue (or finishes the file). EPrinter when the queue
    /// refused it, or took it while stopped (the job then waits in the queue).
    virtual void EndDoc() = 0;
    /// Drops the job.
    virtual void Abort() = 0;
    virtual bool Printing() const = 0;
    /// The canvas of the job's current page; only while Printing().
    virtual TCanvas& Canvas() = 0;

    /// Where the next job goes (and the last one went): by default the selected queue, one
    /// copy.
    virtual TJobDestination Destination() const;
};

/// A printer over QPrinter at its full resolution: a CUPS queue, or a PDF file.
class TQtPrinter : public TPrinter {
  public:
    TQtPrinter();
    ~TQtPrinter() override;

    QStringList Printers() const override;
    int PrinterIndex() const override;
    void SetPrinterIndex(int index) override;
    void LoadDriverDefaults() override;
    std::optional<TPrinterSettings> Settings() const override;
    bool SetSettings(const TPrinterSettings& settings) override;
    int ResolutionY() const override;
    std::optional<TPoint> PhysicalOffset() const override;
    QString Title() const override;
    void SetTitle(const QString& title) override;
    void SetDocumentTitle(const QString& title) override { FDocumentTitle = title; }
    void BeginDoc() override;
    void NewPage() override;
    void EndDoc() override;
    void Abort() override;
    bool Printing() const override;
    TCanvas& Canvas() override;
    /// The queue and the copies chosen in the print dialog, or the PDF file.
    TJobDestination Destination() const override;

    /// Sends the next jobs into a PDF file instead of a queue (the choice of a user without a
    /// printer, or of "print to file" in the print dialog).
    void PrintToFile(const QString& pdfFileName);
    /// The PDF file jobs go into; empty when they go to a queue.
    QString OutputFileName() const;

    /// The QPrinter, for Qt's print dialog.
    QPrinter& QtPrinter() { return *FPrinter; }

    /// What a print dialog may change: where the job goes and how it is printed.
    struct TSetup {
        QString PrinterName;
        bool ToFile = false;
        QString OutputFileName;
        int Copies = 1;
        bool Collate = false;
        int Duplex = 0;
        int ColorMode = 0;
        QPageLayout Layout;
    };
    TSetup Setup() const;
    /// Puts back a set-up taken before: Qt's dialog switches the queue as soon as another one
    /// is picked in its list, before the user confirms or cancels.
    void RestoreSetup(const TSetup& setup);
    /// Hears 0..100 while the pictures of a job are written into its PDF file.
    std::function<void(int)> OnWriteProgress;

  private:
    /// Refuses, with the reason, a queue that is missing, stopped or not taking jobs, before
    /// anything is drawn.
    void CheckQueue(const QString& name) const;
    /// Puts the pictures into the PDF file Qt has written (`drawn`: without an error) and the
    /// file in place of the one the user named.
    void FinishFile(bool drawn);
    void DropFile();

    std::unique_ptr<QPrinter> FPrinter;
    std::unique_ptr<QPainter> FPainter;
    std::unique_ptr<TCanvas> FCanvas;
    // A job into a PDF file: Qt writes a temporary file beside the one the user named, which
    // takes its place only when it is complete, pictures and all.
    QString FFileTarget;
    QString FDocumentTitle;
    std::unique_ptr<TOutputFile> FOutput;
    std::unique_ptr<TPdfPictures> FPictures;
};

/// The application's printer, a TQtPrinter made on first use.
TPrinter& Printer();
/// Replaces the application's printer (tests, or a program printing elsewhere); returns the
/// old one.
std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> printer);

/// The QPageSize id of a paper code; -1 for codes without one.
int PageSizeIdOfPaperCode(int paperCode);
