#include "fontsaveunit1.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

#include "mainunit.h"
#include "platform/inifile.h"

TFrmfontSave::TFrmfontSave(TmainForm& form)
    : TSlotDialog(form, QStringLiteral("設定の保存"), QStringLiteral("保存する領域を選択してください。"),
                  205) {
    setObjectName(QStringLiteral("FrmfontSave"));
    Label1 = new QLabel(QStringLiteral("コメント"), this);
    Label1->setGeometry(12, 152, 50, 16);
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(64, 149, 269, 21);
    Edit1->setMaxLength(20);
    for (QRadioButton* button : RadioButton)
        button->installEventFilter(this);
    connect(Button1, &QPushButton::clicked, this, [this] { TmainForm::Guarded([this] { Button1Click(); }); });
}

void TFrmfontSave::showEvent(QShowEvent* event) {
    TSlotDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFrmfontSave::FormShow() {
    Prepare();
    Edit1->clear();
    Edit1->setFocus();
}

bool TFrmfontSave::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        for (int n = 1; n <= SlotCount; ++n)
            if (watched == RadioButton[n - 1])
                RadioButton1MouseDown(n);
    }
    return TSlotDialog::eventFilter(watched, event);
}

void TFrmfontSave::RadioButton1MouseDown(int slot) { Edit1->setText(SlotCaption(slot)); }

void TFrmfontSave::Button1Click() {
    const int n = SelectedSlot();
    if (Edit1->text().trimmed().isEmpty())
        Edit1->setText(DefaultSlotComment(n));
    FForm.SlotComments[n - 1] = Edit1->text();
    SaveSlot(n, Edit1->text());
    accept();
}

void TFrmfontSave::SaveSlot(int slot, const QString& comment) {
    // All keys of the slot are written at once: a save that fails (a read-only file, a full
    // disk) leaves the file as it was instead of half a slot, and the current slot unchanged.
    TIniFile ini(FForm.SettingsFileName());
    SaveSlotSettings(ini, slot, comment, FForm.CurrentSettings(), FForm.ComboBox3->currentIndex());
    FForm.CurrentSlot = slot;
    FForm.SettingsChanged = false;
}
