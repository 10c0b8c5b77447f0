// The month grid on Qt's offscreen platform: which days the cells hold, where the cells lie,
// what the buffer's pixels show, and how keys and clicks move the date.
#include <gtest/gtest.h>

#include <cstdlib>

#include <QImage>
#include <QLocale>
#include <QTest>

#include "calendar/julius.h"
#include "calex/calex.h"
#include "calex/calexdesign.h"

using namespace Qt::StringLiterals;

namespace {

std::int32_t JD(std::int32_t y, int m, int d) {
    return Julius::YMDToJD(y, static_cast<std::uint8_t>(m), static_cast<std::uint8_t>(d));
}

// --- Layout ----------------------------------------------------------------------------------

TEST(MonthGridLayout, FebruaryStartingOnSunday) {
    TMonthlyCalendar grid;
    grid.SetJuliusDay(JD(2009, 2, 10));
    EXPECT_EQ(grid.FirstCellJD(), JD(2009, 1, 25)); // a week of January first
    EXPECT_EQ(grid.RowCount(), 7);                  // header, 1 + 4 + 1 weeks
    grid.SetFirstRowFirstDay(true);
    grid.SetLastRowLastDay(true);
    EXPECT_EQ(grid.FirstCellJD(), JD(2009, 2, 1));
    EXPECT_EQ(grid.RowCount(), 5);
    grid.SetAutoResize(false);
    EXPECT_EQ(grid.RowCount(), 7);
}

TEST(MonthGridLayout, FirstDayOfWeekShiftsTheColumns) {
    TMonthlyCalendar grid;
    grid.SetFirstDayOfWeek(dowMon);
    grid.SetJuliusDay(JD(2009, 2, 10)); // 1 February 2009 is a Sunday
    EXPECT_EQ(grid.FirstCellJD(), JD(2009, 1, 26));
    EXPECT_EQ(grid.FirstCellJD() + 6, JD(2009, 2, 1)); // the 1st in column 6 of week row 1
    EXPECT_EQ(grid.RowCount(), 6);
}

TEST(MonthGridLayout, SixWeekRowsAlwaysHoldTheMonth) {
    TMonthlyCalendar grid;
    grid.SetAutoResize(false);
    for (int month = 1; month <= 24; ++month) {
        const int y = 2030 + (month - 1) / 12;
        const int m = (month - 1) % 12 + 1;
        for (TDayOfWeek first : {dowSun, dowMon, dowSat}) {
            grid.SetFirstDayOfWeek(first);
            grid.SetJuliusDay(JD(y, m, 1));
            const std::int32_t last =
                JD(y, m, Julius::DaysOfMonth(y, static_cast<std::uint8_t>(m)));
            EXPECT_LT(grid.FirstCellJD(), JD(y, m, 1)) << y << "-" << m;
            EXPECT_LE(last, grid.FirstCellJD() + 6 * 7 - 1) << y << "-" << m;
        }
    }
}

TEST(MonthGridLayout, CellsTileTheClientArea) {
    TMonthlyCalendar grid;
    grid.resize(104, 74); // client area 100 × 70 inside the sunken edge
    ASSERT_EQ(grid.ClientWidth(), 100);
    ASSERT_EQ(grid.ClientHeight(), 70);
    grid.SetAutoResize(false);
    EXPECT_EQ(grid.CellRect(0, 0), (TRect{0, 0, 14, 10}));
    EXPECT_EQ(grid.CellRect(3, 2), (TRect{42, 20, 57, 30}));
    EXPECT_EQ(grid.CellRect(6, 6), (TRect{85, 60, 100, 70}));
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(grid.CellRect(c, 1).Right, grid.CellRect(c + 1, 1).Left);
}

TEST(MonthGridLayout, PointsFallIntoTheCellDrawnThere) {
    TMonthlyCalendar grid;
    grid.SetAutoResize(false);
    grid.resize(229, 122); // client 225 × 118: cells of 32 to 33 by 16 to 17 pixels
    int col = -1, row = -1;
    ASSERT_TRUE(grid.CellFromPoint(33, 17, col, row));
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 1);
    ASSERT_TRUE(grid.CellFromPoint(224, 117, col, row));
    EXPECT_EQ(col, 6);
    EXPECT_EQ(row, 6);
    // The lowest pixel row of week row 1 (y 16..32) and the rightmost column of column 0.
    ASSERT_TRUE(grid.CellFromPoint(31, 32, col, row));
    EXPECT_EQ(col, 0);
    EXPECT_EQ(row, 1);
    // Every pixel, at sizes whose cells are not whole multiples, hits the cell drawn there.
    for (const QSize size : {QSize(229, 122), QSize(104, 74), QSize(300, 200), QSize(17, 11)}) {
        grid.resize(size);
        for (int y = 0; y < grid.ClientHeight(); ++y) {
            for (int x = 0; x < grid.ClientWidth(); ++x) {
                ASSERT_TRUE(grid.CellFromPoint(x, y, col, row)) << x << "," << y;
                const TRect cell = grid.CellRect(col, row);
                ASSERT_TRUE(x >= cell.Left && x < cell.Right && y >= cell.Top && y < cell.Bottom)
                    << size.width() << "×" << size.height() << " at " << x << "," << y
                    << " gave cell " << col << "," << row;
            }
        }
    }
    grid.resize(229, 122);
    EXPECT_FALSE(grid.CellFromPoint(225, 0, col, row));
    EXPECT_FALSE(grid.CellFromPoint(-1, 0, col, row));
    grid.resize(10, 122); // narrower than seven pixels inside the edge
    EXPECT_FALSE(grid.CellFromPoint(1, 20, col, row));
}

