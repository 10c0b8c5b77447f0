// What the main window's commands do: each asks what it must (a dialog, a question) and changes
// the calendar document; the window shows the change when the document tells it
// (mainunitview.cpp). The rules of the changed flag are those of the program's design: a colour
// dialog counts as a change even when cancelled, a font dialog only when confirmed.
#include <cmath>

// Qt
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QWheelEvent>

// Local
#include "calendar/julius.h"
#include "calex/calex.h"
#include "familydaysdialog.h"
#include "fontreadunit.h"
#include "fontsaveunit1.h"
#include "koyomidialog.h"
#include "mainunit.h"
#include "model/calendardocument.h"
#include "model/picturefolder.h"
#include "photo/photodecoder.h"
#include "photo/photoimage.h"
#include "preview/pdfsaving.h"
#include "preview/printlrunit.h"
#include "shapedialog.h"
#include "sheet/sheetcomposition.h"
#include "statusbar/statusbarp.h"
#include "widgets/application.h"
#include "widgets/image.h"

namespace {

const QString ConfirmTitle = QStringLiteral("確認");
const QString SaveQuestion = QStringLiteral("設定が変更されています。保存しますか？");
const QString ResetQuestion = QStringLiteral("色の設定を初期値に戻しますか？");
const QString FillHint = QStringLiteral(
    "ドラッグで写す部分を動かし、ホイールで拡大・縮小します（ダブルクリックで元に戻ります）");

// The sample's picture box.
constexpr int PictureBoxWidth = 224;
constexpr int PictureBoxHeight = 168;
// A wheel notch (120 eighths of a degree) zooms by the cube root of 2: three double the zoom.
constexpr double WheelNotchesPerDoubling = 3 * 120;

// The sizes of the sheet's four fonts, which their dialogs offer alone: 24, 11, 8 and 8 points.
constexpr int FontHeights[SheetFontCount] = {-32, -15, -11, -11};

} // namespace

// --- Opening and closing ---------------------------------------------------------------------

void TmainForm::FormShow() {
    FDocument->Open();
    // The sheet that holds today, from its first month.
    CalendarEx1->Today();
    const int start = FDocument->Model().Shape.StartMonth;
    CalendarEx1->SetJuliusDay(
        Julius::YMDToJD(SheetYearOf(CalendarEx1->Year(), CalendarEx1->Month(), start),
                        static_cast<std::uint8_t>(start), 1));
    ShowTitles();
    // What start-up set is where the history begins.
    FDocument->UndoStack().clear();
    FDocument->SettingsChanged = false;
    CalendarEx1->setFocus();
}

