#include "lrpanel.h"

#include "lrdesign.h"
#include "lrdocument.h"
#include "lrgridpanel.h"
#include "lritem.h"

bool IsReportPanel(const TLRControl* control) {
    return dynamic_cast<const TCustomLRPanel*>(control) != nullptr;
}

TCustomLRPanel::TCustomLRPanel() {
    SetBounds(0, 0, 185, 100);
    SetAlign(alTop);
    SetColor(clWindow);
}

void TCustomLRPanel::Print(TCanvas&, const TRect&, double) {}

TLRAlign TCustomLRPanel::LRAlign() const {
    switch (Align()) {
    case alTop:
        return laTop;
    case alLeft:
        return laLeft;
    case alRight:
        return laRight;
    case alBottom:
        return laBottom;
    default:
        return laClient;
    }
}

void TCustomLRPanel::SetLRAlign(TLRAlign align) {
    if (align == LRAlign())
        return;
    static constexpr TAlign Toolkit[] = {alTop, alLeft, alRight, alBottom, alClient};
    SetAlign(Toolkit[align]);
    Invalidate();
}

TRect TCustomLRPanel::PageRect() const {
    int left = Left();
    int top = Top();
    for (const TLRControl* p = Parent(); p != nullptr && IsReportPanel(p); p = p->Parent()) {
        left += p->Left();
        top += p->Top();
    }
    return Bounds(left, top, Width(), Height());
}

void TCustomLRPanel::Paint(TCanvas& canvas) {
    if (!Designing())
        return;
    canvas.Brush.Color = clWhite;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect({0, 0, Width(), Height()});
    const TRect page = PageRect();
    DrawDesignGrid(canvas, Width(), Height(), page.Left, page.Top);
    canvas.Font.Assign(Font());
    canvas.Brush.Style = bsClear;
    canvas.TextOut(2, 2, Name());
    DrawDesignFrame(canvas, Width(), Height(), clBlue);
}

void TCustomLRPanel::PrintChildren(TLRWinControl& container, TCanvas& canvas, TPoint origin,
                                   TPrintStatus status, double scale, bool anyPanel) {
    for (TLRControl* child : container.Controls()) {
        const TRect rect = child->BoundsRect().Offset(origin.X, origin.Y);
        const bool drawn = Designing() || child->Enabled();
        if (auto* item = dynamic_cast<TCustomLRItem*>(child)) {
            if (drawn)
                item->Print(canvas, rect, status, scale);
        } else if (auto* panel = dynamic_cast<TCustomLRPanel*>(child)) {
            if (drawn && (anyPanel || dynamic_cast<TLRLayoutPanel*>(panel) != nullptr))
                panel->Print(canvas, rect, scale);
        }
    }
}

void TLRLayoutPanel::Print(TCanvas& canvas, const TRect& rect, double scale) {
    TPrintStatus status = prsNormal;
    if (BeforePrint)
        BeforePrint(this, rect, status);
    if (status == prsSkip)
        return;
    // The status reaches this panel's own items only; nested panels start again from normal.
    PrintChildren(*this, canvas, {rect.Left, rect.Top}, status, scale, true);
    if (AfterPrint)
        AfterPrint(this);
}

TLRWinControl* TLRLayoutPanel::CheckParent(TLRWinControl* parent) {
    if (auto* grid = dynamic_cast<TLRGridPanel*>(parent))
        return grid->CellPanel();
    if (dynamic_cast<VEvudaRir*>(parent) != nullptr ||
        dynamic_cast<TLRLayoutPanel*>(parent) != nullptr ||
        dynamic_cast<TLRChildPanel*>(parent) != nullptr)
        return parent;
    throw ELRError(QStringLiteral("VEvudaRir上かTLRLayoutPanelにのみ配置できます．"));
}
