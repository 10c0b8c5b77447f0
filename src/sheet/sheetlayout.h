// The printed year sheet as a report document: the picture box, the year title and twelve
// month blocks (title, day-of-week header, day grid) laid out on A4 portrait in design units,
// with the cell handlers that fill the headers and day cells while the page is drawn, from the
// day table and the colours the composition gave the sheet. The preview window and
// tamurika-export both draw and print this one sheet.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include <QSize>
#include <QString>

#include "daycells.h"
#include "koyomicell.h"
#include "model/picturefit.h"
#include "model/printposition.h"
#include "model/sheetshape.h"
#include "platform/tcolor.h"
#include "report/lightrepex.h"

class TPrinter;

/// A day cell's number and 暦, drawn by the cell's own layout (koyomicell.h) where the sheet
/// shows the 暦; the number item is then left empty. Draws nothing while it has no layout.
class TKoyomiItem : public TCustomLRItem {
  public:
    /// What the next cell shows; nullptr layout: nothing.
    void SetCell(const TKoyomiCellLayout* layout, const QString& number, TColor numberColor);
    void SetFaces(const TKoyomiFaces* faces, TColor textColor);
    /// Where the cells' texts are gathered, to be drawn with the month's (not owned).
    void SetBatch(TKoyomiBatch* batch) { FBatch = batch; }

    void Print(TCanvas& canvas, const TRect& rect, TPrintStatus status, double scale) override;

  private:
    const TKoyomiCellLayout* FLayout = nullptr;
    const TKoyomiFaces* FFaces = nullptr;
    TKoyomiBatch* FBatch = nullptr;
    QString FNumber;
    TColor FNumberColor = clBlack;
    TColor FTextColor = clBlack;
};

/// Design sizes of the sheet.
inline constexpr int SheetPictureBoxWidth = 708;
inline constexpr int SheetPictureBoxHeight = 531;
/// The left and right margins of the sheet when it is centred on the paper.
inline constexpr int SheetSideMargin = 39;

/// The items and panels of one month block n (1..12).
struct TMonthBlock {
    TLRLayoutPanel* Block = nullptr;         // 178 × 150 in its month column
    TLRLayoutPanel* TitlePanel = nullptr;    // the month title's strip
    TLRItem* LRItemTuki = nullptr;           // month title
    TLRLayoutPanel* Spacer = nullptr;        // 5 units left of the grids
    TLRLayoutPanel* GridColumn = nullptr;    // holds the two grids
    TLRGridPanel* YoubiPrintPanel = nullptr; // 7 × 1 day-of-week header
    TLRItem* LRItemYoubi = nullptr;          // header cell: background and lines
    TLRItem* LRItemYoubiMoji = nullptr;      // header cell: the letter
    TLRGridPanel* ColPrintPanel = nullptr;   // 7 × 6 day grid
    TLRItem* LRItemCol = nullptr;            // day cell: background and lines
    TLRItem* LRItemHi = nullptr;             // day cell: the number
    TKoyomiItem* KoyomiItem = nullptr;       // day cell: number and 暦 when it is shown
};

class TSheetLayout {
  public:
    /// Builds the sheet on a document that prints on `printer` (not owned; nullptr: the
    /// application's printer).
    explicit TSheetLayout(TPrinter* printer = nullptr);
    ~TSheetLayout();
    TSheetLayout(const TSheetLayout&) = delete;
    TSheetLayout& operator=(const TSheetLayout&) = delete;

    /// The report document, owned by the sheet.
    VEvudaRir* LightRep1 = nullptr;
    /// The picture box's panel and the year title's panel, across the page.
    TLRLayoutPanel* LRLayoutPanel1 = nullptr;
    TLRLayoutPanel* LRLayoutPanel2 = nullptr;
    /// The four month columns: months 1, 5, 9 | 2, 6, 10 | 3, 7, 11 | 4, 8, 12.
    std::array<TLRLayoutPanel*, 4> MonthColumns{}; // LRLayoutPanel3 .. LRLayoutPanel6
    TLRImage* LRImage1 = nullptr;
    TLRItem* LRItemNen = nullptr;
    /// The family's own title on a line above the year title: its panel is hidden, and takes
    /// no room, unless SetOwnTitle puts a title there.
    TLRLayoutPanel* OwnTitlePanel = nullptr;
    TLRItem* LRItemOwnTitle = nullptr;
    /// The year the sheet shows, as the composition set it; 0 before.
    std::int32_t Year = 0;
    /// What the day cells show: the day table of the year, and the colours of the numbers and
    /// letters of weekdays, of Sundays and holidays, and of Saturdays.
    TDayCells DayCells;
    TColor WeekdayColor = clBlack;
    TColor SundayColor = clRed;
    TColor SaturdayColor = clBlue;
    /// What the day cells show of the 暦; with none of it shown they are drawn as ever.
    TKoyomiOptions Koyomi;
    /// Whether a family's day falls in the sheet's year: its cells are then laid out as with
    /// the 暦, the names first.
    bool HasFamilyDays = false;

