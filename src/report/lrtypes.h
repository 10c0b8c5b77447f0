// Types shared by the report engine: units, print status, alignments, events and the error
// class. Every length of the engine is in design units, 1/96 inch (one pixel of the preview).
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>

#include "platform/exception.h"
#include "platform/types.h"

class TLRControl;

/// Design units in 100 mm (3.78 per millimetre).
inline constexpr int DotsPer100mm = 378;

/// Errors of the report engine; the message is the one the user sees.
class ELRError : public Exception {
  public:
    using Exception::Exception;
};

/// What a print event lets the application decide about a panel or a cell.
enum TPrintStatus : std::uint8_t {
    prsNormal,    // everything is drawn
    prsFrameOnly, // items draw background and border lines, no text and no picture
    prsSkip,      // nothing is drawn, and the after-print event is not raised
};

/// Toolkit alignment of a control in its parent.
enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };

/// Alignment of a report panel, as the designer sets it.
enum TLRAlign : std::uint8_t { laTop, laLeft, laRight, laBottom, laClient };

/// Cell order of a grid panel. pdHolz is an old spelling of pdHorz and behaves the same.
enum TPrintDirection : std::uint8_t { pdHorz, pdVert, pdHolz };

/// Weight of a border line of a text item.
enum TLineStyle : std::uint8_t { lsNone, lsSingle, lsHalf, lsDouble };

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout : std::uint8_t { tlTop, tlCenter, tlBottom };

using TNotifyEvent = std::function<void(TLRControl* sender)>;
/// Before a panel prints: its rectangle on the page (design units) and the status to decide.
using TBeforePrintEvent = std::function<void(TLRControl* sender, TRect rect, TPrintStatus& status)>;
/// Before a grid cell prints: its column, row and rectangle on the page, and its status.
using TPrintPanelEvent =
    std::function<void(TLRControl* sender, int col, int row, TRect rect, TPrintStatus& status)>;

/// A design length on a device of `scale` device units per design unit, truncated toward zero.
inline int ScaleValue(int value, double scale) {
    return static_cast<int>(std::trunc(static_cast<double>(value) * scale));
}

/// A design rectangle on the device, coordinate by coordinate (never through width and height,
/// so neighbours stay neighbours).
inline TRect ScaleRect(const TRect& r, double scale) {
    return {ScaleValue(r.Left, scale), ScaleValue(r.Top, scale), ScaleValue(r.Right, scale),
            ScaleValue(r.Bottom, scale)};
}
