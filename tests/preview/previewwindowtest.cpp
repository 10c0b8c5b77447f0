// The preview-and-print window on the offscreen platform, driven through its own handlers and
// mouse clicks: creation sizes, the print position in senoruta.ini, the zoom steps and their
// image sizes, and what the shrunk page still shows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include "app/modal.h"
#include "common/sheetpage.h"
#include "preview/printlrunit.h"
#include "previewdocument.h"
#include "print/imageprinter.h"
#include "print/printer.h"
#include "settings/inifile.h"
#include "statusbar/statusbar.h"
#include "widgets/image.h"

using namespace testing_support;

namespace {

class PreviewWindowTest : public ::testing::Test {
  protected:
    // These tests look at the page at 100 % first.
    void SetUp() override { KeepZoomAt100(dir.path()); }
    void TearDown() override { CancelPendingAnswers(); }

    /// The document, opened when first asked for: the files written before are read then.
    TCalendarDocument& Document() {
        if (!document)
            document = OpenDocument(dir.path());
        return *document;
    }

    QString Ini() const { return dir.filePath(QStringLiteral("senoruta.ini")); }
    void WriteIni(const QByteArray& text) {
        QFile f(Ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    int StoredPosition() const {
        return TIniFile(Ini()).ReadInteger(QStringLiteral("senoruta"), QStringLiteral("LRichi"),
                                           99);
    }
    /// The window as a composition makes it, shown (at 100 %, the zoom kept).
    std::unique_ptr<TFrmPrtLR> Open() { return OpenPreview(Document()); }
    QImage Shown(const TFrmPrtLR& w) const { return w.Image1->Picture().Graphic()->ToImage(); }
    static QString Status(const TFrmPrtLR& w) { return w.StBar->Panel(0).Text; }
    static void Click(QWidget* widget, Qt::MouseButton button) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5),
                          widget->mapToGlobal(QPointF(5, 5)), button, button, Qt::NoModifier);
        QApplication::sendEvent(widget, &press);
    }

    QTemporaryDir dir; // the program's folder
    std::unique_ptr<TCalendarDocument> document;
};

TEST_F(PreviewWindowTest, CreationSizesTheWindowAndRestoresTheClampedPosition) {
    WriteIni("[senoruta]\r\nLRichi=25\r\n");
    TFrmPrtLR window(Document());
    EXPECT_EQ(window.windowTitle(), "たむりか「プレビュー＆印刷」");
    EXPECT_EQ(window.Zoom(), 0);
    EXPECT_EQ(window.Image1->geometry(), QRect(0, 0, 794, 1123));
    const QRect screen = QApplication::primaryScreen()->geometry();
    EXPECT_EQ(window.width(), std::min(894, screen.width() - 5));
    EXPECT_EQ(window.height(), screen.height() - 200);

    EXPECT_EQ(window.TrackBar1->value(), 10);
    EXPECT_EQ(window.LblIchi->text(), "10");
    EXPECT_EQ(window.LightRep1()->MarginLeft(), 49);
    EXPECT_EQ(window.LightRep1()->MarginRight(), 29);
    EXPECT_EQ(StoredPosition(), 10); // written back clamped
    EXPECT_EQ(ReadPrintPosition(dir.path()), 10);
    EXPECT_EQ(Document().Model().Position, 10);

    EXPECT_EQ(window.BtnInsatu->text(), "印刷(&P)");
    EXPECT_EQ(window.BtnSettei->text(), "設定(&S)");
    EXPECT_EQ(window.BtnKakudai->text(), "拡大(&I)");
    EXPECT_EQ(window.BtnSyukusho->text(), "縮小(&O)");
    EXPECT_EQ(window.BtnEnd->text(), "閉じる(&C)");
    EXPECT_EQ(window.Label1->text(), "左右の位置調整");
    EXPECT_EQ(window.TrackBar1->minimum(), -10);
    EXPECT_EQ(window.TrackBar1->maximum(), 10);
}

TEST_F(PreviewWindowTest, AMissingFileReadsAsTheCentreAndIsCreated) {
    {
        TFrmPrtLR window(Document());
        EXPECT_EQ(window.TrackBar1->value(), 0);
        EXPECT_EQ(window.LblIchi->text(), "0");
        EXPECT_EQ(window.LightRep1()->MarginLeft(), 39);
    }
    EXPECT_EQ(StoredPosition(), 0);
    // The next run reads what the file says then.
    WriteIni("[senoruta]\r\nLRichi=-37\r\n");
    document.reset();
    TFrmPrtLR window(Document());
    EXPECT_EQ(window.TrackBar1->value(), -10);
    EXPECT_EQ(window.LblIchi->text(), "-10");
    EXPECT_EQ(window.LightRep1()->MarginLeft(), 29);
    EXPECT_EQ(window.LightRep1()->MarginRight(), 49);
}

