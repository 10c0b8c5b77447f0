// The main window's widgets and their wiring: the sample, the commands, the colour column, the
// menus with their shortcuts, the status bar, and the events that reach them. What the commands
// do is in mainunitcommands.cpp, how the window shows the calendar in mainunitview.cpp.
#include "mainunit.h"

// Qt
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QUndoStack>
#include <QWheelEvent>

// Local
#include "calendar/weekdayletter.h"
#include "calex/calex.h"
#include "calex/calexdesign.h"
#include "koyomisample.h"
#include "model/calendardocument.h"
#include "model/titlestyle.h"
#include "photo/photodecoder.h"
#include "photo/picture.h"
#include "settings/settingsfolder.h"
#include "statusbar/statusbarp.h"
#include "verunit.h"
#include "widgets/application.h"
#include "widgets/image.h"
#include "widgets/panel.h"

namespace {

const QString ProgramTitle = QStringLiteral("たむりか");
const QString HelpFile = QStringLiteral("tamurika.html");

// The picture command's filter and hint name every picture format registered when the window
// is made (the device-independent bitmap registers ".dib" at start).
QString PictureFilter() {
    return TPicture::FileFilter(QStringLiteral("画像ファイル"));
}
QString PictureHint() {
    return QStringLiteral("画像ファイル（") + TPicture::FileExtensions().join(u',') +
           QStringLiteral("）を選択します");
}

// The sample's picture box.
constexpr int PictureBoxWidth = 224;
constexpr int PictureBoxHeight = 168;

TFont MakeFont(const QString& face, int height, TFontStyles style = 0) {
    TFont font;
    font.SetName(face);
    font.SetHeight(height);
    font.SetStyle(style);
    font.SetCharset(SHIFTJIS_CHARSET);
    return font;
}

TPanel* MakePanel(QWidget* parent, int left, int top, int width, int height, TColor color,
                  TPanelBevel bevel = bvNone) {
    auto* panel = new TPanel(parent);
    panel->setGeometry(left, top, width, height);
    panel->SetColor(color);
    panel->SetBevelOuter(bevel);
    return panel;
}

QPushButton* MakeButton(QWidget* parent, const QString& caption, int left, int top, int width,
                        int height, const QString& hint = QString()) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(left, top, width, height);
    if (!hint.isEmpty())
        button->setToolTip(hint);
    return button;
}

// The colour commands in the order of the colour column and the colour menu.
struct ColorCommandInfo {
    TSheetColor Color;
    const char16_t* Caption;
    void (TmainForm::*Handler)();
};
constexpr ColorCommandInfo ColorCommands[] = {
    {scYear, u"年のフォントの色", &TmainForm::N4Click},
    {scMonth, u"月のフォントの色", &TmainForm::N11Click},
    {scWeekday, u"平日のフォントの色", &TmainForm::N5Click},
    {scSunday, u"日曜日、休日のフォントの色", &TmainForm::N6Click},
    {scSaturday, u"土曜日のフォントの色", &TmainForm::N7Click},
    {scDayBack, u"日付の背景の色", &TmainForm::N12Click},
    {scHeaderBack, u"曜日の背景の色", &TmainForm::Button22Click},
    {scLine, u"線の色", &TmainForm::N13Click},
};

} // namespace

TmainForm::TmainForm(QString programFolder, QWidget* parent)
    : QMainWindow(parent), FDocument(std::make_unique<TCalendarDocument>(std::move(programFolder))),
      FKoyomiSample(std::make_unique<TKoyomiSample>()) {
    setObjectName(QStringLiteral("mainForm"));
    setWindowTitle(ProgramTitle);
    // A fixed single border with the system menu and the minimise box only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(MakeFont(DefaultFaceName, -12).ToQFont());
    setAcceptDrops(true);

    FClient = new QWidget(this);
    FClient->setFixedSize(NarrowClientWidth, ClientHeight);
    setCentralWidget(FClient);
    // The window takes exactly the size of its menu and client area, and follows the client
    // area when the colour column is shown or hidden.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    OpenDialog1.Filter = PictureFilter();
    OpenDialog1.Title = QStringLiteral("画像の読み込み");
    OpenUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };

    CreateSample(FClient);
    CreateCommands(FClient);
    CreateColorColumn(FClient);
    Panel3 = MakePanel(FClient, 254, 294, 215, 63, clBtnFace, bvRaised);
    Button14 = MakeButton(Panel3, QStringLiteral("終了(&E)"), 8, 10, 199, 43,
                          QStringLiteral("「せのるた」を終了します"));
    connect(Button14, &QPushButton::clicked, this, [this] { Button14Click(); });
    Panel3->hide();
    CreateMenu();

    StBar = new TStatusBarP(FClient);
    StBar->AddPanel(); // the warning, WarningPanel
    PlaceStatusPanels(NarrowClientWidth);

    CalendarEx1->OnChange = [this](QObject*) { CalendarEx1Change(); };
    connect(FDocument.get(), &TCalendarDocument::Changed, this,
            [this](TModelParts parts) { ModelChanged(parts); });
    ShowKoyomi();
    // A choice that could not be kept for the next run (a state file that cannot be written).
    connect(FDocument.get(), &TCalendarDocument::Notice, this,
            [this](const QString& message) { StBar->SetText(message); });
    FDecoder = std::make_unique<TPhotoDecoder>();
    FDecoder->OnFinished = [this](const std::shared_ptr<const TPhotoImage>& photo,
                                  const QString& error) { PhotoDecoded(photo, error); };
}

