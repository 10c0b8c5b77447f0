// tamurika-export's main mode: the year sheet composed as "ﾌﾟﾚﾋﾞｭ-＆印刷" composes it, then
// printed into a PDF file, rendered into a PNG picture or sent to a print queue.
#include <QDate>
#include <QDir>
#include <QFileInfo>

#include "calendar/holidaymodel.h"
#include "calendar/holidays.h"
#include "exportcommand.h"
#include "model/paperchoice.h"
#include "model/printposition.h"
#include "model/settingsslots.h"
#include "model/titlestyle.h"
#include "photo/picture.h"
#include "platform/bitmap.h"
#include "platform/outputfile.h"
#include "print/imageprinter.h"
#include "print/printer.h"
#include "settings/inifile.h"
#include "settings/settingsfolder.h"
#include "sheet/daycells.h"
#include "sheet/sheetcomposition.h"
#include "sheet/sheetlayout.h"
#include "sheet/sheetsource.h"

namespace {

// Without a picture the main window's hidden picture control keeps its design size, and the
// empty picture box is placed as for a picture of that size.
const QSize NoPictureSize(105, 105);

// What the sheet reads while it is drawn, held here instead of by a window.
class TExportSheetSource : public TSheetSource {
  public:
    QString FPictureFileName;
    QSize FPictureSize = NoPictureSize;
    TPictureFraming FFraming;
    TSlotSettings FSettings;
    TDayCells FCells;
    QString FAppPath;

    QString PictureFileName() const override { return FPictureFileName; }
    QSize PictureSize() const override { return FPictureSize; }
    TPictureFraming PictureFraming() const override { return FFraming; }
    TColor WeekdayColor() const override { return FSettings.Colors[scWeekday]; }
    TColor SundayColor() const override { return FSettings.Colors[scSunday]; }
    TColor SaturdayColor() const override { return FSettings.Colors[scSaturday]; }
    const TDayCells& DayCells() const override { return FCells; }
    QString AppPath() const override { return FAppPath; }
};

void SavePng(const QImage& image, TOutputFile& file) {
    if (!image.save(file.WorkingName(), "PNG"))
        throw Exception(FormatMessage(QStringLiteral("出力ファイル「%s」に書き込めませんでした。"),
                                      {QDir::toNativeSeparators(file.Target())}));
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
    TExportSheetSource source;
    source.FFraming = options.Framing;
    source.FAppPath = programFolder.endsWith(u'/') ? programFolder : programFolder + u'/';
    const TIniFile settings(SettingsFolder(source.FAppPath) + SettingsIniName);
    const int slot = options.Slot.value_or(ReadSlotDirectory(settings).LastSlot);
    source.FSettings = ReadSlot(settings, slot);

    TPicture picture;
    if (!options.PictureFile.isEmpty()) {
        picture.LoadFromFile(options.PictureFile);
        source.FPictureFileName = QFileInfo(options.PictureFile).absoluteFilePath();
        source.FPictureSize = QSize(picture.Width(), picture.Height());
        const QString warning = LowResolutionWarning(source.FPictureSize, options.Framing);
        if (warnings != nullptr && !warning.isEmpty())
            warnings->append(warning);
    }

    // The output is made ready first: a folder that cannot be written fails before any work.
    std::unique_ptr<TOutputFile> file;
    if (options.Output != TExportOptions::TOutput::Printer)
        file = std::make_unique<TOutputFile>(options.Target);
    std::unique_ptr<TPrinter> printer;
    if (options.Output == TExportOptions::TOutput::Pdf) {
        auto pdf = std::make_unique<TQtPrinter>();
        pdf->PrintToFile(file->WorkingName());
        printer = std::move(pdf);
    } else if (options.Output == TExportOptions::TOutput::Printer) {
        auto queue = std::make_unique<TQtPrinter>();
        queue->SetPrinterIndex(QueueIndex(*queue, options.Target));
        printer = std::move(queue);
    } else if (options.Dpi != TExportOptions::PreviewDpi) {
        printer = std::make_unique<TImagePrinter>(options.Dpi);
    }

    TSheetLayout sheet(source, printer.get());
    // The holidays of the window's hidden calendar control.
    THolidayModel holidays;
    ApplyProgramHolidays(holidays);
    TSheetChoices choices;
    choices.Year = options.Year.value_or(QDate::currentDate().year());
    // A style that is none of the eight (a settings file edited by hand) titles the year as
    // the first style does.
    choices.YearTitle = *YearTitle(StoredTitleStyle(source.FSettings.TitleStyle), choices.Year);
    choices.Settings = source.FSettings;
    // Only the PNG at 96 per inch is the preview. Everything else is printed, and printing
    // reads the photo file again at full resolution, so the preview's reduced picture would
    // be decoded for nothing (a third of the work with a large photo): the sheet holds the
    // photo itself instead, which is also what printing keeps should the file be gone.
    const bool preview =
        options.Output == TExportOptions::TOutput::Png && options.Dpi == TExportOptions::PreviewDpi;
    choices.Picture = preview ? picture.Graphic() : nullptr;
    choices.PictureSize = source.FPictureSize;
    choices.Framing = options.Framing;
    ComposeSheet(sheet, choices, holidays, source.FCells);
    if (!preview && !picture.Empty()) {
        sheet.LRImage1->Picture().Assign(&picture);
        sheet.PlacePicture(source.FPictureSize, options.Framing);
    }
    sheet.SetPosition(options.Position.value_or(ReadPrintPosition(source.FAppPath)));
    sheet.LightRep1->SetPrintPaper(options.Paper.value_or(ReadPaperChoice(source.FAppPath)));

    // The photo was read whole above; a photo of 48 million pixels is 14 MB read once more
    // for nothing.
    const bool readAgain = false;
    switch (options.Output) {
    case TExportOptions::TOutput::Pdf:
        sheet.Print(readAgain);
        file->Commit();
        return file->Target();
    case TExportOptions::TOutput::Printer:
        sheet.Print(readAgain);
        return options.Target;
    case TExportOptions::TOutput::Png:
        break;
    }
    if (options.Dpi == TExportOptions::PreviewDpi) {
        SavePng(sheet.LightRep1->RenderPreview()->Image(), *file);
    } else {
        sheet.Print(readAgain);
        SavePng(static_cast<TImagePrinter&>(*printer).Pages().front(), *file);
    }
    return file->Target();
}
