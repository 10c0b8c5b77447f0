// What the slot saver (slotsaver.cpp) writes: save i of writer `tag` gives every value of the
// slot a number that names the writer and the save, so that a reader can tell whether a slot
// came whole from one save or was pieced together from several.
#pragma once

#include <QString>

#include "model/settingsslots.h"

namespace slotsaver {

inline QString Comment(int tag, int save) {
    return QStringLiteral("保存%1-%2").arg(tag).arg(save);
}

inline TSlotSettings Settings(int tag, int save) {
    TSlotSettings s;
    for (int k = 0; k < SheetFontCount; ++k) {
        s.Fonts[k].Name = QStringLiteral("書体%1-%2-%3").arg(tag).arg(save).arg(k);
        s.Fonts[k].Style = (save + k) % 4 == 0   ? 0
                           : (save + k) % 4 == 1 ? fsBold
                           : (save + k) % 4 == 2 ? fsItalic
                                                 : fsBold | fsItalic;
    }
    for (int c = 0; c < SheetColorCount; ++c)
        s.Colors[c] = tag * 1000000 + save * 100 + c;
    s.TitleStyle = save % 8;
    return s;
}

} // namespace slotsaver
