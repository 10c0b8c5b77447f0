// "全体表示" in the preview window, the zoom kept for the next window, and the window's
// shortcuts, on the offscreen platform: its screen of 800 × 600 is too small for the page at
// 100 %, so a first window opens fitted. Keys go through Qt's shortcut map as a keyboard's do
// (QTest's key clicks on the active window), not through the handlers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "app/modal.h"
#include "common/sheetpage.h"
#include "preview/previewzoom.h"
#include "preview/printlrunit.h"
#include "previewdocument.h"
#include "print/imageprinter.h"
#include "settings/statefile.h"
#include "statusbar/statusbar.h"
#include "widgets/image.h"

using namespace testing_support;

namespace {

class PreviewFit : public ::testing::Test {
  protected:
    void TearDown() override { CancelPendingAnswers(); }

    void Keep(const QString& zoom) {
        TStateFile(dir.path()).WriteString(QStringLiteral("preview"), QStringLiteral("zoom"), zoom);
    }
    QString Kept() const {
        return TStateFile(dir.path())
            .ReadString(QStringLiteral("preview"), QStringLiteral("zoom"), QString());
    }
    std::unique_ptr<TFrmPrtLR> Open(TPrinter* printer = nullptr) {
        auto window = OpenPreview(*document, printer);
        window->activateWindow();
        QApplication::processEvents();
        return window;
    }
    static QImage Shown(const TFrmPrtLR& w) { return w.Image1->Picture().Graphic()->ToImage(); }
    static QString Status(const TFrmPrtLR& w) { return w.StBar->Panel(0).Text; }
    /// Until the page drawn has the size shown: a resize draws it anew once it rests.
    static void WaitForPage(const TFrmPrtLR& w) {
        QTest::qWait(50); // the resize delivered; the page stretched to its new size
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 5000 &&
               (w.Image1->Picture().Empty() || Shown(w).size() != w.Image1->size()))
            QTest::qWait(20);
        QTest::qWait(50); // and the scroll box laid out around it
    }

    /// The page lies wholly in the scroll box, centred, touching it on one side, in the page's
    /// proportions, drawn at its size, with no scroll bars; the status says the scale.
    static void ExpectFitted(const TFrmPrtLR& w) {
        ASSERT_TRUE(w.FitToWindow());
        const QSize area = w.ScrollBox1->viewport()->size();
        const QRect page = w.Image1->geometry();
        EXPECT_LE(page.width(), area.width());
        EXPECT_LE(page.height(), area.height());
        const double scale = std::clamp(
            std::min(double(area.width()) / PageWidth, double(area.height()) / PageHeight), 0.25,
            1.0);
        if (scale > 0.25 && scale < 1) {
            EXPECT_TRUE(area.width() - page.width() <= 1 || area.height() - page.height() <= 1)
                << page.width() << " x " << page.height() << " in " << area.width() << " x "
                << area.height();
        }
        EXPECT_NEAR(double(page.width()) / page.height(), double(PageWidth) / PageHeight, 0.004);
        EXPECT_NEAR(page.left(), (area.width() - page.width()) / 2, 1);
        EXPECT_NEAR(page.top(), (area.height() - page.height()) / 2, 1);
        EXPECT_FALSE(w.ScrollBox1->horizontalScrollBar()->isVisible());
        EXPECT_FALSE(w.ScrollBox1->verticalScrollBar()->isVisible())
            << w.ScrollBox1->widget()->height() << " in " << area.height() << " of "
            << w.ScrollBox1->height() << " w " << w.ScrollBox1->widget()->width() << " in "
            << area.width() << " of " << w.ScrollBox1->width() << " range "
            << w.ScrollBox1->verticalScrollBar()->maximum();
        EXPECT_EQ(Shown(w).size(), page.size());
        EXPECT_EQ(Status(w), QStringLiteral("全体表示 (%1%)").arg(std::lround(scale * 100)));
        EXPECT_EQ(w.ZoomPercent(), std::lround(scale * 100));
    }

