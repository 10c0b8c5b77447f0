#include "sheetlayout.h"

#include <algorithm>

#include <QFontMetricsF>
#include <QPainter>

#include "calendar/weekdayletter.h"
#include "model/picturefit.h"
#include "platform/fullwidth.h"

namespace {

// Design positions and sizes of the sheet, in 1/96 inch.
constexpr int PageMarginTop = 36;
constexpr int PageMarginBottom = 48;
constexpr int PictureLeft = 3; // of the picture box in its panel
constexpr int PictureTop = 2;
constexpr int ColumnWidth = 178;
constexpr int BlockHeight = 150;
constexpr int TitleHeight = 24;
constexpr int SpacerWidth = 5;
constexpr int GridWidth = 168; // seven cells of 24
constexpr int HeaderHeight = 16;
constexpr int DayGridHeight = 96; // six rows of 16
constexpr int DayCellWidth = GridWidth / 7;
constexpr int DayCellHeight = DayGridHeight / 6;
constexpr int YearTitleHeight = -32; // of its font
// The line of the family's own title above the year title: 12 units from the gap below each
// of the three month blocks of a column (which need 24 + 16 + 96 of their 150).
constexpr int OwnTitleLineHeight = 36;
constexpr int OwnTitleHeight = -28;
constexpr int TitleWidth = 713;
// The smallest own title: a long text is set smaller down to this, and no further (it is at
// most OwnTitleMaxLength characters, which fit at this size).
constexpr int MinTitleHeight = -11;

// The months of each month column, top to bottom: the sheet reads January to April across.
constexpr int ColumnMonths[4][3] = {{1, 5, 9}, {2, 6, 10}, {3, 7, 11}, {4, 8, 12}};

void SetFont(TLRItem& item, int height, TFontStyles style) {
    TFont font;
    font.SetName(DefaultFaceName);
    font.SetHeight(height);
    font.SetStyle(style);
    font.SetCharset(SHIFTJIS_CHARSET);
    item.Font().Assign(font);
}

// A control made while the document is being built: it aligns only once the whole tree
// stands, as a stored layout does, so that aligned siblings keep their design order.
template <class T> T* Make(TLRWinControl* parent, const QString& name) {
    T* control = CreateLR<T>(parent, name);
    control->SetLoading(true);
    return control;
}

TLRLayoutPanel* MakePanel(TLRWinControl* parent, const QString& name, TLRAlign align, int left,
                          int top, int width, int height) {
    auto* panel = Make<TLRLayoutPanel>(parent, name);
    panel->SetLRAlign(align);
    panel->SetBounds(left, top, width, height);
    return panel;
}

TLRItem* MakeText(TLRWinControl* parent, const QString& name, int left, int top, int width,
                  int height, const QString& text, int fontHeight, TFontStyles style) {
    auto* item = Make<TLRItem>(parent, name);
    item->SetBounds(left, top, width, height);
    item->SetAlignment(taCenter);
    item->SetTransparent(true);
    SetFont(*item, fontHeight, style);
    item->SetText(text);
    return item;
}

// The background and border of a grid cell: the whole cell, opaque white, lines set per cell.
TLRItem* MakeCellBackground(TLRWinControl* grid, const QString& name) {
    auto* item = Make<TLRItem>(grid, name);
    item->SetAlign(alClient);
    item->SetTransparent(false);
    item->SetColor(clWhite);
    item->SetHMargin(2);
    item->SetVMargin(2);
    item->SetLineColor(clBlack);
    item->SetText(QString()); // the letter or number is an item of its own, above this one
    return item;
}

TLRGridPanel* MakeGrid(TLRWinControl* parent, const QString& name, int top, int height, int rows) {
    auto* grid = Make<TLRGridPanel>(parent, name);
    grid->SetLRAlign(laTop);
    grid->SetBounds(0, top, GridWidth, height);
    grid->SetColCount(7);
    grid->SetRowCount(rows);
    grid->SetPrintDirection(pdHorz);
    return grid;
}

QString Numbered(const char* name, int n) {
    return QLatin1String(name) + QString::number(n);
}

QString FullWidthMonth(int n) {
    return FullWidthDigits(n) + QStringLiteral("月");
}

// The font height (negative, as the design gives them) at which `text` in `font` fits into
// `width` units less the item's margins, `height` at most.
int FittedHeight(const QString& text, const TFont& font, int height, int width) {
    TFont probe = font;
    probe.SetHeight(-100);
    const double advance = QFontMetricsF(probe.ToQFont()).horizontalAdvance(text);
    if (advance <= 0)
        return height;
    // A little room to spare: glyphs are placed at whole device pixels at small scales.
    const double fit = 0.96 * (width - 4) * 100 / advance;
    return -std::max(-MinTitleHeight, std::min(-height, static_cast<int>(fit)));
}

} // namespace