TmainForm::~TmainForm() {
    // The calendar reports to this window; silence it before the window's parts go.
    CalendarEx1->OnChange = nullptr;
    CalendarEx1->OnDayToolTip = nullptr;
    CalendarEx1->SetDayCellPainter(nullptr);
    // The document goes before the widgets that show it.
    disconnect(FDocument.get(), nullptr, this, nullptr);
    // A photo still being decoded is waited for (libheif cannot stop halfway), unreported.
    FDecoder->OnFinished = nullptr;
    FDecoder.reset();
}

void TmainForm::PlaceStatusPanels(int width) {
    // In the narrow window: hints 220, progress 76, "100%" 42, and the warning the rest (137),
    // room for "解像度不足 約149ppi".
    StBar->setGeometry(0, ClientHeight - StBar->height(), width, StBar->height());
    StBar->SetPanelWidth(0, 220 + width - NarrowClientWidth);
    StBar->SetPanelWidth(1, 76);
    StBar->SetPanelWidth(2, 42);
}

void TmainForm::CreateSample(QWidget* client) {
    Panel1 = MakePanel(client, 6, 6, 242, 351, clBtnFace, bvRaised);

    Panel4 = MakePanel(Panel1, 6, 6, 228, 172, clWhite);
    Panel4->SetBorderSingle(true);
    // Image1's position is that inside the border, so give the box's inside a widget of its own.
    PictureBox = new QWidget(Panel4);
    PictureBox->setGeometry(Panel4->ClientRect());
    Image1 = new TImage(PictureBox);
    Image1->setGeometry(0, 0, PictureBoxWidth, PictureBoxHeight);
    Image1->SetStretch(true);
    Image1->SetCenter(true);
    Image1->setMouseTracking(true);
    Image1->installEventFilter(this);     // dragging, the wheel, hints, the context menu
    PictureBox->installEventFilter(this); // the context menu beside a fitted photo

    const QFont titleFont = MakeFont(DefaultFaceName, -SampleTitleHeight, fsBold).ToQFont();
    nenST = MakePanel(Panel1, 6, 181, 227, 19, clWhite);
    tukiST = MakePanel(Panel1, 6, 202, 227, 19, clWhite);
    for (TPanel* title : {nenST, tukiST}) {
        title->SetBorderSingle(true);
        title->setFont(titleFont);
    }

    CalendarEx1 = new TCalendarEx(Panel1);
    CalendarEx1->setObjectName(QStringLiteral("CalendarEx1"));
    ApplyProgramDesign(*CalendarEx1);
    CalendarEx1->setGeometry(6, 223, 229, 122);

    // The sheet's day-of-week row and lines, laid over the calendar's own header row and grid.
    pnlYoubi = MakePanel(Panel1, 8, 225, 225, 16, clWhite);
    const QFont letterFont = MakeFont(DefaultFaceName, -9, fsBold).ToQFont();
    for (int i = 0; i < 7; ++i) {
        QLabel* label = new QLabel(WeekdayLetter(i), pnlYoubi);
        label->setGeometry(1 + 32 * i, 0, 30, 16);
        label->setAlignment(Qt::AlignCenter);
        label->setFont(letterFont);
        lblY[i] = label;
    }
    const int rowTops[8] = {225, 241, 258, 274, 291, 308, 324, 342};
    for (int i = 0; i < 8; ++i) {
        const int height = i == 0 || i == 7 ? 2 : 1;
        y[i] = MakePanel(Panel1, 8, rowTops[i], 225, height, clBlack);
        t[i] = MakePanel(Panel1, 7 + 32 * i, 226, 2, 118, clBlack);
    }
}

