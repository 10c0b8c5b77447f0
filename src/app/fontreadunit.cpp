#include "fontreadunit.h"

#include <QPushButton>
#include <QShowEvent>

#include "model/calendardocument.h"
#include "widgets/application.h"

TFrmfontRead::TFrmfontRead(TCalendarDocument& document, QWidget* window)
    : TSlotDialog(document, window, QStringLiteral("設定の読み込み"),
                  QStringLiteral("領域を選択してください。"), 182, true) {
    setObjectName(QStringLiteral("FrmfontRead"));
    connect(Button1, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { Button1Click(); }); });
}

void TFrmfontRead::showEvent(QShowEvent* event) {
    TSlotDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFrmfontRead::FormShow() {
    Prepare();
}

void TFrmfontRead::Button1Click() {
    const int slot = SelectedSlot();
    if (!FDocument.SlotSaved[slot - 1])
        return; // never offered; the keyboard cannot reach it either
    FDocument.LoadSlot(slot);
    accept();
}
