// Readable test failure messages for the calendar model and its parts.
#pragma once

#include <ostream>

#include "model/calendarmodel.h"

inline void PrintTo(TFrameMode mode, std::ostream* os) {
    *os << (mode == TFrameMode::Fill ? "fill" : "fit");
}

inline void PrintTo(const TPictureFraming& f, std::ostream* os) {
    *os << "{" << (f.Mode == TFrameMode::Fill ? "fill" : "fit") << ", focus " << f.FocusX << ","
        << f.FocusY << ", zoom " << f.Zoom << "}";
}

inline void PrintTo(const TSlotFont& f, std::ostream* os) {
    *os << "{'" << f.Name.toStdString() << "', style " << f.Style << "}";
}

inline void PrintTo(const TCalendarModel& m, std::ostream* os) {
    *os << "{year " << m.Year << ", photo '" << m.Photo.FileName.toStdString() << "' at "
        << m.Photo.Picture.get() << ", ";
    PrintTo(m.Framing, os);
    *os << ", fonts";
    for (const TSlotFont& f : m.Settings.Fonts) {
        *os << " ";
        PrintTo(f, os);
    }
    *os << ", colours";
    for (TColor c : m.Settings.Colors)
        *os << " " << c;
    *os << ", title style " << m.Settings.TitleStyle << ", paper " << int(m.Paper) << ", position "
        << m.Position << "}";
}
