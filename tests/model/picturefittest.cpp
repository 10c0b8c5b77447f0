// The picture-fit rule of the sample box (224 × 168) and the sheet's picture box (708 × 531).
#include <gtest/gtest.h>

#include <limits>

#include "model/picturefit.h"

namespace {

struct FitRow {
    int w, h;
    int left, top, width, height;
};

TEST(FitPicture, SampleBox) {
    const FitRow rows[] = {
        {640, 480, 0, 0, 224, 168}, // exactly 4:3
        {641, 480, 0, 0, 224, 168}, // 160 = 160 under integer division
        {224, 168, 0, 0, 224, 168},
        {1000, 500, 0, 28, 224, 112},
        {500, 1000, 70, 0, 84, 168},
        {100, 50, 0, 28, 224, 112}, // smaller than the box: scaled up
        {50, 100, 70, 0, 84, 168},
        {64, 3, 0, 79, 224, 10},  // 224 / 64 × 3 = 10.5: halves go to
                                  // the even 10
        {64, 1, 0, 82, 224, 4},   // 3.5 goes to 4
        {3, 112, 110, 0, 4, 168}, // 168 / 112 × 3 = 4.5 goes to 4
        {448, 5, 0, 83, 224, 2},  // 5 / (448 / 224) = 2.5 goes to 2
        {448, 3, 0, 83, 224, 2},  // 1.5 goes to 2
        {4000, 3000, 0, 0, 224, 168},
        {3000, 4000, 49, 0, 126, 168},
    };
    for (const FitRow& r : rows) {
        SCOPED_TRACE(testing::Message() << r.w << " x " << r.h);
        EXPECT_EQ(FitPicture(r.w, r.h, 224, 168), Bounds(r.left, r.top, r.width, r.height));
    }
}

TEST(FitPicture, SheetBox) {
    EXPECT_EQ(FitPicture(1000, 500, 708, 531), Bounds(0, 88, 708, 354));
    EXPECT_EQ(FitPicture(3000, 4000, 708, 531), Bounds(155, 0, 398, 531)); // 398.25
    EXPECT_EQ(FitPicture(1600, 1200, 708, 531), Bounds(0, 0, 708, 531));
}

TEST(FitPicture, PictureWithoutPixelsFillsTheBox) {
    EXPECT_EQ(FitPicture(0, 0, 224, 168), Bounds(0, 0, 224, 168));
    EXPECT_EQ(FitPicture(10, 0, 224, 168), Bounds(0, 0, 224, 168));
}

} // namespace

namespace {

// --- Filling the box -----------------------------------------------------------------------

TPictureFraming Fill(double x = 0.5, double y = 0.5, double zoom = 1) {
    TPictureFraming f;
    f.Mode = TFrameMode::Fill;
    f.FocusX = x;
    f.FocusY = y;
    f.Zoom = zoom;
    return f;
}

void ExpectRect(const QRectF& got, const QRectF& want) {
    EXPECT_NEAR(got.left(), want.left(), 1e-9);
    EXPECT_NEAR(got.top(), want.top(), 1e-9);
    EXPECT_NEAR(got.width(), want.width(), 1e-9);
    EXPECT_NEAR(got.height(), want.height(), 1e-9);
}

TEST(FillSource, TheCropHasTheBoxShapeAndCentresOnTheFocusAsFarAsThePhotoReaches) {
    // 3:2 landscape: the full height, 4/3 of it across, centred.
    ExpectRect(FillSource(6000, 4000, 708, 531, Fill()),
               {333.33333333333333, 0, 5333.3333333333333, 4000});
    // Portrait: the full width, 3/4 of it down.
    ExpectRect(FillSource(3000, 4000, 708, 531, Fill()), {0, 875, 3000, 2250});
    // Exactly 4:3: the whole photo, whatever the focus.
    ExpectRect(FillSource(800, 600, 708, 531, Fill(0, 1)), {0, 0, 800, 600});
    // Focus in a corner: the crop stops at the photo's edges.
    ExpectRect(FillSource(6000, 4000, 708, 531, Fill(0, 0)), {0, 0, 5333.3333333333333, 4000});
    ExpectRect(FillSource(6000, 4000, 708, 531, Fill(1, 1)),
               {666.66666666666667, 0, 5333.3333333333333, 4000});
    // Zoom 4: a quarter across, centred on the focus where the photo leaves room.
    ExpectRect(FillSource(8000, 6000, 708, 531, Fill(0.25, 0.75, 4)), {1000, 3750, 2000, 1500});
    ExpectRect(FillSource(8000, 6000, 708, 531, Fill(0.05, 0.95, 4)), {0, 4500, 2000, 1500});
    // The sample's box has the sheet's shape, so it shows the same part.
    ExpectRect(FillSource(6000, 4000, 224, 168, Fill(0.2, 0.7, 2.5)),
               FillSource(6000, 4000, 708, 531, Fill(0.2, 0.7, 2.5)));
}

TEST(FillSource, ValuesOutOfRangeOrNotANumberAreTakenInRange) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    ExpectRect(FillSource(8000, 6000, 708, 531, Fill(nan, inf, nan)), {0, 0, 8000, 6000});
    ExpectRect(FillSource(8000, 6000, 708, 531, Fill(-3, 7, 99)), {0, 4500, 2000, 1500});
    ExpectRect(FillSource(8000, 6000, 708, 531, Fill(0.5, 0.5, 0.1)), {0, 0, 8000, 6000});
    ExpectRect(FillSource(0, 0, 708, 531, Fill()), {0, 0, 0, 0});
}

