#include "lrgridpanel.h"

#include <algorithm>

#include "lrdesign.h"
#include "lrdocument.h"

TLRGridPanel::TLRGridPanel() {
    auto cell = std::make_unique<TLRChildPanel>();
    cell->SetName(QStringLiteral("CellPanel"));
    cell->SetAlign(alClient);
    cell->SetParent(this);
    FCellPanel = cell.release();
}

TLRGridPanel::~TLRGridPanel() {
    while (!FSubPanels.empty())
        FSubPanels.back()->SetGridPanel(nullptr);
}

void TLRGridPanel::SetColCount(int count) {
    if (count == FColCount)
        return;
    if (count <= 0 || Width() / count < 10)
        throw ELRError(QStringLiteral("列数が有効範囲を超えています．"));
    FColCount = count;
    Realign();
    Invalidate();
}

void TLRGridPanel::SetRowCount(int count) {
    if (count == FRowCount)
        return;
    if (count <= 0 || Height() / count < 10)
        throw ELRError(QStringLiteral("行数が有効範囲を超えています．"));
    FRowCount = count;
    Realign();
    Invalidate();
}

const TBeforePrintEvent& TLRGridPanel::BeforePrintPanel() const {
    return FCellPanel->BeforePrint;
}
void TLRGridPanel::SetBeforePrintPanel(TBeforePrintEvent event) {
    FCellPanel->BeforePrint = std::move(event);
}
const TNotifyEvent& TLRGridPanel::AfterPrintPanel() const {
    return FCellPanel->AfterPrint;
}
void TLRGridPanel::SetAfterPrintPanel(TNotifyEvent event) {
    FCellPanel->AfterPrint = std::move(event);
}

TLRWinControl* TLRGridPanel::CheckParent(TLRWinControl* parent) {
    if (dynamic_cast<VEvudaRir*>(parent) != nullptr ||
        dynamic_cast<TLRLayoutPanel*>(parent) != nullptr)
        return parent;
    throw ELRError(QStringLiteral("VEvudaRir上かTLRLayoutPanelにのみ配置できます．"));
}

TRect TLRGridPanel::AlignRect() const {
    return {0, 0, Width() / FColCount, Height() / FRowCount};
}

void TLRGridPanel::AlignControls(TLRControl* cause) {
    ResizeSubPanels();
    TCustomLRPanel::AlignControls(cause);
}

void TLRGridPanel::Resized() {
    TCustomLRPanel::Resized();
    ResizeSubPanels();
}

TRect TLRGridPanel::CellRect(const TRect& grid, int col, int row) const {
    const int left = grid.Left + static_cast<int>(static_cast<double>(Width()) * col / FColCount);
    const int top = grid.Top + static_cast<int>(static_cast<double>(Height()) * row / FRowCount);
    return Bounds(left, top, FCellPanel->Width(), FCellPanel->Height());
}

void TLRGridPanel::Print(TCanvas& canvas, const TRect& rect, double scale) {
    TPrintStatus status = prsNormal;
    if (BeforePrint)
        BeforePrint(this, rect, status);
    if (status == prsSkip)
        return;
    if (FPrintDirection == pdVert) {
        for (int c = 0; c < FColCount; ++c)
            for (int r = 0; r < FRowCount; ++r)
                PrintCell(canvas, rect, r, c, scale);
    } else {
        for (int r = 0; r < FRowCount; ++r)
            for (int c = 0; c < FColCount; ++c)
                PrintCell(canvas, rect, r, c, scale);
    }
    if (AfterPrint)
        AfterPrint(this);
}

void TLRGridPanel::PrintCell(TCanvas& canvas, const TRect& grid, int row, int col, double scale) {
    const TRect cell = CellRect(grid, col, row);
    TPrintStatus status = prsNormal; // every cell starts afresh
    if (OnPrintPanel)
        OnPrintPanel(this, col, row, cell, status);
    if (status == prsSkip)
        return;
    if (FCellPanel->BeforePrint)
        FCellPanel->BeforePrint(FCellPanel, cell, status);
    if (status == prsSkip)
        return;
    PrintChildren(*FCellPanel, canvas, {cell.Left, cell.Top}, status, scale, false);
    if (FCellPanel->AfterPrint)
        FCellPanel->AfterPrint(FCellPanel);
}

void TLRGridPanel::AddSubPanel(TLRSubPanel* subPanel) {
    if (subPanel == nullptr ||
        std::find(FSubPanels.begin(), FSubPanels.end(), subPanel) != FSubPanels.end())
        return;
    FSubPanels.push_back(subPanel);
    subPanel->SetBounds(subPanel->Left(), subPanel->Top(), FCellPanel->Width(),
                        FCellPanel->Height());
}

void TLRGridPanel::RemoveSubPanel(TLRSubPanel* subPanel) {
    FSubPanels.erase(std::remove(FSubPanels.begin(), FSubPanels.end(), subPanel), FSubPanels.end());
}

void TLRGridPanel::ResizeSubPanels() {
    // Called from alignment, before the cell panel is placed: the cell's size is that of the
    // first cell.
    const TRect cell = AlignRect();
    for (TLRSubPanel* sub : FSubPanels)
        if (sub->Width() != cell.Width() || sub->Height() != cell.Height())
            sub->SetBounds(sub->Left(), sub->Top(), cell.Width(), cell.Height());
}

void TLRGridPanel::Paint(TCanvas& canvas) {
    if (!Designing())
        return;
    const int w = Width();
    const int h = Height();
    canvas.Brush.Style = bsSolid;
    if (FColCount > 1 || FRowCount > 1) {
        canvas.Brush.Color = 0xEFEFEF;
        canvas.FillRect({0, 0, w, h});
    }
    canvas.Brush.Color = clWhite;
    canvas.FillRect(
        {0, 0, static_cast<int>(double(w) / FColCount), static_cast<int>(double(h) / FRowCount)});
    const TRect page = PageRect();
    DrawDesignGrid(canvas, w, h, page.Left, page.Top);
    canvas.Pen.Color = clBlue;
    canvas.Pen.Width = 1;
    canvas.Pen.Style = psDot;
    for (int i = 0; i <= FRowCount; ++i) {
        int y = static_cast<int>(double(h) * i / FRowCount);
        if (y == h)
            y = h - 1;
        canvas.MoveTo(0, y);
        canvas.LineTo(w, y);
    }
    for (int j = 0; j <= FColCount; ++j) {
        int x = static_cast<int>(double(w) * j / FColCount);
        if (x == w)
            x = w - 1;
        canvas.MoveTo(x, 0);
        canvas.LineTo(x, h);
    }
    canvas.Pen.Style = psSolid;
    FCellPanel->Paint(canvas);
}

// ---------------------------------------------------------------------------------------------

TLRSubPanel::TLRSubPanel() {
    SetAlign(alNone);
    SetVisible(false);
}

TLRSubPanel::~TLRSubPanel() {
    if (FGridPanel != nullptr)
        FGridPanel->RemoveSubPanel(this);
}

void TLRSubPanel::SetGridPanel(TLRGridPanel* grid) {
    if (grid == FGridPanel)
        return;
    if (FGridPanel != nullptr)
        FGridPanel->RemoveSubPanel(this);
    FGridPanel = grid; // before linking, so that the new grid sees it linked
    if (grid != nullptr)
        grid->AddSubPanel(this);
}

TLRWinControl* TLRSubPanel::CheckParent(TLRWinControl* parent) {
    if (dynamic_cast<VEvudaRir*>(parent) != nullptr || IsReportPanel(parent))
        throw ELRError(QStringLiteral("VEvudaRir上には配置できません．"));
    return parent;
}
