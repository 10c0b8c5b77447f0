// The load-settings dialog "設定の読み込み": the user picks one of the slots saved so far, and
// OK restores its fonts, colours and title style (one step of the history: undo gives back
// what was there before). A slot never saved shows "（未保存）" and cannot be picked.
#pragma once

#include "slotdialog.h"

class TFrmfontRead : public TSlotDialog {
    Q_OBJECT

  public:
    TFrmfontRead(TCalendarDocument& document, QWidget* window);

    /// Opening: captions and current slot.
    void FormShow();
    /// OK: loads the checked slot and closes.
    void Button1Click();

  protected:
    void showEvent(QShowEvent* event) override;
};
