// The dialog "暦の表示": what the day cells show of the 暦 (六曜, 二十四節気, 雑節, 月相, 祝日名,
// 大安を強調, and the lunisolar date on no day, the first of each lunar month or every day), the
// face and colour of that small text, and a preview of one day cell of the calendar's year drawn
// by the sheet's own code, changing as the choices change. It edits a copy: the main window
// applies what it gives as one step of the history, or nothing when it was cancelled.
#pragma once

#include <memory>

#include <QDate>
#include <QDialog>

#include "koyomisample.h"
#include "model/calendarmodel.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class TPanel;

/// One day cell at a large scale, with its lines and background as the sheet's.
class TKoyomiPreview : public QWidget {
    Q_OBJECT

  public:
    TKoyomiPreview(TKoyomiSample& sample, QWidget* parent);

    /// The day shown, its holidays (comma text) and the sheet's colours of the cell.
    void SetDay(const QDate& date, const QString& holidayNames, TColor number, TColor background,
                TColor line);
    QDate Date() const { return FDate; }
    /// The cell as wide and high as this many units of the sheet (1/96 inch) per pixel.
    static constexpr int Scale = 8;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    TKoyomiSample& FSample;
    QDate FDate;
    QString FHolidayNames;
    TColor FNumber = clBlack;
    TColor FBackground = clWhite;
    TColor FLine = clBlack;
};

class TKoyomiDialog : public QDialog {
    Q_OBJECT

  public:
    /// Opens on the options of `model`, its preview a telling day of the model's year.
    TKoyomiDialog(const TCalendarModel& model, QWidget* parent);
    ~TKoyomiDialog() override;

    /// The options as chosen.
    TKoyomiOptions Options() const;

    QCheckBox* CheckRokuyo;     // 六曜
    QCheckBox* CheckSekki;      // 二十四節気
    QCheckBox* CheckZassetsu;   // 雑節
    QCheckBox* CheckMoon;       // 月相
    QCheckBox* CheckHolidays;   // 祝日名
    QCheckBox* CheckTaian;      // 大安を強調
    QRadioButton* KyurekiOff;   // 旧暦: 表示しない
    QRadioButton* KyurekiFirst; // 各月の一日
    QRadioButton* KyurekiDaily; // 毎日
    QLabel* FaceLabel;          // the small text's face, named in it
    QPushButton* FaceButton;    // "書体(&F)..."
    TPanel* ColorSwatch;
    QPushButton* ColorButton; // "色(&C)..."
    TKoyomiPreview* Preview;
    QLabel* PreviewCaption; // the preview's date
    QPushButton* OkButton;
    QPushButton* CancelButton;

    /// The face chooser on the small text's face (the face alone: its size follows from the
    /// cell), and the colour dialog on its colour; confirmed, the preview shows the choice.
    void FaceButtonClick();
    void ColorButtonClick();

  private:
    /// The preview and the face and colour shown again for the choices as they stand.
    void ShowChoice();

    TCalendarModel FModel;
    QString FFace;
    TColor FColor;
    std::unique_ptr<TKoyomiSample> FSample;
};

/// A day of `year` that shows much of what the options can show: a holiday on a solar term (the
/// equinox days always are one), on 大安 where there is one, with a seasonal day or a moon phase
/// besides; for a year the engine does not compute, its first holiday; before the holidays
/// (1948), a solar term.
QDate TellingKoyomiDay(int year);
