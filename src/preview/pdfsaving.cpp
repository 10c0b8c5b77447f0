#include "pdfsaving.h"

// Qt
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

// Local
#include "model/calendarmodel.h"
#include "platform/outputfile.h"
#include "print/printer.h"
#include "settings/statefile.h"
#include "sheet/sheetcomposition.h"
#include "sheet/sheetlayout.h"

namespace {

const QString PdfSection = QStringLiteral("pdf");
const QString PdfFolderKey = QStringLiteral("folder");

// While a long piece of work runs: the wait cursor, and no input but the repaints.
class TBusy {
  public:
    TBusy() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusy() { QApplication::restoreOverrideCursor(); }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;
};

} // namespace

std::unique_ptr<TSheetLayout> PrintSheet(const TCalendarModel& model, TPrinter* printer) {
    auto sheet = std::make_unique<TSheetLayout>(printer);
    ComposeSheet(*sheet, model, TSheetUse::Print);
    return sheet;
}

QString SuggestedPdfName(const QString& appPath, std::int32_t year) {
    const TStateFile state(appPath);
    QString folder = state.ReadString(PdfSection, PdfFolderKey, QString());
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!QFileInfo(folder).isDir())
            folder = QDir::homePath();
    }
    const QString name =
        year != 0 ? QStringLiteral("カレンダー%1.pdf").arg(year) : QStringLiteral("カレンダー.pdf");
    return QDir(folder).filePath(name);
}

QString AskPdfFileName(QWidget* parent, const QString& suggested) {
    QFileDialog dialog(parent, QStringLiteral("PDFに保存"));
    dialog.setObjectName(QStringLiteral("PdfSaveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("PDFファイル (*.pdf)")});
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("場所:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("ファイル名:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("ファイルの種類:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("保存(&S)"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("キャンセル"));
    dialog.setDirectory(QFileInfo(suggested).absolutePath());
    dialog.selectFile(QFileInfo(suggested).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void SaveSheetPdf(const TCalendarModel& model, const QString& appPath, const QString& fileName,
                  const std::function<void(const QString&)>& status) {
    const QString shown = QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath());
    const bool existed = QFileInfo::exists(fileName);
    const QString kept = existed ? QStringLiteral("元のファイルはそのまま残っています。")
                                 : QStringLiteral("PDFファイルは作られていません。");
    try {
        // A folder that cannot be written is found before any work, and said in the words of
        // saving, not of printing.
        TOutputFile probe(fileName);
    } catch (const Exception&) {
        status(QStringLiteral("PDFに保存できませんでした"));
        throw Exception(
            FormatMessage(
                QStringLiteral(
                    "PDFファイル「%s」を保存できません。書き込める場所を選んでください。"),
                {QFileInfo(fileName).fileName()}) +
            kept);
    }
    TBusy busy;
    status(QStringLiteral("PDFに保存しています… 0%"));
    TQtPrinter pdf;
    pdf.PrintToFile(fileName);
    // The page and the photo's place are drawn first, quickly; the photo's bytes are the rest.
    pdf.OnWriteProgress = [&status](int percent) {
        status(QStringLiteral("PDFに保存しています… %1%").arg(20 + percent * 80 / 100));
    };
    try {
        PrintSheet(model, &pdf)->Print();
    } catch (const Exception& error) {
        status(QStringLiteral("PDFに保存できませんでした"));
        throw Exception(error.Message() + kept);
    }
    status(QStringLiteral("PDFに保存しました: %1").arg(shown));
    // Remembering the folder is a convenience: a state file that cannot be written does not
    // make the saved file any less saved.
    try {
        TStateFile state(appPath);
        state.WriteString(PdfSection, PdfFolderKey, QFileInfo(fileName).absolutePath());
    } catch (const EIniFileException&) {
    }
}