    /// Lays out every day cell's number and 暦 for the options, the day table and the day
    /// numbers' face as they are now (the composition calls it last).
    void LayOutKoyomi();
    /// The layout of the day cell at [month, col, row]; nullptr while the 暦 is not shown.
    const TKoyomiCellLayout* KoyomiLayout(int month, int col, int row) const;
    /// The usable inside of a day cell, in design units: the cell less its left and bottom
    /// lines.
    static QSizeF DayCellInside();

    /// Month block n, 1..12.
    TMonthBlock& Month(int n);
    const TMonthBlock& Month(int n) const;

    /// The panel or item of that component name ("LRItemHi3"); nullptr when there is none.
    TLRControl* FindControl(const QString& name) const;

    /// Header cell handler of every YoubiPrintPanel n: lines, letter and its colour.
    void YoubiPrintPanelPrintPanel(TLRControl* sender, int col, int row, TRect rect,
                                   TPrintStatus& status);
    /// Day cell handler of every ColPrintPanel n: lines, day number and its colour.
    void ColPrintPanelPrintPanel(TLRControl* sender, int col, int row, TRect rect,
                                 TPrintStatus& status);

    /// The colour of a weekday's numbers and letter (0 = Sunday): Sunday's, Saturday's or the
    /// weekdays'.
    TColor ColorOfWeekday(int weekday) const;

    /// Prints `title` in `color` above the year title or in its place (LRItemNen, whose text
    /// the composition set first), in its face and style, at the size of its place or smaller
    /// where a long text needs it. A line above takes its room from the gaps between the month
    /// blocks. A title without text: the sheet as designed.
    void SetOwnTitle(const TOwnTitle& title, TColor color);

    /// Moves the sheet `position` design units to the right on the paper (left for a negative
    /// one) by shifting the side margins; the printable width stays the same.
    void SetPosition(int position);

    /// Places LRImage1 in the picture box for a picture of `size` pixels that it holds at its
    /// own pixels. Fitted: full box for a 4:3 picture, otherwise the picture's own aspect
    /// ratio, centred; the whole picture shows. Filling: the whole box, showing the part of
    /// the picture FillSource gives (LRImage1's SourceRect).
    void PlacePicture(QSize size, const TPictureFraming& framing = {});

    /// Prints the sheet as one page, in one print job titled by the document's Title. A job
    /// that fails on the way is dropped, and the error passes on.
    void Print();

  private:
    int MonthOf(const TLRControl* grid) const;
    void Build();
    void BuildMonthBlock(int n, TLRLayoutPanel* column, int top);

    std::unique_ptr<VEvudaRir> FDocument;
    std::array<TMonthBlock, 12> FMonths{};
    std::unique_ptr<TKoyomiFaces> FKoyomiFaces;
    std::vector<TKoyomiCellLayout> FKoyomiLayouts; // as the day table, empty when not shown
    // A month's cell texts, drawn when its grid is done.
    TKoyomiBatch FKoyomiBatch;
};

/// The picture-fit rule of the sheet: where a w × h picture goes in the 708 × 531 picture box
/// of LRImage1 (the box itself begins at 3, 2 of its panel); a filling picture takes the box.
TRect SheetPictureBounds(int w, int h, TFrameMode mode = TFrameMode::Fit);

/// Below this many pixels per inch a photo prints visibly coarse.
inline constexpr double SheetMinPixelsPerInch = 150;

/// How many of a w × h picture's pixels fall on an inch of the printed picture box with
/// `framing`: those of the part that shows over the size it is printed at (the box is
/// 708 × 531 units of 1/96 inch), the lower of across and down. 0 without pixels.
double SheetPicturePixelsPerInch(int w, int h, const TPictureFraming& framing);
