// The save-settings dialog "設定の保存": the user picks one of the ten slots, may type a
// comment of up to 20 characters, and OK writes the current fonts, colours and title style
// into that slot of the settings file.
#pragma once

#include "slotdialog.h"

class QLabel;
class QLineEdit;

class TFrmfontSave : public TSlotDialog {
    Q_OBJECT

public:
    explicit TFrmfontSave(TmainForm& form);

    QLabel* Label1; // "コメント"
    QLineEdit* Edit1;

    /// Opening: captions and current slot (Prepare), an empty comment with the focus.
    void FormShow();
    /// Pressing the mouse on a slot's radio button copies its comment into Edit1.
    void RadioButton1MouseDown(int slot);
    /// OK: a blank comment becomes "フォント設定" + n; the slot is saved and the dialog closes.
    /// When the file cannot be written the message is shown and the dialog stays open.
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// Writes slot n; raises EIniFileException when the file refuses a key, the keys before it
    /// being written already.
    void SaveSlot(int slot, const QString& comment);
};
