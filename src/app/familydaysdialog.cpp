#include "familydaysdialog.h"

#include <algorithm>

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimeZone>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "calendar/weekdayletter.h"
#include "platform/exception.h"
#include "widgets/application.h"
#include "widgets/colordialog.h"
#include "widgets/opendialog.h"
#include "widgets/panel.h"

namespace {

const QString DialogTitle = QStringLiteral("記念日");

// A colour a day takes when its own is first chosen: a deep rose, apart from the sheet's red
// and blue.
const QColor FirstOwnColor(0xCC, 0x00, 0x66);

// The year counted from has no upper bound in the file; in the dialog, any year of the calendar.
constexpr int LastYear = 9999;

QString KindText(TFamilyDay::TKind kind) {
    switch (kind) {
    case TFamilyDay::TKind::Birthday:
        return QStringLiteral("誕生日");
    case TFamilyDay::TKind::Anniversary:
        return QStringLiteral("記念日");
    case TFamilyDay::TKind::Other:
        break;
    }
    return QStringLiteral("その他");
}

QIcon Swatch(const QColor& color) {
    QPixmap pixmap(14, 14);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 13, 13);
    return QIcon(pixmap);
}

// The colour column: what the number is drawn in, with a swatch where it is not the weekday's.
void ShowColor(QTreeWidgetItem& item, int column, const TFamilyDay& day, TColor holidayColor) {
    switch (day.ColorChoice) {
    case TFamilyDay::TColorChoice::Default:
        item.setText(column, QStringLiteral("曜日の色"));
        break;
    case TFamilyDay::TColorChoice::Holiday:
        item.setText(column, QStringLiteral("祝日の色"));
        item.setIcon(column, Swatch(ToQColor(holidayColor)));
        break;
    case TFamilyDay::TColorChoice::Own:
        item.setText(column, day.Color.name(QColor::HexRgb).toUpper());
        item.setIcon(column, Swatch(day.Color));
        break;
    }
}

// What the sheet of `year` from `startMonth` writes for the day, or nothing when it does not
// fall on it.
QString LabelIn(const TFamilyDay& day, int year, int startMonth) {
    const std::optional<QDate> date = OccurrenceOnSheet(day, year, startMonth);
    return date ? SheetLabel(day, date->year()) : QString();
}

} // namespace

bool HasSameDay(const std::vector<TFamilyDay>& list, const TFamilyDay& day) {
    return std::any_of(list.begin(), list.end(), [&](const TFamilyDay& other) {
        return other.Name == day.Name && DateText(other) == DateText(day);
    });
}

QString OccurrenceText(const TFamilyDay& day, int year, int startMonth) {
    const std::optional<QDate> date = OccurrenceOnSheet(day, year, startMonth);
    if (!date)
        return QStringLiteral("（%1にはありません）").arg(SheetSpanText(year, startMonth));
    // A sheet of two years says which one.
    const QString inYear = startMonth == 1 ? QString() : QStringLiteral("%1年").arg(date->year());
    return QStringLiteral("%1%2月%3日（%4）")
        .arg(inYear)
        .arg(date->month())
        .arg(date->day())
        .arg(WeekdayLetter(date->dayOfWeek() % 7));
}

// --- One day ---------------------------------------------------------------------------------

