#include "printlrunit.h"

#include <algorithm>

// Qt
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QStandardPaths>
#include <QToolButton>
#include <QVBoxLayout>

// Local
#include "model/paperchoice.h"
#include "platform/bitmap.h"
#include "platform/outputfile.h"
#include "print/printer.h"
#include "settings/inifile.h"
#include "settings/settingsfolder.h"
#include "settings/statefile.h"
#include "sheet/sheetsource.h"
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

// Nearest integer, halves to even.
int RoundHalfEven(int numerator, int denominator) {
    const int q = numerator / denominator;
    const int r = numerator % denominator;
    if (2 * r > denominator || (2 * r == denominator && q % 2 != 0))
        return q + 1;
    return q;
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

TFrmPrtLR::TFrmPrtLR(const TSheetSource& source, TPrinter* printer, QWidget* parent)
    : QDialog(parent), FSource(source), FSheet(std::make_unique<TSheetLayout>(source, printer)) {
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
    const TIniFile ini(PrintPositionFileName(FSource.AppPath()));
    TrackBar1->setValue(ini.ReadInteger(PrintPositionSection, PrintPositionKey, 0));
    // Applying the position also writes it back, so the file holds the clamped value from now
    // on. A folder that cannot be written does not keep the user from printing: the position
    // is then only not remembered, and "位置決定" says why.
    try {
        SpeedButton1Click();
    } catch (const EIniFileException&) {
    }
    TrackBar1Change();
}

void TFrmPrtLR::SavePosition() {
    WritePrintPosition(FSource.AppPath(), TrackBar1->value());
}

void TFrmPrtLR::SpeedButton1Click() {
    FSheet->SetPosition(TrackBar1->value());
    ShowPreview();
    SavePosition();
}

void TFrmPrtLR::LoadPaper() {
    const TPaperSize paper = ReadPaperChoice(FSource.AppPath());
    CmbPaper->setCurrentIndex(std::max(0, CmbPaper->findData(static_cast<int>(paper))));
    LightRep1()->SetPrintPaper(paper);
}

void TFrmPrtLR::CmbPaperChange() {
    const auto paper = static_cast<TPaperSize>(CmbPaper->currentData().toInt());
    LightRep1()->SetPrintPaper(paper);
    ShowPreview();
    WritePaperChoice(FSource.AppPath(), paper);
}

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

QString TFrmPrtLR::SuggestedPdfName() const {
    const TStateFile state(FSource.AppPath());
    QString folder = state.ReadString(PdfSection, PdfFolderKey, QString());
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!QFileInfo(folder).isDir())
            folder = QDir::homePath();
    }
    const QString name = FSheet->Year != 0 ? QStringLiteral("カレンダー%1.pdf").arg(FSheet->Year)
                                           : QStringLiteral("カレンダー.pdf");
    return QDir(folder).filePath(name);
}

void TFrmPrtLR::BtnPdfClick() {
    QFileDialog dialog(this, QStringLiteral("PDFに保存"));
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
    const QString suggested = SuggestedPdfName();
    dialog.setDirectory(QFileInfo(suggested).absolutePath());
    dialog.selectFile(QFileInfo(suggested).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    SavePdf(dialog.selectedFiles().constFirst());
}

void TFrmPrtLR::ShowStatus(const QString& text) {
    StBar->SetPanelText(0, text);
    StBar->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TFrmPrtLR::SavePdf(const QString& fileName) {
    const QString shown = QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath());
    const bool existed = QFileInfo::exists(fileName);
    const QString kept = existed ? QStringLiteral("元のファイルはそのまま残っています．")
                                 : QStringLiteral("PDFファイルは作られていません．");
    try {
        // A folder that cannot be written is found before any work, and said in the words of
        // saving, not of printing.
        TOutputFile probe(fileName);
    } catch (const Exception&) {
        ShowStatus(QStringLiteral("PDFに保存できませんでした"));
        throw Exception(
            FormatMessage(
                QStringLiteral(
                    "PDFファイル「%s」を保存できません．書き込める場所を選んでください．"),
                {QFileInfo(fileName).fileName()}) +
            kept);
    }
    TBusy busy;
    ShowStatus(QStringLiteral("PDFに保存しています… 0%"));
    TQtPrinter pdf;
    pdf.PrintToFile(fileName);
    // The page and the photo's place are drawn first, quickly; the photo's bytes are the rest.
    pdf.OnWriteProgress = [this](int percent) {
        ShowStatus(QStringLiteral("PDFに保存しています… %1%").arg(20 + percent * 80 / 100));
    };
    // The sheet prints on this printer for the one job; the user's printer stays as set up.
    struct TOwnPrinter {
        VEvudaRir& Doc;
        TPrinter* Printer;
        ~TOwnPrinter() { Doc.SetPrinter(Printer); }
    } own{*LightRep1(), LightRep1()->Printer()};
    LightRep1()->SetPrinter(&pdf);
    try {
        FSheet->Print();
    } catch (const Exception& error) {
        ShowStatus(QStringLiteral("PDFに保存できませんでした"));
        throw Exception(error.Message() + kept);
    }
    ShowStatus(QStringLiteral("PDFに保存しました: %1").arg(shown));
    // Remembering the folder is a convenience: a state file that cannot be written does not
    // make the saved file any less saved.
    try {
        TStateFile state(FSource.AppPath());
        state.WriteString(PdfSection, PdfFolderKey, QFileInfo(fileName).absolutePath());
    } catch (const EIniFileException&) {
    }
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
        const int width = FZoom == 4 ? w : RoundHalfEven(FZoom * w, 4);
        const int height = FZoom == 4 ? h : RoundHalfEven(FZoom * h, 4);
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
    FSheet->Print();
    close();
}

void TFrmPrtLR::BtnEndClick() {
    close();
}
