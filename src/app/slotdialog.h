// What the two settings-slot dialogs share: ten radio buttons captioned with the slots'
// comments (slots 1–5 down the left column, 10–6 down the right), OK and cancel, and their
// place on the screen 100 pixels right of and below the main window's top-left corner. The
// columns widen, and the dialog with them, so that every comment shows whole.
#pragma once

#include <array>

#include <QDialog>

#include "model/settingsslots.h"

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

    /// The session as the dialog left it: a saved comment, the slot loaded or saved, the
    /// changed flag cleared by either.
    const TSlotSession& Session() const { return FSession; }

    /// The slot of the checked radio button; 1 when none is checked.
    int SelectedSlot() const;
    /// The comment of slot n that its radio button stands for (shown whole up to
    /// MaxShownCommentLength characters, cut short with "…" beyond).
    QString SlotCaption(int slot) const;

    /// The longest comment the comment field takes; radio buttons show this many whole.
    static constexpr int MaxShownCommentLength = 20;
    /// Width of the dialogs when every comment fits their columns.
    static constexpr int DesignWidth = 341;

  protected:
    TSlotDialog(TmainForm& form, TSlotSession session, const QString& caption,
                const QString& groupCaption, int clientHeight);

    /// Places the dialog, captions the radio buttons with the slot comments, widens the
    /// columns for the longest, and checks the button of the current slot (slot 1 stays
    /// checked for a current slot outside 1..10).
    void Prepare();
    /// Called by Prepare once the dialog has its width: places what lies below the group.
    virtual void PlaceBelowGroup();

    TmainForm& FForm; // the main window that opened the dialog; it outlives the dialog
    TSlotSession FSession;

  private:
    /// Columns as wide as the widest caption needs, at least the design's.
    void FitColumns();

    int FClientHeight;
    std::array<QString, SlotCount> FComments;
};
