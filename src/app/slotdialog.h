// What the two settings-slot dialogs share: ten radio buttons captioned with the slots'
// comments (slots 1–5 down the left column, 10–6 down the right), OK and cancel, and their
// place on the screen 100 pixels right of and below the main window's top-left corner.
#pragma once

#include <array>

#include <QDialog>

#include "settingsslots.h"

class QGroupBox;
class QPushButton;
class QRadioButton;
class TmainForm;

class TSlotDialog : public QDialog {
    Q_OBJECT

public:
    /// RadioButton[n − 1] stands for slot n.
    std::array<QRadioButton*, SlotCount> RadioButton{};
    QGroupBox* GroupBox1;
    QPushButton* Button1; // "OK(&O)"
    QPushButton* Button2; // "ｷｬﾝｾﾙ(&C)"

    /// The slot of the checked radio button; 1 when none is checked.
    int SelectedSlot() const;
    /// The comment of slot n as its radio button shows it.
    QString SlotCaption(int slot) const;

protected:
    TSlotDialog(TmainForm& form, const QString& caption, const QString& groupCaption,
                int clientHeight);

    /// Places the dialog, captions the radio buttons with the slot comments and checks the
    /// button of the current slot (slot 1 stays checked for a current slot outside 1..10).
    void Prepare();

    TmainForm& FForm; // the main window that opened the dialog; it outlives the dialog
};
