// The calendar control without a face: current date, navigation, lists, fonts, buffer and the
// class library's key and mouse events.
#include "calex.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

#include "calendar/julius.h"

namespace {

// The sunken client edge, two pixels on every side, as the control always had.
constexpr int ClientEdge = 2;

} // namespace

TCustomCalendarEx::TCustomCalendarEx(QWidget* parent)
    : QWidget(parent), FFonts(std::make_unique<TCalExFonts>()), FJuliusDay(Julius::TodayJD()) {
    TCalExFonts& fonts = *FFonts;
    fonts.DayOfWeek().SetColor(clWhite);
    fonts.Holiday().SetColor(clRed);
    fonts.Sunday().SetColor(clRed);
    fonts.Saturday().SetColor(clBlue);
    fonts.SpecialDay().SetColor(clGreen);
    fonts.Weekday().SetColor(clBlack);
    fonts.Rokuyo().SetSize(10);
    fonts.Rokuyo().SetColor(clBlack);
    fonts.OnChange = [this] { Redraw(); };
    FHolidayList.OnChange = [this] { ListChanged(); };
    FSpecialDayList.OnChange = [this] { ListChanged(); };

    setFocusPolicy(Qt::StrongFocus);
    // Painting copies the whole buffer, so nothing needs erasing first and nothing flickers.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setContentsMargins(ClientEdge, ClientEdge, ClientEdge, ClientEdge);
}

TCustomCalendarEx::~TCustomCalendarEx() = default;

// --- The current date ------------------------------------------------------------------------

void TCustomCalendarEx::SetJuliusDay(std::int32_t jd) {
    if (jd == FJuliusDay || jd < Julius::MinJD || jd > Julius::MaxJD)
        return;
    FJuliusDay = jd;
    Redraw();
    std::int32_t y;
    std::uint8_t m, d;
    Julius::JDToYMD(FJuliusDay, y, m, d);
    DoDayChange(y, m, d);
}

std::int32_t TCustomCalendarEx::Year() const {
    std::int32_t y;
    std::uint8_t m, d;
    Julius::JDToYMD(FJuliusDay, y, m, d);
    return y;
}

std::uint8_t TCustomCalendarEx::Month() const {
    std::int32_t y;
    std::uint8_t m, d;
    Julius::JDToYMD(FJuliusDay, y, m, d);
    return m;
}

std::uint8_t TCustomCalendarEx::Day() const {
    std::int32_t y;
    std::uint8_t m, d;
    Julius::JDToYMD(FJuliusDay, y, m, d);
    return d;
}

// The part setters redraw once more after SetJuliusDay, so a new date raises OnChange twice
// and an unchanged one once; the main window's title follows either way.
void TCustomCalendarEx::SetYear(std::int32_t year) {
    const std::uint8_t m = Month();
    const std::uint8_t d = Day();
    if (!Julius::IsValidYMD(year, m, d))
        return;
    SetJuliusDay(Julius::YMDToJD(year, m, d));
    Redraw();
}

void TCustomCalendarEx::SetMonth(std::uint8_t month) {
    const std::int32_t y = Year();
    const std::uint8_t d = Day();
    if (!Julius::IsValidYMD(y, month, d))
        return;
    SetJuliusDay(Julius::YMDToJD(y, month, d));
    Redraw();
}

void TCustomCalendarEx::SetDay(std::uint8_t day) {
    const std::int32_t y = Year();
    const std::uint8_t m = Month();
    if (!Julius::IsValidYMD(y, m, day))
        return;
    SetJuliusDay(Julius::YMDToJD(y, m, day));
    Redraw();
}

void TCustomCalendarEx::Today() {
    SetJuliusDay(Julius::TodayJD());
}

void TCustomCalendarEx::NextDay() {
    SetJuliusDay(FJuliusDay + 1);
}

void TCustomCalendarEx::PrevDay() {
    SetJuliusDay(FJuliusDay - 1);
}

namespace {

// The date in another month, its day shortened to that month's length (31 January → 28 or 29
// February).
std::int32_t ClampedJD(std::int32_t year, std::uint8_t month, std::uint8_t day) {
    return Julius::YMDToJD(year, month, std::min(day, Julius::DaysOfMonth(year, month)));
}

} // namespace

void TCustomCalendarEx::NextMonth() {
    std::int32_t y;
    std::uint8_t m, d;
    Julius::JDToYMD(FJuliusDay, y, m, d);
    if (m == 12)
        SetJuliusDay(ClampedJD(y + 1, 1, d));
    else
        SetJuliusDay(ClampedJD(y, m + 1, d));
}