void TmainForm::CreateCommands(QWidget* client) {
    const QString yearHint = QStringLiteral("印刷する月を選択します");
    GroupBox1 = new QGroupBox(QStringLiteral("印刷する年の指定"), client);
    GroupBox1->setGeometry(254, 6, 215, 54);
    Button2 = MakeButton(GroupBox1, QStringLiteral("前年"), 8, 20, 63, 25, yearHint);
    Button6 = MakeButton(GroupBox1, QStringLiteral("今年"), 76, 20, 63, 25, yearHint);
    Button5 = MakeButton(GroupBox1, QStringLiteral("次年"), 144, 20, 63, 25, yearHint);
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });

    GroupBox2 = new QGroupBox(QStringLiteral("フォント、画像の指定"), client);
    GroupBox2->setGeometry(254, 66, 215, 222);
    GroupBox2->setMouseTracking(true);
    GroupBox2->installEventFilter(this);
    Button9 =
        MakeButton(GroupBox2, QStringLiteral("画像の読み込み"), 8, 20, 199, 25, PictureHint());
    const QString fontHint = QStringLiteral("フォントを選択します");
    Button11 = MakeButton(GroupBox2, QStringLiteral("年のフォント変更"), 8, 52, 199, 25, fontHint);
    Button3 = MakeButton(GroupBox2, QStringLiteral("月のフォント変更"), 8, 80, 199, 25, fontHint);
    Button10 = MakeButton(GroupBox2, QStringLiteral("日のフォント変更"), 8, 108, 199, 25, fontHint);
    Button12 =
        MakeButton(GroupBox2, QStringLiteral("曜日のフォント変更"), 8, 136, 199, 25, fontHint);
    for (QPushButton* button : {Button9, Button11, Button3, Button10, Button12}) {
        button->setMouseTracking(true);
        button->installEventFilter(this);
    }
    connect(Button9, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { Button9Click(); }); });
    connect(Button11, &QPushButton::clicked, this, [this] { Button11Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button10, &QPushButton::clicked, this, [this] { Button10Click(); });
    connect(Button12, &QPushButton::clicked, this, [this] { Button12Click(); });

    auto* colorLabel = new QLabel(QStringLiteral("色の変更"), GroupBox2);
    colorLabel->setGeometry(10, 168, 100, 20);
    SbtnKShow = new QToolButton(GroupBox2);
    SbtnKShow->setText(QStringLiteral(">>"));
    SbtnKShow->setAutoRaise(true);
    SbtnKShow->setGeometry(160, 166, 47, 22);
    connect(SbtnKShow, &QToolButton::clicked, this, [this] { SbtnKShowClick(); });

    auto* styleLabel = new QLabel(QStringLiteral("年月の選択"), GroupBox2);
    styleLabel->setGeometry(10, 194, 62, 20);
    ComboBox3 = new QComboBox(GroupBox2);
    ComboBox3->setGeometry(72, 192, 135, 22);
    ComboBox3->addItems(TitleStyleItems());
    ComboBox3->view()->setMinimumWidth(170);
    ComboBox3->setCurrentIndex(-1); // no style until the settings are read
    // "activated" is the user's choice only; setting the index from a slot is not.
    connect(ComboBox3, &QComboBox::activated, this, [this] { ComboBox3Change(); });

    Panel2 = MakePanel(client, 254, 294, 215, 63, clBtnFace, bvRaised);
    Button1 = MakeButton(Panel2, QStringLiteral("ﾌﾟﾚﾋﾞｭ-＆印刷"), 8, 10, 199, 43,
                         QStringLiteral("プレビューフォームを開き印刷します"));
    connect(Button1, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { Button1Click(); }); });
}