TEST_F(PreviewWindowTest, ZoomStepsGiveTheirSizesAndStopAtTheEnds) {
    auto window = Open();
    EXPECT_EQ(window->Zoom(), 4);
    EXPECT_EQ(window->Image1->size(), QSize(794, 1123));
    EXPECT_EQ(Shown(*window).size(), QSize(794, 1123));
    EXPECT_EQ(Status(*window), "100%");
    EXPECT_TRUE(window->BtnKakudai->isEnabled());
    EXPECT_TRUE(window->BtnSyukusho->isEnabled());

    const std::tuple<int, QSize, const char*> steps[] = {
        {3, {596, 842}, "75%"}, {2, {397, 562}, "50%"}, {1, {198, 281}, "25%"}};
    for (const auto& [zoom, size, text] : steps) {
        window->BtnSyukusho->click();
        EXPECT_EQ(window->Zoom(), zoom);
        EXPECT_EQ(window->Image1->size(), size);
        EXPECT_EQ(Shown(*window).size(), size);
        EXPECT_EQ(Status(*window), QString::fromLatin1(text));
    }
    EXPECT_FALSE(window->BtnSyukusho->isEnabled());
    EXPECT_TRUE(window->BtnKakudai->isEnabled());

    // A right click at 25 % renders at 25 % again and changes nothing else.
    Click(window->Image1, Qt::RightButton);
    EXPECT_EQ(window->Zoom(), 1);
    EXPECT_EQ(window->Image1->size(), QSize(198, 281));
    EXPECT_FALSE(window->BtnSyukusho->isEnabled());
    // A left click zooms in, even with the other button disabled; a middle click does nothing.
    Click(window->Image1, Qt::LeftButton);
    EXPECT_EQ(window->Zoom(), 2);
    EXPECT_TRUE(window->BtnSyukusho->isEnabled());
    Click(window->Image1, Qt::MiddleButton);
    EXPECT_EQ(window->Zoom(), 2);

    window->BtnKakudai->click();
    window->BtnKakudai->click();
    EXPECT_EQ(window->Zoom(), 4);
    EXPECT_EQ(Status(*window), "100%");
    EXPECT_FALSE(window->BtnKakudai->isEnabled());
    // Through the handler the disabled step re-renders at 100 % and stays there.
    window->BtnKakudaiClick();
    EXPECT_EQ(window->Zoom(), 4);
    EXPECT_EQ(window->Image1->size(), QSize(794, 1123));
}

TEST_F(PreviewWindowTest, TheFirstZoomInAtOpeningOnlyDisablesItself) {
    auto window = Open();
    window->BtnKakudai->click();
    EXPECT_EQ(window->Zoom(), 4);
    EXPECT_FALSE(window->BtnKakudai->isEnabled());
    EXPECT_TRUE(window->BtnSyukusho->isEnabled());
}

TEST_F(PreviewWindowTest, TheShrunkPageKeepsItsLinesAndNumbersVisible) {
    auto window = Open();
    const QImage full = Shown(*window);
    // At 100 % the page is drawn one pixel per design unit: March's header line is black.
    EXPECT_EQ(full.pixel(HeaderOrigin(3).x() + 10, HeaderOrigin(3).y() - 1), qRgb(0, 0, 0));
    window->BtnSyukushoClick();
    window->BtnSyukushoClick();
    window->BtnSyukushoClick();
    const QImage quarter = Shown(*window);
    ASSERT_EQ(quarter.size(), QSize(198, 281));
    // Every month grid leaves grey lines at a quarter of the size, not gaps: averaged, not
    // picked pixel by pixel.
    for (int n = 1; n <= 12; ++n) {
        const QPoint o = HeaderOrigin(n);
        int darkRows = 0;
        for (int y = o.y() / 4; y < (o.y() + 112) / 4; ++y)
            darkRows += qGray(quarter.pixel((o.x() + 80) / 4, y)) < 235;
        EXPECT_GE(darkRows, 6) << "month " << n;
    }
    // Sunday numbers stay reddish.
    int reddish = 0;
    const QRect sundays = DayCell(5, 0, 0).united(DayCell(5, 0, 5));
    for (int y = sundays.top() / 4; y <= sundays.bottom() / 4; ++y)
        for (int x = sundays.left() / 4; x <= sundays.right() / 4; ++x) {
            const QRgb c = quarter.pixel(x, y);
            reddish += qRed(c) > qGreen(c) + 40 && qRed(c) > qBlue(c) + 40;
        }
    EXPECT_GT(reddish, 3);
}

// A 600-per-inch printer that cannot print the outer 100 × 150 pixels of the paper: its device
// origin is the corner of the printable area, as a real queue's is.
class TBandedPrinter : public TImagePrinter {
  public:
    TBandedPrinter() : TImagePrinter(600) {}
    std::optional<TPoint> PhysicalOffset() const override { return TPoint{100, 150}; }
};

