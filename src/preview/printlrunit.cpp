#include "printlrunit.h"

#include <algorithm>

// Qt
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

// Local
#include "jobreport.h"
#include "model/calendardocument.h"
#include "model/paperchoice.h"
#include "pdfsaving.h"
#include "platform/bitmap.h"
#include "platform/sysutils.h"
#include "previewzoom.h"
#include "print/printer.h"
#include "settings/inifile.h"
#include "statusbar/statusbar.h"
#include "widgets/application.h"
#include "widgets/image.h"
#include "widgets/panel.h"

TFrmPrtLR* FrmPrtLR = nullptr;

namespace {

const QString WindowTitle = QStringLiteral("たむりか「プレビュー＆印刷」");
constexpr int ToolRowHeight = 34;
constexpr int StatusBarHeight = 19;
// How long a resize of a fitted page must rest before the page is drawn anew at its new size;
// meanwhile the page drawn last is stretched to it.
constexpr int RefitDelayMs = 120;
// Room around the warning's text in its panel.
constexpr int WarningPanelMargin = 12;

QFont WindowFont() {
    TFont font;
    font.SetName(DefaultFaceName);
    font.SetHeight(-12);
    font.SetCharset(SHIFTJIS_CHARSET);
    return font.ToQFont();
}

// Qt's print dialog as the printer set-up: it chooses the queue (or a PDF file), the copies
// and how they are printed. It prints nothing itself; "印刷(&P)" does.
class TPrinterSetupDialog : public QPrintDialog {
  public:
    TPrinterSetupDialog(QPrinter* printer, QWidget* parent) : QPrintDialog(printer, parent) {
        setWindowTitle(QStringLiteral("プリンタの設定"));
        // Only the printer and where the page goes are chosen here: the sheet is one A4 page.
        setOption(QAbstractPrintDialog::PrintPageRange, false);
        setOption(QAbstractPrintDialog::PrintSelection, false);
        setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        // Labelled here, so that the buttons read the same with Qt's catalogue and without;
        // the accepting one must not say "印刷".
        if (auto* buttons = findChild<QDialogButtonBox*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
                ok->setText(QStringLiteral("OK"));
            LabelButtonsInJapanese(*buttons);
        }
    }

    void setVisible(bool visible) override {
        QPrintDialog::setVisible(visible);
        // Qt offers a page range again for queues that pick pages themselves; the sheet is one
        // page, and a range without it would print nothing.
        if (visible)
            if (auto* range = findChild<QWidget*>(QStringLiteral("gbPrintRange")))
                range->hide();
    }
};

// The scroll box, telling the room it has for the page without scroll bars.
class TScrollBox : public QScrollArea {
  public:
    using QScrollArea::QScrollArea;
    QSize MaximumViewportSize() const { return maximumViewportSize(); }
};

} // namespace

TFrmPrtLR::TFrmPrtLR(TCalendarDocument& document, TPrinter* printer, QWidget* parent)
    : QDialog(parent), FDocument(document), FSheet(std::make_unique<TSheetLayout>(printer)) {
    setObjectName(QStringLiteral("FrmPrtLR"));
    setWindowTitle(WindowTitle);
    setFont(WindowFont());
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel2 = new TPanel(this);
    Panel2->SetBevelOuter(bvNone);
    Panel2->setFixedHeight(ToolRowHeight);
    layout->addWidget(Panel2);
    CreateToolRow();

    ScrollBox1 = new TScrollBox(this);
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    ScrollBox1->setWidgetResizable(false);
    FPage = new QWidget;
    ScrollBox1->setWidget(FPage); // the scroll box owns it
    Image1 = new TImage(FPage);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->SetStretch(true);
    Image1->installEventFilter(this);
    ScrollBox1->viewport()->installEventFilter(this); // scroll bars come and go
    layout->addWidget(ScrollBox1, 1);

    StBar = new TStatusBar(this);
    StBar->setFixedHeight(StatusBarHeight);
    StBar->AddPanel(100); // the zoom and messages; LayoutStatusBar gives it the room
    StBar->AddPanel(0);   // the warning, reaching to the right edge
    layout->addWidget(StBar);

    FRefit = new QTimer(this);
    FRefit->setSingleShot(true);
    FRefit->setInterval(RefitDelayMs);
    connect(FRefit, &QTimer::timeout, this, [this] {
        if (FFitToWindow && FZoom != 0)
            RunGuarded([this] { ShowPreview(); });
    });

    FormCreate();
    CreateShortcuts();
    connect(&FDocument, &TCalendarDocument::Changed, this,
            [this](TModelParts parts) { RunGuarded([this, parts] { DocumentChanged(parts); }); });
    connect(&FDocument, &TCalendarDocument::Notice, this,
            [this](const QString& message) { StBar->SetPanelText(0, message); });
}

