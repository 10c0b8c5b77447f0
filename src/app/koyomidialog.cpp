#include "koyomidialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "calendar/holidaymodel.h"
#include "calendar/holidays.h"
#include "calendar/julius.h"
#include "calendar/weekdayletter.h"
#include "sheet/daycells.h"
#include "sheet/sheetlayout.h"
#include "widgets/application.h"
#include "widgets/colordialog.h"
#include "widgets/fontdialog.h"
#include "widgets/panel.h"

namespace {

// The face chooser's sample at a size that shows the face's shapes (on paper it is 5 pt).
constexpr int FaceSampleHeight = -16;

// The program's holidays of a date, as the sheet's day table takes them.
QString HolidaysOf(const THolidayModel& holidays, const QDate& date) {
    return HolidayNames(
        StripQuotes(holidays.GetDayNames(date.year(), static_cast<std::uint8_t>(date.month()),
                                         static_cast<std::uint8_t>(date.day()))));
}

std::unique_ptr<THolidayModel> ProgramHolidays() {
    auto holidays = std::make_unique<THolidayModel>();
    ApplyProgramHolidays(*holidays);
    return holidays;
}

} // namespace

// --- The preview -----------------------------------------------------------------------------

TKoyomiPreview::TKoyomiPreview(TKoyomiSample& sample, QWidget* parent)
    : QWidget(parent), FSample(sample) {
    const QSizeF cell = TSheetLayout::DayCellInside();
    // The inside of the cell at the scale, and its lines around it.
    setFixedSize(static_cast<int>(cell.width() * Scale) + 2,
                 static_cast<int>(cell.height() * Scale) + 2);
}

void TKoyomiPreview::SetDay(const QDate& date, const QString& holidayNames, TColor number,
                            TColor background, TColor line) {
    FDate = date;
    FHolidayNames = holidayNames;
    FNumber = number;
    FBackground = background;
    FLine = line;
    update();
}

void TKoyomiPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(FBackground));
    painter.setPen(ToQColor(FLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!FDate.isValid())
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    FSample.Draw(painter, QRectF(rect().adjusted(1, 1, -1, -1)), FDate.year(), FDate.month(),
                 FDate.day(), FHolidayNames, ToQColor(FNumber), ToQColor(FSample.Options().Color));
}

// --- The telling day -------------------------------------------------------------------------

QDate TellingKoyomiDay(int year) {
    const std::unique_ptr<THolidayModel> holidays = ProgramHolidays();
    const Koyomi::TKoyomiYear koyomi(year);
    QDate best;
    int bestScore = -1;
    for (QDate date(year, 1, 1); date.isValid() && date.year() == year; date = date.addDays(1)) {
        const Koyomi::TKoyomiDay& day = koyomi.Day(date.month(), date.day());
        int score = HolidaysOf(*holidays, date).isEmpty() ? 0 : 8;
        if (day.Known()) {
            score += (day.SolarTerm >= 0 ? 4 : 0) + (day.Rokuyo == Koyomi::TRokuyo::Taian ? 2 : 0) +
                     (day.Zassetsu != 0 || day.MoonPhase >= 0 ? 1 : 0);
        }
        if (score > bestScore) {
            best = date;
            bestScore = score;
        }
    }
    return best;
}

// --- The dialog ------------------------------------------------------------------------------

