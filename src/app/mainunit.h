// The program's one permanent window. The left half is a small live sample of the printed
// sheet (picture, year title, month title, day-of-week row and one month grid); the right half
// holds the year, picture, font and title-style commands and "ﾌﾟﾚﾋﾞｭ-＆印刷"; a third column with
// the colour commands appears when the window is widened with ">>".
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QUrl>

#include "model/picturefit.h"
#include "model/settingsslots.h"
#include "sheet/daycells.h"
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
class QTimer;
class QToolButton;
class QWheelEvent;
class TCalendarEx;
class TImage;
class TPanel;
class TStatusBarP;

class TmainForm : public QMainWindow {
    Q_OBJECT

  public:
    /// `programFolder` is where the program file lies (its settings and help live there or,
    /// when it is not writable, the settings in the user's configuration folder).
    explicit TmainForm(QString programFolder, QWidget* parent = nullptr);
    ~TmainForm() override;

    // --- Components, owned by the window -----------------------------------------------------
    // The sample.
    TPanel* Panel1;                // frame of the sample
    TPanel* Panel4;                // white picture box with a sunken border
    TImage* Image1;                // the picture in the 224 × 168 box, with its own aspect ratio
    TPanel* nenST;                 // year title; its caption is also the printed year title
    TPanel* tukiST;                // month title of the sample month
    TPanel* pnlYoubi;              // day-of-week row laid over the calendar's own header row
    std::array<QLabel*, 7> lblY{}; // lblY1 "日" .. lblY7 "土"
    TCalendarEx* CalendarEx1;      // sample month and holder of the chosen year
    std::array<TPanel*, 8> y{};    // row lines y1 .. y8
    std::array<TPanel*, 8> t{};    // column lines t1 .. t8
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
    TStatusBarP* StBar;
    TPanel* Panel3;           // hidden
    QPushButton* Button14;    // 終了(&E), hidden
    TCalendarEx* CalendarEx2; // outside the visible area: works out the printed months
    TImage* Image2;           // scratch pictures of the sheet composition
    TImage* Image3;
    TImage* Image4;      // the loaded picture at its own pixel size
    QWidget* PictureBox; // the inside of Panel4's border, Image1's parent
    // Menu.
    QAction* MIfontRead;
    QAction* MIfontWrite;
    QMenu* MIkaku; // "色(&K)", shown only in the wide window
    // The frame mode of the picture ("画像、フォント(&S)" and the sample's context menu).
    QAction* MIframeFit;    // 枠に合わせる
    QAction* MIframeFill;   // 枠いっぱい
    QAction* MIframeCentre; // 中央に戻す
    QMenu* PictureMenu;     // context menu of the sample's picture

    TOpenDialog OpenDialog1;
    /// The four font dialogs: the single store of the sheet's fonts.
    TFontDialog& FontDialog(TSheetFont font) { return FFontDialogs.at(font); }
    /// The eight colour dialogs: the single store of the sheet's colours.
    TColorDialog& ColorDialog(TSheetColor color) { return FColorDialogs.at(color); }

    // --- State of the window's session --------------------------------------------------------
    QString AppPath;                             // the program's folder, with a trailing "/"
    std::array<QString, SlotCount> SlotComments; // comment of slot n at index n − 1
    int CurrentSlot = 1;                         // slot last loaded or saved
    bool SettingsChanged = false; // fonts, colours or style changed since the last load or save
    /// The day table of the last composition; the sheet's day cells read it.
    TDayCells FDayCells;
    /// How the photo takes its box: the mode the user chose (remembered between runs) and,
    /// for "枠いっぱい", the part of the photo chosen by dragging and the wheel (remembered
    /// with the photo in the state file).
    TPictureFraming FFraming;

    /// The settings file: "tamurika.ini" in the settings folder of AppPath.
    QString SettingsFileName() const;
    /// The help page: beside the program, or in the data folder of an installed copy.
    QString HelpFileName() const;
    /// The fonts, colours and title style as a slot holds them.
    TSlotSettings CurrentSettings() const;

    // --- Handlers -------------------------------------------------------------------------------
    /// Start-up, on first showing: settings restored, current year, January.
    void FormShow();
    /// Asks to save changed settings; the window closes whatever the answer.
    void FormClose();
    void Button2Click(); // previous year
    void Button6Click(); // today
    void Button5Click(); // next year
    void CalendarEx1Change();
    /// Picture loading through the open dialog.
    void Button9Click();
    /// Loads a picture file into the sample: kept at full size in Image4, shown by Image1 in
    /// the 224 × 168 box as framed (a photo framed before in "枠いっぱい" as it was left, any
    /// other centred at 1 ×). A file that cannot be read raises its picture error and
    /// nothing changes, the name of the current picture included.
    void LoadPictureFile(const QString& fileName);
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
    void MIfontWriteClick();
    /// "ﾌﾟﾚﾋﾞｭ-＆印刷": composes the year sheet, shows it in the preview window and releases
    /// the window when it closes. While the sheet is composed the window takes no input, its
    /// status bar showing the progress. An error on the way leaves no window behind, the
    /// main window taking input again and the progress at 0, and passes on.
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

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    friend class TFrmfontRead;
    friend class TFrmfontSave;

    void CreateSample(QWidget* client);
    void CreateCommands(QWidget* client);
    void CreateColorColumn(QWidget* client);
    void CreateMenu();
    void CreateHiddenComponents(QWidget* client);

    void ReadSlotComments();
    /// The slot comments, current slot and changed flag as the slot dialogs get them, and
    /// taken back from a dialog that is done.
    TSlotSession SlotSession() const;
    void TakeSlotSession(const TSlotSession& session);
    /// Shows FFraming in the sample and says in the status bar when the photo would print
    /// coarsely; `remember` keeps the photo's part in the state file.
    void ShowFraming(bool remember);
    /// Writes the photo's part to the state file (now, or ending a wait for the wheel).
    void RememberFraming();
    void ShowTitles();
    void ApplyColors();
    void FontCommand(TSheetFont font);
    void ColorCommand(TSheetColor color);
    void BlockInput();
    /// Enables again what BlockInput disabled and gives the focus back.
    void UnblockInput();
    /// A question with the buttons "はい" and "いいえ"; true for "はい".
    bool Confirm(const QString& question);
    /// The picture file a drag carries, if it is one the picture command would open.
    static QString DroppedPictureFile(const QMimeData* data);

    QString FProgramFolder;
    QWidget* FClient;
    // A drag on the sample: where it began, in the sample's pixels, and the framing then.
    std::optional<QPointF> FDragStart;
    TPictureFraming FDragFraming;
    QString FFramingWarning; // the resolution warning shown last
    QTimer* FRememberTimer;  // the wheel's steps are remembered once they pause
    std::array<TFontDialog, SheetFontCount> FFontDialogs;
    std::array<TColorDialog, SheetColorCount> FColorDialogs;
    bool FShown = false;
    bool FInputBlocked = false;
    std::vector<QPointer<QWidget>> FBlocked; // what BlockInput disabled
    QPointer<QWidget> FFocusBeforeBlock;
    bool FDropsBeforeBlock = true;
};