TEST(DragFraming, ThePartMovesAgainstTheDragAndStopsAtThePhotosEdges) {
    // 3:2 photo in the sample box: 4000 / 168 photo pixels per box pixel at zoom 1.
    const TPictureFraming start = Fill();
    const TPictureFraming right = DragFraming(start, 6000, 4000, 224, 168, 10, 0);
    const QRectF before = FillSource(6000, 4000, 224, 168, start);
    const QRectF after = FillSource(6000, 4000, 224, 168, right);
    EXPECT_NEAR(after.left(), before.left() - 10 * 4000.0 / 168, 1e-6); // shows more of the left
    EXPECT_NEAR(after.top(), 0, 1e-9);
    EXPECT_EQ(right.Mode, TFrameMode::Fill);
    // Far beyond the edge: the left edge of the photo, and the focus is where the crop is.
    const TPictureFraming far = DragFraming(start, 6000, 4000, 224, 168, 1000, 1000);
    EXPECT_NEAR(FillSource(6000, 4000, 224, 168, far).left(), 0, 1e-9);
    EXPECT_NEAR(far.FocusX, 5333.3333333333333 / 2 / 6000, 1e-9);
    EXPECT_NEAR(far.FocusY, 0.5, 1e-9);
    // From there, a drag back moves the crop at once (no slack beyond the edge).
    const TPictureFraming back = DragFraming(far, 6000, 4000, 224, 168, -5, 0);
    EXPECT_NEAR(FillSource(6000, 4000, 224, 168, back).left(), 5 * 4000.0 / 168, 1e-6);
    // Zoomed in 2 ×, a box pixel is half as many photo pixels.
    const TPictureFraming zoomed = Fill(0.5, 0.5, 2);
    const TPictureFraming down = DragFraming(zoomed, 6000, 4000, 224, 168, 0, -12);
    EXPECT_NEAR(FillSource(6000, 4000, 224, 168, down).top() -
                    FillSource(6000, 4000, 224, 168, zoomed).top(),
                12 * 2000.0 / 168, 1e-6);
    EXPECT_EQ(down.Zoom, 2);
}

TEST(ZoomFraming, ThePointUnderTheCursorStaysWhereItIs) {
    const TPictureFraming start = Fill(0.4, 0.6, 1.5);
    const QPointF at(50, 120); // in the sample box
    const QRectF before = FillSource(8000, 6000, 224, 168, start);
    const QPointF under = before.topLeft() + at * (before.width() / 224);
    const TPictureFraming in = ZoomFraming(start, 8000, 6000, 224, 168, at, 3);
    const QRectF after = FillSource(8000, 6000, 224, 168, in);
    EXPECT_EQ(in.Zoom, 3);
    EXPECT_NEAR(after.width(), 8000.0 / 3, 1e-6);
    const QPointF still = after.topLeft() + at * (after.width() / 224);
    EXPECT_NEAR(still.x(), under.x(), 1e-6);
    EXPECT_NEAR(still.y(), under.y(), 1e-6);
    // Zooming out near a corner: the part grows, kept inside the photo.
    const TPictureFraming out =
        ZoomFraming(Fill(0.9, 0.9, 4), 8000, 6000, 224, 168, {220, 160}, 1.2);
    const QRectF wide = FillSource(8000, 6000, 224, 168, out);
    EXPECT_LE(wide.right(), 8000 + 1e-6);
    EXPECT_LE(wide.bottom(), 6000 + 1e-6);
    // Beyond the range: 1 × to 4 ×.
    EXPECT_EQ(ZoomFraming(start, 8000, 6000, 224, 168, at, 9).Zoom, 4);
    EXPECT_EQ(ZoomFraming(start, 8000, 6000, 224, 168, at, 0.2).Zoom, 1);
    ExpectRect(FillSource(8000, 6000, 224, 168, ZoomFraming(start, 8000, 6000, 224, 168, at, 1)),
               {0, 0, 8000, 6000});
}

} // namespace
