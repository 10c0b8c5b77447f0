#include "mainunit.h"

#include <cmath>

// Qt
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

// Local
#include "calendar/weekdayletter.h"
#include "calex/calex.h"
#include "calex/calexdesign.h"
#include "fontreadunit.h"
#include "fontsaveunit1.h"
#include "model/framingmemory.h"
#include "model/picturefit.h"
#include "model/picturefolder.h"
#include "model/titlestyle.h"
#include "photo/picture.h"
#include "platform/bitmap.h"
#include "preview/printlrunit.h"
#include "settings/inifile.h"
#include "settings/settingsfolder.h"
#include "sheet/sheetcomposition.h"
#include "sheet/sheetlayout.h"
#include "sheet/sheetsource.h"
#include "statusbar/statusbarp.h"
#include "verunit.h"
#include "widgets/application.h"
#include "widgets/image.h"
#include "widgets/panel.h"

namespace {

const QString ProgramTitle = QStringLiteral("たむりか");
const QString ConfirmTitle = QStringLiteral("確認");
const QString SaveQuestion = QStringLiteral("設定が変更されています。保存しますか？");
const QString ResetQuestion = QStringLiteral("色の設定を初期値に戻しますか？");
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

const QString FillHint = QStringLiteral(
    "ドラッグで写す部分を動かし、ホイールで拡大・縮小します（ダブルクリックで元に戻ります）");
// A wheel notch (120 eighths of a degree) zooms by the cube root of 2: three double the zoom.
constexpr double WheelNotchesPerDoubling = 3 * 120;
// How long the wheel must rest before its zoom is written to the state file.
constexpr int RememberDelayMs = 500;

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

void SetTextColor(QLabel* label, TColor color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ToQColor(color));
    label->setPalette(palette);
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
    : QMainWindow(parent), FProgramFolder(std::move(programFolder)) {
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

    const int fontHeights[SheetFontCount] = {-32, -15, -11, -11}; // 24, 11, 8 and 8 points
    for (int k = 0; k < SheetFontCount; ++k)
        FFontDialogs[k].Font().Assign(MakeFont(DefaultFontFace, fontHeights[k]));
    for (int c = 0; c < SheetColorCount; ++c)
        FColorDialogs[c].SetColor(DefaultSheetColor(TSheetColor(c)));

    OpenUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };

    CreateSample(FClient);
    CreateCommands(FClient);
    CreateColorColumn(FClient);
    CreateHiddenComponents(FClient);
    CreateMenu();

    StBar = new TStatusBarP(FClient);
    StBar->setGeometry(0, ClientHeight - StBar->height(), NarrowClientWidth, StBar->height());
    StBar->SetPanelWidth(0, 320);
    StBar->SetPanelWidth(1, 100);
    StBar->SetPanelWidth(2, 50);

    CalendarEx1->OnChange = [this](QObject*) { CalendarEx1Change(); };
    CalendarEx2->OnChange = [this](QObject*) { CalendarEx1Change(); };

    FRememberTimer = new QTimer(this);
    FRememberTimer->setSingleShot(true);
    FRememberTimer->setInterval(RememberDelayMs);
    connect(FRememberTimer, &QTimer::timeout, this, [this] { RememberFraming(); });
}

