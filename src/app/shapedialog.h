// The dialog "始まりと題名": the month the sheet starts with (4月 for a school or fiscal year),
// the weekday its weeks start on, and a title of the family's own above the year title or in its
// place, with its face and style, and a preview of the title lines as the sheet prints them. It
// edits a copy: the main window applies what it gives as one step of the history, or nothing
// when it was cancelled.
#pragma once

#include <QDialog>

#include "model/calendarmodel.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TTitlePreview;

class TShapeDialog : public QDialog {
    Q_OBJECT

  public:
    /// Opens on the shape of `model`; the range and the preview are those of the model's year
    /// (the year of the sheet's first month), its title style, year font and colour.
    TShapeDialog(const TCalendarModel& model, QWidget* parent);

    /// The shape as chosen, the title's text as the sheet keeps it (one line, trimmed).
    TSheetShape Shape() const;

    QComboBox* StartMonthBox; // 1月 .. 12月
    QLabel* RangeLabel;       // the months the sheet then shows
    QRadioButton* SundayFirst;
    QRadioButton* MondayFirst;
    QLineEdit* TitleEdit;     // at most OwnTitleMaxLength characters
    QLabel* FaceLabel;        // the own title's face and style, named in it
    QPushButton* FaceButton;  // "書体(&F)..."
    QRadioButton* PlaceAbove; // 年の題名の上に
    QRadioButton* PlaceReplace;
    TTitlePreview* Preview;
    QPushButton* OkButton;
    QPushButton* CancelButton;

    /// The program's font dialog on the own title's face and style; confirmed, the preview
    /// shows the choice.
    void FaceButtonClick();

  private:
    /// The range, the face and the preview shown again for the choices as they stand.
    void ShowChoice();

    TCalendarModel FModel;
    TSlotFont FFont; // the own title's face and style
};

/// The months a sheet of `year` starting with `startMonth` shows, as the dialog says it:
/// "2027年4月〜2028年3月の12か月", or "2027年1月〜12月の12か月" for a calendar year.
QString SheetRangeText(int year, int startMonth);