void TCustomCalendarEx::PrevMonth() {
    std::int32_t y;
    std::uint8_t m, d;
    Julius::JDToYMD(FJuliusDay, y, m, d);
    if (m == 1)
        SetJuliusDay(ClampedJD(y - 1, 12, d));
    else
        SetJuliusDay(ClampedJD(y, m - 1, d));
}

void TCustomCalendarEx::NextYear() {
    std::int32_t y;
    std::uint8_t m, d;
    Julius::JDToYMD(FJuliusDay, y, m, d);
    SetJuliusDay(ClampedJD(y + 1, m, d));
}

void TCustomCalendarEx::PrevYear() {
    std::int32_t y;
    std::uint8_t m, d;
    Julius::JDToYMD(FJuliusDay, y, m, d);
    SetJuliusDay(ClampedJD(y - 1, m, d));
}

void TCustomCalendarEx::DoDayChange(std::int32_t year, std::uint8_t month, std::uint8_t day) {
    if (OnDayChange)
        OnDayChange(this, year, month, day);
}

// --- Drawing properties, lists and fonts -----------------------------------------------------

void TCustomCalendarEx::SetFonts(const TCalExFonts& fonts) {
    FFonts->Assign(fonts);
    Redraw();
}

void TCustomCalendarEx::SetColor(TColor color) {
    if (color == FColor)
        return;
    FColor = color;
    Redraw();
}

void TCustomCalendarEx::SetAutoEquinox(bool value) {
    if (value == FHolidays.AutoEquinox())
        return;
    FHolidays.SetAutoEquinox(value);
    Redraw();
}

void TCustomCalendarEx::SetAutoFurikae(bool value) {
    if (value == FHolidays.AutoFurikae())
        return;
    FHolidays.SetAutoFurikae(value);
    Redraw();
}

void TCustomCalendarEx::SetAutoKokuminNoKyujitsu(bool value) {
    if (value == FHolidays.AutoKokuminNoKyujitsu())
        return;
    FHolidays.SetAutoKokuminNoKyujitsu(value);
    Redraw();
}

void TCustomCalendarEx::ParseDayLists() {
    FHolidays.SetDayLists(FHolidayList.Lines(), FSpecialDayList.Lines());
}

void TCustomCalendarEx::ListChanged() {
    ParseDayLists();
    Redraw();
}

// --- Buffer and window -----------------------------------------------------------------------

void TCustomCalendarEx::Redraw() {
    UpdateBuffer();
    update();
}

void TCustomCalendarEx::UpdateBuffer() {
    if (FBuffer.Empty())
        return;
    TCanvas& canvas = FBuffer.Canvas();
    canvas.Brush = {FColor, bsSolid};
    canvas.FillRect({0, 0, FBuffer.Width(), FBuffer.Height()});
}

int TCustomCalendarEx::ClientWidth() const {
    return std::max(0, contentsRect().width());
}

int TCustomCalendarEx::ClientHeight() const {
    return std::max(0, contentsRect().height());
}

QSize TCustomCalendarEx::sizeHint() const {
    return {229, 122};
}

void TCustomCalendarEx::paintEvent(QPaintEvent*) {
    // The window may have moved to a screen of another device pixel ratio since the buffer
    // was drawn.
    if (FBuffer.PixelRatio() != devicePixelRatioF())
        ResizeBuffer();
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), true);
    if (!FBuffer.Empty())
        painter.drawImage(contentsRect().topLeft(), FBuffer.Image());
}

void TCustomCalendarEx::resizeEvent(QResizeEvent*) {
    ResizeBuffer();
}

void TCustomCalendarEx::ResizeBuffer() {
    // The buffer holds the screen's device pixels and is drawn on in logical pixels, so the
    // grid keeps its geometry and gains sharpness on a finer screen.
    FBuffer.SetPixelRatio(devicePixelRatioF());
    FBuffer.SetSize(ClientWidth(), ClientHeight());
    UpdateBuffer();
}

void TCustomCalendarEx::keyPressEvent(QKeyEvent* event) {
    if (OnKeyDown)
        OnKeyDown(this, event->key(), event->modifiers());
    // Unconsumed, as before: the window around the control still sees the key.
    QWidget::keyPressEvent(event);
}

void TCustomCalendarEx::mousePressEvent(QMouseEvent* event) {
    if (OnMouseDown) {
        const QPoint p = event->position().toPoint() - contentsRect().topLeft();
        OnMouseDown(this, event->button(), event->modifiers(), p.x(), p.y());
    }
}

void TCustomCalendarEx::mouseReleaseEvent(QMouseEvent* event) {
    if (OnClick && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        OnClick(this);
}