TKoyomiDialog::TKoyomiDialog(const TCalendarModel& model, QWidget* parent)
    : QDialog(parent), FModel(model), FFace(model.Koyomi.Face), FColor(model.Koyomi.Color),
      FSample(std::make_unique<TKoyomiSample>()) {
    setWindowTitle(QStringLiteral("暦の表示"));
    setObjectName(QStringLiteral("KoyomiDialog"));
    if (parent != nullptr)
        setFont(parent->font());

    auto* shown = new QGroupBox(QStringLiteral("日付の横に表示するもの"), this);
    CheckRokuyo = new QCheckBox(QStringLiteral("六曜(&R)"), shown);
    CheckSekki = new QCheckBox(QStringLiteral("二十四節気(&S)"), shown);
    CheckZassetsu = new QCheckBox(QStringLiteral("雑節(&Z)"), shown);
    CheckMoon = new QCheckBox(QStringLiteral("月相（新月・上弦・満月・下弦）(&M)"), shown);
    CheckHolidays = new QCheckBox(QStringLiteral("祝日名(&H)"), shown);
    CheckTaian = new QCheckBox(QStringLiteral("大安を強調(&T)"), shown);
    CheckTaian->setToolTip(
        QStringLiteral("大安を太字で目立たせます（六曜を表示しないときも大安だけ表示します）"));
    auto* shownLayout = new QVBoxLayout(shown);
    for (QCheckBox* box :
         {CheckRokuyo, CheckSekki, CheckZassetsu, CheckMoon, CheckHolidays, CheckTaian})
        shownLayout->addWidget(box);

    auto* kyureki = new QGroupBox(QStringLiteral("旧暦"), this);
    KyurekiOff = new QRadioButton(QStringLiteral("表示しない(&N)"), kyureki);
    KyurekiFirst = new QRadioButton(QStringLiteral("各月の一日(&1)"), kyureki);
    KyurekiDaily = new QRadioButton(QStringLiteral("毎日(&D)"), kyureki);
    auto* kyurekiLayout = new QVBoxLayout(kyureki);
    for (QRadioButton* button : {KyurekiOff, KyurekiFirst, KyurekiDaily})
        kyurekiLayout->addWidget(button);

    auto* text = new QGroupBox(QStringLiteral("小さな文字"), this);
    FaceLabel = new QLabel(text);
    FaceButton = new QPushButton(QStringLiteral("書体(&F)..."), text);
    ColorSwatch = new TPanel(text);
    ColorSwatch->SetBorderSingle(true);
    ColorSwatch->setFixedSize(40, 20);
    ColorButton = new QPushButton(QStringLiteral("色(&C)..."), text);
    auto* textLayout = new QGridLayout(text);
    textLayout->addWidget(new QLabel(QStringLiteral("書体:"), text), 0, 0);
    textLayout->addWidget(FaceLabel, 0, 1);
    textLayout->addWidget(FaceButton, 0, 2);
    textLayout->addWidget(new QLabel(QStringLiteral("色:"), text), 1, 0);
    textLayout->addWidget(ColorSwatch, 1, 1, Qt::AlignLeft);
    textLayout->addWidget(ColorButton, 1, 2);
    textLayout->setColumnStretch(1, 1);

    auto* sample = new QGroupBox(QStringLiteral("見本"), this);
    Preview = new TKoyomiPreview(*FSample, sample);
    PreviewCaption = new QLabel(sample);
    PreviewCaption->setAlignment(Qt::AlignCenter);
    auto* note = new QLabel(QStringLiteral("入りきらない文字は、印刷でも省かれます。"), sample);
    note->setWordWrap(true);
    auto* sampleLayout = new QVBoxLayout(sample);
    sampleLayout->addWidget(Preview, 0, Qt::AlignHCenter);
    sampleLayout->addWidget(PreviewCaption);
    sampleLayout->addWidget(note);
    sampleLayout->addStretch();

    QDialogButtonBox* buttons = OkCancelButtons(*this, &OkButton, &CancelButton);

    auto* grid = new QGridLayout(this);
    grid->addWidget(shown, 0, 0);
    grid->addWidget(kyureki, 1, 0);
    grid->addWidget(text, 2, 0);
    grid->addWidget(sample, 0, 1, 3, 1);
    grid->addWidget(buttons, 3, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    const TKoyomiOptions& options = model.Koyomi;
    CheckRokuyo->setChecked(options.Rokuyo);
    CheckSekki->setChecked(options.SolarTerms);
    CheckZassetsu->setChecked(options.Zassetsu);
    CheckMoon->setChecked(options.MoonPhases);
    CheckHolidays->setChecked(options.HolidayNames);
    CheckTaian->setChecked(options.Taian);
    KyurekiOff->setChecked(options.Kyureki == TKyurekiMode::Off);
    KyurekiFirst->setChecked(options.Kyureki == TKyurekiMode::FirstDay);
    KyurekiDaily->setChecked(options.Kyureki == TKyurekiMode::EveryDay);

    // The telling day of the calendar's year, in the colours its number has on the sheet.
    const QDate date = TellingKoyomiDay(model.Year);
    if (date.isValid()) {
        const QString holidayNames = HolidaysOf(*ProgramHolidays(), date);
        const int dayOfWeek = date.dayOfWeek() % 7; // 0 = Sunday
        const auto& colors = model.Settings.Colors;
        const TColor number = !holidayNames.isEmpty() || dayOfWeek == 0 ? colors[scSunday]
                              : dayOfWeek == 6                          ? colors[scSaturday]
                                                                        : colors[scWeekday];
        Preview->SetDay(date, holidayNames, number, colors[scDayBack], colors[scLine]);
        PreviewCaption->setText(QStringLiteral("%1年%2月%3日（%4）")
                                    .arg(date.year())
                                    .arg(date.month())
                                    .arg(date.day())
                                    .arg(WeekdayLetter(dayOfWeek)));
        Preview->setToolTip(FSample->ToolTip(date.year(), date.month(), date.day(), holidayNames));
    }

    for (QCheckBox* box :
         {CheckRokuyo, CheckSekki, CheckZassetsu, CheckMoon, CheckHolidays, CheckTaian})
        connect(box, &QCheckBox::toggled, this, [this] { ShowChoice(); });
    for (QRadioButton* button : {KyurekiOff, KyurekiFirst, KyurekiDaily})
        connect(button, &QRadioButton::toggled, this, [this] { ShowChoice(); });
    connect(FaceButton, &QPushButton::clicked, this, [this] { FaceButtonClick(); });
    connect(ColorButton, &QPushButton::clicked, this, [this] { ColorButtonClick(); });
    ShowChoice();
}

TKoyomiDialog::~TKoyomiDialog() = default;

TKoyomiOptions TKoyomiDialog::Options() const {
    TKoyomiOptions options = FModel.Koyomi;
    options.Rokuyo = CheckRokuyo->isChecked();
    options.SolarTerms = CheckSekki->isChecked();
    options.Zassetsu = CheckZassetsu->isChecked();
    options.MoonPhases = CheckMoon->isChecked();
    options.HolidayNames = CheckHolidays->isChecked();
    options.Taian = CheckTaian->isChecked();
    options.Kyureki = KyurekiDaily->isChecked()   ? TKyurekiMode::EveryDay
                      : KyurekiFirst->isChecked() ? TKyurekiMode::FirstDay
                                                  : TKyurekiMode::Off;
    options.Face = FFace;
    options.Color = FColor;
    return options;
}

void TKoyomiDialog::ShowChoice() {
    FSample->SetOptions(Options(), FModel.Settings.Fonts[sfDay]);
    FaceLabel->setText(FFace);
    QFont face = FaceLabel->font();
    face.setFamily(FFace);
    FaceLabel->setFont(face);
    ColorSwatch->SetColor(FColor);
    Preview->update();
}

void TKoyomiDialog::FaceButtonClick() {
    TFontDialog dialog;
    dialog.FaceOnly = true;
    dialog.Font().SetName(FFace);
    dialog.Font().SetHeight(FaceSampleHeight);
    dialog.Font().SetCharset(SHIFTJIS_CHARSET);
    if (!dialog.Execute(this))
        return;
    FFace = dialog.Font().Name();
    ShowChoice();
}

void TKoyomiDialog::ColorButtonClick() {
    TColorDialog dialog(FColor);
    if (!dialog.Execute(this))
        return;
    FColor = dialog.Color();
    ShowChoice();
}