    /// Every month's grid and its Sunday numbers still show on the page shrunk by `scale`.
    static void ExpectLinesAndNumbers(const QImage& page, double scale) {
        for (int n = 1; n <= 12; ++n) {
            const QPoint o = HeaderOrigin(n);
            int darkRows = 0;
            const int x = int((o.x() + 80) * scale);
            for (int y = int(o.y() * scale); y < int((o.y() + 112) * scale); ++y)
                darkRows += qGray(page.pixel(x, y)) < 235;
            EXPECT_GE(darkRows, 6) << "month " << n;
            int reddish = 0;
            const QRect sundays = DayCell(n, 0, 0).united(DayCell(n, 0, 5));
            for (int y = int(sundays.top() * scale); y <= int(sundays.bottom() * scale); ++y)
                for (int x2 = int(sundays.left() * scale); x2 <= int(sundays.right() * scale);
                     ++x2) {
                    const QRgb c = page.pixel(x2, y);
                    reddish += qRed(c) > qGreen(c) + 40 && qRed(c) > qBlue(c) + 40;
                }
            EXPECT_GT(reddish, 3) << "Sundays of month " << n;
        }
    }

    QTemporaryDir dir; // the program's folder
    std::unique_ptr<TCalendarDocument> document = OpenDocument(dir.path());
};

TEST_F(PreviewFit, TheFittedPageLiesInTheWindowInItsProportions) {
    const QSize paper(PageWidth, PageHeight);
    // Limited by the height: the height is the area's, the width rounded.
    const TFittedPage tall = FitPageInto(paper, {600, 400});
    EXPECT_EQ(tall.Size, QSize(283, 400));
    EXPECT_DOUBLE_EQ(tall.Scale, 400.0 / PageHeight);
    EXPECT_EQ(tall.Percent(), 36);
    EXPECT_EQ(tall.RenderPercent(), 36);
    // Limited by the width.
    const TFittedPage wide = FitPageInto(paper, {500, 1000});
    EXPECT_EQ(wide.Size, QSize(500, 707));
    EXPECT_EQ(wide.RenderPercent(), 63);
    // A whole percentage is drawn at itself.
    EXPECT_EQ(FitPageInto(paper, {397, 2000}).RenderPercent(), 50);
    // Larger than the page: 100 %, the step's size; smaller than 25 %: the 25 % step's.
    EXPECT_EQ(FitPageInto(paper, {2000, 2000}).Size, paper);
    EXPECT_EQ(FitPageInto(paper, {2000, 2000}).Percent(), 100);
    EXPECT_EQ(FitPageInto(paper, {100, 100}).Size, QSize(198, 281));
    EXPECT_EQ(FitPageInto(paper, {100, 100}).Percent(), 25);

    // The steps around a fitted scale.
    EXPECT_EQ(StepAbove(0.36), 2);
    EXPECT_EQ(StepBelow(0.36), 1);
    EXPECT_EQ(StepAbove(0.5), 3);
    EXPECT_EQ(StepBelow(0.5), 1);
    EXPECT_EQ(StepAbove(1.0), std::nullopt);
    EXPECT_EQ(StepBelow(0.25), std::nullopt);
}