void TmainForm::CreateColorColumn(QWidget* client) {
    GroupBox3 = new QGroupBox(QStringLiteral("色の指定"), client);
    GroupBox3->setGeometry(NarrowClientWidth, 6, 216, 351);
    for (int i = 0; i < SheetColorCount; ++i) {
        const ColorCommandInfo& command = ColorCommands[i];
        const int top = 20 + 33 * i;
        Swatches[command.Color] = MakePanel(GroupBox3, 10, top + 5, 16, 17, clBlack, bvLowered);
        QPushButton* button =
            MakeButton(GroupBox3, QString::fromUtf16(command.Caption), 30, top, 176, 27);
        ColorButtons[command.Color] = button;
        connect(button, &QPushButton::clicked, this,
                [this, handler = command.Handler] { (this->*handler)(); });
    }
    Button21 = MakeButton(GroupBox3, QStringLiteral("初期値に戻す"), 30, 20 + 33 * 8 + 6, 176, 27);
    connect(Button21, &QPushButton::clicked, this, [this] { N16Click(); });
}

void TmainForm::CreateMenu() {
    QMenuBar* bar = menuBar();

    QMenu* file = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    MIfontRead = file->addAction(QStringLiteral("フォントの設定を読み込む"), this,
                                 [this] { RunGuarded([this] { MIfontReadClick(); }); });
    MIfontWrite = file->addAction(QStringLiteral("フォントの設定を保存"), this,
                                  [this] { RunGuarded([this] { MIfontWriteClick(); }); });
    file->addSeparator();
    MIpdf = file->addAction(QStringLiteral("PDFに保存"), this,
                            [this] { RunGuarded([this] { MIpdfClick(); }); });
    MIpdf->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    file->addSeparator();
    file->addAction(QStringLiteral("終了(&x)"), this, [this] { Button14Click(); })
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));

    // Undo and redo name the step they would undo or do again ("元に戻す: 年のフォント").
    QMenu* edit = bar->addMenu(QStringLiteral("編集(&E)"));
    QUndoStack& history = FDocument->UndoStack();
    MIundo = edit->addAction(QString(), this, [this] { RunGuarded([this] { UndoClick(); }); });
    MIundo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    MIredo = edit->addAction(QString(), this, [this] { RunGuarded([this] { RedoClick(); }); });
    MIredo->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    connect(&history, &QUndoStack::indexChanged, this, [this] { ShowHistory(); });
    connect(&history, &QUndoStack::cleanChanged, this, [this] { ShowHistory(); });
    ShowHistory();

    QMenu* year = bar->addMenu(QStringLiteral("年の選択(&T)"));
    year->addAction(QStringLiteral("前年"), this, [this] { Button2Click(); });
    year->addAction(QStringLiteral("今年"), this, [this] { Button6Click(); });
    year->addAction(QStringLiteral("次年"), this, [this] { Button5Click(); });

    QMenu* sheet = bar->addMenu(QStringLiteral("画像、フォント(&S)"));
    sheet
        ->addAction(QStringLiteral("画像の読み込み"), this,
                    [this] { RunGuarded([this] { Button9Click(); }); })
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    // The frame mode: one of two, checked; the same actions in the sample's context menu.
    auto* frameModes = new QActionGroup(this);
    MIframeFit = new QAction(QStringLiteral("枠に合わせる"), frameModes);
    MIframeFit->setStatusTip(QStringLiteral("写真全体を枠の中に収めます"));
    MIframeFill = new QAction(QStringLiteral("枠いっぱい"), frameModes);
    MIframeFill->setStatusTip(
        QStringLiteral("写真で枠をいっぱいにします（はみ出す部分は切り取られます）"));
    for (QAction* mode : {MIframeFit, MIframeFill})
        mode->setCheckable(true);
    MIframeFit->setChecked(true);
    connect(MIframeFit, &QAction::triggered, this, [this] { FrameModeClick(TFrameMode::Fit); });
    connect(MIframeFill, &QAction::triggered, this, [this] { FrameModeClick(TFrameMode::Fill); });
    MIframeCentre = new QAction(QStringLiteral("中央に戻す"), this);
    MIframeCentre->setStatusTip(QStringLiteral("写真を枠の中央に等倍で戻します"));
    MIframeCentre->setEnabled(false);
    connect(MIframeCentre, &QAction::triggered, this, [this] { FrameCentreClick(); });
    sheet->addActions({MIframeFit, MIframeFill, MIframeCentre});
    PictureMenu = new QMenu(this);
    PictureMenu->addActions({MIframeFit, MIframeFill});
    PictureMenu->addSeparator();
    PictureMenu->addAction(MIframeCentre);
    for (QMenu* menu : {sheet, PictureMenu})
        connect(menu, &QMenu::hovered, this, [this](QAction* action) {
            if (!action->statusTip().isEmpty())
                StBar->SetText(action->statusTip());
        });
    sheet->addSeparator();
    sheet->addAction(QStringLiteral("年のフォント変更"), this, [this] { Button11Click(); });
    sheet->addAction(QStringLiteral("月のフォント変更"), this, [this] { Button3Click(); });
    sheet->addAction(QStringLiteral("日のフォント変更"), this, [this] { Button10Click(); });
    sheet->addAction(QStringLiteral("曜日のフォント変更"), this, [this] { Button12Click(); });
    sheet->addSeparator();
    MIkoyomi = sheet->addAction(QStringLiteral("暦の表示(&K)"), this,
                                [this] { RunGuarded([this] { MIkoyomiClick(); }); });
    MIkoyomi->setShortcut(QKeySequence(QStringLiteral("Ctrl+K")));
    MIkoyomi->setStatusTip(
        QStringLiteral("六曜、二十四節気、旧暦などを日付の横に表示するかどうかを選びます"));
    MIkinen = sheet->addAction(QStringLiteral("記念日(&D)"), this,
                               [this] { RunGuarded([this] { MIkinenClick(); }); });
    MIkinen->setShortcut(QKeySequence(QStringLiteral("Ctrl+D")));
    MIkinen->setStatusTip(QStringLiteral("家族の誕生日や記念日をカレンダーに書き入れます"));
    MIshape = sheet->addAction(QStringLiteral("始まりと題名(&T)"), this,
                               [this] { RunGuarded([this] { MIshapeClick(); }); });
    MIshape->setShortcut(QKeySequence(QStringLiteral("Ctrl+T")));
    MIshape->setStatusTip(
        QStringLiteral("始まりの月（4月始まりなど）、週の始まり、自分の題名を選びます"));
    sheet->addSeparator();
    sheet
        ->addAction(QStringLiteral("プレビュー＆印刷"), this,
                    [this] { RunGuarded([this] { Button1Click(); }); })
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));

    // Year, month twice (as it always was), weekday, Sunday, Saturday | backgrounds, lines |
    // reset.
    MIkaku = bar->addMenu(QStringLiteral("色(&K)"));
    auto addColor = [this](const ColorCommandInfo& command) {
        MIkaku->addAction(QString::fromUtf16(command.Caption), this,
                          [this, handler = command.Handler] { (this->*handler)(); });
    };
    addColor(ColorCommands[0]);
    addColor(ColorCommands[1]);
    addColor(ColorCommands[1]);
    addColor(ColorCommands[2]);
    addColor(ColorCommands[3]);
    addColor(ColorCommands[4]);
    MIkaku->addSeparator();
    addColor(ColorCommands[5]);
    addColor(ColorCommands[6]);
    addColor(ColorCommands[7]);
    MIkaku->addSeparator();
    MIkaku->addAction(QStringLiteral("初期値に戻す"), this, [this] { N16Click(); });
    MIkaku->menuAction()->setVisible(false);

    QMenu* help = bar->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->addAction(QStringLiteral("たむりかのヘルプ"), this, [this] { N1Click(); })
        ->setShortcut(QKeySequence(QStringLiteral("F1")));
    help->addSeparator();
    help->addAction(QStringLiteral("バージョン情報(&A)"), this, [this] { A1Click(); });
}

