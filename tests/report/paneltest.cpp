#include <gtest/gtest.h>

#include "common/errors.h"

#include "report/lightrep.h"
#include "reporttesting.h"

using namespace report_testing;

namespace {

// The program's sheet document: A4 portrait, margins 36, 39, 39, 48.
struct Sheet : ::testing::Test {
    Sheet() {
        doc.SetMarginTop(36);
        doc.SetMarginLeft(39);
        doc.SetMarginRight(39);
        doc.SetMarginBottom(48);
    }
    TLRLayoutPanel* Band(TLRWinControl* parent, TLRAlign align, int left, int top, int w, int h,
                         const char* name) {
        // Placed where it is meant to go, as a stored layout would place it.
        auto panel = std::make_unique<TLRLayoutPanel>();
        panel->SetName(QString::fromLatin1(name));
        panel->SetBounds(left, top, w, h);
        panel->SetLRAlign(align);
        panel->SetParent(parent);
        return panel.release();
    }
    QImage Preview() {
        TBitmap bitmap(doc.Width(), doc.Height());
        doc.PreviewPage(bitmap.Canvas());
        doc.EndPreview();
        return bitmap.Image();
    }
    TImagePrinter printer{600, QSize(10, 10)};
    VEvudaRir doc{&printer};
};

// An opaque item without text at (x, y), w × h in its parent.
TLRItem* Block(TLRWinControl* parent, TColor color, QRect bounds, const char* name = "") {
    auto* item = CreateLR<TLRItem>(parent, QString::fromLatin1(name));
    item->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
    item->SetTransparent(false);
    item->SetColor(color);
    item->SetText(QString());
    return item;
}

} // namespace

TEST_F(Sheet, TheProgramsSheetAreas) {
    auto* picture = Band(&doc, laTop, 40, 37, 714, 537, "LRLayoutPanel1");
    auto* title = Band(&doc, laTop, 40, 574, 714, 46, "LRLayoutPanel2");
    TLRLayoutPanel* columns[4];
    for (int i = 0; i < 4; ++i)
        columns[i] = Band(&doc, laLeft, 40 + 178 * i, 620, 178, 454, "column");
    EXPECT_EQ(picture->BoundsRect(), (TRect{40, 37, 754, 574}));
    EXPECT_EQ(title->BoundsRect(), (TRect{40, 574, 754, 620}));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(columns[i]->BoundsRect(), (TRect{40 + 178 * i, 620, 218 + 178 * i, 1074})) << i;

    // Month blocks in a column, and the day grid in a block.
    TLRLayoutPanel* months[3];
    for (int i = 0; i < 3; ++i)
        months[i] = Band(columns[1], laTop, 0, 150 * i, 178, 150, "month");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(months[i]->BoundsRect(), (TRect{0, 150 * i, 178, 150 * i + 150}));
    auto* titlePanel = Band(months[2], laTop, 0, 0, 178, 24, "title");
    auto* spacer = Band(months[2], laLeft, 0, 24, 5, 126, "spacer");
    auto* gridColumn = Band(months[2], laLeft, 5, 24, 168, 126, "grid column");
    EXPECT_EQ(titlePanel->BoundsRect(), (TRect{0, 0, 178, 24}));
    EXPECT_EQ(spacer->BoundsRect(), (TRect{0, 24, 5, 150}));
    EXPECT_EQ(gridColumn->BoundsRect(), (TRect{5, 24, 173, 150}));
    EXPECT_EQ(gridColumn->PageRect(), (TRect{223, 944, 391, 1070}));

    // Drawn where the alignment put them.
    Block(columns[3], clBlue, QRect(0, 0, 178, 454));
    Block(title, clRed, QRect(0, 0, 714, 46));
    const QImage page = Preview();
    EXPECT_EQ(InkBounds(page, QRect(550, 621, 244, 500)), QRect(574, 621, 177, 452));
    EXPECT_EQ(InkBounds(page, QRect(0, 560, 794, 60)), QRect(40, 574, 713, 45));
}

TEST_F(Sheet, TiesKeepChildOrderAtTheTopAndPutTheLaterFirstAtTheBottom) {
    doc.SetLoading(true); // read as a stored layout, aligned once at the end
    auto* a = Band(&doc, laTop, 0, 100, 714, 20, "a");
    auto* b = Band(&doc, laTop, 0, 100, 714, 30, "b");
    auto* c = Band(&doc, laBottom, 0, 900, 714, 20, "c");
    auto* d = Band(&doc, laBottom, 0, 900, 714, 20, "d"); // same bottom edge
    auto* client = Band(&doc, laClient, 0, 0, 10, 10, "client");
    doc.SetLoading(false);
    EXPECT_EQ(a->Top(), 37);
    EXPECT_EQ(b->Top(), 57);
    EXPECT_EQ(d->Top(), 1074 - 20);
    EXPECT_EQ(c->Top(), 1074 - 40);
    EXPECT_EQ(client->BoundsRect(), (TRect{40, 87, 754, 1034}));

    // A panel whose own change asks for the alignment goes first among its equals.
    b->SetTop(37);
    EXPECT_EQ(b->Top(), 37);
    EXPECT_EQ(a->Top(), 67);
}