TEST_F(PreviewFit, AFirstWindowOnASmallScreenOpensFittedAndFollowsItsSize) {
    const QRect screen = QApplication::primaryScreen()->geometry();
    ASSERT_LT(screen.height() - 200, PageHeight) << "a screen on which 100 % fits";
    ASSERT_TRUE(Kept().isEmpty());
    auto window = Open();
    ExpectFitted(*window);
    EXPECT_EQ(window->Zoom(), 1); // 400 high: about 31 %
    EXPECT_TRUE(window->BtnZentai->isChecked());
    EXPECT_TRUE(window->BtnKakudai->isEnabled());
    EXPECT_TRUE(window->BtnSyukusho->isEnabled());
    // The tool row with "全体表示" still fits the 894 pixels the window is wide, every
    // caption whole, no two controls overlapping.
    QRect last;
    const std::vector<QWidget*> row = {window->BtnInsatu,    window->BtnSettei, window->BtnKakudai,
                                       window->BtnSyukusho,  window->BtnZentai, window->BtnEnd,
                                       window->Label1,       window->LblIchi,   window->TrackBar1,
                                       window->SpeedButton1, window->CmbPaper,  window->BtnPdf};
    for (QWidget* control : row) {
        EXPECT_GT(control->x(), last.right()) << control->metaObject()->className();
        last = control->geometry();
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            const QString caption = button->text().remove(u'&');
            EXPECT_LE(button->fontMetrics().horizontalAdvance(caption) + 8, button->width())
                << caption.toStdString();
        }
    }
    EXPECT_LE(last.right(), PageWidth + 100);
    ExpectLinesAndNumbers(Shown(*window), double(window->Image1->height()) / PageHeight);
    EXPECT_TRUE(Kept().isEmpty()) << "opening chose nothing";

    // Taller and wider: fitted anew once the resize rests.
    window->resize(760, 1000);
    WaitForPage(*window);
    ExpectFitted(*window);
    EXPECT_GT(window->Image1->height(), 900);
    ExpectLinesAndNumbers(Shown(*window), double(window->Image1->height()) / PageHeight);
    // Narrow: the width limits the page now.
    window->resize(420, 1000);
    WaitForPage(*window);
    ExpectFitted(*window);
    EXPECT_EQ(window->ScrollBox1->viewport()->width() - window->Image1->width(), 0);

    // Larger than the page: fitted at 100 %, the page at its size; nothing above it.
    window->resize(1000, 1400);
    WaitForPage(*window);
    ExpectFitted(*window);
    EXPECT_EQ(window->Image1->size(), QSize(PageWidth, PageHeight));
    EXPECT_EQ(Status(*window), QStringLiteral("全体表示 (100%)"));
    EXPECT_FALSE(window->BtnKakudai->isEnabled());
    // 縮小 goes to the step below 100 %.
    window->BtnSyukusho->click();
    EXPECT_FALSE(window->FitToWindow());
    EXPECT_EQ(window->Zoom(), 3);
    EXPECT_EQ(window->Image1->size(), QSize(596, 842));

    // Smaller than a quarter of the page: 25 %, scrolled; nothing below it.
    window->BtnZentai->click();
    window->resize(300, 200);
    WaitForPage(*window);
    EXPECT_TRUE(window->FitToWindow());
    EXPECT_EQ(window->Image1->size(), QSize(198, 281));
    EXPECT_EQ(Shown(*window).size(), QSize(198, 281));
    EXPECT_EQ(Status(*window), QStringLiteral("全体表示 (25%)"));
    EXPECT_FALSE(window->BtnSyukusho->isEnabled());
    EXPECT_TRUE(window->BtnKakudai->isEnabled());
}

TEST_F(PreviewFit, ZoomingFromTheFittedPageGoesToTheNearestStepAndIsKept) {
    auto window = Open();
    window->resize(760, 700); // a scroll box about 640 high: 57 %
    WaitForPage(*window);
    ExpectFitted(*window);
    ASSERT_GT(window->ZoomPercent(), 50);
    ASSERT_LT(window->ZoomPercent(), 75);
    EXPECT_EQ(window->Zoom(), 2);

    window->BtnKakudai->click();
    EXPECT_FALSE(window->FitToWindow());
    EXPECT_FALSE(window->BtnZentai->isChecked());
    EXPECT_EQ(window->Zoom(), 3);
    EXPECT_EQ(window->Image1->size(), QSize(596, 842));
    EXPECT_EQ(Shown(*window).size(), QSize(596, 842));
    EXPECT_EQ(Status(*window), QStringLiteral("75%"));
    EXPECT_EQ(Kept(), QStringLiteral("75"));

    window->BtnZentai->click();
    ExpectFitted(*window);
    EXPECT_EQ(Kept(), QStringLiteral("fit"));
    // A resize of a page at a step keeps the step.
    window->BtnSyukusho->click();
    EXPECT_EQ(window->Zoom(), 2);
    EXPECT_EQ(Kept(), QStringLiteral("50"));
    window->resize(700, 500);
    WaitForPage(*window);
    EXPECT_FALSE(window->FitToWindow());
    EXPECT_EQ(window->Image1->size(), QSize(397, 562));

    // A click on the page zooms in from the fitted page too.
    window->BtnZentai->click();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5),
                      window->Image1->mapToGlobal(QPointF(5, 5)), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(window->Image1, &press);
    EXPECT_FALSE(window->FitToWindow());
    EXPECT_EQ(window->Zoom(), 2);
}

