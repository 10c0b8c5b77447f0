#include "printer.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "cupsqueue.h"
#include "pdffinish.h"
#include "pdfpictures.h"
#include "platform/outputfile.h"
#include "platform/version.h"

namespace {

struct PaperCode {
    int Code;
    QPageSize::PageSizeId Id;
};

constexpr PaperCode PaperCodes[] = {
    {DMPAPER_A3, QPageSize::A3},    {DMPAPER_A4, QPageSize::A4},
    {DMPAPER_A5, QPageSize::A5},    {DMPAPER_B4, QPageSize::JisB4},
    {DMPAPER_B5, QPageSize::JisB5}, {DMPAPER_LETTER, QPageSize::Letter},
};

std::unique_ptr<TPrinter>& PrinterSlot() {
    static std::unique_ptr<TPrinter> printer;
    return printer;
}

} // namespace

TPrinter::~TPrinter() = default;

TJobDestination TPrinter::Destination() const {
    const int index = PrinterIndex();
    return {index >= 0 ? Printers().value(index) : QString(), QString(), 1};
}

int PageSizeIdOfPaperCode(int paperCode) {
    for (const PaperCode& p : PaperCodes)
        if (p.Code == paperCode)
            return p.Id;
    return -1;
}

TQtPrinter::TQtPrinter() : FPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

TQtPrinter::~TQtPrinter() {
    if (Printing())
        Abort();
}

QStringList TQtPrinter::Printers() const {
    return QPrinterInfo::availablePrinterNames();
}

int TQtPrinter::PrinterIndex() const {
    if (FPrinter->outputFormat() == QPrinter::PdfFormat)
        return -1;
    return static_cast<int>(Printers().indexOf(FPrinter->printerName()));
}

void TQtPrinter::SetPrinterIndex(int index) {
    const QStringList printers = Printers();
    const QString name = index >= 0 && index < printers.size() ? printers[index]
                                                               : QPrinterInfo::defaultPrinterName();
    FPrinter->setOutputFileName(QString());
    FPrinter->setOutputFormat(QPrinter::NativeFormat);
    FPrinter->setPrinterName(name);
}

void TQtPrinter::LoadDriverDefaults() {
    QPrinter& p = *FPrinter;
    p.setCopyCount(1);
    p.setPageOrientation(QPageLayout::Portrait);
    if (p.outputFormat() == QPrinter::PdfFormat) {
        // The PDF writer has no driver; its defaults are those of a new printer object.
        p.setPageSize(QPageSize(QPageSize::A4));
        p.setColorMode(QPrinter::Color);
        p.setDuplex(QPrinter::DuplexNone);
        return;
    }
    const QPrinterInfo info = QPrinterInfo::printerInfo(p.printerName());
    if (info.isNull())
        return;
    p.setPageSize(info.defaultPageSize());
    p.setDuplex(info.defaultDuplexMode());
    p.setColorMode(info.defaultColorMode());
}

std::optional<TPrinterSettings> TQtPrinter::Settings() const {
    if (!FPrinter->isValid())
        return std::nullopt;
    const QPageLayout layout = FPrinter->pageLayout();
    TPrinterSettings settings;
    settings.PaperSize = 0;
    for (const PaperCode& p : PaperCodes)
        if (layout.pageSize().id() == p.Id)
            settings.PaperSize = p.Code;
    settings.Orientation =
        layout.orientation() == QPageLayout::Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    return settings;
}

bool TQtPrinter::SetSettings(const TPrinterSettings& settings) {
    const int id = PageSizeIdOfPaperCode(settings.PaperSize);
    if (id < 0 || !FPrinter->isValid())
        return false;
    const bool paper = FPrinter->setPageSize(QPageSize(static_cast<QPageSize::PageSizeId>(id)));
    const bool orientation = FPrinter->setPageOrientation(settings.Orientation == DMORIENT_LANDSCAPE
                                                              ? QPageLayout::Landscape
                                                              : QPageLayout::Portrait);
    return paper && orientation;
}

int TQtPrinter::ResolutionY() const {
    return FPrinter->resolution();
}

std::optional<TPoint> TQtPrinter::PhysicalOffset() const {
    if (!FPrinter->isValid())
        return std::nullopt;
    const QRectF paper = FPrinter->paperRect(QPrinter::DevicePixel);
    const QRectF page = FPrinter->pageRect(QPrinter::DevicePixel);
    return TPoint{qRound(page.left() - paper.left()), qRound(page.top() - paper.top())};
}

QString TQtPrinter::Title() const {
    return FPrinter->docName();
}

void TQtPrinter::SetTitle(const QString& title) {
    FPrinter->setDocName(title);
}

