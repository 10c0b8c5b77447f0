#include <gtest/gtest.h>

#include "common/errors.h"

#include "report/lightrep.h"
#include "reporttesting.h"

using namespace report_testing;

namespace {

// An item that notes each time it is printed.
class TSpyItem : public TCustomLRItem {
  public:
    void Print(TCanvas&, const TRect& rect, TPrintStatus status, double) override {
        if (Log != nullptr)
            Log->push_back("item" + std::to_string(rect.Left) + "," + std::to_string(rect.Top) +
                           (status == prsNormal ? "" : " frame"));
    }
    std::vector<std::string>* Log = nullptr;
};

struct Grid : ::testing::Test {
    Grid() {
        auto panel = std::make_unique<TLRLayoutPanel>();
        panel->SetBounds(0, 0, 714, 300);
        panel->SetParent(&doc);
        layout = panel.release();
        grid = CreateLR<TLRGridPanel>(layout, QStringLiteral("ColPrintPanel1"),
                                      Bounds(5, 16, 168, 96));
        grid->SetAlign(alNone);
        grid->SetBounds(5, 16, 168, 96);
    }
    TImagePrinter printer{600, QSize(10, 10)};
    VEvudaRir doc{&printer};
    TLRLayoutPanel* layout;
    TLRGridPanel* grid;
};

} // namespace

TEST_F(Grid, CellGeometry) {
    grid->SetColCount(7);
    grid->SetRowCount(6);
    EXPECT_EQ(grid->CellPanel()->BoundsRect(), (TRect{0, 0, 24, 16}));
    EXPECT_EQ(grid->CellRect(grid->BoundsRect(), 3, 2), (TRect{77, 48, 101, 64}));

    grid->SetBounds(0, 0, 100, 96);
    grid->SetColCount(3);
    EXPECT_EQ(grid->CellPanel()->Width(), 33);
    const TRect g{0, 0, 100, 96};
    EXPECT_EQ(grid->CellRect(g, 0, 0).Left, 0);
    EXPECT_EQ(grid->CellRect(g, 1, 0).Left, 33);
    EXPECT_EQ(grid->CellRect(g, 2, 0).Left, 66);
    EXPECT_EQ(grid->CellRect(g, 2, 0).Right, 99); // column 99 belongs to no cell
}

TEST_F(Grid, ColumnAndRowCountLimits) {
    grid->SetColCount(16); // 168 div 16 = 10
    EXPECT_EQ(ErrorOf([&] { grid->SetColCount(17); }),
              QStringLiteral("列数が有効範囲を超えています．"));
    EXPECT_EQ(ErrorOf([&] { grid->SetColCount(0); }),
              QStringLiteral("列数が有効範囲を超えています．"));
    EXPECT_EQ(ErrorOf([&] { grid->SetColCount(-1); }),
              QStringLiteral("列数が有効範囲を超えています．"));
    EXPECT_EQ(grid->ColCount(), 16);
    grid->SetColCount(16); // the same value again: nothing
    grid->SetRowCount(9);
    EXPECT_EQ(ErrorOf([&] { grid->SetRowCount(10); }),
              QStringLiteral("行数が有効範囲を超えています．"));
    EXPECT_EQ(ErrorOf([&] { grid->SetRowCount(0); }),
              QStringLiteral("行数が有効範囲を超えています．"));
    EXPECT_EQ(grid->RowCount(), 9);
}

TEST_F(Grid, EventOrderForEachDirection) {
    grid->SetBounds(5, 16, 48, 32);
    grid->SetColCount(2);
    grid->SetRowCount(2);
    std::vector<std::string> events;
    auto* item = CreateLR<TSpyItem>(grid, QStringLiteral("spy"), Bounds(1, 0, 23, 15));
    item->Log = &events;
    auto name = [](int c, int r) {
        return "(" + std::to_string(c) + "," + std::to_string(r) + ")";
    };
    grid->BeforePrint = [&](TLRControl*, TRect rect, TPrintStatus& status) {
        events.push_back("BeforePrint");
        EXPECT_EQ(rect, (TRect{42, 53, 90, 85})); // the layout panel is at (37, 37) on the page
        status = prsFrameOnly;                    // cells start afresh anyway
    };
    grid->OnPrintPanel = [&](TLRControl* sender, int c, int r, TRect rect, TPrintStatus& status) {
        EXPECT_EQ(sender, grid);
        EXPECT_EQ(status, prsNormal);
        EXPECT_EQ(rect, Bounds(42 + 24 * c, 53 + 16 * r, 24, 16));
        events.push_back("OnPrintPanel" + name(c, r));
    };
    grid->SetBeforePrintPanel([&](TLRControl* sender, TRect, TPrintStatus& status) {
        EXPECT_EQ(sender, grid->CellPanel());
        EXPECT_EQ(status, prsNormal);
        events.push_back("BeforePrintPanel");
    });
    grid->SetAfterPrintPanel([&](TLRControl* sender) {
        EXPECT_EQ(sender, grid->CellPanel());
        events.push_back("AfterPrintPanel");
    });
    grid->AfterPrint = [&](TLRControl*) { events.push_back("AfterPrint"); };

    auto expected = [&](std::initializer_list<std::pair<int, int>> cells) {
        std::vector<std::string> e{"BeforePrint"};
        for (auto [c, r] : cells) {
            e.push_back("OnPrintPanel" + name(c, r));
            e.push_back("BeforePrintPanel");
            e.push_back("item" + std::to_string(42 + 24 * c + 1) + "," +
                        std::to_string(53 + 16 * r));
            e.push_back("AfterPrintPanel");
        }
        e.push_back("AfterPrint");
        return e;
    };
    TBitmap page(200, 200);
    for (TPrintDirection direction : {pdVert, pdHorz, pdHolz}) {
        grid->SetPrintDirection(direction);
        events.clear();
        doc.PreviewPage(page.Canvas());
        if (direction == pdVert)
            EXPECT_EQ(events, expected({{0, 0}, {0, 1}, {1, 0}, {1, 1}}));
        else
            EXPECT_EQ(events, expected({{0, 0}, {1, 0}, {0, 1}, {1, 1}})) << int(direction);
    }
}