TFrmPrtLR::~TFrmPrtLR() {
    if (FrmPrtLR == this)
        FrmPrtLR = nullptr;
}

void TFrmPrtLR::CreateToolRow() {
    auto button = [this](const QString& caption, int left, int width,
                         void (TFrmPrtLR::*handler)()) {
        auto* b = new QPushButton(caption, Panel2);
        b->setGeometry(left, 4, width, 26);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this,
                [this, handler] { RunGuarded([&] { (this->*handler)(); }); });
        return b;
    };
    // Six buttons, the paper and "PDFに保存" within the 894 pixels the window is wide.
    BtnInsatu = button(QStringLiteral("印刷(&P)"), 4, 68, &TFrmPrtLR::BtnInsatuClick);
    BtnSettei = button(QStringLiteral("設定(&S)"), 74, 68, &TFrmPrtLR::BtnSetteiClick);
    BtnKakudai = button(QStringLiteral("拡大(&I)"), 150, 68, &TFrmPrtLR::BtnKakudaiClick);
    BtnSyukusho = button(QStringLiteral("縮小(&O)"), 220, 68, &TFrmPrtLR::BtnSyukushoClick);
    BtnZentai = button(QStringLiteral("全体表示"), 290, 68, &TFrmPrtLR::BtnZentaiClick);
    BtnZentai->setObjectName(QStringLiteral("BtnZentai"));
    BtnZentai->setCheckable(true);
    BtnEnd = button(QStringLiteral("閉じる(&C)"), 366, 68, &TFrmPrtLR::BtnEndClick);
    BtnInsatu->setToolTip(QStringLiteral("プリンタに印刷します (Ctrl+P)"));
    BtnSettei->setToolTip(QStringLiteral("プリンタの設定をします"));
    BtnKakudai->setToolTip(QStringLiteral("拡大して表示します (Ctrl++)"));
    BtnSyukusho->setToolTip(QStringLiteral("縮小して表示します (Ctrl+-)"));
    BtnZentai->setToolTip(QStringLiteral("用紙全体をウィンドウに合わせて表示します (Ctrl+0)"));

    Label1 = new QLabel(QStringLiteral("左右の位置調整"), Panel2);
    Label1->setGeometry(444, 4, 84, 26);
    LblIchi = new QLabel(Panel2);
    LblIchi->setGeometry(528, 4, 24, 26);
    LblIchi->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    TrackBar1 = new QSlider(Qt::Horizontal, Panel2);
    TrackBar1->setGeometry(556, 2, 120, 30);
    TrackBar1->setRange(-SheetMaxPosition, SheetMaxPosition);
    TrackBar1->setValue(0);
    TrackBar1->setPageStep(1);
    TrackBar1->setSingleStep(1);
    TrackBar1->setTickInterval(1);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setToolTip(QStringLiteral("用紙の上での左右の位置（1 = 約0.26 mm）"));
    connect(TrackBar1, &QSlider::valueChanged, this, [this] { TrackBar1Change(); });

    SpeedButton1 = new QToolButton(Panel2);
    SpeedButton1->setText(QStringLiteral("位置決定"));
    SpeedButton1->setGeometry(680, 4, 64, 26);
    SpeedButton1->setToolTip(
        QStringLiteral("調整した位置をプレビューと印刷に使い、次回も使います"));
    connect(SpeedButton1, &QToolButton::clicked, this,
            [this] { RunGuarded([this] { SpeedButton1Click(); }); });

    CmbPaper = new QComboBox(Panel2);
    CmbPaper->setObjectName(QStringLiteral("CmbPaper"));
    CmbPaper->setGeometry(750, 5, 64, 24);
    for (TPaperSize paper : SheetPapers)
        CmbPaper->addItem(PaperCaption(paper), static_cast<int>(paper));
    CmbPaper->setToolTip(QStringLiteral(
        "印刷とPDFの用紙の大きさ（シート全体を用紙に合わせて拡大・縮小し、中央に置きます）"));
    connect(CmbPaper, &QComboBox::activated, this,
            [this] { RunGuarded([this] { CmbPaperChange(); }); });

    BtnPdf = button(QStringLiteral("PDFに保存"), 818, 70, &TFrmPrtLR::BtnPdfClick);
    BtnPdf->setObjectName(QStringLiteral("BtnPdf"));
    BtnPdf->setToolTip(QStringLiteral(
        "プレビューと同じシートをPDFファイルに保存します（写真はそのまま入ります） (Ctrl+S)"));
}

