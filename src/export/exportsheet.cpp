// tamurika-export's main mode: the year sheet composed as "ﾌﾟﾚﾋﾞｭ-＆印刷" composes it, then
// printed into a PDF file, rendered into a PNG picture or sent to a print queue.
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTimeZone>

#include "exportcommand.h"

#include "days/daysfile.h"
#include "days/icalendarimport.h"
#include "model/calendarmodel.h"
#include "model/koyomioptions.h"
#include "model/modelfiles.h"
#include "platform/bitmap.h"
#include "platform/outputfile.h"
#include "print/imageprinter.h"
#include "print/printer.h"
#include "sheet/sheetcomposition.h"
#include "sheet/sheetlayout.h"

namespace {

// The days of --days: a days file, or an iCalendar file (by its name's ending) read for the
// sheet's year. What was not read or not taken is said; a file that cannot be read at all
// raises with its name.
TDaysFile ReadExportDays(const QString& fileName, int year, int startMonth, QStringList* warnings) {
    TDaysFile days;
    if (fileName.endsWith(QStringLiteral(".ics"), Qt::CaseInsensitive)) {
        const TCalendarImport import =
            ImportICalendarFile(fileName, year, QTimeZone::systemTimeZone(), startMonth);
        days.Days = import.Days;
        if (warnings != nullptr)
            for (const QString& left : import.Left)
                warnings->append(QStringLiteral("取り込まなかった予定: %1").arg(left));
    } else {
        days = ReadDaysFile(fileName);
        if (warnings != nullptr)
            for (const TDaysFileProblem& problem : days.Problems)
                warnings->append(QStringLiteral("「%1」の %2").arg(fileName, problem.Message));
    }
    return days;
}

void SavePng(const QImage& image, TOutputFile& file) {
    // Made in memory, then written: libpng's writing fails with an English line of its own and
    // no reason, where the file's own writing knows why (a full disk).
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    if (!image.save(&png, "PNG"))
        throw Exception(FormatMessage(QStringLiteral("出力ファイル「%s」を作れませんでした。"),
                                      {QDir::toNativeSeparators(file.Target())}));
    file.Write(png.data());
    file.Commit();
}

int QueueIndex(const TPrinter& printer, const QString& queue) {
    const QStringList queues = printer.Printers();
    const int index = static_cast<int>(queues.indexOf(queue));
    if (index >= 0)
        return index;
    const QString known = queues.isEmpty() ? QStringLiteral("（印刷キューがありません）")
                                           : queues.join(QStringLiteral("、"));
    throw Exception(FormatMessage(
        QStringLiteral("印刷キュー「%s」が見つかりません。使えるキュー: %s"), {queue, known}));
}

} // namespace

QString ExportSheet(const TExportOptions& options, const QString& programFolder,
                    QStringList* warnings) {
    // The model as the window would start with it, then what the command line says.
    const QString appPath = programFolder.endsWith(u'/') ? programFolder : programFolder + u'/';
    TCalendarModel model = ReadCalendarModel(appPath, options.Slot.value_or(StartSlot(appPath)));
    if (options.Year)
        model.Year = *options.Year;
    model.Framing = options.Framing;
    if (options.Paper)
        model.Paper = *options.Paper;
    if (options.Position)
        model.Position = *options.Position;
    if (options.KoyomiShow)
        model.Koyomi = ParseKoyomiShow(*options.KoyomiShow, model.Koyomi).value_or(model.Koyomi);
    if (options.StartMonth)
        model.Shape.StartMonth = *options.StartMonth;
    if (options.WeekStart)
        model.Shape.WeekStart = *options.WeekStart;
    if (options.Title)
        model.Shape.Title.Text = *options.Title;
    if (options.TitlePlace)
        model.Shape.Title.Place = *options.TitlePlace;
    if (!options.DaysFile.isEmpty())
        model.FamilyDays =
            ReadExportDays(options.DaysFile, model.Year, model.Shape.StartMonth, warnings);
    else if (warnings != nullptr)
        for (const TDaysFileProblem& problem : model.FamilyDays.Problems)
            warnings->append(QStringLiteral("記念日のファイル: %1").arg(problem.Message));
    if (!options.PictureFile.isEmpty()) {
        model.Photo = ReadSheetPhoto(options.PictureFile);
        // A JPEG goes into a PDF as its bytes, never decoded: its scan data is read for damage
        // here.
        model.Photo.Picture->CheckData();
        for (const QString& warning : {DamagedPhotoWarning(model.Photo),
                                       LowResolutionWarning(model.PictureSize(), model.Framing)})
            if (warnings != nullptr && !warning.isEmpty())
                warnings->append(warning);
    }

    // The output is made ready first: a folder that cannot be written fails before any work.
    // A PDF file is the printer's to write whole (and to name in what it says); the folder is
    // only tried here.
    std::unique_ptr<TOutputFile> file;
    if (options.Output != TExportOptions::TOutput::Printer)
        file = std::make_unique<TOutputFile>(options.Target);
    std::unique_ptr<TPrinter> printer;
    if (options.Output == TExportOptions::TOutput::Pdf) {
        const QString target = file->Target();
        file.reset();
        auto pdf = std::make_unique<TQtPrinter>();
        pdf->PrintToFile(target);
        printer = std::move(pdf);
    } else if (options.Output == TExportOptions::TOutput::Printer) {
        auto queue = std::make_unique<TQtPrinter>();
        queue->SetPrinterIndex(QueueIndex(*queue, options.Target));
        printer = std::move(queue);
    } else if (options.Dpi != TExportOptions::PreviewDpi) {
        printer = std::make_unique<TImagePrinter>(options.Dpi);
    }

    // Only the PNG at 96 per inch is the preview; everything else is printed.
    const bool preview =
        options.Output == TExportOptions::TOutput::Png && options.Dpi == TExportOptions::PreviewDpi;
    TSheetLayout sheet(printer.get());
    ComposeSheet(sheet, model, preview ? TSheetUse::Preview : TSheetUse::Print);

    switch (options.Output) {
    case TExportOptions::TOutput::Pdf:
        sheet.Print();
        return QFileInfo(options.Target).absoluteFilePath();
    case TExportOptions::TOutput::Printer:
        sheet.Print();
        return options.Target;
    case TExportOptions::TOutput::Png:
        break;
    }
    if (preview) {
        SavePng(sheet.LightRep1->RenderPreview()->Image(), *file);
    } else {
        sheet.Print();
        SavePng(static_cast<TImagePrinter&>(*printer).Pages().front(), *file);
    }
    return file->Target();
}
