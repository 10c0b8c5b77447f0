#include "shapedialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "titlepreview.h"
#include "widgets/application.h"
#include "widgets/fontdialog.h"

namespace {

// The font dialog's sample at the year title's size (24 points on the sheet); an own title on a
// line of its own prints a little smaller, and a long one smaller still.
constexpr int FaceSampleHeight = -32;

QString StyleName(TFontStyles style) {
    const bool bold = (style & fsBold) != 0;
    const bool italic = (style & fsItalic) != 0;
    return bold && italic ? QStringLiteral("太字 斜体")
           : bold         ? QStringLiteral("太字")
           : italic       ? QStringLiteral("斜体")
                          : QStringLiteral("標準");
}

} // namespace

QString SheetRangeText(int year, int startMonth) {
    const TSheetMonth last = SheetMonthAt(year, startMonth, 12);
    const QString end = last.Year == year
                            ? QStringLiteral("%1月").arg(last.Month)
                            : QStringLiteral("%1年%2月").arg(last.Year).arg(last.Month);
    return QStringLiteral("%1年%2月〜%3の12か月").arg(year).arg(startMonth).arg(end);
}

TShapeDialog::TShapeDialog(const TCalendarModel& model, QWidget* parent)
    : QDialog(parent), FModel(model), FFont(model.Shape.Title.Font) {
    setWindowTitle(QStringLiteral("始まりと題名"));
    setObjectName(QStringLiteral("ShapeDialog"));
    if (parent != nullptr)
        setFont(parent->font());

    auto* start = new QGroupBox(QStringLiteral("始まりの月"), this);
    StartMonthBox = new QComboBox(start);
    for (int month = 1; month <= 12; ++month)
        StartMonthBox->addItem(QStringLiteral("%1月").arg(month));
    auto* startLabel = new QLabel(QStringLiteral("始まりの月(&S):"), start);
    startLabel->setBuddy(StartMonthBox);
    RangeLabel = new QLabel(start);
    auto* fiscal = new QLabel(
        QStringLiteral(
            "4月始まりにすると、学校や会社の年度（4月〜翌年3月）のカレンダーになります。"),
        start);
    fiscal->setWordWrap(true);
    auto* startLayout = new QGridLayout(start);
    startLayout->addWidget(startLabel, 0, 0);
    startLayout->addWidget(StartMonthBox, 0, 1, Qt::AlignLeft);
    startLayout->addWidget(RangeLabel, 1, 0, 1, 2);
    startLayout->addWidget(fiscal, 2, 0, 1, 2);
    startLayout->setColumnStretch(1, 1);

    auto* week = new QGroupBox(QStringLiteral("週の始まり"), this);
    SundayFirst = new QRadioButton(QStringLiteral("日曜(&U)"), week);
    MondayFirst = new QRadioButton(QStringLiteral("月曜(&M)"), week);
    auto* weekLayout = new QVBoxLayout(week);
    weekLayout->addWidget(SundayFirst);
    weekLayout->addWidget(MondayFirst);
    weekLayout->addStretch();

    auto* own = new QGroupBox(QStringLiteral("自分の題名"), this);
    TitleEdit = new QLineEdit(own);
    TitleEdit->setMaxLength(OwnTitleMaxLength);
    TitleEdit->setPlaceholderText(
        QStringLiteral("例: 山田家のカレンダー（空のときは印刷しません）"));
    auto* titleLabel = new QLabel(QStringLiteral("題名(&T):"), own);
    titleLabel->setBuddy(TitleEdit);
    FaceLabel = new QLabel(own);
    FaceButton = new QPushButton(QStringLiteral("書体(&F)..."), own);
    PlaceAbove = new QRadioButton(QStringLiteral("年の題名の上に(&A)"), own);
    PlaceReplace = new QRadioButton(QStringLiteral("年の題名の代わりに(&R)"), own);
    auto* places = new QHBoxLayout;
    places->addWidget(PlaceAbove);
    places->addWidget(PlaceReplace);
    places->addStretch();
    auto* ownLayout = new QGridLayout(own);
    ownLayout->addWidget(titleLabel, 0, 0);
    ownLayout->addWidget(TitleEdit, 0, 1, 1, 2);
    ownLayout->addWidget(new QLabel(QStringLiteral("書体:"), own), 1, 0);
    ownLayout->addWidget(FaceLabel, 1, 1);
    ownLayout->addWidget(FaceButton, 1, 2);
    ownLayout->addWidget(new QLabel(QStringLiteral("位置:"), own), 2, 0);
    ownLayout->addLayout(places, 2, 1, 1, 2);
    ownLayout->setColumnStretch(1, 1);

    auto* sample = new QGroupBox(QStringLiteral("見本"), this);
    Preview = new TTitlePreview(sample);
    Preview->setAutoFillBackground(false);
    auto* note = new QLabel(
        QStringLiteral(
            "題名は年のフォントの色で印刷されます。長い題名は入りきる大きさに縮めます。"),
        sample);
    note->setWordWrap(true);
    auto* sampleLayout = new QVBoxLayout(sample);
    sampleLayout->addWidget(Preview, 0, Qt::AlignHCenter);
    sampleLayout->addWidget(note);

    QDialogButtonBox* buttons = OkCancelButtons(*this, &OkButton, &CancelButton);

    auto* grid = new QGridLayout(this);
    grid->addWidget(start, 0, 0);
    grid->addWidget(week, 0, 1);
    grid->addWidget(own, 1, 0, 1, 2);
    grid->addWidget(sample, 2, 0, 1, 2);
    grid->addWidget(buttons, 3, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    const TSheetShape& shape = model.Shape;
    StartMonthBox->setCurrentIndex(shape.StartMonth - 1);
    SundayFirst->setChecked(shape.WeekStart == TWeekStart::Sunday);
    MondayFirst->setChecked(shape.WeekStart == TWeekStart::Monday);
    TitleEdit->setText(shape.Title.Text);
    PlaceAbove->setChecked(shape.Title.Place == TOwnTitlePlace::Above);
    PlaceReplace->setChecked(shape.Title.Place == TOwnTitlePlace::Replace);

    connect(StartMonthBox, &QComboBox::currentIndexChanged, this, [this] { ShowChoice(); });
    connect(TitleEdit, &QLineEdit::textChanged, this, [this] { ShowChoice(); });
    for (QRadioButton* button : {PlaceAbove, PlaceReplace})
        connect(button, &QRadioButton::toggled, this, [this] { ShowChoice(); });
    connect(FaceButton, &QPushButton::clicked, this, [this] { FaceButtonClick(); });
    ShowChoice();
    TitleEdit->setFocus();
}

TSheetShape TShapeDialog::Shape() const {
    TSheetShape shape = FModel.Shape;
    shape.StartMonth = StartMonthBox->currentIndex() + 1;
    shape.WeekStart = MondayFirst->isChecked() ? TWeekStart::Monday : TWeekStart::Sunday;
    shape.Title.Text = OwnTitleText(TitleEdit->text());
    shape.Title.Font = FFont;
    shape.Title.Place = PlaceReplace->isChecked() ? TOwnTitlePlace::Replace : TOwnTitlePlace::Above;
    return shape;
}

void TShapeDialog::ShowChoice() {
    const TSheetShape shape = Shape();
    RangeLabel->setText(SheetRangeText(FModel.Year, shape.StartMonth));
    FaceLabel->setText(FFont.Name + u' ' + StyleName(FFont.Style));
    QFont face = FaceLabel->font();
    face.setFamily(FFont.Name);
    face.setBold((FFont.Style & fsBold) != 0);
    face.setItalic((FFont.Style & fsItalic) != 0);
    FaceLabel->setFont(face);
    TCalendarModel shown = FModel;
    shown.Shape = shape;
    Preview->ShowTitles(shown);
}

void TShapeDialog::FaceButtonClick() {
    TFontDialog dialog;
    dialog.Font().SetName(FFont.Name);
    dialog.Font().SetHeight(FaceSampleHeight);
    dialog.Font().SetStyle(FFont.Style);
    dialog.Font().SetCharset(SHIFTJIS_CHARSET);
    if (!dialog.Execute(this))
        return;
    FFont = {dialog.Font().Name(),
             static_cast<TFontStyles>(dialog.Font().Style() & (fsBold | fsItalic))};
    ShowChoice();
}