void TFrmPrtLR::CreateShortcuts() {
    const auto shortcut = [this](const QList<QKeySequence>& keys, auto run) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, run);
        addAction(action);
        return action;
    };
    const auto ctrl = [](Qt::Key key, Qt::KeyboardModifiers more = {}) {
        return QKeySequence(QKeyCombination(Qt::ControlModifier | more, key));
    };
    // Through the buttons: a key does what its button does, and nothing where it is disabled.
    shortcut({ctrl(Qt::Key_P)}, [this] { BtnInsatu->click(); });
    shortcut({ctrl(Qt::Key_S)}, [this] { BtnPdf->click(); });
    // "+" is a shifted key on most keyboards; "=" shares its key on US ones.
    shortcut({ctrl(Qt::Key_Plus), ctrl(Qt::Key_Equal), ctrl(Qt::Key_Plus, Qt::ShiftModifier),
              ctrl(Qt::Key_Plus, Qt::KeypadModifier)},
             [this] { BtnKakudai->click(); });
    shortcut({ctrl(Qt::Key_Minus), ctrl(Qt::Key_Minus, Qt::KeypadModifier)},
             [this] { BtnSyukusho->click(); });
    shortcut({ctrl(Qt::Key_0), ctrl(Qt::Key_0, Qt::KeypadModifier)},
             [this] { BtnZentai->click(); });
    // The document's history, as in the main window; the page follows what it undoes.
    shortcut({ctrl(Qt::Key_Z)}, [this] { RunGuarded([this] { FDocument.Undo(); }); });
    shortcut({ctrl(Qt::Key_Y), ctrl(Qt::Key_Z, Qt::ShiftModifier)},
             [this] { RunGuarded([this] { FDocument.Redo(); }); });
}

void TFrmPrtLR::FormCreate() {
    const int pageWidth = LightRep1()->Width();
    const int pageHeight = LightRep1()->Height();
    Image1->setGeometry(0, 0, pageWidth, pageHeight);
    FPage->resize(pageWidth, pageHeight);

    const QScreen* screen = QApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
    int width = pageWidth + 100;
    if (area.width() < width)
        width = area.width() - 5;
    const int height = area.height() - 200;
    resize(width, height);
    move(area.center() - QPoint(width / 2, height / 2));

    LoadPaper();
    LoadPosition();
}

void TFrmPrtLR::LoadPosition() {
    TrackBar1->setValue(FDocument.Model().Position);
    // Applying the position also keeps it, so the file holds the clamped value from now on. A
    // folder that cannot be written does not keep the user from printing: the position is
    // then only not remembered, and "位置決定" says why.
    try {
        SpeedButton1Click();
    } catch (const EIniFileException&) {
    }
    TrackBar1Change();
}

void TFrmPrtLR::SpeedButton1Click() {
    if (TrackBar1->value() != FDocument.Model().Position) {
        FDocument.SetPosition(TrackBar1->value()); // shown when the document tells the change
        return;
    }
    FDocument.SetPosition(TrackBar1->value()); // kept again
    FSheet->SetPosition(FDocument.Model().Position);
    ShowPreview();
}

