// Points and rectangles in the class library's convention: a rectangle's right and bottom edges
// are exclusive, so a rectangle (0, 0, 10, 10) covers pixels 0..9 in each direction.
#pragma once

#include <QRect>

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
    /// The same area as a Qt rectangle (whose right() is the last column, not one past it).
    QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    static TRect FromQRect(const QRect& r) {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    bool operator==(const TRect&) const = default;
};

/// A rectangle from its origin and size.
inline TRect Bounds(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}