// --- Opening and closing ---------------------------------------------------------------------

QString TmainForm::HelpFileName() const {
    return DataFolder(FDocument->AppPath) + HelpFile;
}

void TmainForm::showEvent(QShowEvent* event) {
    if (!FShown) {
        FShown = true;
        // Centred on the screen it opens on.
        if (QScreen* screen = this->screen()) {
            const QRect area = screen->availableGeometry();
            move(area.center() - QPoint(sizeHint().width() / 2, sizeHint().height() / 2));
        }
        QMainWindow::showEvent(event);
        FormShow();
        return;
    }
    QMainWindow::showEvent(event);
}

void TmainForm::closeEvent(QCloseEvent* event) {
    // Not while the sheet is composed: the window takes no input then, closing included.
    bool close = !InputBlocked();
    if (close)
        RunGuarded([this, &close] { close = FormClose(); });
    if (close)
        event->accept();
    else
        event->ignore();
}

// --- Events ----------------------------------------------------------------------------------

QString TmainForm::DroppedPictureFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QUrl url = data->urls().constFirst();
    if (!url.isLocalFile())
        return {};
    const QString path = url.toLocalFile();
    return TPicture::IsPictureFileName(path) ? path : QString();
}

void TmainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedPictureFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TmainForm::dropEvent(QDropEvent* event) {
    const QString file = DroppedPictureFile(event->mimeData());
    if (file.isEmpty())
        return;
    event->acceptProposedAction();
    RunGuarded([this, &file] { LoadPictureFile(file); });
}

