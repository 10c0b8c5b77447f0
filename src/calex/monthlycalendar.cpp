// The month grid: which days the cells show, where the cells lie, how they are drawn, and how
// keys and clicks move the date.
#include "calex.h"

#include <algorithm>
#include <cstdlib>

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>

#include "calendar/julius.h"
#include "calendar/weekdayletter.h"

TMonthlyCalendar::TMonthlyCalendar(QWidget* parent) : TCustomCalendarEx(parent) {}

// --- Properties ------------------------------------------------------------------------------

namespace {

// The common shape of the drawing properties: store a changed value, then redraw.
template <typename T> bool Store(T& field, T value) {
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

void TMonthlyCalendar::SetFirstDayOfWeek(TDayOfWeek value) {
    if (Store(FFirstDayOfWeek, value))
        Redraw();
}

void TMonthlyCalendar::SetShowNeighbor(bool value) {
    if (Store(FShowNeighbor, value))
        Redraw();
}

void TMonthlyCalendar::SetNeighborColor(TColor value) {
    if (Store(FNeighborColor, value))
        Redraw();
}

void TMonthlyCalendar::SetAutoResize(bool value) {
    if (Store(FAutoResize, value))
        Redraw();
}

void TMonthlyCalendar::SetFirstRowFirstDay(bool value) {
    if (Store(FFirstRowFirstDay, value))
        Redraw();
}

void TMonthlyCalendar::SetLastRowLastDay(bool value) {
    if (Store(FLastRowLastDay, value))
        Redraw();
}

void TMonthlyCalendar::SetDayOfWeekBkColor(TColor value) {
    if (Store(FDayOfWeekBkColor, value))
        Redraw();
}

void TMonthlyCalendar::SetShowRokuyo(bool value) {
    if (Store(FShowRokuyo, value))
        Redraw();
}

void TMonthlyCalendar::SetDayCellPainter(TDayCellPainter painter) {
    FDayCellPainter = std::move(painter);
    Redraw();
}

// --- Layout ----------------------------------------------------------------------------------

namespace {

struct TYmd {
    std::int32_t y;
    std::uint8_t m, d;
};

TYmd ToYmd(std::int32_t jd) {
    TYmd date{};
    Julius::JDToYMD(jd, date.y, date.m, date.d);
    return date;
}

} // namespace

std::int32_t TMonthlyCalendar::FirstCellJD() const {
    const TYmd current = ToYmd(JuliusDay());
    const std::int32_t first = Julius::YMDToJD(current.y, current.m, 1);
    const int dayOfWeek = Julius::JDDayOfWeek(first); // 1..7
    std::int32_t jd = first - (dayOfWeek - (FFirstDayOfWeek + 1) + 7) % 7;
    if (!FFirstRowFirstDay && jd == first)
        jd -= 7; // a whole week of the previous month comes first
    return jd;
}

int TMonthlyCalendar::RowCount() const {
    if (!FAutoResize)
        return 7;
    const TYmd current = ToYmd(JuliusDay());
    const std::int32_t last =
        Julius::YMDToJD(current.y, current.m, Julius::DaysOfMonth(current.y, current.m));
    const std::int32_t first = FirstCellJD();
    int rows = (last - first) / 7 + 2;
    if (!FLastRowLastDay && (last - first + 1) % 7 == 0)
        ++rows; // a week of the next month follows
    return rows;
}

TRect TMonthlyCalendar::CellRect(int col, int row) const {
    // The fraction first, then the product, in extended precision as the grid always was:
    // the edges decide which pixel column belongs to which cell.
    const long double w = ClientWidth();
    const long double h = ClientHeight();
    const long double rows = RowCount();
    return {static_cast<int>(w * (col / 7.0L)), static_cast<int>(h * (row / rows)),
            static_cast<int>(w * ((col + 1) / 7.0L)), static_cast<int>(h * ((row + 1) / rows))};
}

bool TMonthlyCalendar::CellFromPoint(int x, int y, int& col, int& row) const {
    const int w = ClientWidth();
    const int h = ClientHeight();
    const int rows = RowCount();
    if (w < 7 || h < rows || x < 0 || y < 0 || x >= w || y >= h)
        return false;
    // The cell drawn under the point. Whole-pixel steps of w div 7 and h div rows would drift
    // away from the drawn edges, and a click low in a week row would select the week below.
    // The cells tile the client area, so exactly one of them holds the point.
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < 7; ++c) {
            const TRect cell = CellRect(c, r);
            if (x >= cell.Left && x < cell.Right && y >= cell.Top && y < cell.Bottom) {
                col = c;
                row = r;
                return true;
            }
        }
    }
    return false;
}

// --- Drawing ---------------------------------------------------------------------------------

void TMonthlyCalendar::UpdateBuffer() {
    TCustomCalendarEx::UpdateBuffer();
    if (FBuffer.Empty())
        return;
    const int rows = RowCount();
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < 7; ++col)
            DrawCell(col, row, CellRect(col, row));
    }
}

void TMonthlyCalendar::DrawCell(int col, int row, const TRect& rect) {
    if (row == 0)
        DrawHeaderCell(col, rect);
    else
        DrawDayCell(col, row, rect);
}

void TMonthlyCalendar::DrawHeaderCell(int col, const TRect& rect) {
    TCanvas& canvas = FBuffer.Canvas();
    canvas.Font = Fonts().DayOfWeek();
    const int dayOfWeek = (FFirstDayOfWeek + col) % 7; // 0 = Sunday
    // Japanese whatever the user's locale: the control was made for Japanese systems, whose
    // locale always gave "日" .. "土", and a C or English locale would give "Sun" .. "Sat".
    const QString text = WeekdayLetter(dayOfWeek);
    canvas.Brush = {FDayOfWeekBkColor, bsSolid};
    canvas.Pen.Color = FDayOfWeekBkColor;
    canvas.FillRect(rect);
    TRect r = rect;
    canvas.DrawText(r, text, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOCLIP);
}

