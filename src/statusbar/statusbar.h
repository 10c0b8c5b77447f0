// A status bar of the class library's kind: a row of sunken panels, each with a width and a
// text, the last one reaching to the right edge. A panel may be drawn by the owner instead, and
// may have a tool tip of its own; a text too long for its panel shows whole as its tool tip.
#pragma once

#include <functional>
#include <vector>

#include <QString>
#include <QWidget>

class QPainter;

enum TStatusPanelStyle { psText, psOwnerDraw };

struct TStatusPanel {
    /// Width in pixels; 50 unless set.
    int Width = 50;
    QString Text;
    TStatusPanelStyle Style = psText;
    /// The panel's tool tip; empty: none, or the text where it does not fit.
    QString Hint;
};

class TStatusBar : public QWidget {
    Q_OBJECT

  public:
    explicit TStatusBar(QWidget* parent = nullptr);

    int PanelCount() const { return int(FPanels.size()); }
    const TStatusPanel& Panel(int index) const { return FPanels.at(index); }
    /// Adds a panel at the right end and returns its index.
    int AddPanel(int width = 50, TStatusPanelStyle style = psText);
    void SetPanelText(int index, const QString& text);
    void SetPanelWidth(int index, int width);
    void SetPanelHint(int index, const QString& hint);
    /// The panel at `point` (in the bar's coordinates), or −1.
    int PanelAt(const QPoint& point) const;
    /// The tool tip the panel shows: its hint, else its text when that does not fit.
    QString PanelToolTip(int index) const;

    /// Rectangle of a panel's face (inside its frame), in the bar's coordinates.
    QRect PanelRect(int index) const;

    /// Draws an owner-drawn panel; runs when the panel is painted.
    std::function<void(TStatusBar& bar, int index, QPainter& painter, const QRect& rect)>
        OnDrawPanel;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    /// Draws panel `index` of style psOwnerDraw; the default runs OnDrawPanel.
    virtual void DrawPanel(int index, QPainter& painter, const QRect& rect);
    /// Runs after the panel widths changed.
    virtual void PanelsChanged() {}

  private:
    /// Left edge of a panel's outer frame.
    int PanelLeft(int index) const;

    std::vector<TStatusPanel> FPanels;
};
