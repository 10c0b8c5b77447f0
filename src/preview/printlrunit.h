// The preview-and-print window "たむりか「プレビュー＆印刷」": shows the year sheet of the
// calendar document at 25, 50, 75 or 100 % or fitted to the window ("全体表示"), moves it left
// or right on the paper and chooses the paper (changes of the document, kept in senoruta.ini
// and tamurika-state.ini), opens the printer set-up, prints one page and saves it as a PDF
// file, asking first where the photo would print coarsely. The window owns the sheet it shows
// and composes it again whenever the document changes; printing and the PDF compose a sheet of
// their own from the same document, with the photo as it was read.
#pragma once

#include <memory>

#include <QDialog>

#include "coarseprint.h"
#include "model/calendarmodel.h"
#include "model/printposition.h"
#include "sheet/sheetcomposition.h"
#include "sheet/sheetlayout.h"

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSlider;
class QTimer;
class QToolButton;
class TImage;
class TPanel;
class TCalendarDocument;
class TStatusBar;

class TFrmPrtLR : public QDialog {
    Q_OBJECT

  public:
    /// Creates the window for `document` (which must outlive it), printing on `printer` (not
    /// owned; nullptr: the application's printer). The sheet is composed by Compose.
    explicit TFrmPrtLR(TCalendarDocument& document, TPrinter* printer = nullptr,
                       QWidget* parent = nullptr);
    ~TFrmPrtLR() override;

    // --- Components, owned by the window -------------------------------------------------------
    TPanel* Panel2;            // the tool row
    QPushButton* BtnInsatu;    // 印刷(&P)
    QPushButton* BtnSettei;    // 設定(&S)
    QPushButton* BtnKakudai;   // 拡大(&I)
    QPushButton* BtnSyukusho;  // 縮小(&O)
    QPushButton* BtnZentai;    // 全体表示 (checked while the page is fitted)
    QPushButton* BtnEnd;       // 閉じる(&C)
    QLabel* Label1;            // 左右の位置調整
    QLabel* LblIchi;           // the track bar's position
    QSlider* TrackBar1;        // −10..10
    QToolButton* SpeedButton1; // 位置決定
    QComboBox* CmbPaper;       // the paper printed on: A4, A3, B4, B5, A5, レター
    QPushButton* BtnPdf;       // PDFに保存
    QScrollArea* ScrollBox1;
    TImage* Image1;    // the rendered page
    TStatusBar* StBar; // panel 0: the zoom and messages; panel 1: the coarse-print warning

    /// Composes the shown sheet from the document (`progress` hears how far it got) and shows
    /// it, where the window is shown already.
    void Compose(const TCompositionProgress& progress = {});

    /// The sheet shown: LightRep1 and all its panels and items.
    TSheetLayout& Sheet() { return *FSheet; }
    VEvudaRir* LightRep1() const { return FSheet->LightRep1; }

    /// Zoom step: 1 = 25 %, 2 = 50 %, 3 = 75 %, 4 = 100 %; 0 until the window is shown. While
    /// the page is fitted to the window (FitToWindow) it is the step at or below the fitted
    /// scale (1 for 25 %, 2 for 62 %).
    int Zoom() const { return FZoom; }
    /// "全体表示": the page is scaled to lie wholly within the scroll box, its proportions
    /// kept, between 25 and 100 %, and fitted again when the window's size changes. A state of
    /// its own beside the four steps; 拡大 and 縮小 leave it for the nearest step above or
    /// below the fitted scale.
    bool FitToWindow() const { return FFitToWindow; }
    /// The percentage the page is shown at (the fitted one rounded); 0 until shown.
    int ZoomPercent() const;

    /// Where the last print job went ("「キュー名」に 2 部送りました"), for the main window to
    /// say once the window has closed after printing; empty when nothing was printed.
    const QString& JobReport() const { return FJobReport; }
    /// Remembers the answers to the coarse-print question in `check` (which must outlive the
    /// window) instead of in the window's own: the main window's, shared by its previews.
    void ShareCoarsePrintCheck(TCoarsePrintCheck& check) { FCoarseCheck = &check; }

    // --- Handlers
    // ---------------------------------------------------------------------------------
    void FormShow();
    void FormResize();
    void BtnKakudaiClick();  // zoom in
    void BtnSyukushoClick(); // zoom out
    void BtnZentaiClick();   // fit the page to the window
    void Image1MouseDown(Qt::MouseButton button);
    void BtnSetteiClick(); // printer set-up
    /// Prints (after the coarse-print question, where it is due), says where the job went in
    /// JobReport, then closes.
    void BtnInsatuClick();
    void BtnEndClick();
    void TrackBar1Change();
    void SpeedButton1Click(); // apply the position
    void CmbPaperChange();    // another paper: preview it, print on it, keep the choice
    /// Asks the coarse-print question where it is due, then for a file name, then SavePdf.
    void BtnPdfClick();

    /// Writes the sheet, as the preview shows it, into the PDF file `fileName` (complete or
    /// not at all; a JPEG photo goes in as it is) and remembers its folder. Raises Exception
    /// with the user's message when it cannot, and then no file is written.
    void SavePdf(const QString& fileName);
    /// The name the save dialog suggests: "カレンダー2027.pdf" in the folder used last (the
    /// user's documents folder at first).
    QString SuggestedPdfName() const;

  protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateToolRow();
    /// The window's shortcuts: print, save, zoom, undo and redo.
    void CreateShortcuts();
    void FormCreate();
    void ShowPreview();
    /// Draws the page at `percent` into Image1 at `size`; a fitted page drawn at the whole
    /// percentage above its scale is shrunk to exactly that size.
    void RenderPage(const QSize& size, int percent, bool fitted);
    void CenterPreview();
    /// The scroll box's room for the page when it shows no scroll bars.
    QSize PageArea() const;
    /// 拡大 and 縮小 enabled as far as they can go from the fitted page; 全体表示 checked while
    /// the page is fitted.
    void ShowZoomButtons();
    /// The zoom chosen, kept for the next window.
    void KeepZoom() const;
    /// The coarse-print warning in the status bar's panel of its own.
    void ShowWarning();
    void LayoutStatusBar();
    void LoadPosition();
    void SavePosition();
    void LoadPaper();
    void ShowStatus(const QString& text);
    /// The document changed: the sheet composed again where it shows something else now, the
    /// paper and position shown.
    void DocumentChanged(TModelParts parts);

    TCalendarDocument& FDocument;
    std::unique_ptr<TSheetLayout> FSheet;
    QWidget* FPage; // the scroll box's canvas on which Image1 is placed
    int FZoom = 0;
    bool FFitToWindow = false;
    double FFitScale = 1.0;     // the scale of the fitted page, 0.25 .. 1
    QTimer* FRefit;             // the page drawn anew once a resize rests; a child
    qreal FRenderedRatio = 1.0; // the device pixel ratio the page was last drawn for
    QString FJobReport;
    TCoarsePrintCheck FOwnCoarseCheck;
    TCoarsePrintCheck* FCoarseCheck = &FOwnCoarseCheck;
};

/// The preview window of the composition under way; nullptr when none exists. Not an owner.
extern TFrmPrtLR* FrmPrtLR;
