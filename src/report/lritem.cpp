#include "lritem.h"

#include <cmath>

#include "lrgridpanel.h"
#include "lrpanel.h"
#include "platform/formatfloat.h"
#include "platform/maskutils.h"

bool IsReportItem(const TLRControl* control) {
    return dynamic_cast<const TCustomLRItem*>(control) != nullptr;
}

TCustomLRItem::TCustomLRItem() {
    SetBounds(0, 0, 65, 17);
}

void TCustomLRItem::Print(TCanvas&, const TRect&, TPrintStatus, double) {}

TLRWinControl* TCustomLRItem::CheckParent(TLRWinControl* parent) {
    if (auto* grid = dynamic_cast<TLRGridPanel*>(parent))
        return grid->CellPanel();
    if (IsReportPanel(parent))
        return parent;
    throw ELRError(QStringLiteral("パネル上にのみ配置できます．"));
}

// ---------------------------------------------------------------------------------------------

TLRItem::TLRItem() {
    SetColor(clWhite);
}

void TLRItem::SetAlignment(TAlignment value) {
    if (value == FAlignment)
        return;
    FAlignment = value;
    Invalidate();
}

void TLRItem::SetDisplayMask(const QString& value) {
    if (value == FDisplayMask)
        return;
    FDisplayMask = value;
    Invalidate();
}

void TLRItem::SetHMargin(int value) {
    if (value == FHMargin || value < -255 || value > 255)
        return;
    FHMargin = value;
    Invalidate();
}

void TLRItem::SetVMargin(int value) {
    if (value == FVMargin || value < -255 || value > 255)
        return;
    FVMargin = value;
    Invalidate();
}

void TLRItem::SetLayout(TTextLayout value) {
    if (value == FLayout)
        return;
    FLayout = value;
    Invalidate();
}

void TLRItem::SetLine(TLineStyle& line, TLineStyle value) {
    if (value == line)
        return;
    line = value;
    Invalidate();
}

void TLRItem::SetText(const QString& text) {
    if (text == Text())
        return;
    FText = text;
    FTextSet = true;
    Invalidate();
}

void TLRItem::SetTransparent(bool value) {
    if (value == FTransparent)
        return;
    FTransparent = value;
    Invalidate();
}

void TLRItem::SetWordWrap(bool value) {
    if (value == FWordWrap)
        return;
    FWordWrap = value;
    Invalidate();
}

QString TLRItem::GetDisplayText() const {
    const QString text = Text();
    if (FDisplayMask.isEmpty() || text.isEmpty())
        return text;
    static const QString numberCharacters = QStringLiteral("+-.0123456789");
    const bool number =
        std::all_of(text.begin(), text.end(), [](QChar c) { return numberCharacters.contains(c); });
    if (!number)
        return FormatMaskText(FDisplayMask, text);
    // Signs and digits that make no number ("1-2", "123-4567", a lone point) cannot be
    // formatted as one: they are drawn as they stand, rather than ending the page.
    try {
        return FormatFloat(FDisplayMask, StrToFloat(text));
    } catch (const EConvertError&) {
        return text;
    }
}

