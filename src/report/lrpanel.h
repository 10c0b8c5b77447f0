// Report panels: rectangles of the page aligned to an edge or to the rest of their parent,
// holding items and further panels, drawing their children and raising an event before and
// after doing so.
#pragma once

#include "lrcontrol.h"

/// Base of every report panel. Its client area is exactly (0, 0, Width, Height).
class TCustomLRPanel : public TLRWinControl {
  public:
    TCustomLRPanel();

    /// Draws the panel and everything in it onto `canvas`: `rect` is the panel's rectangle on
    /// the page in design units, `scale` the device units per design unit. Nothing here.
    virtual void Print(TCanvas& canvas, const TRect& rect, double scale);

    /// The alignment in the parent; a panel aligned to nothing reads as laClient.
    TLRAlign LRAlign() const;
    void SetLRAlign(TLRAlign align);

    /// The panel's rectangle on the page: its position plus those of its report-panel
    /// ancestors (the document's origin is the paper's corner).
    TRect PageRect() const;

    TNotifyEvent AfterPrint;
    TBeforePrintEvent BeforePrint;

    /// The design view: white, the design grid, the name and a dotted blue frame.
    void Paint(TCanvas& canvas) override;

  protected:
    /// Prints the children of `container` placed at `origin`, items with `status`: items
    /// first, then panels, each in order of addition; only enabled ones outside design mode.
    /// With `anyPanel` false only layout panels among the panels are printed (a grid cell
    /// prints no other).
    void PrintChildren(TLRWinControl& container, TCanvas& canvas, TPoint origin,
                       TPrintStatus status, double scale, bool anyPanel);
};

/// The panel that lays out a page: aligned in the document, in another layout panel or in a
/// grid cell (where it is printed once per cell).
class TLRLayoutPanel : public TCustomLRPanel {
  public:
    void Print(TCanvas& canvas, const TRect& rect, double scale) override;

  protected:
    TLRWinControl* CheckParent(TLRWinControl* parent) override;
};

/// The cell panel of a grid panel and the base of sub panels; it prints nothing by itself.
class TLRChildPanel : public TCustomLRPanel {};

/// True for the document's report panels (TCustomLRPanel and descendants).
bool IsReportPanel(const TLRControl* control);
