// The seven fonts of a calendar control.
#include "calex.h"

TCalExFonts::TCalExFonts() {
    for (TFont& font : FFonts) {
        font.SetColor(clBlack);
        font.OnChange = [this] {
            if (OnChange)
                OnChange();
        };
    }
}

void TCalExFonts::SetFont(int index, const TFont& font) {
    if (!FSynchronize) {
        Font(index).Assign(font);
        return;
    }
    // Copy first: `font` may be one of ours, which the loop is about to change.
    const TFont copy(font);
    for (TFont& f : FFonts)
        f.Assign(copy);
}

void TCalExFonts::Assign(const TCalExFonts& other) {
    if (&other == this)
        return;
    for (int i = 0; i < Count; ++i)
        FFonts[i].Assign(other.FFonts[i]);
}
