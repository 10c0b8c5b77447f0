// The system clipboard as the picture classes see it: data by format number. Only the packed
// DIB (CF_DIB) is carried; on this desktop it travels as a bitmap file of type "image/bmp",
// which other programs paste.
#pragma once

#include <QByteArray>

inline constexpr unsigned short CF_DIB = 8;

class TClipboard {
  public:
    /// True when the clipboard holds data that can be had in `format`.
    bool HasFormat(unsigned short format) const;
    /// The clipboard's data in `format`; empty when there is none.
    QByteArray GetAsHandle(unsigned short format) const;
    /// Replaces the clipboard's content by `data` in `format`.
    void SetAsHandle(unsigned short format, const QByteArray& data);
};

/// The application's clipboard.
TClipboard& Clipboard();
