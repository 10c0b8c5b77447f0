// The component model under the report engine: controls with a position and size in design
// units, an alignment, a font, and a parent that owns them and aligns them. Nothing here is a
// window; the document, panels and items are plain objects that draw on a canvas.
#pragma once

#include <memory>
#include <vector>

#include <QString>

#include "lrtypes.h"
#include "platform/canvas.h"
#include "platform/font.h"
#include "platform/tcolor.h"

class TLRWinControl;

/// A control: an item (drawn on its parent's surface) or, as TLRWinControl, a container.
/// A control with a parent is owned by it and deleted with it; one without is owned by whoever
/// made it. Deleting a control takes it out of its parent.
class TLRControl {
  public:
    TLRControl();
    virtual ~TLRControl();
    TLRControl(const TLRControl&) = delete;
    TLRControl& operator=(const TLRControl&) = delete;

    /// The component name: the designer's name for the control, and the default text of items.
    const QString& Name() const { return FName; }
    virtual void SetName(const QString& name);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int left) { SetBounds(left, FTop, FWidth, FHeight); }
    void SetTop(int top) { SetBounds(FLeft, top, FWidth, FHeight); }
    void SetWidth(int width) { SetBounds(FLeft, FTop, width, FHeight); }
    void SetHeight(int height) { SetBounds(FLeft, FTop, FWidth, height); }
    /// Moves and sizes the control (relative to its parent's client origin); an aligned
    /// control is then aligned again by its parent.
    virtual void SetBounds(int left, int top, int width, int height);
    /// (Left, Top, Left + Width, Top + Height).
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign align);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    /// Visibility decides alignment only; printing asks Enabled.
    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);

    /// The control's font. Changing it ends ParentFont.
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool parentFont);

    TColor Color() const;
    void SetColor(TColor color);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool parentColor);

    TLRWinControl* Parent() const { return FParent; }
    /// Puts the control on `parent` (nullptr: on none), which then owns it. The placement rule
    /// of the control's class may refuse with ELRError, leaving everything unchanged, or put
    /// it on another control (a grid panel passes its children on to its cell panel).
    void SetParent(TLRWinControl* parent);

    /// Design mode: the control is edited in a layout editor rather than run.
    bool Designing() const { return FDesigning; }
    virtual void SetDesigning(bool designing);
    /// While a stored layout is read, size rules wait until Loaded.
    bool Loading() const { return FLoading; }
    virtual void SetLoading(bool loading);

    virtual bool IsWindowed() const { return false; }

    /// Asks for the control to be painted again; handled by the nearest OnInvalidate.
    void Invalidate();
    /// Raised with the control that asked to be painted again (by it or its descendants).
    TNotifyEvent OnInvalidate;

    /// Paints the control's own surface (its design view), with (0, 0) its top-left corner.
    virtual void Paint(TCanvas& canvas);

  protected:
    /// The parent this control really goes on, or ELRError when it may not go on `parent`
    /// (never nullptr).
    virtual TLRWinControl* CheckParent(TLRWinControl* parent);
    /// After the size changed.
    virtual void Resized() {}
    /// After a stored layout was read.
    virtual void Loaded() {}
    /// After the font changed (its own or, with ParentFont, its parent's).
    virtual void FontChanged();

    /// Sets the bounds as the parent's alignment places the control, without realigning the
    /// parent.
    void PlaceBounds(int left, int top, int width, int height);

  private:
    friend class TLRWinControl;
    void TakeParentFont();
    void RequestAlign();

    QString FName;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    TAlign FAlign = alNone;
    bool FEnabled = true;
    bool FVisible = true;
    TFont FFont;
    bool FParentFont = true;
    bool FSyncingFont = false;
    TColor FColor = clWindow;
    bool FParentColor = false;
    bool FDesigning = false;
    bool FLoading = false;
    TLRWinControl* FParent = nullptr;
};

/// A container control: holds items and panels, owns them, and aligns them.
class TLRWinControl : public TLRControl {
  public:
    ~TLRWinControl() override;

    bool IsWindowed() const override { return true; }

    /// The children in child order: all items in the order they were added, then all
    /// containers in the order they were added.
    std::vector<TLRControl*> Controls() const;
    int ControlCount() const { return static_cast<int>(FItems.size() + FWinControls.size()); }

    /// Aligns the children again in AlignRect.
    void Realign() { AlignControls(nullptr); }

    void SetDesigning(bool designing) override;
    void SetLoading(bool loading) override;

  protected:
    /// The rectangle the children are aligned in; the client area (0, 0, Width, Height) here.
    virtual TRect AlignRect() const;
    /// Aligns the children; `cause` is the child whose change asked for it (or nullptr).
    virtual void AlignControls(TLRControl* cause);
    void Resized() override;
    void FontChanged() override;

  private:
    friend class TLRControl;
    void InsertControl(TLRControl* control);
    void RemoveControl(TLRControl* control);
    void AlignPass(TAlign align, TLRControl* cause, TRect& rect);

    std::vector<TLRControl*> FItems;       // owned
    std::vector<TLRControl*> FWinControls; // owned
    bool FAligning = false;
};

/// The form that holds a report document (and any sub panels): the top of the tree.
class TLRForm : public TLRWinControl {};

/// Makes a control of class T named `name` on `parent` (not nullptr), which owns it. The
/// placement rule of T may raise ELRError; then nothing is made. A control without a parent is
/// made with std::make_unique and owned by its maker.
template <class T> T* CreateLR(TLRWinControl* parent, const QString& name = QString()) {
    Q_ASSERT(parent != nullptr);
    auto control = std::make_unique<T>();
    if (!name.isEmpty())
        control->SetName(name);
    control->SetParent(parent);
    return control->Parent() != nullptr ? control.release() : nullptr;
}

/// As above, with the control's bounds (relative to the parent) set before it is placed, so
/// that the parent's alignment sees where it is meant to go.
template <class T> T* CreateLR(TLRWinControl* parent, const QString& name, const TRect& bounds) {
    Q_ASSERT(parent != nullptr);
    auto control = std::make_unique<T>();
    control->SetName(name);
    control->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    control->SetParent(parent);
    return control->Parent() != nullptr ? control.release() : nullptr;
}