bool TmainForm::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool mouse = type == QEvent::ContextMenu || type == QEvent::MouseButtonPress ||
                       type == QEvent::MouseMove || type == QEvent::MouseButtonRelease ||
                       type == QEvent::MouseButtonDblClick || type == QEvent::Wheel;
    if (mouse && (watched == Image1 || watched == PictureBox)) {
        switch (type) {
        case QEvent::ContextMenu:
            PictureMenu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        case QEvent::MouseButtonPress:
            if (watched == Image1)
                Image1MouseDown(static_cast<QMouseEvent*>(event));
            break;
        case QEvent::MouseMove:
            if (watched == Image1)
                Image1MouseMove(static_cast<QMouseEvent*>(event));
            break;
        case QEvent::MouseButtonRelease:
            if (watched == Image1)
                Image1MouseUp(static_cast<QMouseEvent*>(event));
            break;
        case QEvent::MouseButtonDblClick:
            if (watched == Image1 && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                FrameCentreClick();
            break;
        case QEvent::Wheel:
            if (watched == Image1) {
                Image1MouseWheel(static_cast<QWheelEvent*>(event));
                return true;
            }
            break;
        default:
            break;
        }
        return QMainWindow::eventFilter(watched, event);
    }
    if (event->type() == QEvent::MouseMove) {
        if (watched == Button11)
            FontButtonMouseMove(sfYear);
        else if (watched == Button3)
            FontButtonMouseMove(sfMonth);
        else if (watched == Button10)
            FontButtonMouseMove(sfDay);
        else if (watched == Button12)
            FontButtonMouseMove(sfDayOfWeek);
        else if (watched == Button9)
            Button9MouseMove();
        else if (watched == GroupBox2) {
            // Moves that a button passes on to its group box are not over the background.
            const auto* move = static_cast<QMouseEvent*>(event);
            if (GroupBox2->childAt(move->position().toPoint()) == nullptr)
                GroupBox2MouseMove();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TmainForm::SbtnKShowClick() {
    const bool widen = SbtnKShow->text() == u">>";
    SbtnKShow->setText(widen ? QStringLiteral("<<") : QStringLiteral(">>"));
    const int width = widen ? WideClientWidth : NarrowClientWidth;
    FClient->setFixedSize(width, ClientHeight);
    PlaceStatusPanels(width);
    MIkaku->menuAction()->setVisible(widen);
}

void TmainForm::Button14Click() {
    close();
}

void TmainForm::N1Click() {
    const QString file = HelpFileName();
    if (!QFileInfo(file).isFile()) {
        QMessageBox::warning(this, ProgramTitle,
                             FormatMessage(QStringLiteral("ヘルプファイル %s が見つかりません。"),
                                           {QDir::toNativeSeparators(file)}));
        return;
    }
    if (!OpenUrl(QUrl::fromLocalFile(file)))
        QMessageBox::warning(
            this, ProgramTitle,
            FormatMessage(QStringLiteral("ヘルプファイル %s を開くプログラムがありません。"),
                          {QDir::toNativeSeparators(file)}));
}

void TmainForm::A1Click() {
    TverForm about(this);
    about.exec();
}

void TmainForm::BlockInput() {
    if (FInputBlocked)
        return;
    FInputBlocked = true;
    FFocusBeforeBlock = focusWidget(); // disabling it takes the focus away
    // The client area's parts and the menu, not the window: a disabled window greys out its
    // status bar too, and the progress of the work would not be readable.
    QList<QWidget*> parts = FClient->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    parts << menuBar();
    for (QWidget* part : parts)
        if (part != StBar && part->isEnabled()) {
            part->setEnabled(false);
            FBlocked.emplace_back(part);
        }
    FDropsBeforeBlock = acceptDrops();
    setAcceptDrops(false);
}

void TmainForm::UnblockInput() {
    if (!FInputBlocked)
        return;
    FInputBlocked = false;
    for (const QPointer<QWidget>& part : FBlocked)
        if (part)
            part->setEnabled(true);
    FBlocked.clear();
    setAcceptDrops(FDropsBeforeBlock);
    if (FFocusBeforeBlock)
        FFocusBeforeBlock->setFocus();
    FFocusBeforeBlock = nullptr;
}