TEST_F(Grid, ACellSkippedByItsEventPrintsNothing) {
    grid->SetColCount(7);
    grid->SetRowCount(6);
    auto* day = CreateLR<TLRItem>(grid);
    day->SetAlign(alClient);
    day->SetTransparent(false);
    day->SetColor(clBlue);
    day->SetText(QString());
    int before = 0, after = 0;
    grid->OnPrintPanel = [&](TLRControl*, int c, int r, TRect, TPrintStatus& status) {
        if (c == 3 && r == 2)
            status = prsSkip;
        // Handlers change the shared item for each cell.
        day->SetColor(c == 0 ? clRed : clBlue);
    };
    grid->SetBeforePrintPanel([&](TLRControl*, TRect, TPrintStatus&) { ++before; });
    grid->SetAfterPrintPanel([&](TLRControl*) { ++after; });
    TBitmap bitmap(794, 1123);
    doc.PreviewPage(bitmap.Canvas());
    EXPECT_EQ(before, 41);
    EXPECT_EQ(after, 41);
    const QImage page = bitmap.Image();
    // The grid is at (42, 53) of the page; cell (3, 2) at (114, 85)..(138, 101) stays white.
    EXPECT_TRUE(InkBounds(page, QRect(114, 85, 23, 15)).isNull());
    EXPECT_EQ(page.pixel(126, 77), qRgb(0, 0, 255)); // cell (3, 1)
    EXPECT_EQ(page.pixel(150, 93), qRgb(0, 0, 255)); // cell (4, 2)
    EXPECT_EQ(page.pixel(54, 93), qRgb(255, 0, 0));  // cell (0, 2)
    // Client-aligned in the 24 × 16 cell: every cell filled up to its last column and row.
    EXPECT_EQ(InkBounds(page), QRect(42, 53, 167, 95));
}

TEST_F(Grid, ItemsAndLayoutPanelsGoOnTheCellPanelAndPrintOncePerCell) {
    grid->SetColCount(7);
    grid->SetRowCount(6);
    auto* cellLayout = CreateLR<TLRLayoutPanel>(grid);
    EXPECT_EQ(cellLayout->Parent(), grid->CellPanel());
    EXPECT_EQ(cellLayout->BoundsRect(), (TRect{0, 0, 24, 100})); // top-aligned in the cell
    int printed = 0;
    cellLayout->BeforePrint = [&](TLRControl*, TRect rect, TPrintStatus&) {
        EXPECT_EQ(rect.Width(), 24);
        ++printed;
    };
    TBitmap bitmap(794, 1123);
    doc.PreviewPage(bitmap.Canvas());
    EXPECT_EQ(printed, 42);
}

TEST_F(Grid, SubPanelsKeepTheSizeOfACell) {
    grid->SetColCount(7);
    grid->SetRowCount(6);
    TLRForm form;
    auto* sub = CreateLR<TLRSubPanel>(&form, QStringLiteral("Sub"));
    EXPECT_FALSE(sub->Visible());
    sub->SetBounds(300, 400, 10, 10);
    sub->SetGridPanel(grid);
    EXPECT_EQ(sub->BoundsRect(), (TRect{300, 400, 324, 416}));
    grid->SetBounds(5, 16, 140, 120);
    EXPECT_EQ(sub->BoundsRect(), (TRect{300, 400, 320, 420}));
    grid->SetColCount(2);
    EXPECT_EQ(sub->Width(), 70);
    sub->SetGridPanel(nullptr);
    grid->SetColCount(7);
    EXPECT_EQ(sub->Width(), 70); // unlinked: left alone
    sub->SetGridPanel(grid);
    delete grid; // unlinks the sub panel
    EXPECT_EQ(sub->GridPanel(), nullptr);
}
