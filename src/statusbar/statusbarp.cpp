#include "statusbarp.h"

#include <algorithm>

#include <QProgressBar>

TStatusBarP::TStatusBarP(QWidget* parent) : TStatusBar(parent) {
    setFixedHeight(22);
    FProgressBar = new QProgressBar(this);
    FProgressBar->setRange(0, 100);
    FProgressBar->setValue(0);
    FProgressBar->setTextVisible(false); // the percentage has its own panel
    AddPanel(300);
    AddPanel(100, psOwnerDraw);
    AddPanel();
    PlaceProgressBar();
}

void TStatusBarP::PlaceProgressBar() {
    if (PanelCount() < 2)
        return;
    FProgressBar->setGeometry(Panel(0).Width + 2, 2, Panel(1).Width - 2, height() - 2);
}

void TStatusBarP::resizeEvent(QResizeEvent* event) {
    PlaceProgressBar();
    TStatusBar::resizeEvent(event);
}

void TStatusBarP::DrawPanel(int index, QPainter& painter, const QRect& rect) {
    if (index == 1)
        PlaceProgressBar();
    TStatusBar::DrawPanel(index, painter, rect);
}

void TStatusBarP::PanelsChanged() {
    PlaceProgressBar();
}

void TStatusBarP::SetPosition(int value) {
    FPosition = std::clamp(value, 0, 100);
    FProgressBar->setValue(FPosition);
    if (FPosition != 0) {
        SetPanelText(2, QString::number(FPosition) + u'%');
        if (Fmsgdsp)
            SetPanelText(0, QStringLiteral("処理中"));
    } else {
        SetPanelText(2, QStringLiteral(" "));
        SetPanelText(0, QStringLiteral(" "));
    }
    repaint();
}

void TStatusBarP::SetText(const QString& text) {
    FText = text;
    SetPanelText(0, text);
}
