// The title lines of the sheet at a reduced scale: the family's own title on its line above the
// year title, or in the year title's place, drawn by the items of a sheet of its own composed
// as the printed sheet composes its titles. The dialog "始まりと題名" shows it.
#pragma once

#include <memory>

#include <QImage>
#include <QWidget>

class TImagePrinter;
class TSheetLayout;
struct TCalendarModel;

class TTitlePreview : public QWidget {
    Q_OBJECT

  public:
    explicit TTitlePreview(QWidget* parent = nullptr);
    ~TTitlePreview() override;

    /// Shows the titles of `model` (its year, title style, start month, year font and colour,
    /// and own title).
    void ShowTitles(const TCalendarModel& model);

    /// The two lines as the sheet prints them, `scale` device pixels per design unit (1/96
    /// inch): the own title's line on top (blank where the sheet has none), the year title's
    /// below, on white. `ratio` device pixels per logical pixel of the picture.
    QImage Lines(double scale, double ratio = 1) const;
    /// The lines' size in design units.
    QSize DesignSize() const;

    /// Design units to the widget's pixels: 5/8, which the fonts' sizes take exactly.
    static constexpr double Scale = 0.625;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // The sheet draws through a printer of pictures: no print queue is asked for anything.
    std::unique_ptr<TImagePrinter> FPrinter;
    std::unique_ptr<TSheetLayout> FSheet;
};