TEST_F(PreviewFit, TheNextWindowOpensWithTheZoomKept) {
    {
        auto first = Open();
        first->BtnSyukusho->click(); // from the fitted page (31 %) to 25 %
        EXPECT_EQ(first->Zoom(), 1);
    }
    EXPECT_EQ(Kept(), QStringLiteral("25"));
    auto second = Open();
    EXPECT_FALSE(second->FitToWindow());
    EXPECT_EQ(second->Zoom(), 1);
    EXPECT_EQ(second->Image1->size(), QSize(198, 281));
    second.reset();

    Keep(QStringLiteral("100"));
    auto full = Open();
    EXPECT_FALSE(full->FitToWindow());
    EXPECT_EQ(full->Zoom(), 4);
    EXPECT_EQ(full->Image1->size(), QSize(PageWidth, PageHeight));
    full->BtnZentai->click();
    full.reset();
    EXPECT_EQ(Kept(), QStringLiteral("fit"));
    auto fitted = Open();
    ExpectFitted(*fitted);
    fitted.reset();

    // A value this program never wrote counts as none: the screen decides.
    for (const char* other : {"150", "abc", ""}) {
        Keep(QString::fromLatin1(other));
        auto window = Open();
        EXPECT_TRUE(window->FitToWindow()) << other;
    }
    // A state file that cannot be written leaves the zoom unkept, and the window works on.
    ASSERT_TRUE(QFile::remove(StateFileName(dir.path())));
    ASSERT_TRUE(QDir(dir.path()).mkdir(StateIniName));
    auto window = Open();
    window->BtnKakudai->click();
    EXPECT_EQ(window->Zoom(), 2);
    EXPECT_TRUE(QFileInfo(StateFileName(dir.path())).isDir());
}

TEST_F(PreviewFit, EachShortcutDoesWhatItsCommandDoes) {
    Keep(QStringLiteral("100"));
    TImagePrinter printer(96);
    auto window = Open(&printer);
    ASSERT_EQ(QApplication::activeWindow(), window.get());
    const auto key = [&window](Qt::Key k, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(window.get(), k, modifiers);
    };

    key(Qt::Key_0, Qt::ControlModifier);
    EXPECT_TRUE(window->FitToWindow());
    key(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_FALSE(window->FitToWindow());
    EXPECT_EQ(window->Zoom(), 1);
    key(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(window->Zoom(), 2);
    key(Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(window->Zoom(), 3);
    key(Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(window->Zoom(), 4);
    key(Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(window->Zoom(), 3);
    key(Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier); // "+" typed with Shift
    EXPECT_EQ(window->Zoom(), 4);
    key(Qt::Key_0, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_TRUE(window->FitToWindow());

    // Undo and redo of the document: the position confirmed in the window, taken back.
    window->TrackBar1->setValue(5);
    window->SpeedButton1->click();
    ASSERT_EQ(document->Model().Position, 5);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(document->Model().Position, 0);
    EXPECT_EQ(window->TrackBar1->value(), 0);
    EXPECT_EQ(window->LightRep1()->MarginLeft(), 39);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(document->Model().Position, 5);
    EXPECT_EQ(window->LightRep1()->MarginLeft(), 44);
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(document->Model().Position, 5);

    // Ctrl+S: "PDFに保存" asks for the file.
    QString title;
    auto asked = WhenModal([&title](QWidget* w) {
        title = w->windowTitle();
        EXPECT_NE(qobject_cast<QFileDialog*>(w), nullptr);
        w->close();
    });
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(*asked);
    EXPECT_EQ(title, QStringLiteral("PDFに保存"));

    // Ctrl+P prints and closes.
    window->activateWindow();
    QApplication::processEvents();
    key(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(printer.Pages().size(), 1u);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->JobReport(), QStringLiteral("1 部印刷しました"));
}

} // namespace