TFamilyDayEditor::TFamilyDayEditor(const TFamilyDay& day, const QString& title, QWidget* parent)
    : QDialog(parent), FDay(day), FColor(day.Color.isValid() ? day.Color : FirstOwnColor) {
    setWindowTitle(title);
    setObjectName(QStringLiteral("FamilyDayEditor"));
    if (parent != nullptr)
        setFont(parent->font());

    NameEdit = new QLineEdit(day.Name, this);
    NameEdit->setPlaceholderText(QStringLiteral("例: 太郎、結婚、母の日"));
    auto* nameLabel = new QLabel(QStringLiteral("名前(&N):"), this);
    nameLabel->setBuddy(NameEdit);

    RepeatYearly = new QRadioButton(QStringLiteral("毎年の日付(&Y)"), this);
    RepeatWeekday = new QRadioButton(QStringLiteral("毎年の曜日(&W)"), this);
    RepeatOnce = new QRadioButton(QStringLiteral("その年だけ(&O)"), this);
    auto* repeatRow = new QHBoxLayout;
    for (QRadioButton* button : {RepeatYearly, RepeatWeekday, RepeatOnce})
        repeatRow->addWidget(button);
    repeatRow->addStretch();

    YearBox = new QSpinBox(this);
    YearBox->setRange(1, LastYear);
    YearLabel = new QLabel(QStringLiteral("年"), this);
    MonthBox = new QSpinBox(this);
    MonthBox->setRange(1, 12);
    DayBox = new QSpinBox(this);
    DayBox->setRange(1, 31);
    DayLabel = new QLabel(QStringLiteral("日"), this);
    WeekBox = new QComboBox(this);
    for (int week = 1; week <= 5; ++week)
        WeekBox->addItem(QStringLiteral("第%1").arg(week), week);
    WeekBox->addItem(QStringLiteral("最終"), TFamilyDay::LastWeek);
    WeekdayBox = new QComboBox(this);
    for (int weekday = 0; weekday < 7; ++weekday)
        WeekdayBox->addItem(WeekdayLetter(weekday) + QStringLiteral("曜日"), weekday);
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(YearBox);
    dateRow->addWidget(YearLabel);
    dateRow->addWidget(MonthBox);
    dateRow->addWidget(new QLabel(QStringLiteral("月"), this));
    dateRow->addWidget(DayBox);
    dateRow->addWidget(DayLabel);
    dateRow->addWidget(WeekBox);
    dateRow->addWidget(WeekdayBox);
    dateRow->addStretch();
    auto* dateLabel = new QLabel(QStringLiteral("日付(&D):"), this);
    dateLabel->setBuddy(MonthBox);

    LeapNote = new QLabel(
        QStringLiteral("2月29日は、うるう年でない年には2月28日に表示されます（3月1日の前の日）。"),
        this);
    LeapNote->setWordWrap(true);

    KindBox = new QComboBox(this);
    KindBox->addItem(QStringLiteral("誕生日"), static_cast<int>(TFamilyDay::TKind::Birthday));
    KindBox->addItem(QStringLiteral("記念日"), static_cast<int>(TFamilyDay::TKind::Anniversary));
    KindBox->addItem(QStringLiteral("その他"), static_cast<int>(TFamilyDay::TKind::Other));
    auto* kindLabel = new QLabel(QStringLiteral("種類(&K):"), this);
    kindLabel->setBuddy(KindBox);

    BeganBox = new QSpinBox(this);
    BeganBox->setRange(0, LastYear);
    BeganBox->setSpecialValueText(QStringLiteral("なし"));
    BeganBox->setSuffix(QStringLiteral("年"));
    BeganBox->setToolTip(QStringLiteral(
        "生まれた年・始まった年を入れると、カレンダーに「太郎 12歳」「結婚10周年」と書かれます"));
    BeganLabel = new QLabel(QStringLiteral("始まった年(&B):"), this);
    BeganLabel->setBuddy(BeganBox);

    ColorDefault = new QRadioButton(QStringLiteral("曜日の色のまま(&1)"), this);
    ColorHoliday = new QRadioButton(QStringLiteral("祝日の色(&2)"), this);
    ColorOwn = new QRadioButton(QStringLiteral("自分で選ぶ(&3)"), this);
    ColorSwatch = new TPanel(this);
    ColorSwatch->SetBorderSingle(true);
    ColorSwatch->setFixedSize(40, 20);
    ColorButton = new QPushButton(QStringLiteral("色を選ぶ(&C)..."), this);
    auto* colorRow = new QHBoxLayout;
    for (QRadioButton* button : {ColorDefault, ColorHoliday, ColorOwn})
        colorRow->addWidget(button);
    colorRow->addWidget(ColorSwatch);
    colorRow->addWidget(ColorButton);
    colorRow->addStretch();
    // Each row of radio buttons a choice of its own.
    auto* repeats = new QButtonGroup(this);
    for (QRadioButton* button : {RepeatYearly, RepeatWeekday, RepeatOnce})
        repeats->addButton(button);
    auto* colors = new QButtonGroup(this);
    for (QRadioButton* button : {ColorDefault, ColorHoliday, ColorOwn})
        colors->addButton(button);

    QDialogButtonBox* buttons = OkCancelButtons(*this, &OkButton, &CancelButton);

    auto* grid = new QGridLayout(this);
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(NameEdit, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("繰り返し:"), this), 1, 0);
    grid->addLayout(repeatRow, 1, 1);
    grid->addWidget(dateLabel, 2, 0);
    grid->addLayout(dateRow, 2, 1);
    grid->addWidget(LeapNote, 3, 1);
    grid->addWidget(kindLabel, 4, 0);
    grid->addWidget(KindBox, 4, 1, Qt::AlignLeft);
    grid->addWidget(BeganLabel, 5, 0);
    grid->addWidget(BeganBox, 5, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel(QStringLiteral("数字の色:"), this), 6, 0);
    grid->addLayout(colorRow, 6, 1);
    grid->addWidget(buttons, 7, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    RepeatYearly->setChecked(day.Repeat == TFamilyDay::TRepeat::Yearly);
    RepeatWeekday->setChecked(day.Repeat == TFamilyDay::TRepeat::Weekday);
    RepeatOnce->setChecked(day.Repeat == TFamilyDay::TRepeat::Once);
    const bool once = day.Repeat == TFamilyDay::TRepeat::Once;
    YearBox->setValue(once && day.Year > 0 ? day.Year : QDate::currentDate().year());
    MonthBox->setValue(day.Month);
    DayBox->setValue(day.Day);
    WeekBox->setCurrentIndex(std::max(0, WeekBox->findData(day.Week)));
    WeekdayBox->setCurrentIndex(std::max(0, WeekdayBox->findData(day.Weekday)));
    KindBox->setCurrentIndex(std::max(0, KindBox->findData(static_cast<int>(day.Kind))));
    BeganBox->setValue(once ? 0 : day.Year);
    ColorDefault->setChecked(day.ColorChoice == TFamilyDay::TColorChoice::Default);
    ColorHoliday->setChecked(day.ColorChoice == TFamilyDay::TColorChoice::Holiday);
    ColorOwn->setChecked(day.ColorChoice == TFamilyDay::TColorChoice::Own);

    for (QRadioButton* button : {RepeatYearly, RepeatWeekday, RepeatOnce, ColorOwn})
        connect(button, &QRadioButton::toggled, this, [this] { ShowChoice(); });
    for (QSpinBox* box : {MonthBox, DayBox})
        connect(box, &QSpinBox::valueChanged, this, [this] { ShowChoice(); });
    connect(ColorButton, &QPushButton::clicked, this, [this] { ColorButtonClick(); });
    ShowChoice();
    NameEdit->setFocus();
}