// --- Keys and clicks -------------------------------------------------------------------------

class MonthGridInput : public ::testing::Test {
  protected:
    void SetUp() override {
        ApplyProgramDesign(calendar);
        calendar.resize(229, 122);
        calendar.show();
    }

    void Go(std::int32_t y, int m, int d) { calendar.SetJuliusDay(JD(y, m, d)); }

    // The widget point in the middle of a cell.
    QPoint CellCentre(int col, int row) const {
        const TRect r = calendar.CellRect(col, row);
        const QPoint client = calendar.contentsRect().topLeft();
        return client + QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }

    void Click(int col, int row) {
        QTest::mouseClick(&calendar, Qt::LeftButton, Qt::NoModifier, CellCentre(col, row));
    }

    TCalendarEx calendar;
};

TEST_F(MonthGridInput, KeysMoveTheDate) {
    const struct {
        Qt::Key key;
        std::int32_t from, to;
    } cases[] = {
        {Qt::Key_Right, JD(2000, 1, 31), JD(2000, 2, 1)},
        {Qt::Key_Left, JD(2000, 3, 1), JD(2000, 2, 29)},
        {Qt::Key_Down, JD(2000, 1, 28), JD(2000, 2, 4)},
        {Qt::Key_Up, JD(2000, 2, 4), JD(2000, 1, 28)},
        {Qt::Key_PageDown, JD(2000, 1, 31), JD(2000, 2, 29)},
        {Qt::Key_PageUp, JD(2000, 3, 31), JD(2000, 2, 29)},
        {Qt::Key_Home, JD(2000, 3, 31), JD(2000, 3, 31)},
    };
    for (const auto& c : cases) {
        calendar.SetJuliusDay(c.from);
        QTest::keyClick(&calendar, c.key);
        EXPECT_EQ(calendar.JuliusDay(), c.to) << c.key;
    }
}

TEST_F(MonthGridInput, KeysArePassedOnAfterTheMove) {
    Go(2000, 1, 28);
    std::vector<std::int32_t> seen;
    calendar.OnKeyDown = [&](QObject*, int key, Qt::KeyboardModifiers) {
        EXPECT_EQ(key, Qt::Key_Down);
        seen.push_back(calendar.JuliusDay());
    };
    QTest::keyClick(&calendar, Qt::Key_Down);
    EXPECT_EQ(seen, std::vector<std::int32_t>{JD(2000, 2, 4)});
}

TEST_F(MonthGridInput, ClickSelectsADayOfTheMonth) {
    Go(2024, 6, 12); // June 2024 starts on a Saturday
    ASSERT_EQ(calendar.FirstCellJD(), JD(2024, 5, 26));
    std::vector<std::int32_t> seen;
    calendar.OnMouseDown = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        seen.push_back(calendar.JuliusDay());
    };
    Click(4, 3); // week row 3, Thursday
    EXPECT_EQ(calendar.JuliusDay(), JD(2024, 6, 13));
    EXPECT_EQ(seen, std::vector<std::int32_t>{JD(2024, 6, 12)}); // raised before the move
    // The header row selects nothing.
    Click(4, 0);
    EXPECT_EQ(calendar.JuliusDay(), JD(2024, 6, 13));
}

TEST_F(MonthGridInput, ClickLowInAWeekRowSelectsThatWeek) {
    // The window's 225 × 118 client area has rows of 16 or 17 pixels; a click on the lowest
    // pixel row and the rightmost pixel column of a drawn cell selects that cell's day, in
    // every week row.
    Go(2024, 6, 12);
    const QPoint client = calendar.contentsRect().topLeft();
    for (int row = 1; row < 7; ++row) {
        const TRect r = calendar.CellRect(3, row);
        const std::int32_t day = calendar.FirstCellJD() + (row - 1) * 7 + 3;
        if (day < JD(2024, 6, 1) || day > JD(2024, 6, 30))
            continue;
        Go(2024, 6, 1);
        QTest::mouseClick(&calendar, Qt::LeftButton, Qt::NoModifier,
                          client + QPoint(r.Right - 1, r.Bottom - 1));
        EXPECT_EQ(calendar.JuliusDay(), day) << "week row " << row;
    }
}

