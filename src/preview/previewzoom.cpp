#include "previewzoom.h"

#include <algorithm>
#include <cmath>

#include "platform/sysutils.h"
#include "settings/statefile.h"

namespace {

const QString ZoomSection = QStringLiteral("preview");
const QString ZoomKey = QStringLiteral("zoom");
const QString FitText = QStringLiteral("fit");

constexpr double MinScale = MinZoomPercent / 100.0;
constexpr int PercentPerStep = 25;

} // namespace

QSize ZoomStepSize(const QSize& paper, int step) {
    return {RoundHalfEven(step * static_cast<long double>(paper.width()) / 4),
            RoundHalfEven(step * static_cast<long double>(paper.height()) / 4)};
}

int TFittedPage::Percent() const {
    return std::clamp(static_cast<int>(std::lround(Scale * 100)), MinZoomPercent, MaxZoomPercent);
}

int TFittedPage::RenderPercent() const {
    // A scale that is a whole percentage but for the last bits of a division draws at it.
    const int percent = static_cast<int>(std::ceil(Scale * 100 - 1e-6));
    return std::clamp(percent, MinZoomPercent, MaxZoomPercent);
}

TFittedPage FitPageInto(const QSize& paper, const QSize& area) {
    if (paper.isEmpty())
        return {paper, 1};
    const double scale =
        std::min(double(area.width()) / paper.width(), double(area.height()) / paper.height());
    if (scale >= 1)
        return {ZoomStepSize(paper, MaxZoomStep), 1};
    if (scale <= MinScale)
        return {ZoomStepSize(paper, MinZoomStep), MinScale};
    // The side that limits the scale takes the area's length exactly; the other is rounded,
    // never beyond the area.
    const QSize size(
        std::min(area.width(), static_cast<int>(std::lround(paper.width() * scale))),
        std::min(area.height(), static_cast<int>(std::lround(paper.height() * scale))));
    return {size, scale};
}

std::optional<int> StepAbove(double scale) {
    for (int step = MinZoomStep; step <= MaxZoomStep; ++step)
        if (step * PercentPerStep > scale * 100 + 1e-6)
            return step;
    return std::nullopt;
}

std::optional<int> StepBelow(double scale) {
    for (int step = MaxZoomStep; step >= MinZoomStep; --step)
        if (step * PercentPerStep < scale * 100 - 1e-6)
            return step;
    return std::nullopt;
}

QString PreviewZoomText(const TPreviewZoom& zoom) {
    return zoom.Fit ? FitText : QString::number(zoom.Step * PercentPerStep);
}

std::optional<TPreviewZoom> KeptPreviewZoom(const QString& appPath) {
    const QString text =
        TStateFile(appPath).ReadString(ZoomSection, ZoomKey, QString()).trimmed().toLower();
    if (text == FitText)
        return TPreviewZoom{true};
    for (int step = MinZoomStep; step <= MaxZoomStep; ++step)
        if (text == PreviewZoomText({false, step}))
            return TPreviewZoom{false, step};
    return std::nullopt;
}

void KeepPreviewZoom(const QString& appPath, const TPreviewZoom& zoom) {
    try {
        TStateFile state(appPath);
        if (state.ReadString(ZoomSection, ZoomKey, QString()) != PreviewZoomText(zoom))
            state.WriteString(ZoomSection, ZoomKey, PreviewZoomText(zoom));
    } catch (const EIniFileException&) {
    }
}
