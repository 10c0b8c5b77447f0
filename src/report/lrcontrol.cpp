#include "lrcontrol.h"

#include <algorithm>
#include <array>

namespace {

// Whether `a` goes before `b` among the children of one alignment: those nearer the edge
// first; for top and left the earlier child wins a tie, for bottom and right the later one.
bool InsertBefore(const TLRControl* a, const TLRControl* b, TAlign align) {
    switch (align) {
    case alTop:
        return a->Top() < b->Top();
    case alBottom:
        return a->Top() + a->Height() >= b->Top() + b->Height();
    case alLeft:
        return a->Left() < b->Left();
    case alRight:
        return a->Left() + a->Width() >= b->Left() + b->Width();
    default:
        return false;
    }
}

} // namespace

TLRControl::TLRControl() {
    FFont.OnChange = [this] {
        if (!FSyncingFont)
            FParentFont = false;
        FontChanged();
    };
}

TLRControl::~TLRControl() {
    if (FParent != nullptr)
        FParent->RemoveControl(this);
}

void TLRControl::SetName(const QString& name) {
    FName = name;
}

void TLRControl::SetBounds(int left, int top, int width, int height) {
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight)
        return;
    PlaceBounds(left, top, width, height);
    RequestAlign();
}

void TLRControl::PlaceBounds(int left, int top, int width, int height) {
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight)
        return;
    const bool sized = width != FWidth || height != FHeight;
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    if (sized)
        Resized();
    Invalidate();
}

void TLRControl::RequestAlign() {
    if (FParent != nullptr)
        FParent->AlignControls(this);
}

void TLRControl::SetAlign(TAlign align) {
    if (align == FAlign)
        return;
    FAlign = align;
    RequestAlign();
    Invalidate();
}

void TLRControl::SetEnabled(bool enabled) {
    if (enabled == FEnabled)
        return;
    FEnabled = enabled;
    Invalidate();
}

void TLRControl::SetVisible(bool visible) {
    if (visible == FVisible)
        return;
    FVisible = visible;
    RequestAlign();
    Invalidate();
}

void TLRControl::SetParentFont(bool parentFont) {
    FParentFont = parentFont;
    if (parentFont)
        TakeParentFont();
}

void TLRControl::TakeParentFont() {
    if (!FParentFont || FParent == nullptr)
        return;
    FSyncingFont = true;
    FFont.Assign(FParent->Font());
    FSyncingFont = false;
}

void TLRControl::FontChanged() {
    Invalidate();
}

TColor TLRControl::Color() const {
    return FParentColor && FParent != nullptr ? FParent->Color() : FColor;
}

void TLRControl::SetColor(TColor color) {
    FParentColor = false;
    if (color == FColor)
        return;
    FColor = color;
    Invalidate();
}

void TLRControl::SetParentColor(bool parentColor) {
    if (parentColor == FParentColor)
        return;
    FParentColor = parentColor;
    Invalidate();
}

void TLRControl::SetParent(TLRWinControl* parent) {
    TLRWinControl* target = parent != nullptr ? CheckParent(parent) : nullptr;
    if (target == FParent)
        return;
    for (const TLRControl* p = target; p != nullptr; p = p->FParent)
        if (p == this)
            throw ELRError(QStringLiteral("コントロールを自分の中には配置できません。"));
    if (FParent != nullptr)
        FParent->RemoveControl(this);
    FParent = target;
    if (target != nullptr)
        target->InsertControl(this);
}

TLRWinControl* TLRControl::CheckParent(TLRWinControl* parent) {
    return parent;
}

void TLRControl::SetDesigning(bool designing) {
    FDesigning = designing;
}

void TLRControl::SetLoading(bool loading) {
    if (loading == FLoading)
        return;
    FLoading = loading;
    if (!loading)
        Loaded();
}

void TLRControl::Invalidate() {
    for (TLRControl* c = this; c != nullptr; c = c->FParent) {
        if (c->OnInvalidate) {
            c->OnInvalidate(this);
            return;
        }
    }
}

