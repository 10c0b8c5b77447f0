// The program's one permanent window, a view of the calendar document. The left half is a
// small live sample of the printed sheet (picture, year title, month title, day-of-week row and
// one month grid); the right half holds the year, picture, font and title-style commands and
// "ﾌﾟﾚﾋﾞｭ-＆印刷"; a third column with the colour commands appears when the window is widened
// with ">>". Every command changes the document, and the window shows the document again when
// it changes (also by "元に戻す" and "やり直し"); it holds no fact of the calendar itself.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QUrl>

#include "model/calendarmodel.h"
#include "preview/coarseprint.h"
#include "widgets/colordialog.h"
#include "widgets/fontdialog.h"
#include "widgets/opendialog.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QMimeData;
class QMenu;
class QMouseEvent;
class QPushButton;
class QToolButton;
class QWheelEvent;
class TCalendarDocument;
class TCalendarEx;
class TImage;
class TKoyomiSample;
class TPanel;
class TPhotoDecoder;
class TPhotoImage;
class TStatusBarP;

class TmainForm : public QMainWindow {
    Q_OBJECT

  public:
    /// `programFolder` is where the program file lies (its settings and help live there or,
    /// when it is not writable, the settings in the user's configuration folder). The window
    /// makes the calendar document of that folder and owns it.
    explicit TmainForm(QString programFolder, QWidget* parent = nullptr);
    ~TmainForm() override;

    /// The calendar being made, its history and the session of the settings slots.
    TCalendarDocument& Document() { return *FDocument; }

    // --- Components, owned by the window -----------------------------------------------------
    // The sample.
    TPanel* Panel1;   // frame of the sample
    TPanel* Panel4;   // white picture box with a sunken border
    TImage* Image1;   // the picture in the 224 × 168 box, as framed
    TPanel* nenST;    // year title
    TPanel* tukiST;   // month title of the sample month
    TPanel* pnlYoubi; // day-of-week row laid over the calendar's own header row
    /// lblY1 .. lblY7, the letters of the columns left to right: "日" .. "土", or "月" .. "日"
    /// when the weeks start on Monday, each in its weekday's colour.
    std::array<QLabel*, 7> lblY{};
    TCalendarEx* CalendarEx1;   // the sample month, in the chosen sheet
    std::array<TPanel*, 8> y{}; // row lines y1 .. y8
    std::array<TPanel*, 8> t{}; // column lines t1 .. t8
    // Year commands.
    QGroupBox* GroupBox1;
    QPushButton* Button2; // 前年
    QPushButton* Button6; // 今年
    QPushButton* Button5; // 次年
    // Picture, fonts, colour column, title style.
    QGroupBox* GroupBox2;
    QPushButton* Button9;   // 画像の読み込み
    QPushButton* Button11;  // 年のフォント変更
    QPushButton* Button3;   // 月のフォント変更
    QPushButton* Button10;  // 日のフォント変更
    QPushButton* Button12;  // 曜日のフォント変更
    QToolButton* SbtnKShow; // ">>" / "<<"
    QComboBox* ComboBox3;   // title style
    TPanel* Panel2;
    QPushButton* Button1; // ﾌﾟﾚﾋﾞｭ-＆印刷
    // The colour column: a button and a swatch per colour, and the reset.
    QGroupBox* GroupBox3;
    std::array<QPushButton*, SheetColorCount> ColorButtons{}; // Button8, 4, 15, 16, 17, 19, 22, 20
    std::array<TPanel*, SheetColorCount>
        Swatches{};        // pnl1, pnl1_2, pnl2, pnl3, pnl4, pnl6, pnl8, pnl7
    QPushButton* Button21; // 初期値に戻す
    /// Panels: 0 the messages and hints, 1 the progress bar, 2 its percentage, 3 (WarningPanel)
    /// the coarse-print warning, which no hint overwrites.
    TStatusBarP* StBar;
    TPanel* Panel3;        // hidden
    QPushButton* Button14; // 終了(&E), hidden
    QWidget* PictureBox;   // the inside of Panel4's border, Image1's parent
    // Menu.
    QAction* MIfontRead;
    QAction* MIfontWrite;
    QAction* MIpdf;    // "PDFに保存"
    QAction* MIundo;   // "元に戻す(&U)", naming the step it undoes
    QAction* MIredo;   // "やり直し(&R)"
    QAction* MIkoyomi; // "暦の表示(&K)" (Ctrl+K)
    QAction* MIkinen;  // "記念日(&D)" (Ctrl+D)
    QAction* MIshape;  // "始まりと題名(&T)" (Ctrl+T)
    QMenu* MIkaku;     // "色(&K)", shown only in the wide window
    // The frame mode of the picture ("画像、フォント(&S)" and the sample's context menu).
    QAction* MIframeFit;    // 枠に合わせる
    QAction* MIframeFill;   // 枠いっぱい
    QAction* MIframeCentre; // 中央に戻す
    QMenu* PictureMenu;     // context menu of the sample's picture