void TFrmPrtLR::LoadPaper() {
    const TPaperSize paper = FDocument.Model().Paper;
    CmbPaper->setCurrentIndex(std::max(0, CmbPaper->findData(static_cast<int>(paper))));
    LightRep1()->SetPrintPaper(paper);
}

void TFrmPrtLR::CmbPaperChange() {
    FDocument.SetPaper(static_cast<TPaperSize>(CmbPaper->currentData().toInt()));
}

void TFrmPrtLR::Compose(const TCompositionProgress& progress) {
    ComposeSheet(*FSheet, FDocument.Model(), TSheetUse::Preview, progress);
    ShowWarning();
    LoadPaper();
    TrackBar1->setValue(FDocument.Model().Position);
    if (FZoom != 0)
        ShowPreview();
}

void TFrmPrtLR::DocumentChanged(TModelParts parts) {
    if ((parts & ~(mpPaper | mpPosition)) != 0) {
        Compose();
        return;
    }
    const TCalendarModel& model = FDocument.Model();
    LoadPaper();
    TrackBar1->setValue(model.Position);
    FSheet->SetPosition(model.Position);
    ShowPreview();
}

QString TFrmPrtLR::SuggestedPdfName() const {
    return ::SuggestedPdfName(FDocument.AppPath, FSheet->Year);
}

void TFrmPrtLR::BtnPdfClick() {
    if (!FCoarseCheck->Confirm(this, FDocument.Model(), TCoarseOutput::Pdf))
        return;
    const QString file = AskPdfFileName(this, SuggestedPdfName());
    if (!file.isEmpty())
        SavePdf(file);
}

