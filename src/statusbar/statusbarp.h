// The main window's status bar: a message in panel 0, a progress bar embedded in panel 1 and
// the percentage in panel 2. While a long operation runs, panel 0 says "処理中".
#pragma once

#include "statusbar.h"

class QProgressBar;

class TStatusBarP : public TStatusBar {
    Q_OBJECT

  public:
    explicit TStatusBarP(QWidget* parent = nullptr);

    /// Progress 0..100. Setting it clamps the value, moves the progress bar, writes "V%" into
    /// panel 2 (and "処理中" into panel 0 while msgdsp is on), or clears both panels to a
    /// single space for 0, and repaints at once so that progress shows during long work.
    int Position() const { return FPosition; }
    void SetPosition(int value);

    /// Whether a non-zero position writes "処理中" into panel 0; on by default.
    bool msgdsp() const { return Fmsgdsp; }
    void Setmsgdsp(bool value) { Fmsgdsp = value; }

    /// The last message set; setting it writes it into panel 0.
    const QString& Text() const { return FText; }
    void SetText(const QString& text);

    /// The embedded progress bar (owned by the status bar).
    QProgressBar* ProgressBar() const { return FProgressBar; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void DrawPanel(int index, QPainter& painter, const QRect& rect) override;
    void PanelsChanged() override;

  private:
    void PlaceProgressBar();

    int FPosition = 0;
    bool Fmsgdsp = true;
    QString FText;
    QProgressBar* FProgressBar; // child widget, owned by this bar
};
