// The picture-fit rule of the sample box (224 × 168) and the sheet's picture box (708 × 531).
#include <gtest/gtest.h>

#include "preview/picturefit.h"

namespace {

struct FitRow {
    int w, h;
    int left, top, width, height;
};

TEST(FitPicture, SampleBox) {
    const FitRow rows[] = {
        {640, 480, 0, 0, 224, 168}, // exactly 4:3
        {641, 480, 0, 0, 224, 168}, // 160 = 160 under integer division
        {224, 168, 0, 0, 224, 168},   {1000, 500, 0, 28, 224, 112},  {500, 1000, 70, 0, 84, 168},
        {100, 50, 0, 28, 224, 112},                            // smaller than the box: scaled up
        {50, 100, 70, 0, 84, 168},    {64, 3, 0, 79, 224, 10}, // 224 / 64 × 3 = 10.5: halves go to
                                                               // the even 10
        {64, 1, 0, 82, 224, 4},                                // 3.5 goes to 4
        {3, 112, 110, 0, 4, 168},                              // 168 / 112 × 3 = 4.5 goes to 4
        {448, 5, 0, 83, 224, 2},                               // 5 / (448 / 224) = 2.5 goes to 2
        {448, 3, 0, 83, 224, 2},                               // 1.5 goes to 2
        {4000, 3000, 0, 0, 224, 168}, {3000, 4000, 49, 0, 126, 168},
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
