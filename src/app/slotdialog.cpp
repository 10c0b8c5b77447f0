#include "slotdialog.h"

#include <algorithm>

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "model/calendardocument.h"

namespace {

// Radio button geometry inside the group box: two columns of five.
constexpr int FirstColumnLeft = 14;
constexpr int ColumnGap = 8;
constexpr int FirstRowTop = 20;
constexpr int RowStep = 22;
constexpr int ButtonWidth = 150;
constexpr int ButtonHeight = 20;
// The group box within the dialog, and the room right of the second column inside it.
constexpr int GroupLeft = 8;
constexpr int GroupTop = 6;
constexpr int GroupHeight = 136;
constexpr int GroupRightRoom = 3;

// Slots 1..5 top to bottom on the left; 10..6 top to bottom on the right.
int ColumnOf(int slot) {
    return slot <= 5 ? 0 : 1;
}
int RowOf(int slot) {
    return slot <= 5 ? slot - 1 : SlotCount - slot;
}

} // namespace

TSlotDialog::TSlotDialog(TCalendarDocument& document, QWidget* window, const QString& caption,
                         const QString& groupCaption, int clientHeight, bool onlySaved)
    : QDialog(window), FDocument(document), FOnlySaved(onlySaved), FClientHeight(clientHeight) {
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(window->font());

    GroupBox1 = new QGroupBox(groupCaption, this);
    for (int n = 1; n <= SlotCount; ++n) {
        auto* button = new QRadioButton(GroupBox1);
        button->setObjectName(QStringLiteral("RadioButton%1").arg(n));
        RadioButton[n - 1] = button;
    }
    RadioButton[0]->setChecked(true); // the design choice

    Button1 = new QPushButton(QStringLiteral("OK(&O)"), this);
    Button2 = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ(&C)"), this);
    Button1->setDefault(true);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    FitColumns();
}

void TSlotDialog::Prepare() {
    move(parentWidget()->pos() + QPoint(100, 100));
    for (int n = 1; n <= SlotCount; ++n) {
        FComments[n - 1] = FDocument.SlotComments[n - 1];
        // A comment longer than the comment field takes (a file edited by hand) is cut short
        // and shown whole in its tool tip.
        QString shown = FComments[n - 1];
        const bool cut = shown.size() > MaxShownCommentLength;
        if (cut)
            shown = shown.left(MaxShownCommentLength) + u'…';
        // An "&" in a comment is text, not a keyboard mnemonic.
        shown.replace(u'&', QStringLiteral("&&"));
        // A slot never saved holds nothing to load: loading it would put the defaults in
        // place of the fonts and colours the user has.
        const bool offered = !FOnlySaved || FDocument.SlotSaved[n - 1];
        if (!offered)
            shown += UnsavedMark;
        RadioButton[n - 1]->setText(shown);
        RadioButton[n - 1]->setEnabled(offered);
        RadioButton[n - 1]->setToolTip(cut ? FComments[n - 1] : QString());
    }
    FitColumns();
    const int current = FDocument.CurrentSlot;
    if (current >= 1 && current <= SlotCount && RadioButton[current - 1]->isEnabled())
        RadioButton[current - 1]->setChecked(true);
    else if (!RadioButton[SelectedSlot() - 1]->isEnabled())
        for (QRadioButton* button : RadioButton)
            if (button->isEnabled()) {
                button->setChecked(true);
                break;
            }
    Button1->setEnabled(RadioButton[SelectedSlot() - 1]->isEnabled());
}

void TSlotDialog::FitColumns() {
    int width = ButtonWidth;
    for (const QRadioButton* button : RadioButton)
        width = std::max(width, button->sizeHint().width());
    const int secondLeft = FirstColumnLeft + width + ColumnGap;
    for (int n = 1; n <= SlotCount; ++n)
        RadioButton[n - 1]->setGeometry(ColumnOf(n) == 0 ? FirstColumnLeft : secondLeft,
                                        FirstRowTop + RowOf(n) * RowStep, width, ButtonHeight);
    const int groupWidth = secondLeft + width + GroupRightRoom;
    GroupBox1->setGeometry(GroupLeft, GroupTop, groupWidth, GroupHeight);
    const int dialogWidth = std::max(DesignWidth, GroupLeft + groupWidth + GroupLeft);
    setFixedSize(dialogWidth, FClientHeight);
    Button1->setGeometry(dialogWidth - 173, FClientHeight - 33, 80, 25);
    Button2->setGeometry(dialogWidth - 88, FClientHeight - 33, 80, 25);
    PlaceBelowGroup();
}

void TSlotDialog::PlaceBelowGroup() {}

int TSlotDialog::SelectedSlot() const {
    for (int n = 1; n <= SlotCount; ++n)
        if (RadioButton[n - 1]->isChecked())
            return n;
    return 1;
}

QString TSlotDialog::SlotCaption(int slot) const {
    return FComments.at(slot - 1);
}