void TFamilyDayEditor::ShowChoice() {
    const bool weekday = RepeatWeekday->isChecked();
    const bool once = RepeatOnce->isChecked();
    YearBox->setVisible(once);
    YearLabel->setVisible(once);
    DayBox->setVisible(!weekday);
    DayLabel->setVisible(!weekday);
    WeekBox->setVisible(weekday);
    WeekdayBox->setVisible(weekday);
    // A day of one year has its year in its date; it counts no years.
    BeganLabel->setVisible(!once);
    BeganBox->setVisible(!once);
    LeapNote->setVisible(!weekday && !once && MonthBox->value() == 2 && DayBox->value() == 29);
    ColorSwatch->SetColor(FromQColor(FColor));
    ColorSwatch->setEnabled(ColorOwn->isChecked());
    ColorSwatch->setVisible(ColorOwn->isChecked());
    ColorButton->setEnabled(ColorOwn->isChecked());
}

TFamilyDay TFamilyDayEditor::Day() const {
    TFamilyDay day = FDay;
    day.Name = NameEdit->text().trimmed();
    day.Repeat = RepeatOnce->isChecked()      ? TFamilyDay::TRepeat::Once
                 : RepeatWeekday->isChecked() ? TFamilyDay::TRepeat::Weekday
                                              : TFamilyDay::TRepeat::Yearly;
    day.Month = MonthBox->value();
    // The fields a repeat does not use keep what they held: the file says nothing of them.
    if (day.Repeat == TFamilyDay::TRepeat::Weekday) {
        day.Week = WeekBox->currentData().toInt();
        day.Weekday = WeekdayBox->currentData().toInt();
    } else {
        day.Day = DayBox->value();
    }
    day.Year = day.Repeat == TFamilyDay::TRepeat::Once ? YearBox->value() : BeganBox->value();
    day.Kind = static_cast<TFamilyDay::TKind>(KindBox->currentData().toInt());
    day.ColorChoice = ColorOwn->isChecked()       ? TFamilyDay::TColorChoice::Own
                      : ColorHoliday->isChecked() ? TFamilyDay::TColorChoice::Holiday
                                                  : TFamilyDay::TColorChoice::Default;
    day.Color = day.ColorChoice == TFamilyDay::TColorChoice::Own ? FColor : QColor();
    return day;
}

