#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include <QImage>

#include "platform/areareducer.h"

namespace {

using Channel = int (*)(QRgb);

QImage Reduce(const QImage& source, const QSize& to) {
    TAreaReducer reducer(source.size(), to);
    for (int y = 0; y < source.height(); ++y)
        reducer.AddRow(reinterpret_cast<const QRgb*>(source.constScanLine(y)));
    return reducer.Result();
}

// How much of [a0, a1) lies in [b0, b1).
double Overlap(double a0, double a1, double b0, double b1) {
    return std::max(0.0, std::min(a1, b1) - std::max(a0, b0));
}

// The average of the source area under reduced pixel (x, y), in floating point, one channel.
double Expected(const QImage& source, const QSize& to, int x, int y, Channel channel) {
    const double sx = double(source.width()) / to.width();
    const double sy = double(source.height()) / to.height();
    double sum = 0;
    for (int j = int(y * sy); j < source.height() && j < (y + 1) * sy; ++j)
        for (int i = int(x * sx); i < source.width() && i < (x + 1) * sx; ++i)
            sum += channel(source.pixel(i, j)) * Overlap(i, i + 1, x * sx, (x + 1) * sx) *
                   Overlap(j, j + 1, y * sy, (y + 1) * sy);
    return sum / (sx * sy);
}

} // namespace

TEST(AreaReducer, BlocksBecomeTheirColoursAndSplitPixelsAreShared) {
    // 2 × 2 blocks of four colours halve into exactly those colours.
    QImage blocks(4, 4, QImage::Format_RGB32);
    const QRgb colours[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(10, 20, 30)};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            blocks.setPixel(x, y, colours[(y / 2) * 2 + x / 2]);
    const QImage half = Reduce(blocks, QSize(2, 2));
    ASSERT_EQ(half.size(), QSize(2, 2));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(half.pixel(i % 2, i / 2), colours[i]) << i;

    // Three pixels into two: the middle one is shared half and half.
    QImage row(3, 1, QImage::Format_RGB32);
    row.setPixel(0, 0, qRgb(0, 0, 0));
    row.setPixel(1, 0, qRgb(90, 90, 90));
    row.setPixel(2, 0, qRgb(180, 180, 180));
    const QImage two = Reduce(row, QSize(2, 1));
    EXPECT_EQ(two.pixel(0, 0), qRgb(30, 30, 30));    // (0 + 90 / 2) / 1.5
    EXPECT_EQ(two.pixel(1, 0), qRgb(150, 150, 150)); // (90 / 2 + 180) / 1.5
    // The same down a column.
    const QImage column = Reduce(row.transformed(QTransform().rotate(90)), QSize(1, 2));
    EXPECT_EQ(column.pixel(0, 0), qRgb(30, 30, 30)); // turned clockwise: 0 on top
    EXPECT_EQ(column.pixel(0, 1), qRgb(150, 150, 150));
}

TEST(AreaReducer, NeverEnlargesAndLeavesAPictureOfItsOwnSizeAsItIs) {
    QImage source(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            source.setPixel(x, y, qRgb(x * 50, y * 100, 7));
    EXPECT_EQ(Reduce(source, QSize(10, 2)).size(), QSize(5, 2));
    EXPECT_EQ(Reduce(source, QSize(0, 0)).size(), QSize(1, 1));
    EXPECT_EQ(Reduce(source, source.size()), source);
}

TEST(AreaReducer, EveryPixelIsTheAverageOfTheAreaItCovers) {
    std::mt19937 random(20270101);
    for (int round = 0; round < 40; ++round) {
        const QSize from(1 + int(random() % 37), 1 + int(random() % 29));
        const QSize to(1 + int(random() % from.width()), 1 + int(random() % from.height()));
        QImage source(from, QImage::Format_RGB32);
        for (int y = 0; y < from.height(); ++y)
            for (int x = 0; x < from.width(); ++x)
                source.setPixel(x, y, random() | 0xFF000000u);
        const QImage reduced = Reduce(source, to);
        ASSERT_EQ(reduced.size(), to);
        for (int y = 0; y < to.height(); ++y)
            for (int x = 0; x < to.width(); ++x)
                for (Channel channel : {Channel(qRed), Channel(qGreen), Channel(qBlue)}) {
                    const double want = Expected(source, to, x, y, channel);
                    ASSERT_LE(std::abs(channel(reduced.pixel(x, y)) - want), 0.5 + 1e-9)
                        << from.width() << "×" << from.height() << " to " << to.width() << "×"
                        << to.height() << " at " << x << "," << y;
                }
    }
}