void TFrmPrtLR::ShowStatus(const QString& text) {
    StBar->SetPanelText(0, text);
    StBar->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TFrmPrtLR::SavePdf(const QString& fileName) {
    SaveSheetPdf(FDocument.Model(), FDocument.AppPath, fileName,
                 [this](const QString& text) { ShowStatus(text); });
}

void TFrmPrtLR::TrackBar1Change() {
    LblIchi->setText(QString::number(TrackBar1->value()));
}

int TFrmPrtLR::ZoomPercent() const {
    if (FZoom == 0)
        return 0;
    return FFitToWindow ? TFittedPage{QSize(), FFitScale}.Percent() : 25 * FZoom;
}

QSize TFrmPrtLR::PageArea() const {
    return static_cast<const TScrollBox*>(ScrollBox1)->MaximumViewportSize();
}

void TFrmPrtLR::ShowPreview() {
    VEvudaRir& doc = *LightRep1();
    doc.BeginPreview(); // refused while the printer prints, before the page shown goes
    Image1->Picture().SetGraphic(nullptr);
    const QSize paper(doc.PaperWidth(), doc.PaperHeight());
    if (FFitToWindow) {
        const TFittedPage fitted = FitPageInto(paper, PageArea());
        FFitScale = fitted.Scale;
        FZoom = std::clamp(static_cast<int>(fitted.Scale * 4 + 1e-6), MinZoomStep, MaxZoomStep);
        RenderPage(fitted.Size, fitted.RenderPercent(), true);
        StBar->SetPanelText(0, QStringLiteral("全体表示 (%1%)").arg(fitted.Percent()));
        ShowZoomButtons();
    } else if (FZoom >= MinZoomStep && FZoom <= MaxZoomStep) {
        RenderPage(ZoomStepSize(paper, FZoom), 25 * FZoom, false);
        StBar->SetPanelText(0, QString::number(25 * FZoom) + u'%');
    }
    doc.EndPreview();
    BtnZentai->setChecked(FFitToWindow);
    QCoreApplication::processEvents();
    CenterPreview();
}

void TFrmPrtLR::RenderPage(const QSize& size, int percent, bool fitted) {
    VEvudaRir& doc = *LightRep1();
    Image1->resize(size);
    // The zoom keeps its size in design units; a screen of a device pixel ratio above 1 gets
    // the page drawn with that many more pixels each way, one for each of its own.
    const qreal ratio = Image1->devicePixelRatioF();
    const QSize pixels = (QSizeF(size) * ratio).toSize();
    FRenderedRatio = ratio;
    if (!fitted) {
        Image1->Picture().SetGraphic(doc.RenderPreview(percent, ratio, pixels));
        return;
    }
    // The report draws whole percentages only; a fitted page lies between two of them. It is
    // drawn at the one above and averaged down to the window's pixels, as the steps are
    // averaged down from the whole page.
    const QSize drawn(static_cast<int>(percent * doc.PaperWidth() * ratio / 100),
                      static_cast<int>(percent * doc.PaperHeight() * ratio / 100));
    std::unique_ptr<TBitmap> page = doc.RenderPreview(percent, ratio, drawn);
    if (drawn != pixels) {
        const QImage shrunk =
            page->Image().scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        page = std::make_unique<TBitmap>();
        page->Assign(shrunk);
    }
    Image1->Picture().SetGraphic(std::move(page));
}

void TFrmPrtLR::ShowZoomButtons() {
    BtnKakudai->setEnabled(StepAbove(FFitScale).has_value());
    BtnSyukusho->setEnabled(StepBelow(FFitScale).has_value());
}

void TFrmPrtLR::KeepZoom() const {
    KeepPreviewZoom(FDocument.AppPath, {FFitToWindow, FZoom});
}

void TFrmPrtLR::CenterPreview() {
    // A page fitted within the scroll box needs no scroll bars, and the room one would take
    // must not be missing from it while the box settles after a resize.
    const QSize area = PageArea();
    const Qt::ScrollBarPolicy bars =
        FFitToWindow && Image1->width() <= area.width() && Image1->height() <= area.height()
            ? Qt::ScrollBarAlwaysOff
            : Qt::ScrollBarAsNeeded;
    ScrollBox1->setHorizontalScrollBarPolicy(bars);
    ScrollBox1->setVerticalScrollBarPolicy(bars);
    // Centred in the visible part of the scroll box; a page larger than it starts at the
    // edge, where the scroll bars reach all of it.
    const QSize box = ScrollBox1->viewport()->size();
    const int left = Image1->width() < box.width() ? (box.width() - Image1->width()) / 2 : 0;
    const int top = Image1->height() < box.height() ? (box.height() - Image1->height()) / 2 : 0;
    FPage->resize(std::max(Image1->width(), box.width()), std::max(Image1->height(), box.height()));
    Image1->move(left, top);
}

bool TFrmPrtLR::event(QEvent* event) {
    const bool handled = QDialog::event(event);
    // Moved to a screen of another device pixel ratio: the page is drawn again for its pixels.
    if (event->type() == QEvent::ScreenChangeInternal && FZoom != 0 &&
        Image1->devicePixelRatioF() != FRenderedRatio)
        RunGuarded([this] { ShowPreview(); });
    return handled;
}

void TFrmPrtLR::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        RunGuarded([this] { FormShow(); });
}

void TFrmPrtLR::FormShow() {
    // The zoom chosen last; at first the page at its size where the window, sized to the
    // screen, holds it whole, and fitted where it does not.
    const std::optional<TPreviewZoom> kept = KeptPreviewZoom(FDocument.AppPath);
    const QSize paper(LightRep1()->PaperWidth(), LightRep1()->PaperHeight());
    FFitToWindow = kept ? kept->Fit : FitPageInto(paper, PageArea()).Scale < 1;
    FZoom = kept && !kept->Fit ? kept->Step : MaxZoomStep;
    ShowPreview();
}

void TFrmPrtLR::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FormResize();
}

void TFrmPrtLR::FormResize() {
    LayoutStatusBar();
    if (FFitToWindow && FZoom != 0) {
        // The page drawn last, stretched to the new size at once; drawn anew once the resize
        // rests.
        const QSize paper(LightRep1()->PaperWidth(), LightRep1()->PaperHeight());
        const QSize size = FitPageInto(paper, PageArea()).Size;
        if (size != Image1->size()) {
            Image1->resize(size);
            FRefit->start();
        }
    }
    CenterPreview();
}