    /// The picture dialog; it opens where the last photo lay, that photo selected.
    TOpenDialog OpenDialog1;

    /// The help page: beside the program, or in the data folder of an installed copy.
    QString HelpFileName() const;

    // --- Handlers -------------------------------------------------------------------------------
    /// Start-up, on first showing: settings restored, the sheet that holds today from its first
    /// month (this year's January for a sheet that starts in January).
    void FormShow();
    /// Asks to save changed settings: "はい" saves (the save dialog), "いいえ" does not, and
    /// "キャンセル" (there or in the save dialog) keeps the window open. True when the window
    /// may close.
    bool FormClose();
    void Button2Click(); // previous year
    void Button6Click(); // today: the sheet that holds it
    void Button5Click(); // next year
    /// The sample moved (keys, mouse, "今年"): the calendar's year becomes that of the sheet
    /// that holds the month shown.
    void CalendarEx1Change();
    /// Picture loading through the open dialog.
    void Button9Click();
    /// Reads a picture file whole and makes it the calendar's photo (a photo framed before in
    /// "枠いっぱい" as it was left, any other centred at 1 ×). A file that cannot be read raises
    /// its picture error and nothing changes. A large HEIF photo, which libheif decodes only
    /// whole, is decoded on a thread of its own while the sample shows the thumbnail its file
    /// carries; the preview and "PDFに保存" wait for it, and a photo found damaged only then
    /// leaves the calendar again (TCalendarDocument::WithdrawPhoto) with its message.
    void LoadPictureFile(const QString& fileName);
    /// Whether the calendar's photo is being decoded on its own thread (the sample showing
    /// its thumbnail meanwhile).
    bool PhotoDecoding() const;
    /// Whether any photo is, the calendar's or one loaded or undone since.
    bool AnyPhotoDecoding() const;
    /// HEIF photos of more pixels than this are decoded on a thread of their own; a smaller
    /// one is decoded at once, too quickly to be noticed.
    static constexpr qint64 BackgroundDecodePixels = 1'000'000;
    /// What the status bar says while the photo is decoded.
    static const QString DecodingText;
    // Framing.
    /// "枠に合わせる" / "枠いっぱい": the mode, remembered as the user's choice.
    void FrameModeClick(TFrameMode mode);
    /// "中央に戻す" and a double click on the sample: the photo centred at 1 × again.
    void FrameCentreClick();
    /// Dragging and the wheel on the sample's picture in "枠いっぱい".
    void Image1MouseDown(QMouseEvent* event);
    void Image1MouseMove(QMouseEvent* event);
    void Image1MouseUp(QMouseEvent* event);
    void Image1MouseWheel(QWheelEvent* event);
    // Status-bar hints.
    void FontButtonMouseMove(TSheetFont font); // Button11/3/10/12MouseMove
    void Button9MouseMove();
    void GroupBox2MouseMove();
    /// Over the sample's picture: a photo too small for the print, or how to frame it.
    void Image1MouseMoveHint();
    void SbtnKShowClick();
    void Button14Click();
    void N1Click(); // help
    void A1Click(); // about box
    // Fonts.
    void Button11Click();
    void Button3Click();
    void Button10Click();
    void Button12Click();
    // Colours.
    void N4Click();       // year
    void N11Click();      // month
    void N5Click();       // weekday
    void N6Click();       // Sunday and holiday
    void N7Click();       // Saturday
    void N12Click();      // day-cell background
    void Button22Click(); // header background
    void N13Click();      // lines
    void N16Click();      // reset
    void ComboBox3Change();
    // Settings slots.
    void MIfontReadClick();
    /// The save dialog; true when a slot was saved, false when it was cancelled.
    bool MIfontWriteClick();
    /// "PDFに保存" (Ctrl+Shift+S): the sheet into a PDF file without the preview, after the
    /// coarse-print question where it is due.
    void MIpdfClick();
    /// "元に戻す" (Ctrl+Z) and "やり直し" (Ctrl+Y, Ctrl+Shift+Z).
    void UndoClick();
    void RedoClick();
    /// "暦の表示" (Ctrl+K): the dialog; what it gives is one step of the history, nothing when
    /// it was cancelled or nothing changed.
    void MIkoyomiClick();
    /// "記念日" (Ctrl+D): the family's days in their dialog; the list it gives is one step of
    /// the history, nothing when it was cancelled or nothing changed.
    void MIkinenClick();
    /// "始まりと題名" (Ctrl+T): the start month, the week's first day and the own title in
    /// their dialog; what it gives is one step of the history, nothing when it was cancelled
    /// or nothing changed.
    void MIshapeClick();
    /// "ﾌﾟﾚﾋﾞｭ-＆印刷": composes the year sheet, shows it in the preview window and releases
    /// the window when it closes. While the sheet is composed the window takes no input, its
    /// status bar showing the progress. An error on the way leaves no window behind, the
    /// main window taking input again and the progress at 0, and passes on. When the preview
    /// printed, the status bar says where the job went.
    void Button1Click();
    /// Whether input is blocked: the commands, the sample and the menu disabled, drops and
    /// closing refused; the status bar stays enabled and readable.
    bool InputBlocked() const { return FInputBlocked; }
    /// Opens a page in the desktop's viewer; true on success. Replaceable for tests.
    std::function<bool(const QUrl&)> OpenUrl;

