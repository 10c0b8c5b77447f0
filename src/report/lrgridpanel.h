// The grid panel: divides its rectangle into ColCount × RowCount equal cells and prints one
// template cell, its cell panel, in every position, raising a per-cell event first so that the
// application can fill the cell's items from its own data (a calendar's day numbers) or skip it.
#pragma once

#include <vector>

#include "lrpanel.h"

class TLRSubPanel;

class TLRGridPanel : public TCustomLRPanel {
  public:
    TLRGridPanel();
    ~TLRGridPanel() override;

    int ColCount() const { return FColCount; }
    /// ELRError "列数が有効範囲を超えています．" for 0 and below, or when cells would be
    /// narrower than 10 units.
    void SetColCount(int count);
    int RowCount() const { return FRowCount; }
    /// ELRError "行数が有効範囲を超えています．" for 0 and below, or when cells would be lower
    /// than 10 units.
    void SetRowCount(int count);
    TPrintDirection PrintDirection() const { return FPrintDirection; }
    void SetPrintDirection(TPrintDirection direction) { FPrintDirection = direction; }

    /// Raised for each cell before anything of it is printed: (grid, column, row, the cell's
    /// rectangle on the page, status).
    TPrintPanelEvent OnPrintPanel;
    /// Raised with the cell panel for each cell after OnPrintPanel (the cell panel's
    /// BeforePrint).
    const TBeforePrintEvent& BeforePrintPanel() const;
    void SetBeforePrintPanel(TBeforePrintEvent event);
    /// Raised with the cell panel after each printed cell (the cell panel's AfterPrint).
    const TNotifyEvent& AfterPrintPanel() const;
    void SetAfterPrintPanel(TNotifyEvent event);

    /// The template cell: items and layout panels given the grid as parent go here.
    TLRChildPanel* CellPanel() const { return FCellPanel; }
    /// The rectangle of a cell on the page, for the grid printed at `grid`.
    TRect CellRect(const TRect& grid, int col, int row) const;

    void Print(TCanvas& canvas, const TRect& rect, double scale) override;

    /// Links a sub panel, which then keeps the size of a cell.
    void AddSubPanel(TLRSubPanel* subPanel);
    void RemoveSubPanel(TLRSubPanel* subPanel);
    void ResizeSubPanels();

    void Paint(TCanvas& canvas) override;

  protected:
    TLRWinControl* CheckParent(TLRWinControl* parent) override;
    /// The first cell: the grid aligns its cell panel in it.
    TRect AlignRect() const override;
    void AlignControls(TLRControl* cause) override;
    void Resized() override;

  private:
    void PrintCell(TCanvas& canvas, const TRect& grid, int row, int col, double scale);

    int FColCount = 1;
    int FRowCount = 1;
    TPrintDirection FPrintDirection = pdHorz;
    TLRChildPanel* FCellPanel;            // owned as a child
    std::vector<TLRSubPanel*> FSubPanels; // not owned
};

/// A cell-sized panel standing elsewhere on the form, linked to a grid; neither the grid nor
/// the document ever prints it.
class TLRSubPanel : public TLRChildPanel {
  public:
    TLRSubPanel();
    ~TLRSubPanel() override;

    TLRGridPanel* GridPanel() const { return FGridPanel; }
    void SetGridPanel(TLRGridPanel* grid);

  protected:
    TLRWinControl* CheckParent(TLRWinControl* parent) override;

  private:
    friend class TLRGridPanel;
    TLRGridPanel* FGridPanel = nullptr; // not owned
};