void TMonthlyCalendar::DrawDayCell(int col, int row, const TRect& rect) {
    const std::int32_t jd = FirstCellJD() + (row - 1) * 7 + col;
    if (jd < Julius::MinJD || jd > Julius::MaxJD)
        return; // beyond the dates there are: the cell keeps the background
    const auto [y, m, d] = ToYmd(jd);
    const TYmd shown = ToYmd(JuliusDay());

    TCanvas& canvas = FBuffer.Canvas();
    canvas.Font = GetDayFont(y, m, d);
    const bool neighbour = m != shown.m;
    const bool current = !neighbour && y == shown.y && d == shown.d;
    TColor currentColor = clBlack;
    if (neighbour) {
        if (!FShowNeighbor)
            return;
        // Merged on the plain colour values: black becomes silver, red light red.
        canvas.Font.SetColor(ColorToRGB(canvas.Font.Color()) | ColorToRGB(FNeighborColor));
    } else if (current) {
        // Inverted: the cell in the day's colour, the number in the background colour.
        currentColor = canvas.Font.Color();
        canvas.Brush = {currentColor, bsSolid};
        canvas.FillRect(rect);
        canvas.Font.SetColor(Color());
    }
    canvas.Brush.Style = bsClear;

    if (FDayCellPainter) {
        if (QPainter* painter = canvas.Painter()) {
            const TDayCellInfo info{
                y, m, d, canvas.Font.Color(), current ? currentColor : Color(), neighbour, current};
            painter->save();
            const bool drawn = FDayCellPainter(*painter, rect.ToQRect(), info);
            painter->restore();
            if (drawn)
                return;
        }
    }

    const unsigned centred = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
    const QString number = QString::number(d);
    const std::uint8_t rokuyo = FShowRokuyo ? Julius::JDRokuyo(jd) : 0;
    if (rokuyo == 0) {
        // No rokuyō shown, or the date lies outside the old-calendar table.
        TRect r = rect;
        canvas.DrawText(r, number, centred);
        return;
    }

    const int strip = std::abs(Fonts().Font(TCalExFonts::fiRokuyo).Height());
    TRect numberRect = rect;
    numberRect.Bottom -= strip;
    canvas.DrawText(numberRect, number, centred);

    canvas.Font = Fonts().Font(TCalExFonts::fiRokuyo);
    TRect stripRect = rect;
    stripRect.Top = numberRect.Bottom;
    if (neighbour) {
        canvas.Font.SetColor(ColorToRGB(canvas.Font.Color()) | ColorToRGB(FNeighborColor));
    } else if (current) {
        canvas.Brush = {currentColor, bsSolid};
        canvas.FillRect(stripRect);
        canvas.Font.SetColor(Color());
        canvas.Brush.Style = bsClear;
    }
    canvas.DrawText(stripRect, Julius::RokuyoNames.at(rokuyo), centred);
}

// --- Keys and mouse --------------------------------------------------------------------------

void TMonthlyCalendar::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Right:
        NextDay();
        break;
    case Qt::Key_Left:
        PrevDay();
        break;
    case Qt::Key_Up:
        SetJuliusDay(JuliusDay() - 7);
        break;
    case Qt::Key_Down:
        SetJuliusDay(JuliusDay() + 7);
        break;
    case Qt::Key_PageUp:
        PrevMonth();
        break;
    case Qt::Key_PageDown:
        NextMonth();
        break;
    default:
        break;
    }
    TCustomCalendarEx::keyPressEvent(event);
}

bool TMonthlyCalendar::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return TCustomCalendarEx::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const QPoint p = help->pos() - contentsRect().topLeft();
    int col = 0;
    int row = 0;
    QString tip;
    if (OnDayToolTip && CellFromPoint(p.x(), p.y(), col, row) && row > 0) {
        const std::int32_t jd = FirstCellJD() + (row - 1) * 7 + col;
        const TYmd date = jd >= Julius::MinJD && jd <= Julius::MaxJD ? ToYmd(jd) : TYmd{};
        // A neighbour day shows its names only where the grid shows the day at all.
        if (date.m != 0 && (date.m == Month() || FShowNeighbor))
            tip = OnDayToolTip(date.y, date.m, date.d);
    }
    if (tip.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        // The cell as the region: moving within it keeps the tip, moving out takes it away.
        const TRect cell = CellRect(col, row);
        QToolTip::showText(help->globalPos(), tip, this,
                           cell.ToQRect().translated(contentsRect().topLeft()));
    }
    return true;
}

void TMonthlyCalendar::mousePressEvent(QMouseEvent* event) {
    TCustomCalendarEx::mousePressEvent(event);
    const QPoint p = event->position().toPoint() - contentsRect().topLeft();
    int col = 0;
    int row = 0;
    if (!CellFromPoint(p.x(), p.y(), col, row) || row == 0)
        return;
    const std::int32_t jd = FirstCellJD() + (row - 1) * 7 + col;
    if (jd < Julius::MinJD || jd > Julius::MaxJD)
        return;
    std::int32_t y;
    std::uint8_t m, d;
    Julius::JDToYMD(jd, y, m, d);
    if (m == Month() || FNeighborJump)
        SetJuliusDay(jd);
}
