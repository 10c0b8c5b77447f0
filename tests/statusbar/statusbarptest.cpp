// The progress status bar: panel texts, clamping and where the progress bar sits; the tool
// tips of panels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QProgressBar>
#include <QToolTip>

#include "statusbar/statusbarp.h"

namespace {

const QString Space = QStringLiteral(" ");

TEST(StatusBarP, StartsWithThreePanelsAndAnEmptyBar) {
    TStatusBarP bar;
    EXPECT_EQ(bar.height(), 22);
    ASSERT_EQ(bar.PanelCount(), 3);
    EXPECT_EQ(bar.Panel(0).Width, 300);
    EXPECT_EQ(bar.Panel(1).Width, 100);
    EXPECT_EQ(bar.Panel(1).Style, psOwnerDraw);
    EXPECT_EQ(bar.Panel(2).Width, 50);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_TRUE(bar.msgdsp());
    EXPECT_EQ(bar.Text(), QString());
    EXPECT_EQ(bar.ProgressBar()->parentWidget(), &bar);
    EXPECT_EQ(bar.ProgressBar()->minimum(), 0);
    EXPECT_EQ(bar.ProgressBar()->maximum(), 100);
    EXPECT_EQ(bar.ProgressBar()->geometry(), QRect(302, 2, 98, 20));
}

TEST(StatusBarP, ProgressBarFollowsPanelWidthsAndHeight) {
    TStatusBarP bar;
    bar.resize(480, 22);
    bar.show(); // a hidden widget gets its resize events only when shown
    bar.SetPanelWidth(0, 320);
    bar.SetPanelWidth(1, 100);
    EXPECT_EQ(bar.ProgressBar()->geometry(), QRect(322, 2, 98, 20));
    bar.setFixedHeight(30);
    bar.resize(480, 30);
    EXPECT_EQ(bar.ProgressBar()->geometry(), QRect(322, 2, 98, 28));
}

TEST(StatusBarP, PositionWritesPercentageAndWorkingMessage) {
    TStatusBarP bar;
    bar.SetText(QStringLiteral("画像ファイル：a.jpg"));
    bar.SetPosition(30);
    EXPECT_EQ(bar.Position(), 30);
    EXPECT_EQ(bar.ProgressBar()->value(), 30);
    EXPECT_EQ(bar.Panel(2).Text, QStringLiteral("30%"));
    EXPECT_EQ(bar.Panel(0).Text, QStringLiteral("処理中"));
    EXPECT_EQ(bar.Text(), QStringLiteral("画像ファイル：a.jpg"));
}

TEST(StatusBarP, PositionIsClampedAndZeroClearsBothTexts) {
    TStatusBarP bar;
    bar.SetPosition(150);
    EXPECT_EQ(bar.Position(), 100);
    EXPECT_EQ(bar.ProgressBar()->value(), 100);
    EXPECT_EQ(bar.Panel(2).Text, QStringLiteral("100%"));
    bar.SetPosition(-5);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.ProgressBar()->value(), 0);
    EXPECT_EQ(bar.Panel(2).Text, Space);
    EXPECT_EQ(bar.Panel(0).Text, Space);

    bar.SetText(QStringLiteral("選択されているフォント：ＭＳ ゴシック"));
    EXPECT_EQ(bar.Panel(0).Text, QStringLiteral("選択されているフォント：ＭＳ ゴシック"));
    bar.SetPosition(0);
    EXPECT_EQ(bar.Panel(0).Text, Space);
}

TEST(StatusBarP, WithoutMsgdspTheMessageStays) {
    TStatusBarP bar;
    bar.Setmsgdsp(false);
    bar.SetText(QStringLiteral("hello"));
    bar.SetPosition(40);
    EXPECT_EQ(bar.Panel(0).Text, QStringLiteral("hello"));
    EXPECT_EQ(bar.Panel(2).Text, QStringLiteral("40%"));
    bar.Setmsgdsp(true);
    bar.SetPosition(41);
    EXPECT_EQ(bar.Panel(0).Text, QStringLiteral("処理中"));
}

// The drawn bar: the progress fills the left part of panel 1 only.
TEST(StatusBarP, DrawsProgressInsideItsPanel) {
    TStatusBarP bar;
    bar.resize(480, 22);
    bar.SetPanelWidth(0, 320);
    bar.SetPosition(50);
    const QImage image = bar.grab().toImage();
    const QColor highlight = bar.ProgressBar()->palette().color(QPalette::Highlight);
    auto nearHighlight = [&](int x) {
        const QColor c = image.pixelColor(x, 11);
        return std::abs(c.hue() - highlight.hue()) < 20 && c.saturation() > 60;
    };
    EXPECT_TRUE(nearHighlight(322 + 20)) << image.pixelColor(342, 11).name().toStdString();
    EXPECT_FALSE(nearHighlight(322 + 80));
    EXPECT_FALSE(nearHighlight(200));
}

// A panel's tool tip: its hint where it has one, else its text where that is cut off; none
// for a text that fits, as the user hovering over the bar sees it.
TEST(StatusBar, APanelsToolTipIsItsHintOrItsTextCutOff) {
    TStatusBar bar;
    bar.resize(300, 20);
    bar.AddPanel(60);
    bar.AddPanel(100);
    bar.AddPanel(); // to the right edge
    bar.show();
    const QString longText =
        QStringLiteral("写真の解像度が低いため、印刷が粗くなります（約 43 ppi）");
    bar.SetPanelText(0, longText);
    bar.SetPanelText(1, QStringLiteral("25%"));
    bar.SetPanelText(2, QStringLiteral("解像度不足"));
    bar.SetPanelHint(2, longText);
    EXPECT_EQ(bar.PanelAt({10, 10}), 0);
    EXPECT_EQ(bar.PanelAt({100, 10}), 1);
    EXPECT_EQ(bar.PanelAt({299, 10}), 2);
    EXPECT_EQ(bar.PanelAt({300, 10}), -1);

    EXPECT_EQ(bar.PanelToolTip(0), longText);  // cut off at 60 pixels
    EXPECT_EQ(bar.PanelToolTip(1), QString()); // fits
    EXPECT_EQ(bar.PanelToolTip(2), longText);  // its hint
    // Hovering shows it.
    QHelpEvent help(QEvent::ToolTip, QPoint(250, 10), bar.mapToGlobal(QPoint(250, 10)));
    QApplication::sendEvent(&bar, &help);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), longText);
    QToolTip::hideText();
    bar.SetPanelHint(2, QString());
    EXPECT_EQ(bar.PanelToolTip(2), QString());
}

} // namespace
