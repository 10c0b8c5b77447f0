// Report items: rectangles drawn by a panel onto the page. TLRItem draws a background, a text
// inside margins and up to four border lines; it draws the whole calendar sheet's text and
// lines.
#pragma once

#include "lrcontrol.h"

/// Base of the items: placed on a report panel (a grid panel passes it to its cell panel).
class TCustomLRItem : public TLRControl {
  public:
    TCustomLRItem();

    /// Draws the item onto `canvas`: `rect` is its rectangle on the page in design units (right
    /// and bottom exclusive), `status` what the panel's event decided, `scale` the device units
    /// per design unit. Nothing here.
    virtual void Print(TCanvas& canvas, const TRect& rect, TPrintStatus status, double scale);

  protected:
    TLRWinControl* CheckParent(TLRWinControl* parent) override;
};

class TLRItem : public TCustomLRItem {
  public:
    TLRItem();

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    /// A number pattern (for a text of digits, signs and points) or an edit mask (for any other
    /// text) applied before drawing.
    const QString& DisplayMask() const { return FDisplayMask; }
    void SetDisplayMask(const QString& value);
    int HMargin() const { return FHMargin; }
    /// Taken only within −255..255.
    void SetHMargin(int value);
    int VMargin() const { return FVMargin; }
    void SetVMargin(int value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout value);
    TColor LineColor() const { return FLineColor; }
    void SetLineColor(TColor value) { FLineColor = value; }
    TLineStyle LineTop() const { return FLineTop; }
    void SetLineTop(TLineStyle value) { SetLine(FLineTop, value); }
    TLineStyle LineLeft() const { return FLineLeft; }
    void SetLineLeft(TLineStyle value) { SetLine(FLineLeft, value); }
    TLineStyle LineRight() const { return FLineRight; }
    void SetLineRight(TLineStyle value) { SetLine(FLineRight, value); }
    TLineStyle LineBottom() const { return FLineBottom; }
    void SetLineBottom(TLineStyle value) { SetLine(FLineBottom, value); }
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool value) { FParentShowHint = value; }
    /// The text; the component name until one is set.
    QString Text() const { return FTextSet ? FText : Name(); }
    void SetText(const QString& text);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);

    /// The text as it will be drawn, DisplayMask applied. A text of digits and signs that is
    /// no number raises EConvertError.
    QString GetDisplayText() const;

    void Print(TCanvas& canvas, const TRect& rect, TPrintStatus status, double scale) override;
    void Paint(TCanvas& canvas) override;

  private:
    void SetLine(TLineStyle& line, TLineStyle value);
    void SetLinePen(TCanvas& canvas, TLineStyle style, double scale) const;
    void DrawCornerMarks(TCanvas& canvas, const TRect& rect) const;

    TAlignment FAlignment = taLeftJustify;
    QString FDisplayMask;
    int FHMargin = 2;
    TTextLayout FLayout = tlTop;
    TColor FLineColor = clBlack;
    TLineStyle FLineTop = lsNone;
    TLineStyle FLineLeft = lsNone;
    TLineStyle FLineRight = lsNone;
    TLineStyle FLineBottom = lsNone;
    bool FParentShowHint = true;
    QString FText;
    bool FTextSet = false;
    bool FTransparent = true;
    int FVMargin = 2;
    bool FWordWrap = false;
};

/// True for the report items (TCustomLRItem and descendants).
bool IsReportItem(const TLRControl* control);