TRect SheetPictureBounds(int w, int h, TFrameMode mode) {
    const TRect box = mode == TFrameMode::Fill
                          ? Bounds(0, 0, SheetPictureBoxWidth, SheetPictureBoxHeight)
                          : FitPicture(w, h, SheetPictureBoxWidth, SheetPictureBoxHeight);
    return box.Offset(PictureLeft, PictureTop);
}

double SheetPicturePixelsPerInch(int w, int h, const TPictureFraming& framing) {
    if (w <= 0 || h <= 0)
        return 0;
    QRectF shown(0, 0, w, h);
    TRect printed = FitPicture(w, h, SheetPictureBoxWidth, SheetPictureBoxHeight);
    if (framing.Mode == TFrameMode::Fill) {
        shown = FillSource(w, h, SheetPictureBoxWidth, SheetPictureBoxHeight, framing);
        printed = Bounds(0, 0, SheetPictureBoxWidth, SheetPictureBoxHeight);
    }
    constexpr double UnitsPerInch = 96;
    return std::min(shown.width() * UnitsPerInch / printed.Width(),
                    shown.height() * UnitsPerInch / printed.Height());
}

TSheetLayout::TSheetLayout(TPrinter* printer) : FDocument(std::make_unique<VEvudaRir>(printer)) {
    LightRep1 = FDocument.get();
    LightRep1->SetName(QStringLiteral("LightRep1"));
    Build();
}

TSheetLayout::~TSheetLayout() = default;

void TSheetLayout::Build() {
    VEvudaRir& doc = *LightRep1;
    doc.SetPaperSize(psA4);
    doc.SetOrientation(poPortrait);
    doc.SetMarginTop(PageMarginTop);
    doc.SetMarginLeft(SheetSideMargin);
    doc.SetMarginRight(SheetSideMargin);
    doc.SetMarginBottom(PageMarginBottom);
    doc.SetLoading(true);

    LRLayoutPanel1 = MakePanel(&doc, QStringLiteral("LRLayoutPanel1"), laTop, 40, 37, 714, 537);
    LRImage1 = Make<TLRImage>(LRLayoutPanel1, QStringLiteral("LRImage1"));
    LRImage1->SetBounds(PictureLeft, PictureTop, SheetPictureBoxWidth, SheetPictureBoxHeight);
    LRImage1->SetStretch(true);

    OwnTitlePanel =
        MakePanel(&doc, QStringLiteral("OwnTitlePanel"), laTop, 40, 574, 714, OwnTitleLineHeight);
    OwnTitlePanel->SetVisible(false);
    OwnTitlePanel->SetEnabled(false);
    LRItemOwnTitle = MakeText(OwnTitlePanel, QStringLiteral("LRItemOwnTitle"), 0, 2, TitleWidth,
                              OwnTitleLineHeight - 2, QString(), OwnTitleHeight, fsBold);
    LRItemOwnTitle->SetLayout(tlBottom);

    LRLayoutPanel2 = MakePanel(&doc, QStringLiteral("LRLayoutPanel2"), laTop, 40, 574, 714, 46);
    LRItemNen = MakeText(LRLayoutPanel2, QStringLiteral("LRItemNen"), 0, 4, TitleWidth, 39,
                         QStringLiteral("LRItemNen"), YearTitleHeight, 0);
    LRItemNen->SetLayout(tlBottom);

    for (int c = 0; c < 4; ++c) {
        TLRLayoutPanel* column = MakePanel(&doc, Numbered("LRLayoutPanel", c + 3), laLeft,
                                           40 + ColumnWidth * c, 620, ColumnWidth, 454);
        MonthColumns[c] = column;
        for (int r = 0; r < 3; ++r)
            BuildMonthBlock(ColumnMonths[c][r], column, BlockHeight * r);
    }

    doc.SetLoading(false); // every panel takes its place now
}