void TLRControl::Paint(TCanvas&) {}

// ---------------------------------------------------------------------------------------------

TLRWinControl::~TLRWinControl() {
    // Children go first, the last added first; they no longer report to this container.
    for (auto* list : {&FWinControls, &FItems}) {
        while (!list->empty()) {
            TLRControl* child = list->back();
            list->pop_back();
            child->FParent = nullptr;
            delete child;
        }
    }
}

std::vector<TLRControl*> TLRWinControl::Controls() const {
    std::vector<TLRControl*> all(FItems);
    all.insert(all.end(), FWinControls.begin(), FWinControls.end());
    return all;
}

void TLRWinControl::InsertControl(TLRControl* control) {
    (control->IsWindowed() ? FWinControls : FItems).push_back(control);
    control->SetDesigning(Designing());
    control->TakeParentFont();
    AlignControls(control);
}

void TLRWinControl::RemoveControl(TLRControl* control) {
    // Both lists: a container being destroyed no longer answers IsWindowed as one.
    for (auto* list : {&FItems, &FWinControls})
        list->erase(std::remove(list->begin(), list->end(), control), list->end());
    Realign();
}

TRect TLRWinControl::AlignRect() const {
    return {0, 0, Width(), Height()};
}

void TLRWinControl::AlignControls(TLRControl* cause) {
    if (FAligning || Loading())
        return;
    const auto controls = Controls();
    if (std::none_of(controls.begin(), controls.end(),
                     [](const TLRControl* c) { return c->Align() != alNone; }))
        return;
    FAligning = true;
    TRect rect = AlignRect();
    try {
        for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient})
            AlignPass(align, cause, rect);
    } catch (...) {
        FAligning = false;
        throw;
    }
    FAligning = false;
}

void TLRWinControl::AlignPass(TAlign align, TLRControl* cause, TRect& rect) {
    const auto shown = [this](const TLRControl* c) { return c->Visible() || Designing(); };
    std::vector<TLRControl*> list;
    if (cause != nullptr && cause->FParent == this && cause->Align() == align && shown(cause))
        list.push_back(cause);
    for (TLRControl* c : Controls()) {
        if (c == cause || c->Align() != align || !shown(c))
            continue;
        auto at = list.begin();
        while (at != list.end() && !InsertBefore(c, *at, align))
            ++at;
        list.insert(at, c);
    }
    for (TLRControl* c : list) {
        int w = rect.Right - rect.Left;
        int h = rect.Bottom - rect.Top;
        if (w < 0)
            w = c->Width();
        if (h < 0)
            h = c->Height();
        switch (align) {
        case alTop:
            c->PlaceBounds(rect.Left, rect.Top, w, c->Height());
            rect.Top += c->Height();
            break;
        case alBottom:
            rect.Bottom -= c->Height();
            c->PlaceBounds(rect.Left, rect.Bottom, w, c->Height());
            break;
        case alLeft:
            c->PlaceBounds(rect.Left, rect.Top, c->Width(), h);
            rect.Left += c->Width();
            break;
        case alRight:
            rect.Right -= c->Width();
            c->PlaceBounds(rect.Right, rect.Top, c->Width(), h);
            break;
        case alClient:
            c->PlaceBounds(rect.Left, rect.Top, w, h);
            break;
        case alNone:
            break;
        }
    }
}

void TLRWinControl::Resized() {
    Realign();
}

void TLRWinControl::FontChanged() {
    TLRControl::FontChanged();
    for (TLRControl* c : Controls())
        c->TakeParentFont();
}

void TLRWinControl::SetDesigning(bool designing) {
    TLRControl::SetDesigning(designing);
    for (TLRControl* c : Controls())
        c->SetDesigning(designing);
}

void TLRWinControl::SetLoading(bool loading) {
    for (TLRControl* c : Controls())
        c->SetLoading(loading);
    TLRControl::SetLoading(loading);
    if (!loading)
        Realign();
}