TEST_F(Sheet, ALeftAlignedPanelKeepsItsWidthAndTakesTheHeight) {
    auto* p = CreateLR<TLRLayoutPanel>(&doc); // top-aligned: the area's 714 units wide
    p->SetLRAlign(laLeft);
    EXPECT_EQ(p->BoundsRect(), (TRect{40, 37, 754, 1074}));
    EXPECT_EQ(p->LRAlign(), laLeft);
    p->SetAlign(alNone);
    EXPECT_EQ(p->LRAlign(), laClient);
    p->SetWidth(120);
    p->SetLRAlign(laRight);
    EXPECT_EQ(p->BoundsRect(), (TRect{634, 37, 754, 1074}));
}

TEST_F(Sheet, ChangingAChildsSizeRealignsItsSiblingsAndItsOwnChildren) {
    auto* top = Band(&doc, laTop, 40, 37, 714, 100, "top");
    auto* rest = Band(&doc, laClient, 40, 137, 714, 100, "rest");
    auto* inner = Band(rest, laBottom, 0, 0, 10, 30, "inner");
    EXPECT_EQ(inner->BoundsRect(), (TRect{0, 907, 714, 937}));
    top->SetHeight(200);
    EXPECT_EQ(rest->BoundsRect(), (TRect{40, 237, 754, 1074}));
    EXPECT_EQ(inner->BoundsRect(), (TRect{0, 807, 714, 837}));
    top->SetVisible(false); // invisible panels are not aligned (but would still print)
    EXPECT_EQ(rest->BoundsRect(), (TRect{40, 37, 754, 1074}));
}

TEST_F(Sheet, PlacementRules) {
    auto* layout = CreateLR<TLRLayoutPanel>(&doc);
    auto* grid = CreateLR<TLRGridPanel>(&doc);
    auto item = std::make_unique<TLRItem>();
    EXPECT_EQ(ErrorOf([&] { item->SetParent(&doc); }),
              QStringLiteral("パネル上にのみ配置できます．"));
    EXPECT_EQ(item->Parent(), nullptr);
    item->SetParent(grid);
    EXPECT_EQ(item->Parent(), grid->CellPanel());
    item.release(); // owned by the cell panel now

    auto nested = std::make_unique<TLRGridPanel>();
    EXPECT_EQ(ErrorOf([&] { nested->SetParent(grid); }),
              QStringLiteral("VEvudaRir上かTLRLayoutPanelにのみ配置できます．"));
    EXPECT_EQ(ErrorOf([&] { nested->SetParent(grid->CellPanel()); }),
              QStringLiteral("VEvudaRir上かTLRLayoutPanelにのみ配置できます．"));
    nested->SetParent(layout);
    nested.release();

    auto cellLayout = std::make_unique<TLRLayoutPanel>();
    cellLayout->SetParent(grid);
    EXPECT_EQ(cellLayout->Parent(), grid->CellPanel());
    cellLayout.release();

    TLRForm form;
    auto sub = std::make_unique<TLRSubPanel>();
    EXPECT_EQ(ErrorOf([&] { sub->SetParent(&doc); }),
              QStringLiteral("VEvudaRir上には配置できません．"));
    EXPECT_EQ(ErrorOf([&] { sub->SetParent(layout); }),
              QStringLiteral("VEvudaRir上には配置できません．"));
    sub->SetParent(&form);
    sub.release();

    auto layoutOnItem = std::make_unique<TLRLayoutPanel>();
    EXPECT_EQ(ErrorOf([&] { layoutOnItem->SetParent(&form); }),
              QStringLiteral("VEvudaRir上かTLRLayoutPanelにのみ配置できます．"));
    EXPECT_EQ(ErrorOf([&] { layout->SetParent(layout); }),
              QStringLiteral("コントロールを自分の中には配置できません。"));
}

