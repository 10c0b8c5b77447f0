// The preview-and-print window "たむりか「プレビュー＆印刷」": shows the year sheet of the
// calendar document at 25, 50, 75 or 100 %, moves it left or right on the paper and chooses the
// paper (changes of the document, kept in senoruta.ini and tamurika-state.ini), opens the
// printer set-up, prints one page and saves it as a PDF file. The window owns the sheet it
// shows and composes it again whenever the document changes; printing and the PDF compose a
// sheet of their own from the same document, with the photo as it was read.
#pragma once

#include <memory>

#include <QDialog>

#include "model/calendarmodel.h"
#include "model/printposition.h"
#include "sheet/sheetcomposition.h"
#include "sheet/sheetlayout.h"

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSlider;
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
    QPushButton* BtnEnd;       // 閉じる(&C)
    QLabel* Label1;            // 左右の位置調整
    QLabel* LblIchi;           // the track bar's position
    QSlider* TrackBar1;        // −10..10
    QToolButton* SpeedButton1; // 位置決定
    QComboBox* CmbPaper;       // the paper printed on: A4, A3, B4, B5, A5, レター
    QPushButton* BtnPdf;       // PDFに保存
    QScrollArea* ScrollBox1;
    TImage* Image1; // the rendered page
    TStatusBar* StBar;

    /// Composes the shown sheet from the document (`progress` hears how far it got) and shows
    /// it, where the window is shown already.
    void Compose(const TCompositionProgress& progress = {});

    /// The sheet shown: LightRep1 and all its panels and items.
    TSheetLayout& Sheet() { return *FSheet; }
    VEvudaRir* LightRep1() const { return FSheet->LightRep1; }

    /// Zoom step: 1 = 25 %, 2 = 50 %, 3 = 75 %, 4 = 100 %; 0 until the window is shown.
    int Zoom() const { return FZoom; }

    // --- Handlers
    // ---------------------------------------------------------------------------------
    void FormShow();
    void FormResize();
    void BtnKakudaiClick();  // zoom in
    void BtnSyukushoClick(); // zoom out
    void Image1MouseDown(Qt::MouseButton button);
    void BtnSetteiClick(); // printer set-up
    void BtnInsatuClick(); // print, then close
    void BtnEndClick();
    void TrackBar1Change();
    void SpeedButton1Click(); // apply the position
    void CmbPaperChange();    // another paper: preview it, print on it, keep the choice
    void BtnPdfClick();       // asks for a file name, then SavePdf

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
    void FormCreate();
    void ShowPreview();
    void CenterPreview();
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
    qreal FRenderedRatio = 1.0; // the device pixel ratio the page was last drawn for
};

/// The preview window of the composition under way; nullptr when none exists. Not an owner.
extern TFrmPrtLR* FrmPrtLR;
