#include "slotdialog.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "mainunit.h"

namespace {

// Radio button geometry inside the group box: two columns of five.
constexpr int ColumnLeft[2] = {14, 172};
constexpr int FirstRowTop = 20;
constexpr int RowStep = 22;
constexpr int ButtonWidth = 150;

} // namespace

TSlotDialog::TSlotDialog(TmainForm& form, const QString& caption, const QString& groupCaption,
                         int clientHeight)
    : QDialog(&form), FForm(form) {
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(form.font());
    setFixedSize(341, clientHeight);

    GroupBox1 = new QGroupBox(groupCaption, this);
    GroupBox1->setGeometry(8, 6, 325, 136);
    for (int n = 1; n <= SlotCount; ++n) {
        auto* button = new QRadioButton(GroupBox1);
        button->setObjectName(QStringLiteral("RadioButton%1").arg(n));
        // Slots 1..5 top to bottom on the left; 10..6 top to bottom on the right.
        const int column = n <= 5 ? 0 : 1;
        const int row = n <= 5 ? n - 1 : SlotCount - n;
        button->setGeometry(ColumnLeft[column], FirstRowTop + row * RowStep, ButtonWidth, 20);
        RadioButton[n - 1] = button;
    }
    RadioButton[0]->setChecked(true); // the design choice

    Button1 = new QPushButton(QStringLiteral("OK(&O)"), this);
    Button2 = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ(&C)"), this);
    Button1->setGeometry(168, clientHeight - 33, 80, 25);
    Button2->setGeometry(253, clientHeight - 33, 80, 25);
    Button1->setDefault(true);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TSlotDialog::Prepare() {
    move(FForm.pos() + QPoint(100, 100));
    for (int n = 1; n <= SlotCount; ++n) {
        // An "&" in a comment is text, not a keyboard mnemonic.
        QString shown = FForm.SlotComments[n - 1];
        RadioButton[n - 1]->setText(shown.replace(u'&', QStringLiteral("&&")));
    }
    if (FForm.CurrentSlot >= 1 && FForm.CurrentSlot <= SlotCount)
        RadioButton[FForm.CurrentSlot - 1]->setChecked(true);
}

int TSlotDialog::SelectedSlot() const {
    for (int n = 1; n <= SlotCount; ++n)
        if (RadioButton[n - 1]->isChecked())
            return n;
    return 1;
}

QString TSlotDialog::SlotCaption(int slot) const {
    return RadioButton.at(slot - 1)->text().replace(QStringLiteral("&&"), QStringLiteral("&"));
}
