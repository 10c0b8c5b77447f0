// The load-settings dialog "設定の読み込み": the user picks one of the ten slots and OK
// restores its fonts, colours and title style.
#pragma once

#include "slotdialog.h"

class TFrmfontRead : public TSlotDialog {
    Q_OBJECT

  public:
    /// `session` is the window's; it takes Session() back when the dialog is done.
    TFrmfontRead(TmainForm& form, TSlotSession session);

    /// Opening: captions and current slot.
    void FormShow();
    /// OK: loads the checked slot and closes.
    void Button1Click();

    /// Reads slot n into the main window's font and colour dialogs and its title style (the
    /// list's index only: the titles follow at the next recolouring), makes n the session's
    /// current slot and clears its changed flag. A slot outside 1..10 loads all defaults.
    void LoadSlot(int slot);

  protected:
    void showEvent(QShowEvent* event) override;
};