TEST_F(MonthGridInput, NeighbourDaysOnlyWithNeighborJump) {
    Go(2024, 6, 12);
    Click(0, 1); // 26 May
    EXPECT_EQ(calendar.JuliusDay(), JD(2024, 6, 12));
    calendar.SetNeighborJump(true);
    Click(0, 1);
    EXPECT_EQ(calendar.JuliusDay(), JD(2024, 5, 26));
    EXPECT_EQ(calendar.Month(), 5); // the grid turned to May
    // Even where neighbour days are not drawn.
    calendar.SetShowNeighbor(false);
    Go(2024, 6, 12);
    Click(6, 6); // 6 July
    EXPECT_EQ(calendar.JuliusDay(), JD(2024, 7, 6));
}

// --- Pixels ----------------------------------------------------------------------------------

class MonthGridPixels : public MonthGridInput {
  protected:
    QImage Cell(int col, int row) {
        const TRect r = calendar.CellRect(col, row);
        return calendar.BufferImage().copy(r.ToQRect());
    }

    static int CountColour(const QImage& image, QRgb colour) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
        }
        return n;
    }

    // Pixels of a glyph in `colour` on white, at least half covered: a bold the face lacks is
    // stroked with antialiased edges, so few of its pixels carry the exact colour.
    static int CountInk(const QImage& image, QRgb colour) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                const int want[] = {qRed(colour), qGreen(colour), qBlue(colour)};
                const int got[] = {qRed(p), qGreen(p), qBlue(p)};
                // The coverage, read from the channel the colour takes farthest from white.
                int k = 0;
                for (int c = 1; c < 3; ++c)
                    if (255 - want[c] > 255 - want[k])
                        k = c;
                const double a = (255.0 - got[k]) / (255.0 - want[k]);
                bool onBlend = a >= 0.5 && a <= 1.05;
                for (int c = 0; c < 3 && onBlend; ++c)
                    onBlend = std::abs(got[c] - (255 - a * (255 - want[c]))) <= 24;
                n += onBlend;
            }
        return n;
    }
};

constexpr QRgb White = 0xFFFFFF;
constexpr QRgb Red = 0xFF0000;
constexpr QRgb LightRed = 0xFFC0C0; // red OR silver
constexpr QRgb Green = 0x008000;
constexpr QRgb Blue = 0x0000FF;

TEST_F(MonthGridPixels, BufferFollowsTheClientArea) {
    const QImage& buffer = calendar.BufferImage();
    EXPECT_EQ(buffer.size(), QSize(225, 118));
    // Painting copies the buffer to the client origin, inside the sunken edge.
    const QImage shown = calendar.grab().toImage();
    const QPoint origin = calendar.contentsRect().topLeft();
    EXPECT_EQ(shown.pixel(origin + QPoint(40, 40)), buffer.pixel(40, 40));
    EXPECT_EQ(shown.copy(QRect(origin, buffer.size())).convertToFormat(QImage::Format_RGB32),
              buffer.convertToFormat(QImage::Format_RGB32));
}

TEST_F(MonthGridPixels, CurrentDateIsInverted) {
    Go(2024, 6, 16); // a Sunday: week row 4, column 0
    const QImage current = Cell(0, 4);
    const int area = current.width() * current.height();
    EXPECT_EQ(current.pixel(0, 0) & 0xFFFFFF, Red);
    EXPECT_GT(CountColour(current, Red), area / 2);
    EXPECT_GT(CountColour(current, White), 5); // the number, in the background colour
    // An ordinary weekday: white cell, black number.
    const QImage weekday = Cell(1, 4);
    EXPECT_EQ(weekday.pixel(0, 0) & 0xFFFFFF, White);
    EXPECT_GT(CountColour(weekday, 0x000000), 5);
    EXPECT_EQ(CountColour(weekday, Red), 0);
    // A Saturday in blue.
    EXPECT_GT(CountColour(Cell(6, 4), Blue), 5);
}

