#include "fontsaveunit1.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

#include "model/calendardocument.h"
#include "widgets/application.h"

TFrmfontSave::TFrmfontSave(TCalendarDocument& document, QWidget* window)
    : TSlotDialog(document, window, QStringLiteral("設定の保存"),
                  QStringLiteral("保存する領域を選択してください。"), 205, false) {
    setObjectName(QStringLiteral("FrmfontSave"));
    Label1 = new QLabel(QStringLiteral("コメント"), this);
    Edit1 = new QLineEdit(this);
    Edit1->setMaxLength(MaxShownCommentLength);
    PlaceBelowGroup();
    for (int n = 1; n <= SlotCount; ++n) {
        RadioButton[n - 1]->installEventFilter(this);
        // The arrow keys move the choice without a mouse press; the field follows them too.
        connect(RadioButton[n - 1], &QRadioButton::toggled, this, [this, n](bool checked) {
            if (checked && isVisible())
                RadioButton1MouseDown(n);
        });
    }
    connect(Button1, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { Button1Click(); }); });
}

void TFrmfontSave::PlaceBelowGroup() {
    Label1->setGeometry(12, 152, 50, 16);
    Edit1->setGeometry(64, 149, width() - 72, 21);
}

void TFrmfontSave::showEvent(QShowEvent* event) {
    TSlotDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFrmfontSave::FormShow() {
    Prepare();
    RadioButton1MouseDown(SelectedSlot());
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

void TFrmfontSave::RadioButton1MouseDown(int slot) {
    FCopiedComment = SlotCaption(slot);
    Edit1->setText(FCopiedComment); // clears the field's modified flag
    Edit1->selectAll();             // typing replaces the name
}

void TFrmfontSave::Button1Click() {
    const int n = SelectedSlot();
    // A comment the field could only take in part, left untouched, is kept whole.
    QString comment = Edit1->text();
    if (!Edit1->isModified() && comment == FCopiedComment.left(MaxShownCommentLength))
        comment = FCopiedComment;
    if (comment.trimmed().isEmpty()) {
        Edit1->setText(DefaultSlotComment(n));
        comment = Edit1->text();
    }
    // All keys of the slot are written at once: a save that fails (a read-only file, a full
    // disk) leaves the file as it was instead of half a slot, and the dialog open.
    FDocument.SaveSlot(n, comment);
    accept();
}