void TQtPrinter::BeginDoc() {
    if (Printing())
        throw EPrinter(QStringLiteral("プリンタは印刷中です．"));
    QPrinter& p = *FPrinter;
    const bool toFile = p.outputFormat() == QPrinter::PdfFormat;
    if (!toFile && p.printerName().isEmpty())
        throw EPrinter(QStringLiteral(
            "印刷できるプリンタがありません。プリンタを設定するか、PDFファイルに印刷してください。"));
    if (toFile && p.outputFileName().isEmpty())
        // Without any print queue Qt starts out writing PDF files: tell the user so.
        throw EPrinter(
            Printers().isEmpty()
                ? QStringLiteral(
                      "印刷できるプリンタがありません。プリンタを設定するか、PDFファイルに印刷してください。")
                : QStringLiteral("印刷先のPDFファイルが選ばれていません。"));
    if (!toFile)
        CheckQueue(p.printerName());
    const QString cannotWrite = FormatMessage(
        QStringLiteral("PDFファイル「%s」に印刷できません。書き込める場所を選んでください。"),
        {QFileInfo(p.outputFileName()).fileName()});
    if (toFile) {
        try {
            FOutput = std::make_unique<TOutputFile>(p.outputFileName());
        } catch (const Exception&) {
            throw EPrinter(cannotWrite);
        }
        FFileTarget = p.outputFileName();
        p.setOutputFileName(FOutput->WorkingName());
        FPictures = std::make_unique<TPdfPictures>(p.colorMode() == QPrinter::GrayScale);
    }
    // The device origin is the corner of what the printer can print, as on the platform the
    // report engine was made for; the engine moves the page back by these margins.
    p.setFullPage(false);
    p.setPageMargins(p.pageLayout().minimumMargins(), p.pageLayout().units());

    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&p)) {
        DropFile();
        throw EPrinter(
            toFile
                ? cannotWrite
                : FormatMessage(
                      QStringLiteral(
                          "プリンタ「%s」で印刷を始められません。プリンタの設定を確かめてください。"),
                      {p.printerName()}));
    }
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    FPainter = std::move(painter);
    FCanvas = std::make_unique<TCanvas>(FPainter.get());
    FCanvas->SetWholePictures(FPictures.get());
}

void TQtPrinter::NewPage() {
    if (Printing())
        FPrinter->newPage();
}

void TQtPrinter::EndDoc() {
    if (!Printing())
        return;
    FCanvas.reset();
    const bool toFile = FPrinter->outputFormat() == QPrinter::PdfFormat;
    const bool ok = FPainter->end(); // a queue's job is handed to the print system here
    FPainter.reset();
    if (toFile) {
        FinishFile(ok && FPrinter->printerState() != QPrinter::Error);
        return;
    }
    const QString name = FPrinter->printerName();
    const QString notSent =
        FormatMessage(QStringLiteral("プリンタ「%s」に印刷データを送れませんでした。"), {name});
    if (!ok || FPrinter->printerState() == QPrinter::Error)
        throw EPrinter(notSent);
    // Qt does not look at the print system's answer: a queue that vanished or began to refuse
    // jobs while the page was drawn would otherwise swallow the job without a word.
    const QString refusal = LastPrintJobRefusal();
    if (!refusal.isEmpty()) {
        // The print system's answer names the failed request, not always the cause; the
        // queue's state now tells the user best what to do.
        const std::optional<TPrintQueueState> queue = QueryPrintQueue(name);
        if (!queue)
            throw EPrinter(notSent + QStringLiteral("印刷システム（CUPS）に接続できません。"));
        if (!queue->Exists)
            throw EPrinter(notSent + QStringLiteral("プリンタが見つかりません。"));
        if (!queue->Accepting)
            throw EPrinter(notSent + QStringLiteral("プリンタが印刷を受け付けていません。"));
        throw EPrinter(notSent + refusal);
    }
    // Taken, but by a queue that was stopped meanwhile: the job waits there. Said plainly, so
    // that the user resumes the printer instead of printing a second copy.
    const std::optional<TPrintQueueState> queue = QueryPrintQueue(name);
    if (queue && queue->Exists && queue->Stopped)
        throw EPrinter(FormatMessage(
            QStringLiteral(
                "印刷データはプリンタ「%s」の待ち行列に入りましたが、プリンタが停止しています。プリンタを再開すると印刷されます。"),
            {name}));
}

void TQtPrinter::FinishFile(bool drawn) {
    std::unique_ptr<TOutputFile> output = std::move(FOutput);
    const std::unique_ptr<TPdfPictures> pictures = std::move(FPictures);
    FPrinter->setOutputFileName(FFileTarget);
    const QString failed =
        FormatMessage(QStringLiteral("PDFファイル「%s」を書き終えられませんでした"),
                      {QFileInfo(FFileTarget).fileName()});
    if (!drawn || !output)
        throw EPrinter(failed + QStringLiteral("（") + WriteFailureReason(FFileTarget) +
                       QStringLiteral("）。"));
    const QString maker = QStringLiteral("たむりか ") + ProgramVersion();
    const TPdfDocumentInfo info{FDocumentTitle.isEmpty() ? FPrinter->docName() : FDocumentTitle,
                                maker, maker};
    try {
        FinishPdf(output->WorkingName(), pictures.get(), info, OnWriteProgress);
    } catch (const Exception& e) {
        throw EPrinter(failed + QStringLiteral("（") + e.Message() + QStringLiteral("）。"));
    }
    try {
        output->Commit();
    } catch (const Exception& e) {
        throw EPrinter(e.Message()); // names the file and says why
    }
}

