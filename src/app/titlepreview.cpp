#include "titlepreview.h"

#include <cmath>

#include <QPainter>

#include "model/calendarmodel.h"
#include "platform/bitmap.h"
#include "print/imageprinter.h"
#include "report/lrpanel.h"
#include "sheet/sheetcomposition.h"
#include "sheet/sheetlayout.h"

TTitlePreview::TTitlePreview(QWidget* parent)
    : QWidget(parent), FPrinter(std::make_unique<TImagePrinter>(ScreenPixelsPerInch)),
      FSheet(std::make_unique<TSheetLayout>(FPrinter.get())) {
    const QSize design = DesignSize();
    setFixedSize(static_cast<int>(std::ceil(design.width() * Scale)),
                 static_cast<int>(std::ceil(design.height() * Scale)));
}

TTitlePreview::~TTitlePreview() = default;

void TTitlePreview::ShowTitles(const TCalendarModel& model) {
    ComposeTitles(*FSheet, model);
    update();
}

QSize TTitlePreview::DesignSize() const {
    return {FSheet->LRLayoutPanel2->Width(),
            FSheet->OwnTitlePanel->Height() + FSheet->LRLayoutPanel2->Height()};
}

QImage TTitlePreview::Lines(double scale, double ratio) const {
    const double pixels = scale * ratio;
    const TLRLayoutPanel& own = *FSheet->OwnTitlePanel;
    const TLRLayoutPanel& year = *FSheet->LRLayoutPanel2;
    const int width = year.Width();
    const int height = own.Height() + year.Height();
    TBitmap page;
    // Fonts are sized by the canvas's resolution, as for a printer of that many dots per inch.
    page.SetPixelsPerInch(static_cast<int>(std::lround(ScreenPixelsPerInch * pixels)));
    page.SetSize(static_cast<int>(std::ceil(width * pixels)),
                 static_cast<int>(std::ceil(height * pixels)));
    TCanvas& canvas = page.Canvas();
    // The year title stays where it is; the own title's line, when the sheet has one, above it.
    if (own.Enabled())
        FSheet->OwnTitlePanel->Print(canvas, {0, 0, width, own.Height()}, pixels);
    FSheet->LRLayoutPanel2->Print(canvas, {0, own.Height(), width, height}, pixels);
    QImage image = page.Image();
    image.setDevicePixelRatio(ratio);
    return image;
}

void TTitlePreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), Lines(Scale, devicePixelRatioF()));
}