    /// Client width of the narrow window and of the wide one with the colour column.
    static constexpr int NarrowClientWidth = 475;
    static constexpr int WideClientWidth = 697;
    static constexpr int ClientHeight = 387;
    /// The letters of the sample's year and month titles, in pixels; a long year title or own
    /// title is set smaller.
    static constexpr int SampleTitleHeight = 13;
    /// The status bar's panel of the coarse-print warning: short ("解像度不足 約43ppi"), the
    /// whole sentence its tool tip; empty while the photo prints finely.
    static constexpr int WarningPanel = 3;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void CreateSample(QWidget* client);
    void CreateCommands(QWidget* client);
    void CreateColorColumn(QWidget* client);
    void CreateMenu();
    /// The status bar's panels for a client area `width` wide: the messages take what the
    /// wide window adds.
    void PlaceStatusPanels(int width);

    /// The undo and redo entries: enabled when there is a step, named after it.
    void ShowHistory();
    /// Shows the parts of the document's model that changed.
    void ModelChanged(TModelParts parts);
    /// The photo and its framing in the sample, the frame mode's menu entries, and the
    /// resolution warning in the status bar.
    void ShowFraming();
    /// The year title panel (the year title, or the own title in its place) and the month title.
    void ShowTitles();
    void ApplyColors();
    /// The sample month moved into the model's sheet, its month and day kept, where it shows a
    /// month of another sheet.
    void ShowSheetYear();
    /// The sample's weeks from the model's first weekday, the column letters and their colours.
    void ShowWeekStart();
    void ShowWeekdayLetters();
    /// The 暦 in the sample month's day cells as the sheet shows it, and its tool tips.
    void ShowKoyomi();
    void FontCommand(TSheetFont font);
    void ColorCommand(TSheetColor color);
    void BlockInput();
    /// Enables again what BlockInput disabled and gives the focus back.
    void UnblockInput();
    /// The photo as a HEIF photo whose decoding would keep the window from answering (of more
    /// than BackgroundDecodePixels); none for any other.
    static std::shared_ptr<const TPhotoImage> SlowPhoto(const TSheetPhoto& photo);
    /// Before a command that needs the photo's own pixels (the preview, a PDF file): waits
    /// while the photo is decoded on its thread, input blocked and the window repainting.
    /// False when the photo turned out damaged and left the calendar: the command stops.
    bool WaitForPhoto();
    /// A decoding on its thread ended: the sample shows the photo itself, or a damaged photo
    /// leaves the calendar and its message is shown.
    void PhotoDecoded(const std::shared_ptr<const TPhotoImage>& photo, const QString& error);
    /// A question with the buttons "はい" and "いいえ"; true for "はい".
    bool Confirm(const QString& question);
    /// The picture file a drag carries, if it is one the picture command would open.
    static QString DroppedPictureFile(const QMimeData* data);

    std::unique_ptr<TCalendarDocument> FDocument;
    QWidget* FClient;
    // A drag on the sample: where it began, in the sample's pixels, and the framing then.
    std::optional<QPointF> FDragStart;
    TPictureFraming FDragFraming;
    QString FFramingWarning;                      // the hint over a coarse photo; empty: fine
    TCoarsePrintCheck FCoarseCheck;               // the photos agreed to print coarsely
    std::shared_ptr<const TGraphic> FShownPhoto;  // the photo the sample shows
    bool FShownCoarse = false;                    // only its thumbnail, while it is decoded
    std::unique_ptr<TKoyomiSample> FKoyomiSample; // the 暦 of the sample month's cells
    bool FShown = false;
    bool FInputBlocked = false;
    std::vector<QPointer<QWidget>> FBlocked; // what BlockInput disabled
    // Decodes large HEIF photos on threads of their own; goes before the document, waiting
    // for the decodings under way.
    std::unique_ptr<TPhotoDecoder> FDecoder;
    QPointer<QWidget> FFocusBeforeBlock;
    bool FDropsBeforeBlock = true;
};