QString TFamilyDayEditor::Refusal() const {
    const QString name = NameEdit->text().trimmed();
    if (name.isEmpty())
        return QStringLiteral("名前を入力してください。");
    // The name is one field of a line in the days file.
    if (name.contains(u'\n') || name.contains(u'\r'))
        return QStringLiteral("名前に改行は使えません。");
    const int month = MonthBox->value();
    const int dayOfMonth = DayBox->value();
    if (RepeatOnce->isChecked()) {
        if (!QDate(YearBox->value(), month, dayOfMonth).isValid())
            return QStringLiteral("%1年%2月%3日という日はありません。")
                .arg(YearBox->value())
                .arg(month)
                .arg(dayOfMonth);
    } else if (RepeatYearly->isChecked()) {
        // Every year: a date of some year, so 29 February is one (2000 was a leap year).
        if (!QDate(2000, month, dayOfMonth).isValid())
            return QStringLiteral("%1月%2日という日はありません。").arg(month).arg(dayOfMonth);
    }
    return {};
}

void TFamilyDayEditor::accept() {
    const QString refusal = Refusal();
    if (!refusal.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), refusal);
        (refusal.startsWith(QStringLiteral("名前")) ? static_cast<QWidget*>(NameEdit)
                                                    : static_cast<QWidget*>(DayBox))
            ->setFocus();
        return;
    }
    QDialog::accept();
}

void TFamilyDayEditor::ColorButtonClick() {
    TColorDialog dialog(FromQColor(FColor));
    if (!dialog.Execute(this))
        return;
    FColor = ToQColor(dialog.Color());
    ShowChoice();
}

// --- What a file holds -----------------------------------------------------------------------