TEST_F(Sheet, ItemsPrintBeforePanelsAndTheStatusReachesOnlyOwnItems) {
    auto* outer = Band(&doc, laTop, 40, 37, 714, 200, "outer");
    // A nested panel added before the items: items still print first.
    auto* nested = Band(outer, laTop, 0, 0, 714, 50, "nested");
    auto* nestedText = Block(nested, clWhite, QRect(0, 0, 100, 20));
    nestedText->SetTransparent(true);
    nestedText->SetText(QStringLiteral("NESTED"));
    nestedText->Font().SetColor(clBlack);
    auto* text = Block(outer, clYellow, QRect(0, 60, 100, 20));
    text->SetText(QStringLiteral("TEXT"));
    text->SetLineBottom(lsSingle);
    text->Font().SetColor(clBlack);

    std::vector<QString> order;
    outer->BeforePrint = [&](TLRControl* sender, TRect rect, TPrintStatus& status) {
        order.push_back(sender->Name());
        EXPECT_EQ(rect, (TRect{40, 37, 754, 237}));
        status = prsFrameOnly;
    };
    nested->BeforePrint = [&](TLRControl* sender, TRect, TPrintStatus& status) {
        order.push_back(sender->Name());
        EXPECT_EQ(status, prsNormal); // nested panels start afresh
    };
    outer->AfterPrint = [&](TLRControl* sender) { order.push_back(sender->Name() + " after"); };
    const QImage page = Preview();
    EXPECT_EQ(order, (std::vector<QString>{"outer", "nested", "outer after"}));
    // Frame only: the yellow background and the border, no text.
    const QRect textArea(30, 90, 130, 40);
    EXPECT_EQ(page.pixel(70, 100), qRgb(255, 255, 0));
    QRect black;
    for (int y = textArea.top(); y <= textArea.bottom(); ++y)
        for (int x = textArea.left(); x <= textArea.right(); ++x)
            if (page.pixel(x, y) == qRgb(0, 0, 0))
                black |= QRect(x, y, 1, 1);
    EXPECT_EQ(black, QRect(39, 116, 100, 1)); // the bottom line only
    // The nested panel's text is drawn normally.
    EXPECT_FALSE(InkBounds(page, QRect(40, 37, 100, 20)).isNull());
}

TEST_F(Sheet, SkippedAndDisabledPanelsDrawNothing) {
    auto* skipped = Band(&doc, laTop, 40, 37, 714, 100, "skipped");
    auto* disabled = Band(&doc, laTop, 40, 137, 714, 100, "disabled");
    auto* shown = Band(&doc, laTop, 40, 237, 714, 100, "shown");
    Block(skipped, clRed, QRect(0, 0, 50, 50));
    Block(disabled, clRed, QRect(0, 0, 50, 50));
    Block(shown, clBlue, QRect(0, 0, 50, 50));
    auto* offItem = Block(shown, clRed, QRect(100, 0, 50, 50));
    offItem->SetEnabled(false);
    auto* hiddenItem = Block(shown, clGreen, QRect(200, 0, 50, 50));
    hiddenItem->SetVisible(false); // visibility plays no part in printing
    disabled->SetEnabled(false);
    bool after = false;
    skipped->BeforePrint = [](TLRControl*, TRect, TPrintStatus& s) { s = prsSkip; };
    skipped->AfterPrint = [&after](TLRControl*) { after = true; };
    const QImage page = Preview();
    EXPECT_FALSE(after);
    EXPECT_EQ(InkBounds(page), QRect(40, 237, 249, 49));
    EXPECT_TRUE(IsWhite(page, 140, 250)); // the disabled item
    EXPECT_EQ(page.pixel(240, 250), qRgb(0, 128, 0));

    // In design mode disabled panels are drawn too.
    doc.SetDesigning(true);
    EXPECT_FALSE(InkBounds(Preview(), QRect(40, 137, 50, 50)).isNull());
}

TEST_F(Sheet, PanelFontsFollowTheirParentUntilSetThemselves) {
    auto* panel = CreateLR<TLRLayoutPanel>(&doc);
    auto* item = CreateLR<TLRItem>(panel);
    doc.Font().SetHeight(-20);
    EXPECT_EQ(panel->Font().Height(), -20);
    EXPECT_EQ(item->Font().Height(), -20);
    item->Font().SetHeight(-11);
    EXPECT_FALSE(item->ParentFont());
    doc.Font().SetHeight(-30);
    EXPECT_EQ(panel->Font().Height(), -30);
    EXPECT_EQ(item->Font().Height(), -11);
    item->SetParentFont(true);
    EXPECT_EQ(item->Font().Height(), -30);
}

TEST_F(Sheet, RepaintRequestsReachTheNearestHandler) {
    auto* panel = CreateLR<TLRLayoutPanel>(&doc);
    auto* item = CreateLR<TLRItem>(panel);
    std::vector<TLRControl*> asked;
    doc.OnInvalidate = [&asked](TLRControl* c) { asked.push_back(c); };
    item->SetLineTop(lsSingle);
    item->SetLineTop(lsSingle); // unchanged: no request
    item->SetLineColor(clRed);  // stored without a repaint
    item->SetHMargin(256);      // ignored
    EXPECT_EQ(asked, (std::vector<TLRControl*>{item}));
}