void TSheetLayout::BuildMonthBlock(int n, TLRLayoutPanel* column, int top) {
    TMonthBlock& m = FMonths[n - 1];
    m.Block = MakePanel(column, Numbered("TukiPanel", n), laTop, 0, top, ColumnWidth, BlockHeight);
    m.TitlePanel =
        MakePanel(m.Block, Numbered("TukiTitlePanel", n), laTop, 0, 0, ColumnWidth, TitleHeight);
    m.LRItemTuki = MakeText(m.TitlePanel, Numbered("LRItemTuki", n), 4, 4, 171, 17,
                            FullWidthMonth(n), -15, fsBold);
    m.Spacer = MakePanel(m.Block, Numbered("SpacerPanel", n), laLeft, 0, TitleHeight, SpacerWidth,
                         BlockHeight - TitleHeight);
    m.GridColumn = MakePanel(m.Block, Numbered("GridColumnPanel", n), laLeft, SpacerWidth,
                             TitleHeight, GridWidth, BlockHeight - TitleHeight);

    m.YoubiPrintPanel = MakeGrid(m.GridColumn, Numbered("YoubiPrintPanel", n), 0, HeaderHeight, 1);
    m.LRItemYoubi = MakeCellBackground(m.YoubiPrintPanel, Numbered("LRItemYoubi", n));
    m.LRItemYoubiMoji = MakeText(m.YoubiPrintPanel, Numbered("LRItemYoubiMoji", n), 1, 0, 23, 15,
                                 QStringLiteral("あ"), -11, fsBold);
    m.YoubiPrintPanel->OnPrintPanel = [this](TLRControl* sender, int col, int row, TRect rect,
                                             TPrintStatus& status) {
        YoubiPrintPanelPrintPanel(sender, col, row, rect, status);
    };

    m.ColPrintPanel =
        MakeGrid(m.GridColumn, Numbered("ColPrintPanel", n), HeaderHeight, DayGridHeight, 6);
    m.LRItemCol = MakeCellBackground(m.ColPrintPanel, Numbered("LRItemCol", n));
    m.LRItemHi = MakeText(m.ColPrintPanel, Numbered("LRItemHi", n), 1, 0, 23, 15,
                          QStringLiteral("31"), -11, fsBold);
    m.KoyomiItem = Make<TKoyomiItem>(m.ColPrintPanel, Numbered("KoyomiItem", n));
    m.KoyomiItem->SetBounds(0, 0, DayCellWidth, DayCellHeight);
    m.KoyomiItem->SetBatch(&FKoyomiBatch);
    m.ColPrintPanel->AfterPrint = [this](TLRControl*) { FKoyomiBatch.Draw(); };
    m.ColPrintPanel->OnPrintPanel = [this](TLRControl* sender, int col, int row, TRect rect,
                                           TPrintStatus& status) {
        ColPrintPanelPrintPanel(sender, col, row, rect, status);
    };
}

TMonthBlock& TSheetLayout::Month(int n) {
    Q_ASSERT(n >= 1 && n <= 12);
    return FMonths[n - 1];
}

const TMonthBlock& TSheetLayout::Month(int n) const {
    Q_ASSERT(n >= 1 && n <= 12);
    return FMonths[n - 1];
}

TLRControl* TSheetLayout::FindControl(const QString& name) const {
    std::vector<TLRControl*> pending{LightRep1};
    while (!pending.empty()) {
        TLRControl* control = pending.back();
        pending.pop_back();
        if (control->Name() == name)
            return control;
        if (auto* container = dynamic_cast<TLRWinControl*>(control)) {
            const auto children = container->Controls();
            pending.insert(pending.end(), children.begin(), children.end());
        }
    }
    return nullptr;
}