void TLRItem::Print(TCanvas& canvas, const TRect& rect, TPrintStatus status, double scale) {
    canvas.Brush.Color = Color();
    canvas.Brush.Style = FTransparent ? bsClear : bsSolid;
    // The font keeps its size in points; the canvas gives it the device's pixels for them.
    canvas.Font.Assign(Font());
    const QString text = GetDisplayText();
    // The item's last column and row are its right and bottom edges on the device.
    const TRect s = ScaleRect({rect.Left, rect.Top, rect.Right - 1, rect.Bottom - 1}, scale);
    if (!FTransparent)
        canvas.FillRect(s);

    if (status == prsNormal) {
        unsigned flags = FWordWrap ? DT_WORDBREAK : DT_SINGLELINE;
        if (FAlignment == taRightJustify)
            flags |= DT_RIGHT;
        else if (FAlignment == taCenter)
            flags |= DT_CENTER;
        const int hm = ScaleValue(FHMargin, scale);
        const int vm = ScaleValue(FVMargin, scale);
        // A single line is as high as its font whatever it says; only wrapped text is laid
        // out to be measured.
        TRect measured{0, 0, (s.Right - s.Left) - hm, 0};
        const int h = FWordWrap ? canvas.DrawText(measured, text, flags | DT_CALCRECT)
                                : canvas.TextHeight(text);
        TRect box = s;
        if (FAlignment == taLeftJustify)
            box.Left = s.Left + hm;
        else if (FAlignment == taRightJustify)
            box.Right = s.Right - hm;
        // Centred text uses the whole width, though it was measured one margin narrower.
        switch (FLayout) {
        case tlTop:
            box.Top = s.Top + vm;
            break;
        case tlCenter:
            box.Top = s.Top + (s.Bottom - s.Top - h) / 2;
            break;
        case tlBottom:
            box.Top = s.Bottom - vm - h;
            break;
        }
        canvas.DrawText(box, text, flags);
    }

    if (status == prsNormal || status == prsFrameOnly) {
        const int off = Designing() ? 0 : ScaleValue(1, scale);
        canvas.Pen.Color = FLineColor;
        canvas.Pen.Style = psSolid;
        // Top and left borders lie on the last row and column of the upper and left
        // neighbours, right and bottom ones on the item's own: cells side by side share lines.
        if (FLineTop != lsNone) {
            SetLinePen(canvas, FLineTop, scale);
            canvas.MoveTo(s.Left - off, s.Top - off);
            canvas.LineTo(s.Right, s.Top - off);
        }
        if (FLineLeft != lsNone) {
            SetLinePen(canvas, FLineLeft, scale);
            canvas.MoveTo(s.Left - off, s.Top - off);
            canvas.LineTo(s.Left - off, s.Bottom);
        }
        if (FLineRight != lsNone) {
            SetLinePen(canvas, FLineRight, scale);
            canvas.MoveTo(s.Right, s.Top - off);
            canvas.LineTo(s.Right, s.Bottom);
        }
        if (FLineBottom != lsNone) {
            SetLinePen(canvas, FLineBottom, scale);
            canvas.MoveTo(s.Left - off, s.Bottom);
            canvas.LineTo(s.Right, s.Bottom);
        }
    }

    if (Designing())
        DrawCornerMarks(canvas, rect);
}

void TLRItem::SetLinePen(TCanvas& canvas, TLineStyle style, double scale) const {
    if (Designing()) {
        // On screen the weights are told apart by colour.
        canvas.Pen.Color = style == lsSingle ? clGray : style == lsHalf ? clSilver : clBlack;
        return;
    }
    canvas.Pen.Color = FLineColor;
    // The weights in device pixels, rounded to the nearest: cut off, a single line at 150 per
    // inch (1.875 pixels) came out as one pixel, thinner than the same page's PDF shows it.
    // One design unit is still a one-pixel line, on the screen and at 96 per inch.
    const auto pixels = [scale](double units) {
        return static_cast<int>(std::lround(scale * units));
    };
    switch (style) {
    case lsSingle:
        canvas.Pen.Width = pixels(1.2);
        break;
    case lsHalf:
        canvas.Pen.Width = pixels(0.5);
        break;
    case lsDouble: // one line of twice the weight, not two lines
        canvas.Pen.Width = pixels(2);
        break;
    case lsNone:
        break;
    }
}

void TLRItem::DrawCornerMarks(TCanvas& canvas, const TRect& r) const {
    if (Color() != clWhite || FLineTop != lsNone || FLineLeft != lsNone || FLineRight != lsNone ||
        FLineBottom != lsNone)
        return;
    canvas.Pen.Color = clGreen;
    canvas.Pen.Width = 1;
    canvas.Pen.Style = psSolid;
    const int l = r.Left, t = r.Top, R = r.Right, b = r.Bottom;
    canvas.Polyline({{l, t + 4}, {l, t}, {l + 4, t}});
    canvas.Polyline({{R - 1, t + 4}, {R - 1, t}, {R - 5, t}});
    canvas.Polyline({{l, b - 5}, {l, b - 1}, {l + 4, b - 1}});
    canvas.Polyline({{R - 5, b - 1}, {R - 1, b - 1}, {R - 1, b - 5}});
}

void TLRItem::Paint(TCanvas& canvas) {
    Print(canvas, {0, 0, Width(), Height()}, prsNormal, 1.0);
}