void TFrmPrtLR::BtnZentaiClick() {
    FFitToWindow = true;
    if (FZoom == 0)
        FZoom = MaxZoomStep; // before the window shows: fitted from the start
    ShowPreview();
    KeepZoom();
}

void TFrmPrtLR::BtnKakudaiClick() {
    if (FFitToWindow) {
        // To the nearest step above; fitted at 100 % already, it stays fitted.
        if (const std::optional<int> step = StepAbove(FFitScale)) {
            FFitToWindow = false;
            FZoom = *step;
        }
        ShowPreview();
        BtnSyukusho->setEnabled(true);
        BtnKakudai->setEnabled(FFitToWindow ? false : FZoom < MaxZoomStep);
        KeepZoom();
        return;
    }
    if (FZoom < 4) {
        ++FZoom;
        BtnSyukusho->setEnabled(true);
    }
    ShowPreview();
    if (FZoom > 3)
        BtnKakudai->setEnabled(false);
    KeepZoom();
}

void TFrmPrtLR::BtnSyukushoClick() {
    if (FFitToWindow) {
        // To the nearest step below; fitted at 25 % already, it stays fitted.
        if (const std::optional<int> step = StepBelow(FFitScale)) {
            FFitToWindow = false;
            FZoom = *step;
        }
        ShowPreview();
        BtnKakudai->setEnabled(true);
        BtnSyukusho->setEnabled(FFitToWindow ? false : FZoom > MinZoomStep);
        KeepZoom();
        return;
    }
    if (FZoom > 1) {
        --FZoom;
        BtnKakudai->setEnabled(true);
    }
    ShowPreview();
    if (FZoom <= 1)
        BtnSyukusho->setEnabled(false);
    KeepZoom();
}

void TFrmPrtLR::Image1MouseDown(Qt::MouseButton button) {
    // Through the handlers, not the buttons: a click acts even where the button is disabled.
    if (button == Qt::LeftButton)
        BtnKakudaiClick();
    else if (button == Qt::RightButton)
        BtnSyukushoClick();
}

bool TFrmPrtLR::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ScrollBox1->viewport() && event->type() == QEvent::Resize)
        RunGuarded([this] { FormResize(); });
    if (watched == Image1 && event->type() == QEvent::MouseButtonPress) {
        const auto button = static_cast<QMouseEvent*>(event)->button();
        RunGuarded([this, button] { Image1MouseDown(button); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmPrtLR::BtnSetteiClick() {
    auto* printer = dynamic_cast<TQtPrinter*>(LightRep1()->Printer());
    if (printer == nullptr)
        return;
    TPrinterSetupDialog dialog(&printer->QtPrinter(), this);
    const TQtPrinter::TSetup before = printer->Setup();
    if (dialog.exec() == QDialog::Accepted)
        LightRep1()->PrinterChosen();
    else
        printer->RestoreSetup(before);
}

void TFrmPrtLR::BtnInsatuClick() {
    if (!FCoarseCheck->Confirm(this, FDocument.Model(), TCoarseOutput::Print))
        return;
    TPrinter* printer = LightRep1()->Printer();
    PrintSheet(FDocument.Model(), printer)->Print();
    FJobReport = JobSentMessage(printer->Destination());
    close();
}

void TFrmPrtLR::ShowWarning() {
    const TCalendarModel& model = FDocument.Model();
    const QString warning =
        model.Photo.Empty() ? QString() : LowResolutionWarning(model.PictureSize(), model.Framing);
    StBar->SetPanelText(1, warning);
    LayoutStatusBar();
}

void TFrmPrtLR::LayoutStatusBar() {
    // The warning takes what its text needs at the right; the zoom and messages the rest.
    const QString& warning = StBar->Panel(1).Text;
    const int room = warning.isEmpty()
                         ? 0
                         : StBar->fontMetrics().horizontalAdvance(warning) + WarningPanelMargin;
    StBar->SetPanelWidth(0, std::max(StBar->width() - room, 100));
}

void TFrmPrtLR::BtnEndClick() {
    close();
}