TFamilyImportDialog::TFamilyImportDialog(const TCalendarImport& found,
                                         const std::vector<TFamilyDay>& existing, int year,
                                         int startMonth, const QString& fileName, QWidget* parent)
    : QDialog(parent), FDays(found.Days) {
    setWindowTitle(QStringLiteral("ファイルから読み込む"));
    setObjectName(QStringLiteral("FamilyImportDialog"));
    if (parent != nullptr)
        setFont(parent->font());
    std::stable_sort(FDays.begin(), FDays.end(), EarlierInYear);

    const QString name = QFileInfo(fileName).fileName();
    auto* intro = new QLabel(
        FDays.empty()
            ? QStringLiteral("「%1」には、カレンダーに書ける予定がありませんでした。").arg(name)
            : QStringLiteral(
                  "「%1」に次の%2件がありました。記念日に加えるものにチェックを付けてください。")
                  .arg(name)
                  .arg(FDays.size()),
        this);
    intro->setWordWrap(true);

    DayList = new QTreeWidget(this);
    DayList->setRootIsDecorated(false);
    DayList->setHeaderLabels({QStringLiteral("日付"), QStringLiteral("名前"),
                              QStringLiteral("種類"),
                              QStringLiteral("%1の日").arg(SheetSpanText(year, startMonth)),
                              QStringLiteral("カレンダーの表示"), QString()});
    std::vector<TFamilyDay> seen = existing;
    for (std::size_t i = 0; i < FDays.size(); ++i) {
        const TFamilyDay& day = FDays[i];
        auto* item = new QTreeWidgetItem(DayList);
        item->setText(0, DateText(day));
        item->setText(1, day.Name);
        item->setText(2, KindText(day.Kind));
        item->setText(3, OccurrenceText(day, year, startMonth));
        item->setText(4, LabelIn(day, year, startMonth));
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        // A day the list has already (or this file twice) is shown, and not taken again.
        if (HasSameDay(seen, day)) {
            item->setText(5, QStringLiteral("登録済み"));
            item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable));
            item->setCheckState(0, Qt::Unchecked);
        } else {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, Qt::Checked);
            seen.push_back(day);
        }
    }
    DayList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    DayList->setMinimumWidth(560);

    auto* leftLabel =
        new QLabel(QStringLiteral("読み込まないもの（%1件）:").arg(found.Left.size()), this);
    LeftList = new QTreeWidget(this);
    LeftList->setRootIsDecorated(false);
    LeftList->setHeaderHidden(true);
    for (const QString& left : found.Left)
        new QTreeWidgetItem(LeftList, {left});
    LeftList->setMaximumHeight(120);
    leftLabel->setVisible(!found.Left.isEmpty());
    LeftList->setVisible(!found.Left.isEmpty());

    QDialogButtonBox* buttons = OkCancelButtons(*this, &OkButton, &CancelButton);
    OkButton->setEnabled(!FDays.empty());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(DayList, 1);
    layout->addWidget(leftLabel);
    layout->addWidget(LeftList);
    layout->addWidget(buttons);
}

std::vector<TFamilyDay> TFamilyImportDialog::Chosen() const {
    std::vector<TFamilyDay> chosen;
    for (int row = 0; row < DayList->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = DayList->topLevelItem(row);
        if (item->checkState(0) == Qt::Checked)
            chosen.push_back(FDays.at(item->data(0, Qt::UserRole).toUInt()));
    }
    return chosen;
}

// --- The list --------------------------------------------------------------------------------

namespace {

enum TDayColumn { dcDate, dcName, dcKind, dcBegan, dcInYear, dcLabel, dcColor };

} // namespace

