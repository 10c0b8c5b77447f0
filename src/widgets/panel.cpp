#include "panel.h"

#include <QPainter>
#include <qdrawutil.h>

TPanel::TPanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPanel::SetColor(TColor color) {
    if (FColor == color)
        return;
    FColor = color;
    update();
}

void TPanel::SetFontColor(TColor color) {
    if (FFontColor == color)
        return;
    FFontColor = color;
    update();
}

void TPanel::SetCaption(const QString& caption) {
    if (FCaption == caption)
        return;
    FCaption = caption;
    update();
}

void TPanel::SetBevelOuter(TPanelBevel bevel) {
    FBevelOuter = bevel;
    update();
}

void TPanel::SetBorderSingle(bool on) {
    FBorderSingle = on;
    update();
}

int TPanel::FrameWidth() const {
    return (FBorderSingle ? 2 : 0) + (FBevelOuter != bvNone ? 1 : 0);
}

QRect TPanel::ClientRect() const {
    const int f = FrameWidth();
    return rect().adjusted(f, f, -f, -f);
}

void TPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(FColor));
    QRect r = rect();
    if (FBorderSingle) {
        qDrawShadePanel(&painter, r, palette(), true, 2);
        r.adjust(2, 2, -2, -2);
    }
    if (FBevelOuter != bvNone)
        qDrawShadePanel(&painter, r, palette(), FBevelOuter == bvLowered, 1);
    if (!FCaption.isEmpty()) {
        painter.setPen(ToQColor(FFontColor));
        painter.setFont(font());
        painter.drawText(ClientRect(), Qt::AlignCenter | Qt::TextSingleLine, FCaption);
    }
}