int TSheetLayout::MonthOf(const TLRControl* grid) const {
    for (int n = 1; n <= 12; ++n) {
        const TMonthBlock& m = FMonths[n - 1];
        if (grid == m.YoubiPrintPanel || grid == m.ColPrintPanel)
            return n;
    }
    return 0;
}

void TSheetLayout::YoubiPrintPanelPrintPanel(TLRControl* sender, int col, int, TRect,
                                             TPrintStatus&) {
    const int n = MonthOf(sender);
    if (n == 0)
        return;
    const TMonthBlock& m = FMonths[n - 1];
    // Every header cell closes itself on three sides; the last one also on the right.
    m.LRItemYoubi->SetLineTop(lsSingle);
    m.LRItemYoubi->SetLineBottom(lsSingle);
    m.LRItemYoubi->SetLineLeft(lsSingle);
    m.LRItemYoubi->SetLineRight(col == 6 ? lsSingle : lsNone);
    if (col < 0 || col > 6)
        return;
    const int weekday = DayCells.WeekdayOf(col);
    m.LRItemYoubiMoji->SetText(WeekdayLetter(weekday));
    m.LRItemYoubiMoji->Font().SetColor(ColorOfWeekday(weekday));
}

TColor TSheetLayout::ColorOfWeekday(int weekday) const {
    // The colour goes with the day, whichever column it stands in.
    return weekday == 0 ? SundayColor : weekday == 6 ? SaturdayColor : WeekdayColor;
}

void TSheetLayout::ColPrintPanelPrintPanel(TLRControl* sender, int col, int row, TRect,
                                           TPrintStatus&) {
    const int n = MonthOf(sender);
    if (n == 0)
        return;
    const TMonthBlock& m = FMonths[n - 1];
    // A day cell draws its left and bottom lines; above it the header's bottom line or the
    // row above closes it, at the right its neighbour's left line, so each line is drawn
    // once. Only the last column draws a right line, the table's right edge.
    m.LRItemCol->SetLineTop(lsNone);
    m.LRItemCol->SetLineBottom(lsSingle);
    m.LRItemCol->SetLineLeft(lsSingle);
    m.LRItemCol->SetLineRight(col == 6 ? lsSingle : lsNone);
    if (col < 0 || col > 6 || row < 0 || row >= TDayCells::RowCount)
        return;
    const Tsenohi& cell = DayCells(n, col, row);
    m.LRItemHi->Font().SetColor(ColorOfWeekday(DayCells.WeekdayOf(col)));
    m.LRItemHi->SetText(cell.DayText);
    if (cell.Holiday != 0 || cell.FamilyHolidayColor)
        m.LRItemHi->Font().SetColor(SundayColor);
    if (cell.FamilyColor)
        m.LRItemHi->Font().SetColor(*cell.FamilyColor);
    // With the 暦 shown the number moves aside for it, drawn with it by the cell's layout.
    const TKoyomiCellLayout* layout = KoyomiLayout(n, col, row);
    m.KoyomiItem->SetFaces(FKoyomiFaces.get(), Koyomi.Color);
    m.KoyomiItem->SetCell(layout, cell.DayText, m.LRItemHi->Font().Color());
    if (layout != nullptr)
        m.LRItemHi->SetText(QString());
}

QSizeF TSheetLayout::DayCellInside() {
    return {DayCellWidth - 1.0, DayCellHeight - 1.0};
}

void TSheetLayout::LayOutKoyomi() {
    FKoyomiLayouts.clear();
    FKoyomiFaces.reset();
    if (!Koyomi.AnyShown() && !HasFamilyDays)
        return;
    const TFont& number = FMonths[0].LRItemHi->Font();
    QFont numberFont(number.Name());
    numberFont.setBold((number.Style() & fsBold) != 0);
    numberFont.setItalic((number.Style() & fsItalic) != 0);
    FKoyomiFaces = std::make_unique<TKoyomiFaces>(numberFont, Koyomi.Face);
    FKoyomiLayouts.resize(12 * TDayCells::ColCount * TDayCells::RowCount);
    std::size_t i = 0;
    for (int m = 1; m <= 12; ++m)
        for (int col = 0; col < TDayCells::ColCount; ++col)
            for (int row = 0; row < TDayCells::RowCount; ++row, ++i) {
                const Tsenohi& cell = DayCells(m, col, row);
                if (cell.DayText.isEmpty())
                    continue;
                FKoyomiLayouts[i] =
                    LayoutKoyomiCell(DayCellInside(), cell.DayText, *FKoyomiFaces,
                                     KoyomiEntries(cell.KoyomiDay, HolidayNames(cell.Names), Koyomi,
                                                   cell.FamilyNames));
            }
}

