// The save-settings dialog "設定の保存": the user picks one of the ten slots, whose comment
// the comment field then shows, may type a new one of up to 20 characters, and OK writes the
// current fonts, colours and title style into that slot of the settings file.
#pragma once

#include "slotdialog.h"

class QLabel;
class QLineEdit;

class TFrmfontSave : public TSlotDialog {
    Q_OBJECT

  public:
    TFrmfontSave(TCalendarDocument& document, QWidget* window);

    QLabel* Label1; // "コメント"
    QLineEdit* Edit1;

    /// Opening: captions and current slot (Prepare), the current slot's comment in Edit1,
    /// which has the focus.
    void FormShow();
    /// Pressing the mouse on a slot's radio button, or choosing it with the keys, copies its
    /// comment into Edit1, so that OK keeps the slot's name unless a new one is typed.
    void RadioButton1MouseDown(int slot);
    /// OK: a blank comment becomes "フォント設定" + n; the slot is saved and the dialog closes.
    /// A comment copied from a slot and left as it was is saved whole, also one longer than
    /// the field takes. When the file cannot be written the message is shown and the dialog
    /// stays open.
    void Button1Click();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void PlaceBelowGroup() override;

  private:
    /// The whole comment last copied into Edit1 (which may hold only its first 20 characters).
    QString FCopiedComment;
};
