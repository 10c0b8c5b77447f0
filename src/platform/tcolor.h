// Colour values as the settings files and the sheet store them: 0x00BBGGRR in a signed 32-bit
// integer, plus the few system colours (high byte 0xFF) that the controls start with.
#pragma once

#include <cstdint>

#include <QColor>

using TColor = std::int32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

// System colours: the high byte marks them, the low byte is the system colour index.
inline constexpr TColor clBtnFace = static_cast<TColor>(0xFF00000Fu);
inline constexpr TColor clWindow = static_cast<TColor>(0xFF000005u);
inline constexpr TColor clWindowText = static_cast<TColor>(0xFF000008u);

/// True for the system colours, whose value is an index rather than red, green and blue.
constexpr bool IsSystemColor(TColor c) {
    return (static_cast<std::uint32_t>(c) >> 24) == 0xFF;
}

/// The plain 0x00BBGGRR value of a colour; system colours resolve to the desktop's palette.
TColor ColorToRGB(TColor c);

/// Red, green and blue of a colour (system colours resolved), fully opaque.
QColor ToQColor(TColor c);

/// The 0x00BBGGRR value of a Qt colour; alpha is dropped.
TColor FromQColor(const QColor& c);