void TQtPrinter::DropFile() {
    if (!FOutput)
        return;
    FPrinter->setOutputFileName(FFileTarget);
    FOutput.reset(); // the unfinished file goes with it
    FPictures.reset();
}

void TQtPrinter::CheckQueue(const QString& name) const {
    const std::optional<TPrintQueueState> queue = QueryPrintQueue(name);
    if (!queue)
        throw EPrinter(QStringLiteral(
            "印刷システム（CUPS）に接続できません。CUPSが動いているか確かめてください。"));
    if (!queue->Exists)
        throw EPrinter(FormatMessage(
            QStringLiteral("プリンタ「%s」が見つかりません。プリンタの設定を確かめてください。"),
            {name}));
    const QString why = queue->Message.isEmpty()
                            ? QString()
                            : QStringLiteral("（") + queue->Message + QStringLiteral("）");
    if (!queue->Accepting)
        throw EPrinter(
            FormatMessage(QStringLiteral("プリンタ「%s」は印刷を受け付けていません。"), {name}) +
            why);
    if (queue->Stopped)
        throw EPrinter(
            FormatMessage(
                QStringLiteral(
                    "プリンタ「%s」は停止しています。プリンタを再開してから印刷してください。"),
                {name}) +
            why);
}

void TQtPrinter::Abort() {
    if (!Printing())
        return;
    FCanvas.reset();
    FPrinter->abort();
    if (FPainter->isActive())
        FPainter->end();
    FPainter.reset();
    DropFile();
}

bool TQtPrinter::Printing() const {
    return FPainter != nullptr;
}

TCanvas& TQtPrinter::Canvas() {
    if (!FCanvas)
        throw EPrinter(QStringLiteral("印刷中ではありません。"));
    return *FCanvas;
}

TQtPrinter::TSetup TQtPrinter::Setup() const {
    const QPrinter& p = *FPrinter;
    return {p.printerName(),    p.outputFormat() == QPrinter::PdfFormat,
            p.outputFileName(), p.copyCount(),
            p.collateCopies(),  p.duplex(),
            p.colorMode(),      p.pageLayout()};
}

void TQtPrinter::RestoreSetup(const TSetup& setup) {
    QPrinter& p = *FPrinter;
    if (setup.ToFile) {
        PrintToFile(setup.OutputFileName);
    } else {
        p.setOutputFileName(QString());
        p.setOutputFormat(QPrinter::NativeFormat);
        if (p.printerName() != setup.PrinterName)
            p.setPrinterName(setup.PrinterName);
    }
    // Only what differs: a value set counts, for Qt, as chosen by the user and would outlive
    // a later change of queue.
    if (p.copyCount() != setup.Copies)
        p.setCopyCount(setup.Copies);
    if (p.collateCopies() != setup.Collate)
        p.setCollateCopies(setup.Collate);
    if (p.duplex() != setup.Duplex)
        p.setDuplex(QPrinter::DuplexMode(setup.Duplex));
    if (p.colorMode() != setup.ColorMode)
        p.setColorMode(QPrinter::ColorMode(setup.ColorMode));
    if (!p.pageLayout().isEquivalentTo(setup.Layout))
        p.setPageLayout(setup.Layout);
}

void TQtPrinter::PrintToFile(const QString& pdfFileName) {
    FPrinter->setOutputFormat(QPrinter::PdfFormat);
    FPrinter->setOutputFileName(pdfFileName);
}

TJobDestination TQtPrinter::Destination() const {
    const QString file = OutputFileName();
    if (!file.isEmpty())
        return {QString(), file, FPrinter->copyCount()};
    return {FPrinter->printerName(), QString(), FPrinter->copyCount()};
}

QString TQtPrinter::OutputFileName() const {
    if (FOutput)
        return FFileTarget; // while Qt writes the temporary file beside it
    return FPrinter->outputFormat() == QPrinter::PdfFormat ? FPrinter->outputFileName() : QString();
}

TPrinter& Printer() {
    auto& slot = PrinterSlot();
    if (!slot) {
        slot = std::make_unique<TQtPrinter>();
        // The QPrinter must go while Qt's print support still exists, not among the statics.
        qAddPostRoutine([] { PrinterSlot().reset(); });
    }
    return *slot;
}

std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> printer) {
    auto old = std::move(PrinterSlot());
    PrinterSlot() = std::move(printer);
    return old;
}
