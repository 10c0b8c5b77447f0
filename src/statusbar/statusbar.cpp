#include "statusbar.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <qdrawutil.h>

namespace {
// Room between neighbouring panels and around the text, in pixels.
constexpr int PanelGap = 2;
constexpr int TextMargin = 2;
} // namespace

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

int TStatusBar::AddPanel(int width, TStatusPanelStyle style) {
    FPanels.push_back(TStatusPanel{width, QString(), style, QString()});
    PanelsChanged();
    update();
    return PanelCount() - 1;
}

void TStatusBar::SetPanelText(int index, const QString& text) {
    TStatusPanel& panel = FPanels.at(index);
    if (panel.Text == text)
        return;
    panel.Text = text;
    update();
}

void TStatusBar::SetPanelHint(int index, const QString& hint) {
    FPanels.at(index).Hint = hint;
}

int TStatusBar::PanelAt(const QPoint& point) const {
    if (!rect().contains(point))
        return -1;
    for (int i = 0; i < PanelCount(); ++i) {
        const int left = PanelLeft(i);
        const int right = i == PanelCount() - 1 ? width() : left + FPanels[i].Width;
        if (point.x() >= left && point.x() < right)
            return i;
    }
    return -1;
}

QString TStatusBar::PanelToolTip(int index) const {
    const TStatusPanel& panel = FPanels.at(index);
    if (!panel.Hint.isEmpty())
        return panel.Hint;
    const int room = PanelRect(index).width() - 2 * TextMargin;
    if (panel.Style == psText && fontMetrics().horizontalAdvance(panel.Text) > room)
        return panel.Text;
    return {};
}

bool TStatusBar::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int index = PanelAt(help->pos());
        const QString tip = index >= 0 ? PanelToolTip(index) : QString();
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, this, PanelRect(index));
        }
        return true;
    }
    return QWidget::event(event);
}

void TStatusBar::SetPanelWidth(int index, int width) {
    TStatusPanel& panel = FPanels.at(index);
    if (panel.Width == width)
        return;
    panel.Width = width;
    PanelsChanged();
    update();
}

int TStatusBar::PanelLeft(int index) const {
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += FPanels[i].Width;
    return left;
}

QRect TStatusBar::PanelRect(int index) const {
    const int left = PanelLeft(index);
    // The last panel takes the rest of the bar, as the system's status bar does.
    const int right = index == PanelCount() - 1 ? width() : left + FPanels.at(index).Width;
    return QRect(QPoint(left + 1, PanelGap), QPoint(right - PanelGap - 1, height() - 2))
        .normalized();
}

void TStatusBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    for (int i = 0; i < PanelCount(); ++i) {
        const QRect face = PanelRect(i);
        if (face.width() <= 0)
            continue;
        qDrawShadePanel(&painter, face.adjusted(-1, -1, 1, 1), palette(), true, 1);
        painter.save();
        painter.setClipRect(face);
        if (FPanels[i].Style == psOwnerDraw) {
            DrawPanel(i, painter, face);
        } else {
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(face.adjusted(TextMargin, 0, -TextMargin, 0),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                             FPanels[i].Text);
        }
        painter.restore();
    }
}

void TStatusBar::DrawPanel(int index, QPainter& painter, const QRect& rect) {
    if (OnDrawPanel)
        OnDrawPanel(*this, index, painter, rect);
}