TFamilyDaysDialog::TFamilyDaysDialog(const TDaysFile& file, int year, TColor holidayColor,
                                     QWidget* parent, int startMonth)
    : QDialog(parent), FOriginal(file.Days), FYear(year), FStartMonth(startMonth),
      FHolidayColor(holidayColor), FReadOnly(file.Unreadable) {
    setWindowTitle(DialogTitle);
    setObjectName(QStringLiteral("FamilyDaysDialog"));
    if (parent != nullptr)
        setFont(parent->font());
    // The list is shown, and kept, in order by date; a file put in another order by hand
    // counts as unchanged.
    std::stable_sort(FOriginal.begin(), FOriginal.end(), EarlierInYear);
    FDays = FOriginal;

    DayList = new QTreeWidget(this);
    DayList->setRootIsDecorated(false);
    DayList->setHeaderLabels({QStringLiteral("日付"), QStringLiteral("名前"),
                              QStringLiteral("種類"), QStringLiteral("始まった年"),
                              QStringLiteral("%1の日").arg(SheetSpanText(year, startMonth)),
                              QStringLiteral("カレンダーの表示"), QStringLiteral("数字の色")});
    DayList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    DayList->setMinimumSize(620, 260);

    AddButton = new QPushButton(QStringLiteral("追加(&A)..."), this);
    ChangeButton = new QPushButton(QStringLiteral("変更(&C)..."), this);
    RemoveButton = new QPushButton(QStringLiteral("削除(&R)"), this);
    RemoveButton->setShortcut(QKeySequence::Delete);
    ImportButton = new QPushButton(QStringLiteral("ファイルから読み込む(&I)..."), this);
    ImportButton->setToolTip(QStringLiteral(
        "カレンダーのプログラムが書き出した iCalendar ファイル（.ics）から誕生日や記念日を読み込みます"));
    auto* side = new QVBoxLayout;
    for (QPushButton* button : {AddButton, ChangeButton, RemoveButton})
        side->addWidget(button);
    side->addSpacing(12);
    side->addWidget(ImportButton);
    side->addStretch();

    auto* note = new QLabel(
        QStringLiteral("2月29日の誕生日・記念日は、うるう年でない年には2月28日に表示されます。"),
        this);
    note->setWordWrap(true);

    ProblemLabel = new QLabel(this);
    ProblemLabel->setWordWrap(true);
    ProblemLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ProblemLabel->setStyleSheet(QStringLiteral("QLabel { color: #a00000; }"));
    QStringList problems;
    for (const TDaysFileProblem& problem : file.Problems)
        problems << problem.Message;
    if (FReadOnly) {
        ProblemLabel->setText(QStringLiteral("記念日のファイルを読めないため、変更できません。\n") +
                              problems.join(u'\n'));
    } else if (!problems.isEmpty()) {
        ProblemLabel->setText(
            QStringLiteral(
                "記念日のファイルの次の行は読めなかったため、カレンダーに表示されません（ファイルにはそのまま残ります）。\n") +
            problems.join(u'\n'));
    }
    ProblemLabel->setVisible(!ProblemLabel->text().isEmpty());

    QDialogButtonBox* buttons = OkCancelButtons(*this, &OkButton, &CancelButton);

    auto* grid = new QGridLayout(this);
    grid->addWidget(DayList, 0, 0);
    grid->addLayout(side, 0, 1);
    grid->addWidget(note, 1, 0, 1, 2);
    grid->addWidget(ProblemLabel, 2, 0, 1, 2);
    grid->addWidget(buttons, 3, 0, 1, 2);

    connect(AddButton, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { AddButtonClick(); }); });
    connect(ChangeButton, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { ChangeButtonClick(); }); });
    connect(RemoveButton, &QPushButton::clicked, this, [this] { RemoveButtonClick(); });
    connect(ImportButton, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { ImportButtonClick(); }); });
    connect(DayList, &QTreeWidget::itemSelectionChanged, this, [this] { ShowButtons(); });
    connect(DayList, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (!FReadOnly)
            ChangeButtonClick();
    });
    ShowDays(FDays.empty() ? -1 : 0);
}

void TFamilyDaysDialog::ShowDays(int selected) {
    DayList->clear();
    for (std::size_t i = 0; i < FDays.size(); ++i) {
        const TFamilyDay& day = FDays[i];
        auto* item = new QTreeWidgetItem(DayList);
        item->setText(dcDate, DateText(day));
        item->setText(dcName, day.Name);
        item->setText(dcKind, KindText(day.Kind));
        if (day.Repeat != TFamilyDay::TRepeat::Once && day.Year != 0)
            item->setText(dcBegan, QStringLiteral("%1年").arg(day.Year));
        item->setText(dcInYear, OccurrenceText(day, FYear, FStartMonth));
        item->setText(dcLabel, LabelIn(day, FYear, FStartMonth));
        ShowColor(*item, dcColor, day, FHolidayColor);
        item->setData(dcDate, Qt::UserRole, static_cast<int>(i));
        if (static_cast<int>(i) == selected)
            DayList->setCurrentItem(item);
    }
    ShowButtons();
}

void TFamilyDaysDialog::ShowButtons() {
    const bool any = SelectedIndex() >= 0;
    AddButton->setEnabled(!FReadOnly);
    ImportButton->setEnabled(!FReadOnly);
    ChangeButton->setEnabled(!FReadOnly && any);
    RemoveButton->setEnabled(!FReadOnly && any);
}

