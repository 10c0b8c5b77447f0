// The dialog "記念日": the family's own days sorted by date, added, changed and removed one by
// one or taken from an iCalendar file after a look at what it holds. It edits a copy: the main
// window applies the list it gives as one step of the history, or nothing when it was cancelled.
#pragma once

#include <vector>

#include <QDialog>
#include <QStringList>

#include "days/daysfile.h"
#include "days/familyday.h"
#include "days/icalendarimport.h"
#include "platform/tcolor.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTreeWidget;
class TPanel;

/// One day edited: its name, how it repeats and its date, its kind, the year it began and the
/// colour of its number. OK is refused, with the reason, for an empty name or a date that does
/// not exist.
class TFamilyDayEditor : public QDialog {
    Q_OBJECT

  public:
    TFamilyDayEditor(const TFamilyDay& day, const QString& title, QWidget* parent);

    /// The day as edited (valid once the dialog was accepted).
    TFamilyDay Day() const;

    QLineEdit* NameEdit;
    QRadioButton* RepeatYearly;  // 毎年の日付
    QRadioButton* RepeatWeekday; // 毎年の曜日
    QRadioButton* RepeatOnce;    // その年だけ
    QSpinBox* YearBox;           // the year of a day of one year
    QSpinBox* MonthBox;
    QSpinBox* DayBox;
    QComboBox* WeekBox;    // 第1 .. 第5, 最終
    QComboBox* WeekdayBox; // 日曜 .. 土曜
    QLabel* LeapNote;      // said of 29 February
    QComboBox* KindBox;    // 誕生日, 記念日, その他
    QSpinBox* BeganBox;    // the year it began; 0 "なし"
    QRadioButton* ColorDefault;
    QRadioButton* ColorHoliday;
    QRadioButton* ColorOwn;
    TPanel* ColorSwatch;
    QPushButton* ColorButton; // "色を選ぶ(&C)..."
    QPushButton* OkButton;
    QPushButton* CancelButton;

    /// Why the day as it stands cannot be taken, in the user's words; empty when it can.
    QString Refusal() const;
    /// The colour dialog on the day's own colour; confirmed, the day has that colour.
    void ColorButtonClick();

    void accept() override;

  private:
    /// Shows the fields the repeat needs, the note on 29 February where it is due, the colour.
    void ShowChoice();

    TFamilyDay FDay;
    QColor FColor;
    QLabel* YearLabel;
    QLabel* DayLabel;
    QLabel* BeganLabel;
};

/// What an iCalendar file holds, shown before anything is taken: each day with a check box (a
/// day the list already has is shown but not taken), the date and label it has on the sheet of
/// the year, and what was left out and why.
class TFamilyImportDialog : public QDialog {
    Q_OBJECT

  public:
    /// `year` and `startMonth`: the sheet's twelve months, on which the days are shown.
    TFamilyImportDialog(const TCalendarImport& found, const std::vector<TFamilyDay>& existing,
                        int year, int startMonth, const QString& fileName, QWidget* parent);

    /// The days checked.
    std::vector<TFamilyDay> Chosen() const;

    QTreeWidget* DayList;
    QTreeWidget* LeftList;
    QPushButton* OkButton;
    QPushButton* CancelButton;

  private:
    std::vector<TFamilyDay> FDays;
};

class TFamilyDaysDialog : public QDialog {
    Q_OBJECT

  public:
    /// Opens on the family's days of `file` (and what could not be read of it), the dates,
    /// ages and counts those of the sheet of `year` from `startMonth`; `holidayColor` is the
    /// sheet's, for the days drawn in it.
    TFamilyDaysDialog(const TDaysFile& file, int year, TColor holidayColor, QWidget* parent,
                      int startMonth = 1);

    /// The list as edited, sorted by date.
    const std::vector<TFamilyDay>& Days() const { return FDays; }
    /// Whether the list differs from the one the dialog opened on (put in order by date).
    bool Changed() const { return FDays != FOriginal; }

    QTreeWidget* DayList;
    QPushButton* AddButton;    // 追加(&A)...
    QPushButton* ChangeButton; // 変更(&C)...
    QPushButton* RemoveButton; // 削除(&R)
    QPushButton* ImportButton; // ファイルから読み込む(&I)...
    QLabel* ProblemLabel;      // lines of the file that were not read, or why it was not
    QPushButton* OkButton;
    QPushButton* CancelButton;

    /// The editor on a new day, on the day selected; the day selected removed.
    void AddButtonClick();
    void ChangeButtonClick();
    void RemoveButtonClick();
    /// The file dialog for an iCalendar file, then ImportFile.
    void ImportButtonClick();
    /// Reads `fileName`, shows what it holds and adds the days checked that the list lacks
    /// (the same date and name). A file that cannot be read is said in a message box naming
    /// it, and nothing changes.
    void ImportFile(const QString& fileName);

  private:
    /// The list shown again from FDays, `selected` (an index of FDays) selected.
    void ShowDays(int selected = -1);
    /// Puts `day` into FDays at its place by date; its index.
    int Insert(const TFamilyDay& day);
    int SelectedIndex() const;
    void ShowButtons();

    std::vector<TFamilyDay> FOriginal;
    std::vector<TFamilyDay> FDays;
    int FYear;
    int FStartMonth;
    TColor FHolidayColor;
    bool FReadOnly;
    QString FImportFile; // the file read last, where the file dialog opens again
    /// Unread lines of the file whose day was removed with no day left to carry them.
    QStringList FUnreadLines;
};

/// Whether `list` holds a day of the same date and name as `day`.
bool HasSameDay(const std::vector<TFamilyDay>& list, const TFamilyDay& day);

/// The day `day` falls on in the sheet of `year` from `startMonth` as the dialog shows it
/// ("5月5日（水）", with the year for a sheet that spans two), or that it does not.
QString OccurrenceText(const TFamilyDay& day, int year, int startMonth = 1);
