#include "tcolor.h"

#include <QGuiApplication>
#include <QPalette>

TColor ColorToRGB(TColor c) {
    if (!IsSystemColor(c))
        return c & 0x00FFFFFF;
    // Without a running application there is no palette; the classic defaults serve then.
    const bool havePalette = QGuiApplication::instance() != nullptr;
    switch (c) {
    case clWindow:
        return havePalette ? FromQColor(QGuiApplication::palette().color(QPalette::Base)) : clWhite;
    case clWindowText:
        return havePalette ? FromQColor(QGuiApplication::palette().color(QPalette::Text)) : clBlack;
    case clBtnFace:
        return havePalette ? FromQColor(QGuiApplication::palette().color(QPalette::Button))
                           : clSilver;
    default:
        return clBlack;
    }
}

QColor ToQColor(TColor c) {
    const TColor rgb = ColorToRGB(c);
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

TColor FromQColor(const QColor& c) {
    const QColor rgb = c.toRgb();
    return static_cast<TColor>(rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16));
}
