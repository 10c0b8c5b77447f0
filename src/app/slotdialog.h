// What the two settings-slot dialogs share: ten radio buttons captioned with the slots'
// comments (slots 1–5 down the left column, 10–6 down the right), OK and cancel, and their
// place on the screen 100 pixels right of and below the main window's top-left corner. The
// columns widen, and the dialog with them, so that every comment shows whole. The dialogs read
// and change the calendar document's session of slots directly.
#pragma once

#include <array>

#include <QDialog>

#include "model/settingsslots.h"

class QGroupBox;
class QPushButton;
class QRadioButton;
class TCalendarDocument;

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
    /// The comment of slot n that its radio button stands for (shown whole up to
    /// MaxShownCommentLength characters, cut short with "…" beyond).
    QString SlotCaption(int slot) const;

    /// The longest comment the comment field takes; radio buttons show this many whole.
    static constexpr int MaxShownCommentLength = 20;
    /// What follows the comment of a slot never saved where it cannot be chosen.
    static inline const QString UnsavedMark = QStringLiteral("（未保存）");
    /// Width of the dialogs when every comment fits their columns.
    static constexpr int DesignWidth = 341;

  protected:
    /// A dialog of `document`'s slots, placed by `window` (the main window; it owns the
    /// dialog's window and outlives it, as does the document). `onlySaved`: slots never saved
    /// are shown as such and cannot be chosen.
    TSlotDialog(TCalendarDocument& document, QWidget* window, const QString& caption,
                const QString& groupCaption, int clientHeight, bool onlySaved);

    /// Places the dialog, captions the radio buttons with the slot comments, widens the
    /// columns for the longest, and checks the button of the current slot (slot 1 stays
    /// checked for a current slot outside 1..10; where only saved slots are offered, the first
    /// saved one instead of one never saved, and OK is disabled when there is none).
    void Prepare();
    /// Called by Prepare once the dialog has its width: places what lies below the group.
    virtual void PlaceBelowGroup();

    TCalendarDocument& FDocument;
    const bool FOnlySaved;

  private:
    /// Columns as wide as the widest caption needs, at least the design's.
    void FitColumns();

    int FClientHeight;
    std::array<QString, SlotCount> FComments;
};