TmainForm::~TmainForm() {
    // The calendars report to this window; silence them before the window's parts go.
    CalendarEx1->OnChange = nullptr;
    CalendarEx2->OnChange = nullptr;
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

    const QFont titleFont = MakeFont(DefaultFaceName, -13, fsBold).ToQFont();
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

void TmainForm::CreateHiddenComponents(QWidget* client) {
    Panel3 = MakePanel(client, 254, 294, 215, 63, clBtnFace, bvRaised);
    Button14 = MakeButton(Panel3, QStringLiteral("終了(&E)"), 8, 10, 199, 43,
                          QStringLiteral("「せのるた」を終了します"));
    connect(Button14, &QPushButton::clicked, this, [this] { Button14Click(); });
    Panel3->hide();

    // Outside the client area: never seen, but alive and sized like the sample. Hidden as
    // well: a control never shown never draws, and the composition steps it through every
    // day of the year, which would otherwise draw its month hundreds of times.
    CalendarEx2 = new TCalendarEx(client);
    CalendarEx2->setObjectName(QStringLiteral("CalendarEx2"));
    ApplyProgramDesign(*CalendarEx2);
    CalendarEx2->setGeometry(WideClientWidth + 100, 0, 229, 122);
    CalendarEx2->setFocusPolicy(Qt::NoFocus);
    CalendarEx2->hide();

    Image2 = new TImage(client);
    Image3 = new TImage(client);
    Image4 = new TImage(client);
    for (TImage* image : {Image2, Image3})
        image->SetStretch(true);
    Image4->setGeometry(0, 0, 105, 105);
    Image4->SetAutoSize(true);
    for (TImage* image : {Image2, Image3, Image4})
        image->hide();
}

void TmainForm::CreateMenu() {
    QMenuBar* bar = menuBar();

    QMenu* file = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    MIfontRead = file->addAction(QStringLiteral("フォントの設定を読み込む"), this,
                                 [this] { RunGuarded([this] { MIfontReadClick(); }); });
    MIfontWrite = file->addAction(QStringLiteral("フォントの設定を保存"), this,
                                  [this] { RunGuarded([this] { MIfontWriteClick(); }); });
    file->addSeparator();
    file->addAction(QStringLiteral("終了(&x)"), this, [this] { Button14Click(); });

    QMenu* year = bar->addMenu(QStringLiteral("年の選択(&T)"));
    year->addAction(QStringLiteral("前年"), this, [this] { Button2Click(); });
    year->addAction(QStringLiteral("今年"), this, [this] { Button6Click(); });
    year->addAction(QStringLiteral("次年"), this, [this] { Button5Click(); });

    QMenu* sheet = bar->addMenu(QStringLiteral("画像、フォント(&S)"));
    sheet->addAction(QStringLiteral("画像の読み込み"), this,
                     [this] { RunGuarded([this] { Button9Click(); }); });
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
    sheet->addAction(QStringLiteral("プレビュー＆印刷"), this,
                     [this] { RunGuarded([this] { Button1Click(); }); });

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
    help->addAction(QStringLiteral("たむりかのヘルプ"), this, [this] { N1Click(); });
    help->addSeparator();
    help->addAction(QStringLiteral("バージョン情報(&A)"), this, [this] { A1Click(); });
}

// --- Opening and closing ---------------------------------------------------------------------

QString TmainForm::SettingsFileName() const {
    return SettingsFolder(AppPath) + SettingsIniName;
}

QString TmainForm::HelpFileName() const {
    return DataFolder(AppPath) + HelpFile;
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

void TmainForm::FormShow() {
    AppPath = FProgramFolder.endsWith(u'/') ? FProgramFolder : FProgramFolder + u'/';
    ReadSlotComments();
    CalendarEx1->Today();
    CalendarEx1->SetMonth(1);
    CalendarEx1->SetDay(1);
    ShowTitles();
    {
        TFrmfontRead loader(*this, SlotSession());
        loader.LoadSlot(CurrentSlot);
        TakeSlotSession(loader.Session());
    }
    ApplyColors();
    SettingsChanged = false;
    FFraming.Mode = TFramingMemory(AppPath).Mode();
    ShowFraming(false);
    CalendarEx1->setFocus();
}

void TmainForm::ReadSlotComments() {
    const TSlotDirectory directory = ReadSlotDirectory(TIniFile(SettingsFileName()));
    SlotComments = directory.Comments;
    CurrentSlot = directory.LastSlot;
}

void TmainForm::closeEvent(QCloseEvent* event) {
    // Not while the sheet is composed: the window takes no input then, closing included.
    if (InputBlocked()) {
        event->ignore();
        return;
    }
    RunGuarded([this] { FormClose(); });
    event->accept();
}

void TmainForm::FormClose() {
    if (FRememberTimer->isActive())
        RememberFraming();
    if (SettingsChanged && Confirm(SaveQuestion))
        MIfontWriteClick();
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
    CalendarEx1->PrevYear();
}
void TmainForm::Button6Click() {
    CalendarEx1->Today();
}
void TmainForm::Button5Click() {
    CalendarEx1->NextYear();
}

void TmainForm::CalendarEx1Change() {
    ShowTitles();
}

void TmainForm::ShowTitles() {
    const int style = ComboBox3->currentIndex();
    if (const auto title = YearTitle(style, CalendarEx1->Year()))
        nenST->SetCaption(*title);
    if (const auto title = MonthTitle(style, CalendarEx1->Month()))
        tukiST->SetCaption(*title);
}

void TmainForm::ComboBox3Change() {
    SettingsChanged = true;
    ShowTitles();
}

// --- Picture -----------------------------------------------------------------------------------

void TmainForm::Button9Click() {
    TOpenDialog dialog = OpenDialog1;
    // Before the first photo of this run, the folder of the last one of an earlier run.
    if (dialog.FileName.isEmpty())
        dialog.InitialDir = RememberedPictureFolder(AppPath);
    if (!dialog.Execute(this))
        return;
    LoadPictureFile(dialog.FileName);
}

void TmainForm::LoadPictureFile(const QString& fileName) {
    // Read first: a file that cannot be read leaves the sample, Image4 and the name of the
    // current picture (which the print step reads again) as they were.
    TPicture loaded;
    loaded.LoadFromFile(fileName);
    // Decoded once, here, so that a damaged file is found now and not later while painting,
    // and at the size the sheet's picture needs: the sample (224 × 168) is drawn from the same
    // pixels, which the copies below share, and "ﾌﾟﾚﾋﾞｭ-＆印刷" needs no decoding of its own.
    // Any decoding reads the whole photo, which costs most of what decoding it costs.
    (void)loaded.Graphic()->ToImageForSize(
        SheetPreviewDecodeSize({loaded.Width(), loaded.Height()}));

    if (FRememberTimer->isActive())
        RememberFraming(); // the part of the photo shown until now
    Image4->Picture().Assign(&loaded);
    Image1->Picture().Assign(&Image4->Picture());
    OpenDialog1.FileName = fileName;
    // For the next run; a settings folder that cannot be written only means it is not kept.
    RememberPictureFolder(AppPath, QFileInfo(fileName).absolutePath());
    // A photo framed before shows as it was left; any other starts centred at 1 ×.
    const TPictureFraming remembered =
        TFramingMemory(AppPath)
            .Recall(QFileInfo(fileName).absoluteFilePath(), Image4->size())
            .value_or(TPictureFraming{});
    FFraming.FocusX = remembered.FocusX;
    FFraming.FocusY = remembered.FocusY;
    FFraming.Zoom = remembered.Zoom;
    ShowFraming(false);
}

// --- Framing -----------------------------------------------------------------------------------

void TmainForm::ShowFraming(bool remember) {
    const bool picture = !Image4->Picture().Empty();
    const bool fill = FFraming.Mode == TFrameMode::Fill;
    MIframeFit->setChecked(!fill);
    MIframeFill->setChecked(fill);
    MIframeCentre->setEnabled(fill && picture);
    const int w = Image4->Picture().Width();
    const int h = Image4->Picture().Height();
    if (fill) {
        Image1->setGeometry(0, 0, PictureBoxWidth, PictureBoxHeight);
        Image1->SetSourceRect(
            picture ? FillSource(w, h, PictureBoxWidth, PictureBoxHeight, FFraming) : QRectF());
    } else {
        Image1->setGeometry(FitPicture(w, h, PictureBoxWidth, PictureBoxHeight).ToQRect());
        Image1->SetSourceRect({});
    }
    if (fill && picture) {
        if (!FDragStart)
            Image1->setCursor(Qt::OpenHandCursor);
    } else {
        Image1->unsetCursor();
    }
    if (picture) {
        // The warning takes the status bar while it is due, and leaves it when it no longer is.
        const QString warning = LowResolutionWarning(Image4->size(), FFraming);
        if (!warning.isEmpty() && StBar->Text() != warning)
            StBar->SetText(warning);
        else if (warning.isEmpty() && !FFramingWarning.isEmpty() &&
                 StBar->Text() == FFramingWarning)
            StBar->SetText(QString());
        FFramingWarning = warning;
    }
    if (remember && picture && fill)
        FRememberTimer->start();
}

void TmainForm::RememberFraming() {
    FRememberTimer->stop();
    if (Image4->Picture().Empty() || OpenDialog1.FileName.isEmpty())
        return;
    try {
        TFramingMemory(AppPath).Remember(QFileInfo(OpenDialog1.FileName).absoluteFilePath(),
                                         Image4->size(), FFraming);
    } catch (const Exception& error) {
        // The part shown stays as it is; only the next run will not know it.
        StBar->SetText(error.Message());
    }
}

void TmainForm::FrameModeClick(TFrameMode mode) {
    if (FRememberTimer->isActive())
        RememberFraming();
    FFraming.Mode = mode;
    ShowFraming(false);
    try {
        TFramingMemory(AppPath).SetMode(mode);
    } catch (const Exception& error) {
        StBar->SetText(error.Message());
    }
}

void TmainForm::FrameCentreClick() {
    if (FFraming.Mode != TFrameMode::Fill || Image4->Picture().Empty())
        return;
    FFraming.FocusX = 0.5;
    FFraming.FocusY = 0.5;
    FFraming.Zoom = 1;
    ShowFraming(true);
    RememberFraming();
}

void TmainForm::Image1MouseDown(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || FFraming.Mode != TFrameMode::Fill ||
        Image4->Picture().Empty())
        return;
    FDragStart = event->position();
    FDragFraming = FFraming;
    Image1->setCursor(Qt::ClosedHandCursor);
}

void TmainForm::Image1MouseMove(QMouseEvent* event) {
    if (!FDragStart) {
        Image1MouseMoveHint();
        return;
    }
    const QPointF moved = event->position() - *FDragStart;
    // From where the drag began, so that moving back returns exactly there.
    FFraming = DragFraming(FDragFraming, Image4->Picture().Width(), Image4->Picture().Height(),
                           PictureBoxWidth, PictureBoxHeight, moved.x(), moved.y());
    ShowFraming(false);
}

void TmainForm::Image1MouseUp(QMouseEvent* event) {
    if (!FDragStart || event->button() != Qt::LeftButton)
        return;
    FDragStart.reset();
    ShowFraming(true);
    RememberFraming();
}

void TmainForm::Image1MouseWheel(QWheelEvent* event) {
    if (FFraming.Mode != TFrameMode::Fill || Image4->Picture().Empty() || FDragStart)
        return;
    const int notches = event->angleDelta().y();
    if (notches == 0)
        return;
    const double zoom = FFraming.Zoom * std::exp2(notches / WheelNotchesPerDoubling);
    FFraming = ZoomFraming(FFraming, Image4->Picture().Width(), Image4->Picture().Height(),
                           PictureBoxWidth, PictureBoxHeight, event->position(), zoom);
    ShowFraming(true);
}

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

// --- Status-bar hints, colour column, exit, help, about ----------------------------------------

void TmainForm::FontButtonMouseMove(TSheetFont font) {
    StBar->SetText(QStringLiteral("選択されているフォント：") + FontDialog(font).Font().Name());
}

void TmainForm::Button9MouseMove() {
    StBar->SetText(QStringLiteral("画像ファイル：") + OpenDialog1.FileName);
}

void TmainForm::GroupBox2MouseMove() {
    StBar->SetText(QString());
}

void TmainForm::Image1MouseMoveHint() {
    if (Image4->Picture().Empty())
        return;
    if (!FFramingWarning.isEmpty())
        StBar->SetText(FFramingWarning);
    else if (FFraming.Mode == TFrameMode::Fill)
        StBar->SetText(FillHint);
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
    StBar->setGeometry(0, ClientHeight - StBar->height(), width, StBar->height());
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

// --- Fonts and colours -------------------------------------------------------------------------

void TmainForm::FontCommand(TSheetFont font) {
    if (FontDialog(font).Execute(this))
        SettingsChanged = true;
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
    // Confirmed or not, the command counts as a change.
    ColorDialog(color).Execute(this);
    SettingsChanged = true;
    ApplyColors();
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
    for (int c = 0; c < SheetColorCount; ++c)
        FColorDialogs[c].SetColor(DefaultSheetColor(TSheetColor(c)));
    ApplyColors();
    SettingsChanged = true;
}

void TmainForm::ApplyColors() {
    auto color = [this](TSheetColor c) { return FColorDialogs[c].Color(); };

    nenST->SetFontColor(color(scYear));
    Swatches[scYear]->SetColor(color(scYear));

    tukiST->SetFontColor(color(scMonth));
    Swatches[scMonth]->SetColor(color(scMonth));

    CalendarEx1->SetWeekdayColor(color(scWeekday));
    Swatches[scWeekday]->SetColor(color(scWeekday));
    for (int i = 1; i <= 5; ++i)
        SetTextColor(lblY[i], color(scWeekday));

    CalendarEx1->SetHolidayColor(color(scSunday));
    CalendarEx1->SetSundayColor(color(scSunday));
    Swatches[scSunday]->SetColor(color(scSunday));
    SetTextColor(lblY[0], color(scSunday));

    CalendarEx1->SetSaturdayColor(color(scSaturday));
    Swatches[scSaturday]->SetColor(color(scSaturday));
    SetTextColor(lblY[6], color(scSaturday));

    CalendarEx1->SetColor(color(scDayBack));
    Swatches[scDayBack]->SetColor(color(scDayBack));

    pnlYoubi->SetColor(color(scHeaderBack));
    Swatches[scHeaderBack]->SetColor(color(scHeaderBack));

    Swatches[scLine]->SetColor(color(scLine));
    for (int i = 0; i < 8; ++i) {
        y[i]->SetColor(color(scLine));
        t[i]->SetColor(color(scLine));
    }

    ComboBox3Change();
}

TSlotSettings TmainForm::CurrentSettings() const {
    TSlotSettings settings;
    for (int k = 0; k < SheetFontCount; ++k)
        settings.Fonts[k] = {FFontDialogs[k].Font().Name(), FFontDialogs[k].Font().Style()};
    for (int c = 0; c < SheetColorCount; ++c)
        settings.Colors[c] = FColorDialogs[c].Color();
    settings.TitleStyle = ComboBox3->currentIndex();
    return settings;
}

// --- Settings slots, preview -------------------------------------------------------------------

TSlotSession TmainForm::SlotSession() const {
    return {SlotComments, CurrentSlot, SettingsChanged};
}

void TmainForm::TakeSlotSession(const TSlotSession& session) {
    SlotComments = session.Comments;
    CurrentSlot = session.CurrentSlot;
    SettingsChanged = session.Changed;
}

void TmainForm::MIfontWriteClick() {
    TFrmfontSave dialog(*this, SlotSession());
    dialog.exec();
    // Also after a cancel: a comment whose save failed half-way stays the slot's comment.
    TakeSlotSession(dialog.Session());
}

void TmainForm::MIfontReadClick() {
    if (SettingsChanged && Confirm(SaveQuestion))
        MIfontWriteClick();
    {
        TFrmfontRead dialog(*this, SlotSession());
        dialog.exec();
        TakeSlotSession(dialog.Session());
    }
    ApplyColors();
}

namespace {

// What the sheet reads of the main window while it is previewed and printed.
class TMainFormSheetSource : public TSheetSource {
  public:
    explicit TMainFormSheetSource(TmainForm& form) : FForm(form) {}

    QString PictureFileName() const override { return FForm.OpenDialog1.FileName; }
    QSize PictureSize() const override { return FForm.Image4->size(); }
    TPictureFraming PictureFraming() const override { return FForm.FFraming; }
    TColor WeekdayColor() const override { return FForm.ColorDialog(scWeekday).Color(); }
    TColor SundayColor() const override { return FForm.ColorDialog(scSunday).Color(); }
    TColor SaturdayColor() const override { return FForm.ColorDialog(scSaturday).Color(); }
    const TDayCells& DayCells() const override { return FForm.FDayCells; }
    QString AppPath() const override { return FForm.AppPath; }

  private:
    TmainForm& FForm;
};

} // namespace

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

void TmainForm::Button1Click() {
    StBar->SetPosition(0);
    BlockInput();
    const TMainFormSheetSource source(*this);
    std::unique_ptr<TFrmPrtLR> preview;
    try {
        preview = std::make_unique<TFrmPrtLR>(source);
        FrmPrtLR = preview.get();

        TSheetChoices choices;
        choices.Year = CalendarEx1->Year();
        choices.YearTitle = nenST->Caption();
        choices.Settings = CurrentSettings();
        choices.Picture = Image1->Picture().Graphic();
        choices.PictureSize = Image4->size();
        choices.Framing = FFraming;
        ComposeSheet(preview->Sheet(), choices, CalendarEx2->Holidays(), FDayCells,
                     [this](int position, bool monthDone) {
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
    preview.reset();
    StBar->SetPosition(0);
    if (!FFramingWarning.isEmpty())
        StBar->SetText(FFramingWarning); // the progress took its place
}