bool TmainForm::FormClose() {
    FDocument->EndFramingRun();
    FDocument->KeepFraming(); // the part of the photo chosen last is kept
    if (!FDocument->SettingsChanged)
        return true;
    QMessageBox box(QMessageBox::Question, ConfirmTitle, SaveQuestion,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    LabelButtonsInJapanese(box);
    switch (box.exec()) {
    case QMessageBox::Yes:
        // A save cancelled keeps the window, and with it the settings not yet saved.
        return MIfontWriteClick();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

bool TmainForm::Confirm(const QString& question) {
    QMessageBox box(QMessageBox::Question, ConfirmTitle, question,
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    LabelButtonsInJapanese(box);
    return box.exec() == QMessageBox::Yes;
}

// --- Year, titles ------------------------------------------------------------------------------

void TmainForm::Button2Click() {
    FDocument->SetYear(FDocument->Model().Year - 1);
}
void TmainForm::Button6Click() {
    CalendarEx1->Today(); // the whole date: the sample shows this month, in the sheet holding it
}
void TmainForm::Button5Click() {
    FDocument->SetYear(FDocument->Model().Year + 1);
}

void TmainForm::CalendarEx1Change() {
    // The sample moved by its keys, its mouse or "今年": into another sheet, the calendar's
    // year follows. The year of a sheet is that of its first month: with 4月始まり, March 2028
    // lies in the sheet of 2027.
    const std::int32_t year =
        SheetYearOf(CalendarEx1->Year(), CalendarEx1->Month(), FDocument->Model().Shape.StartMonth);
    if (year != FDocument->Model().Year)
        FDocument->SetYear(year);
    ShowTitles();
}

void TmainForm::ComboBox3Change() {
    FDocument->SetTitleStyle(ComboBox3->currentIndex());
    FDocument->MarkSettingsChanged();
}

// --- Picture -----------------------------------------------------------------------------------

void TmainForm::Button9Click() {
    TOpenDialog dialog = OpenDialog1;
    // Before the first photo of this run, the folder of the last one of an earlier run.
    if (dialog.FileName.isEmpty())
        dialog.InitialDir = RememberedPictureFolder(FDocument->AppPath);
    if (!dialog.Execute(this))
        return;
    LoadPictureFile(dialog.FileName);
}

const QString TmainForm::DecodingText = QStringLiteral("画像を展開しています…");

std::shared_ptr<const TPhotoImage> TmainForm::SlowPhoto(const TSheetPhoto& photo) {
    auto image = std::dynamic_pointer_cast<const TPhotoImage>(photo.Picture);
    if (!image || image->Format() != TPhotoFormat::Heif)
        return {};
    const QSize coded = image->Header().LargestSize();
    if (qint64(coded.width()) * coded.height() <= BackgroundDecodePixels)
        return {};
    return image;
}

void TmainForm::LoadPictureFile(const QString& fileName) {
    // Read whole first: a file that cannot be read leaves the calendar as it was.
    const TSheetPhoto photo = ReadSheetPhoto(fileName);
    if (SlowPhoto(photo)) {
        // The photo becomes the calendar's at once, its size known from its header; the
        // sample shows the thumbnail its file carries while it is decoded (ShowFraming).
        FDocument->SetPhoto(photo);
        return;
    }
    // Decoded once, here, so that a damaged file is found now and not later while painting,
    // and at the size the sheet's preview needs: the sample (224 × 168) is drawn from the same
    // pixels, and "ﾌﾟﾚﾋﾞｭ-＆印刷" needs no decoding of its own. Any decoding reads the whole
    // photo, which costs most of what decoding it costs.
    (void)photo.Picture->ToImageForSize(SheetPreviewDecodeSize(photo.Size()));
    FDocument->SetPhoto(photo);
}

bool TmainForm::PhotoDecoding() const {
    return FDecoder->Decoding(FDocument->Model().Photo.Picture.get());
}

bool TmainForm::AnyPhotoDecoding() const {
    return !FDecoder->Idle();
}

bool TmainForm::WaitForPhoto() {
    const TSheetPhoto photo = FDocument->Model().Photo;
    if (!FDecoder->Decoding(photo.Picture.get()))
        return true;
    BlockInput();
    StBar->SetText(DecodingText);
    FDecoder->Wait(photo.Picture.get());
    UnblockInput();
    return FDocument->Model().Photo == photo;
}

void TmainForm::PhotoDecoded(const std::shared_ptr<const TPhotoImage>& photo,
                             const QString& error) {
    const TSheetPhoto current = FDocument->Model().Photo;
    if (current.Picture != photo) {
        // A photo loaded before the one shown, or undone: its decoding is kept for when it
        // comes back; a damaged one will tell when it is drawn again.
        return;
    }
    if (error.isEmpty()) {
        ShowFraming(); // the photo itself in place of its thumbnail
        return;
    }
    // Found damaged only now: the calendar as it was before it, then the usual message.
    FDocument->WithdrawPhoto(current);
    ShowFraming();
    TApplication::ShowException(EInvalidGraphic(error));
}

// --- Framing -----------------------------------------------------------------------------------

void TmainForm::FrameModeClick(TFrameMode mode) {
    FDocument->SetFrameMode(mode);
    // Checking the entry the user chose again is the document's to say: the mode it holds.
    ShowFraming();
}

void TmainForm::FrameCentreClick() {
    const TCalendarModel& model = FDocument->Model();
    if (model.Framing.Mode == TFrameMode::Fill && !model.Photo.Empty())
        FDocument->CentreFraming();
}

void TmainForm::Image1MouseDown(QMouseEvent* event) {
    const TCalendarModel& model = FDocument->Model();
    if (event->button() != Qt::LeftButton || model.Framing.Mode != TFrameMode::Fill ||
        model.Photo.Empty())
        return;
    FDragStart = event->position();
    FDragFraming = model.Framing;
    FDocument->BeginFramingRun();
    Image1->setCursor(Qt::ClosedHandCursor);
}

void TmainForm::Image1MouseMove(QMouseEvent* event) {
    if (!FDragStart) {
        Image1MouseMoveHint();
        return;
    }
    const QPointF moved = event->position() - *FDragStart;
    const QSize size = FDocument->Model().Photo.Size();
    // From where the drag began, so that moving back returns exactly there.
    FDocument->SetFraming(DragFraming(FDragFraming, size.width(), size.height(), PictureBoxWidth,
                                      PictureBoxHeight, moved.x(), moved.y()));
}

void TmainForm::Image1MouseUp(QMouseEvent* event) {
    if (!FDragStart || event->button() != Qt::LeftButton)
        return;
    FDragStart.reset();
    FDocument->EndFramingRun();
    ShowFraming(); // the open hand again
}

void TmainForm::Image1MouseWheel(QWheelEvent* event) {
    const TCalendarModel& model = FDocument->Model();
    if (model.Framing.Mode != TFrameMode::Fill || model.Photo.Empty() || FDragStart)
        return;
    const int notches = event->angleDelta().y();
    if (notches == 0)
        return;
    const QSize size = model.Photo.Size();
    const double zoom = model.Framing.Zoom * std::exp2(notches / WheelNotchesPerDoubling);
    FDocument->SetFraming(ZoomFraming(model.Framing, size.width(), size.height(), PictureBoxWidth,
                                      PictureBoxHeight, event->position(), zoom));
}

// --- Status-bar hints --------------------------------------------------------------------------

void TmainForm::FontButtonMouseMove(TSheetFont font) {
    StBar->SetText(QStringLiteral("選択されているフォント：") +
                   FDocument->Model().Settings.Fonts[font].Name);
}

void TmainForm::Button9MouseMove() {
    StBar->SetText(QStringLiteral("画像ファイル：") + FDocument->Model().Photo.FileName);
}

void TmainForm::GroupBox2MouseMove() {
    StBar->SetText(QString());
}

void TmainForm::Image1MouseMoveHint() {
    const TCalendarModel& model = FDocument->Model();
    if (model.Photo.Empty())
        return;
    if (!FFramingWarning.isEmpty())
        StBar->SetText(FFramingWarning);
    else if (model.Framing.Mode == TFrameMode::Fill)
        StBar->SetText(FillHint);
}

// --- Fonts and colours -------------------------------------------------------------------------

void TmainForm::FontCommand(TSheetFont font) {
    const TSlotFont current = FDocument->Model().Settings.Fonts[font];
    TFontDialog dialog;
    dialog.Font().SetName(current.Name);
    dialog.Font().SetHeight(FontHeights[font]);
    dialog.Font().SetStyle(current.Style);
    dialog.Font().SetCharset(SHIFTJIS_CHARSET);
    if (!dialog.Execute(this))
        return;
    FDocument->SetFont(font, {dialog.Font().Name(), dialog.Font().Style()});
    FDocument->MarkSettingsChanged();
}

void TmainForm::Button11Click() {
    FontCommand(sfYear);
}
void TmainForm::Button3Click() {
    FontCommand(sfMonth);
}
void TmainForm::Button10Click() {
    FontCommand(sfDay);
}
void TmainForm::Button12Click() {
    FontCommand(sfDayOfWeek);
}

void TmainForm::ColorCommand(TSheetColor color) {
    TColorDialog dialog(FDocument->Model().Settings.Colors[color]);
    if (dialog.Execute(this))
        FDocument->SetColor(color, dialog.Color());
    // Confirmed or not, the command counts as a change.
    FDocument->MarkSettingsChanged();
}

void TmainForm::N4Click() {
    ColorCommand(scYear);
}
void TmainForm::N11Click() {
    ColorCommand(scMonth);
}
void TmainForm::N5Click() {
    ColorCommand(scWeekday);
}
void TmainForm::N6Click() {
    ColorCommand(scSunday);
}
void TmainForm::N7Click() {
    ColorCommand(scSaturday);
}
void TmainForm::N12Click() {
    ColorCommand(scDayBack);
}
void TmainForm::Button22Click() {
    ColorCommand(scHeaderBack);
}
void TmainForm::N13Click() {
    ColorCommand(scLine);
}

void TmainForm::N16Click() {
    if (!Confirm(ResetQuestion))
        return;
    FDocument->ResetColors();
    FDocument->MarkSettingsChanged();
}

// --- Settings slots, history, PDF, preview -----------------------------------------------------

void TmainForm::MIkoyomiClick() {
    TKoyomiDialog dialog(FDocument->Model(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // One step for all that changed; none when nothing did. The 暦 is no part of a settings
    // slot: it is kept in the state file at once and leaves the changed flag alone.
    if (dialog.Options() != FDocument->Model().Koyomi)
        FDocument->SetKoyomiOptions(dialog.Options());
}

void TmainForm::MIkinenClick() {
    const TCalendarModel& model = FDocument->Model();
    TFamilyDaysDialog dialog(model.FamilyDays, model.Year, model.Settings.Colors[scSunday], this,
                             model.Shape.StartMonth);
    if (dialog.exec() != QDialog::Accepted || !dialog.Changed())
        return;
    FDocument->SetFamilyDays(dialog.Days());
}

void TmainForm::MIshapeClick() {
    TShapeDialog dialog(FDocument->Model(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // One step for all that changed; none when nothing did. The shape is no part of a settings
    // slot: it is kept in the state file at once and leaves the changed flag alone.
    if (dialog.Shape() != FDocument->Model().Shape)
        FDocument->SetShape(dialog.Shape());
}

bool TmainForm::MIfontWriteClick() {
    TFrmfontSave dialog(*FDocument, this);
    return dialog.exec() == QDialog::Accepted;
}

void TmainForm::MIfontReadClick() {
    if (FDocument->SettingsChanged && Confirm(SaveQuestion))
        MIfontWriteClick();
    TFrmfontRead dialog(*FDocument, this);
    dialog.exec();
    // The colours are shown again after the dialog, loaded or not, and that counts as a
    // change: closing asks again.
    FDocument->MarkSettingsChanged();
}

void TmainForm::UndoClick() {
    FDocument->Undo();
}

void TmainForm::RedoClick() {
    FDocument->Redo();
}

void TmainForm::MIpdfClick() {
    if (!WaitForPhoto())
        return;
    const TCalendarModel& model = FDocument->Model();
    if (!FCoarseCheck.Confirm(this, model, TCoarseOutput::Pdf))
        return;
    const QString file = AskPdfFileName(this, SuggestedPdfName(FDocument->AppPath, model.Year));
    if (file.isEmpty())
        return;
    SaveSheetPdf(model, FDocument->AppPath, file, [this](const QString& text) {
        StBar->SetText(text);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
}

void TmainForm::Button1Click() {
    if (!WaitForPhoto())
        return;
    StBar->SetPosition(0);
    BlockInput();
    std::unique_ptr<TFrmPrtLR> preview;
    try {
        preview = std::make_unique<TFrmPrtLR>(*FDocument);
        preview->ShareCoarsePrintCheck(FCoarseCheck);
        FrmPrtLR = preview.get();
        preview->Compose([this](int position, bool monthDone) {
            StBar->SetPosition(position);
            if (monthDone)
                QCoreApplication::processEvents();
        });
        StBar->SetPosition(100);
        UnblockInput();

        preview->Image1->Picture().SetGraphic(preview->LightRep1()->RenderPreview());
    } catch (...) {
        preview.reset();
        UnblockInput();
        StBar->SetPosition(0);
        throw;
    }
    preview->exec();
    const QString report = preview->JobReport();
    preview.reset();
    StBar->SetPosition(0);
    if (!report.isEmpty())
        StBar->SetText(report);
}