TEST_F(MonthGridPixels, NeighbourSundayIsLightRed) {
    Go(2024, 6, 12);
    const QImage neighbour = Cell(0, 1); // Sunday 26 May
    EXPECT_GT(CountColour(neighbour, LightRed), 5);
    EXPECT_EQ(CountColour(neighbour, Red), 0);
    EXPECT_EQ(neighbour.pixel(0, 0) & 0xFFFFFF, White);
    // A neighbour weekday in silver.
    EXPECT_GT(CountColour(Cell(1, 1), 0xC0C0C0), 5);
    // Without neighbours the cells of May and July stay background.
    calendar.SetShowNeighbor(false);
    const QImage empty = Cell(0, 1);
    EXPECT_EQ(CountColour(empty, White), empty.width() * empty.height());
    const QImage july = Cell(6, 6);
    EXPECT_EQ(CountColour(july, White), july.width() * july.height());
}

TEST_F(MonthGridPixels, HeaderRowOnItsBackground) {
    const QImage header = Cell(3, 0);
    EXPECT_EQ(header.pixel(0, 0) & 0xFFFFFF, Green);
    // The weekday name in white: pixels at least half covered, read from the red channel the
    // green background lacks (a bold the face lacks is stroked with antialiased edges).
    int ink = 0;
    for (int y = 0; y < header.height(); ++y)
        for (int x = 0; x < header.width(); ++x)
            ink += qRed(header.pixel(x, y)) >= 0x80;
    EXPECT_GT(ink, 3);
    calendar.SetDayOfWeekBkColor(clNavy);
    EXPECT_EQ(Cell(3, 0).pixel(0, 0) & 0xFFFFFF, 0x000080u);
}

TEST_F(MonthGridPixels, WeekdayNamesAreJapaneseWhateverTheLocale) {
    // Under an English locale (or C) the locale's own names would be "Sun" .. "Sat".
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    calendar.SetFirstDayOfWeek(dowMon); // redrawn under that locale; Monday first
    const QImage drawn = calendar.BufferImage().convertToFormat(QImage::Format_RGB32);
    QLocale::setDefault(before);

    // What the header cells must show: the name in the header font, centred on the header
    // background, drawn the way every text of the control is drawn.
    auto header = [this](int col, const QString& name) {
        TBitmap expected(calendar.BufferImage().width(), calendar.BufferImage().height());
        TCanvas& canvas = expected.Canvas();
        TRect r = calendar.CellRect(col, 0);
        canvas.Font = calendar.Fonts().DayOfWeek();
        canvas.Brush = {calendar.DayOfWeekBkColor(), bsSolid};
        canvas.FillRect(r);
        canvas.DrawText(r, name, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOCLIP);
        return expected.Image()
            .convertToFormat(QImage::Format_RGB32)
            .copy(calendar.CellRect(col, 0).ToQRect());
    };
    const char16_t* const japanese[7] = {u"月", u"火", u"水", u"木", u"金", u"土", u"日"};
    const char* const english[7] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    for (int col = 0; col < 7; ++col) {
        const QImage cell = drawn.copy(calendar.CellRect(col, 0).ToQRect());
        EXPECT_EQ(cell, header(col, QString::fromUtf16(japanese[col]))) << "column " << col;
        EXPECT_NE(cell, header(col, QString::fromLatin1(english[col]))) << "column " << col;
    }
}

TEST_F(MonthGridPixels, HolidaysAndColoursFollowTheProperties) {
    Go(2024, 5, 1);
    // 3 May 2024 (Friday, week row 1, column 5) is 憲法記念日: red.
    EXPECT_GT(CountInk(Cell(5, 1), Red), 5);
    // 6 May (Monday, row 2, column 1) is a substitute holiday: red.
    EXPECT_GT(CountInk(Cell(1, 2), Red), 5);
    calendar.SetHolidayColor(clGreen);
    EXPECT_EQ(CountInk(Cell(1, 2), Red), 0);
    EXPECT_GT(CountInk(Cell(1, 2), Green), 5);
    calendar.SetColor(clYellow);
    EXPECT_EQ(Cell(2, 2).pixel(0, 0) & 0xFFFFFF, 0xFFFF00u);
}

TEST_F(MonthGridPixels, RokuyoStripOnlyInsideTheTable) {
    calendar.resize(300, 200);
    Go(2000, 6, 14); // inside the old-calendar table
    const QImage without = Cell(3, 3);
    calendar.SetShowRokuyo(true);
    const QImage with = Cell(3, 3);
    EXPECT_NE(with, without);
    // The current date's strip is inverted too: no background colour along its bottom row.
    Go(2000, 6, 15);
    const TRect r = calendar.CellRect(4, 3);
    const QImage current = Cell(4, 3);
    EXPECT_EQ(current.pixel(1, r.Height() - 2) & 0xFFFFFF, 0x000000u);

    Go(2024, 6, 12); // after the table ends: the number alone, centred in the whole cell
    const QImage outside = Cell(2, 3);
    calendar.SetShowRokuyo(false);
    EXPECT_EQ(Cell(2, 3), outside);
}

} // namespace
