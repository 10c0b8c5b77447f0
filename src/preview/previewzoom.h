// The zoom of the preview window: the four steps (25, 50, 75, 100 %) and "全体表示", the page
// scaled to fit the window; the sizes the page is shown at, and the zoom the user chose last,
// kept in tamurika-state.ini for the next window. A view preference, not part of the calendar.
#pragma once

#include <optional>

#include <QSize>
#include <QString>

/// The zoom steps: 1 = 25 % .. 4 = 100 %.
inline constexpr int MinZoomStep = 1;
inline constexpr int MaxZoomStep = 4;
/// The percentages the page can be drawn at (VEvudaRir::DrawPreview takes 25..100).
inline constexpr int MinZoomPercent = 25;
inline constexpr int MaxZoomPercent = 100;

/// A zoom as the user chooses it: one of the steps, or the page fitted to the window.
struct TPreviewZoom {
    bool Fit = false;
    int Step = MaxZoomStep; // 1..4; not used when Fit

    bool operator==(const TPreviewZoom&) const = default;
};

/// The page of `paper` design units at zoom step `step`: a quarter of its size per step,
/// halves rounded to even (198 × 281 at 25 % for A4).
QSize ZoomStepSize(const QSize& paper, int step);

/// The page of `paper` scaled to lie wholly within `area`, its proportions kept: one side takes
/// the area's, the other is rounded. Never above 100 % (a larger area shows the page at its
/// size) nor below 25 % (a smaller one shows it at 25 % and scrolls): at those ends the steps'
/// own sizes.
struct TFittedPage {
    QSize Size;
    /// The scale shown, 0.25 .. 1.
    double Scale = 1;
    /// The whole percentage said to the user ("全体表示 (62%)").
    int Percent() const;
    /// The percentage to draw the page at before it is shrunk to Size: the smallest whole
    /// one not below Scale, so that the page is only ever shrunk.
    int RenderPercent() const;
};
TFittedPage FitPageInto(const QSize& paper, const QSize& area);

/// The step that zooming in / out from a fitted page of `scale` goes to: the nearest step
/// above / below the scale; nullopt when there is none (fitted at 100 % / at 25 %).
std::optional<int> StepAbove(double scale);
std::optional<int> StepBelow(double scale);

/// The zoom kept in the state file of the program whose folder is `appPath` ("[preview]
/// zoom=fit", or 25, 50, 75, 100); nullopt when none was kept or the value is not one of these.
std::optional<TPreviewZoom> KeptPreviewZoom(const QString& appPath);
/// Keeps `zoom` for the next window. A state file that cannot be written only leaves the
/// zoom unkept: it is a convenience, and the window says nothing of it.
void KeepPreviewZoom(const QString& appPath, const TPreviewZoom& zoom);
/// The value of the key "zoom": "fit", or the step's percentage.
QString PreviewZoomText(const TPreviewZoom& zoom);