TEST_F(PreviewWindowTest, ThePrintersUnprintableBandNeverShiftsThePreview) {
    // The preview shows the paper itself: the same pixels whatever band the printer has, the
    // sheet where its layout puts it, at every zoom and after the position changed.
    TBandedPrinter banded;
    TImagePrinter plain(600);
    auto onBanded = OpenPreview(Document(), &banded);
    auto onPlain = OpenPreview(Document(), &plain);
    const QImage full = Shown(*onBanded);
    EXPECT_EQ(full, Shown(*onPlain));
    for (const int n : {1, 12}) {
        const QPoint o = HeaderOrigin(n);
        EXPECT_EQ(full.pixel(o.x() + 10, o.y() - 1), qRgb(0, 0, 0)) << "header line of " << n;
    }
    EXPECT_EQ(onBanded->Image1->pos(), onPlain->Image1->pos());
    for (TFrmPrtLR* window : {onBanded.get(), onPlain.get()}) {
        window->BtnSyukushoClick();
        window->TrackBar1->setValue(6);
        window->SpeedButton1Click();
    }
    EXPECT_EQ(Shown(*onBanded), Shown(*onPlain));
}

TEST_F(PreviewWindowTest, ThePositionIsAppliedAndStoredOnlyWhenConfirmed) {
    auto window = Open();
    const QImage before = Shown(*window);
    window->TrackBar1->setValue(-7);
    EXPECT_EQ(window->LblIchi->text(), "-7");
    EXPECT_EQ(window->LightRep1()->MarginLeft(), 39);
    EXPECT_EQ(StoredPosition(), 0);
    EXPECT_EQ(Shown(*window), before);

    window->SpeedButton1->click();
    EXPECT_EQ(window->LightRep1()->MarginLeft(), 32);
    EXPECT_EQ(window->LightRep1()->MarginRight(), 46);
    EXPECT_EQ(StoredPosition(), -7);
    // The page is drawn 7 units further left: the first vertical line of January moved.
    const QImage after = Shown(*window);
    const int y = DayCell(1, 0, 2).center().y();
    const int x = HeaderOrigin(1).x() - 1;
    EXPECT_EQ(before.pixel(x, y), qRgb(0, 0, 0));
    EXPECT_EQ(after.pixel(x - 7, y), qRgb(0, 0, 0));
    EXPECT_NE(after.pixel(x, y), qRgb(0, 0, 0));
}

TEST_F(PreviewWindowTest, AnUnwritablePositionFileStillOpensTheWindowAndSaysSoOnConfirm) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("senoruta.ini"))); // a folder in its way
    TFrmPrtLR window(Document());
    EXPECT_EQ(window.TrackBar1->value(), 0);
    window.show();
    window.TrackBar1->setValue(3);
    QString message;
    auto seen = AnswerMessage(QMessageBox::Ok, &message);
    window.SpeedButton1->click();
    EXPECT_TRUE(*seen);
    EXPECT_TRUE(message.contains(QStringLiteral("に書き込めません"))) << message.toStdString();
    EXPECT_EQ(window.LightRep1()->MarginLeft(), 42); // applied all the same
}

TEST_F(PreviewWindowTest, ThePrinterSetUpOpensOnTheSheetsPrinterAndCancelChangesNothing) {
    auto window = Open();
    TPrinter& printer = *window->LightRep1()->Printer();
    const int index = printer.PrinterIndex();
    QString title;
    QStringList buttons;
    auto seen = WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QPrintDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        auto* box = dialog->findChild<QDialogButtonBox*>(QString(), Qt::FindDirectChildrenOnly);
        for (auto which : {QDialogButtonBox::Ok, QDialogButtonBox::Cancel})
            buttons << (box != nullptr && box->button(which) ? box->button(which)->text()
                                                             : QString());
        // No page range for the one-page sheet: a range without page 1 would print nothing.
        auto* range = dialog->findChild<QWidget*>(QStringLiteral("gbPrintRange"));
        EXPECT_TRUE(range == nullptr || !range->isVisibleTo(dialog));
        dialog->reject();
    });
    window->BtnSettei->click();
    EXPECT_TRUE(*seen);
    EXPECT_EQ(title, "プリンタの設定");
    // The accepting button sets the printer up, it does not print; Japanese also where Qt's
    // catalogue is missing, as here.
    EXPECT_EQ(buttons, QStringList({QStringLiteral("OK"), QStringLiteral("キャンセル")}));
    EXPECT_EQ(printer.PrinterIndex(), index);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->Zoom(), 4);
}

TEST_F(PreviewWindowTest, CloseEndsTheModalRun) {
    TFrmPrtLR window(Document());
    auto seen = WhenModal([](QWidget* w) {
        auto* preview = qobject_cast<TFrmPrtLR*>(w);
        ASSERT_NE(preview, nullptr);
        EXPECT_EQ(preview->Zoom(), 4);
        preview->BtnEnd->click();
    });
    window.exec();
    EXPECT_TRUE(*seen);
    EXPECT_FALSE(window.isVisible());
}

} // namespace
