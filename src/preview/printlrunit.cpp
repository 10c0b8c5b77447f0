#include "printlrunit.h"

#include <algorithm>

// Qt
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
#include <QToolButton>
#include <QVBoxLayout>

// Local
#include "model/calendardocument.h"
#include "model/paperchoice.h"
#include "pdfsaving.h"
#include "platform/sysutils.h"
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

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    ScrollBox1->setWidgetResizable(false);
    FPage = new QWidget;
    ScrollBox1->setWidget(FPage); // the scroll box owns it
    Image1 = new TImage(FPage);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->SetStretch(true);
    Image1->installEventFilter(this);
    layout->addWidget(ScrollBox1, 1);

    StBar = new TStatusBar(this);
    StBar->setFixedHeight(StatusBarHeight);
    StBar->AddPanel(100); // the last panel reaches to the right edge: the simple text
    layout->addWidget(StBar);

    FormCreate();
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
    BtnInsatu = button(QStringLiteral("印刷(&P)"), 4, 75, &TFrmPrtLR::BtnInsatuClick);
    BtnSettei = button(QStringLiteral("設定(&S)"), 81, 75, &TFrmPrtLR::BtnSetteiClick);
    BtnKakudai = button(QStringLiteral("拡大(&I)"), 166, 75, &TFrmPrtLR::BtnKakudaiClick);
    BtnSyukusho = button(QStringLiteral("縮小(&O)"), 243, 75, &TFrmPrtLR::BtnSyukushoClick);
    BtnEnd = button(QStringLiteral("閉じる(&C)"), 330, 75, &TFrmPrtLR::BtnEndClick);
    BtnInsatu->setToolTip(QStringLiteral("プリンタに印刷します"));
    BtnSettei->setToolTip(QStringLiteral("プリンタの設定をします"));

    Label1 = new QLabel(QStringLiteral("左右の位置調整"), Panel2);
    Label1->setGeometry(416, 4, 84, 26);
    LblIchi = new QLabel(Panel2);
    LblIchi->setGeometry(500, 4, 24, 26);
    LblIchi->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    TrackBar1 = new QSlider(Qt::Horizontal, Panel2);
    TrackBar1->setGeometry(528, 2, 150, 30);
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
    SpeedButton1->setGeometry(682, 4, 64, 26);
    SpeedButton1->setToolTip(
        QStringLiteral("調整した位置をプレビューと印刷に使い、次回も使います"));
    connect(SpeedButton1, &QToolButton::clicked, this,
            [this] { RunGuarded([this] { SpeedButton1Click(); }); });

    CmbPaper = new QComboBox(Panel2);
    CmbPaper->setObjectName(QStringLiteral("CmbPaper"));
    CmbPaper->setGeometry(752, 5, 64, 24);
    for (TPaperSize paper : SheetPapers)
        CmbPaper->addItem(PaperCaption(paper), static_cast<int>(paper));
    CmbPaper->setToolTip(QStringLiteral(
        "印刷とPDFの用紙の大きさ（シート全体を用紙に合わせて拡大・縮小し、中央に置きます）"));
    connect(CmbPaper, &QComboBox::activated, this,
            [this] { RunGuarded([this] { CmbPaperChange(); }); });

    BtnPdf = button(QStringLiteral("PDFに保存"), 820, 70, &TFrmPrtLR::BtnPdfClick);
    BtnPdf->setObjectName(QStringLiteral("BtnPdf"));
    BtnPdf->setToolTip(QStringLiteral(
        "プレビューと同じシートをPDFファイルに保存します（写真はそのまま入ります）"));
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

void TFrmPrtLR::ShowPreview() {
    VEvudaRir& doc = *LightRep1();
    doc.BeginPreview(); // refused while the printer prints, before the page shown goes
    Image1->Picture().SetGraphic(nullptr);
    const int w = doc.PaperWidth();
    const int h = doc.PaperHeight();
    if (FZoom >= 1 && FZoom <= 4) {
        const int width = RoundHalfEven(FZoom * static_cast<long double>(w) / 4);
        const int height = RoundHalfEven(FZoom * static_cast<long double>(h) / 4);
        Image1->resize(width, height);
        // The zoom keeps its size in design units; a screen of a device pixel ratio above 1
        // gets the page drawn with that many more pixels each way, one for each of its own.
        const qreal ratio = Image1->devicePixelRatioF();
        const QSize pixels = (QSizeF(width, height) * ratio).toSize();
        FRenderedRatio = ratio;
        Image1->Picture().SetGraphic(doc.RenderPreview(25 * FZoom, ratio, pixels));
        StBar->SetPanelText(0, QString::number(25 * FZoom) + u'%');
    }
    doc.EndPreview();
    QCoreApplication::processEvents();
    CenterPreview();
}

void TFrmPrtLR::CenterPreview() {
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
    FZoom = 4;
    ShowPreview();
}

void TFrmPrtLR::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FormResize();
}

void TFrmPrtLR::FormResize() {
    CenterPreview();
}

void TFrmPrtLR::BtnKakudaiClick() {
    if (FZoom < 4) {
        ++FZoom;
        BtnSyukusho->setEnabled(true);
    }
    ShowPreview();
    if (FZoom > 3)
        BtnKakudai->setEnabled(false);
}

void TFrmPrtLR::BtnSyukushoClick() {
    if (FZoom > 1) {
        --FZoom;
        BtnKakudai->setEnabled(true);
    }
    ShowPreview();
    if (FZoom <= 1)
        BtnSyukusho->setEnabled(false);
}

void TFrmPrtLR::Image1MouseDown(Qt::MouseButton button) {
    // Through the handlers, not the buttons: a click acts even where the button is disabled.
    if (button == Qt::LeftButton)
        BtnKakudaiClick();
    else if (button == Qt::RightButton)
        BtnSyukushoClick();
}

bool TFrmPrtLR::eventFilter(QObject* watched, QEvent* event) {
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
    PrintSheet(FDocument.Model(), LightRep1()->Printer())->Print();
    close();
}

void TFrmPrtLR::BtnEndClick() {
    close();
}