const TKoyomiCellLayout* TSheetLayout::KoyomiLayout(int month, int col, int row) const {
    if (FKoyomiLayouts.empty() || DayCells(month, col, row).DayText.isEmpty())
        return nullptr;
    return &FKoyomiLayouts[static_cast<std::size_t>(
        ((month - 1) * TDayCells::ColCount + col) * TDayCells::RowCount + row)];
}

void TKoyomiItem::SetCell(const TKoyomiCellLayout* layout, const QString& number,
                          TColor numberColor) {
    FLayout = layout;
    FNumber = number;
    FNumberColor = numberColor;
}

void TKoyomiItem::SetFaces(const TKoyomiFaces* faces, TColor textColor) {
    FFaces = faces;
    FTextColor = textColor;
}

void TKoyomiItem::Print(TCanvas& canvas, const TRect& rect, TPrintStatus status, double scale) {
    if (FLayout == nullptr || FFaces == nullptr || status != prsNormal)
        return;
    QPainter* painter = canvas.Painter();
    if (painter == nullptr)
        return;
    // Cell units are design units: the layout is the same at every scale. The painter itself
    // is left alone, so that a cell whose texts all go into the batch changes nothing on it.
    const QTransform cell = QTransform::fromScale(scale, scale) *
                            QTransform::fromTranslate(rect.Left * scale, rect.Top * scale) *
                            painter->worldTransform();
    DrawKoyomiCell(*painter, cell, *FLayout, FNumber, *FFaces,
                   {ToQColor(FNumberColor), ToQColor(FTextColor)}, FBatch);
}

void TSheetLayout::SetOwnTitle(const TOwnTitle& title, TColor color) {
    const bool above = title.Shown() && title.Place == TOwnTitlePlace::Above;
    const bool replace = title.Shown() && title.Place == TOwnTitlePlace::Replace;
    for (TMonthBlock& m : FMonths)
        m.Block->SetHeight(above ? BlockHeight - OwnTitleLineHeight / 3 : BlockHeight);
    OwnTitlePanel->SetVisible(above);
    OwnTitlePanel->SetEnabled(above);
    LRItemNen->Font().SetHeight(YearTitleHeight);
    if (!title.Shown())
        return;
    TLRItem& item = above ? *LRItemOwnTitle : *LRItemNen;
    TFont font = item.Font();
    font.SetName(title.Font.Name);
    font.SetStyle(title.Font.Style);
    font.SetColor(color);
    font.SetHeight(
        FittedHeight(title.Text, font, replace ? YearTitleHeight : OwnTitleHeight, TitleWidth));
    item.Font().Assign(font);
    item.SetText(title.Text);
}

void TSheetLayout::SetPosition(int position) {
    LightRep1->SetMarginRight(SheetSideMargin - position);
    LightRep1->SetMarginLeft(SheetSideMargin + position);
}

void TSheetLayout::PlacePicture(QSize size, const TPictureFraming& framing) {
    const TRect r = SheetPictureBounds(size.width(), size.height(), framing.Mode);
    LRImage1->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    LRImage1->SetSourceRect(framing.Mode == TFrameMode::Fill
                                ? FillSource(size.width(), size.height(), SheetPictureBoxWidth,
                                             SheetPictureBoxHeight, framing)
                                : QRectF());
}

void TSheetLayout::Print() {
    LightRep1->BeginDoc();
    try {
        LightRep1->PrintPage();
    } catch (...) {
        LightRep1->AbortDoc();
        throw;
    }
    LightRep1->EndDoc();
}