int TFamilyDaysDialog::SelectedIndex() const {
    const QTreeWidgetItem* item = DayList->currentItem();
    if (item == nullptr || !item->isSelected())
        return -1;
    return item->data(dcDate, Qt::UserRole).toInt();
}

int TFamilyDaysDialog::Insert(const TFamilyDay& day) {
    const auto at = std::upper_bound(FDays.begin(), FDays.end(), day, EarlierInYear);
    const auto inserted = FDays.insert(at, day);
    inserted->Comments = FUnreadLines + inserted->Comments;
    FUnreadLines.clear();
    return static_cast<int>(inserted - FDays.begin());
}

void TFamilyDaysDialog::AddButtonClick() {
    if (FReadOnly)
        return;
    TFamilyDay day;
    day.Kind = TFamilyDay::TKind::Birthday;
    TFamilyDayEditor editor(day, QStringLiteral("記念日の追加"), this);
    if (editor.exec() != QDialog::Accepted)
        return;
    ShowDays(Insert(editor.Day()));
}

void TFamilyDaysDialog::ChangeButtonClick() {
    const int index = SelectedIndex();
    if (FReadOnly || index < 0)
        return;
    TFamilyDayEditor editor(FDays.at(static_cast<std::size_t>(index)),
                            QStringLiteral("記念日の変更"), this);
    if (editor.exec() != QDialog::Accepted)
        return;
    FDays.erase(FDays.begin() + index);
    ShowDays(Insert(editor.Day()));
}

void TFamilyDaysDialog::RemoveButtonClick() {
    const int index = SelectedIndex();
    if (FReadOnly || index < 0)
        return;
    const auto removed = FDays.begin() + index;
    // Lines of the file that could not be read are kept above the day after them; they stay
    // in the file for a person to mend, above the day that now follows them (the day before,
    // when it was the last). The comments written about the day go with it.
    QStringList unread;
    for (const QString& line : removed->Comments)
        if (!line.trimmed().startsWith(u'#') && !line.trimmed().startsWith(QChar(0xFF03)) &&
            !line.trimmed().isEmpty())
            unread << line;
    const int next = index + 1 < static_cast<int>(FDays.size()) ? index + 1 : index - 1;
    if (!unread.isEmpty() && next >= 0) {
        QStringList& comments = FDays.at(static_cast<std::size_t>(next)).Comments;
        if (next > index)
            comments = unread + comments;
        else
            comments += unread;
    } else {
        // The last day gone: the lines wait for the next day added.
        FUnreadLines += unread;
    }
    FDays.erase(removed);
    ShowDays(std::min(index, static_cast<int>(FDays.size()) - 1));
}

void TFamilyDaysDialog::ImportButtonClick() {
    if (FReadOnly)
        return;
    TOpenDialog dialog;
    dialog.Title = QStringLiteral("記念日を読み込むファイル");
    dialog.Filter =
        QStringLiteral("iCalendar ファイル(ics)|*.ics;*.ical;*.ifb;*.icalendar|すべてのファイル|*");
    dialog.FileName = FImportFile;
    dialog.InitialDir = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!dialog.Execute(this))
        return;
    FImportFile = dialog.FileName;
    ImportFile(dialog.FileName);
}

void TFamilyDaysDialog::ImportFile(const QString& fileName) {
    if (FReadOnly)
        return;
    TCalendarImport found;
    try {
        found = ImportICalendarFile(fileName, FYear, QTimeZone::systemTimeZone(), FStartMonth);
    } catch (const Exception& error) {
        QMessageBox::warning(this, DialogTitle, error.Message());
        return;
    }
    TFamilyImportDialog preview(found, FDays, FYear, FStartMonth, fileName, this);
    if (preview.exec() != QDialog::Accepted)
        return;
    int last = -1;
    for (const TFamilyDay& day : preview.Chosen())
        if (!HasSameDay(FDays, day))
            last = Insert(day);
    ShowDays(last);
}
