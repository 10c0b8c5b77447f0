// "印刷(&P)" of the preview window when the print queue fails, through a real CUPS scheduler of
// the test's own: a stopped queue, and a queue removed while the page is drawn. The user gets
// the message, the window stays open and usable (zoom, printing again), and nothing hangs. Its
// own executable with the other print-queue tests (the CUPS library takes the scheduler's
// address once per process; every test runs in a process of its own).
#include <gtest/gtest.h>

#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/modal.h"
#include "app/qtprint.h"
#include "common/imagemagick.h"
#include "preview/printlrunit.h"
#include "previewdocument.h"
#include "print/printer.h"
#include "report/privatecups.h"

using namespace testing_support;

namespace {

// The printer, with a fault that strikes once the job has begun, before the page is drawn.
struct TFaultyPrinter : TQtPrinter {
    std::function<void()> Fault;
    void BeginDoc() override {
        TQtPrinter::BeginDoc();
        if (Fault)
            std::exchange(Fault, nullptr)();
    }
};

// Clicks "印刷(&P)" and answers the message box it opens; the message, or empty when none
// came.
QString PrintAndReadMessage(TFrmPrtLR& window) {
    QString message;
    const auto seen = AnswerMessage(QMessageBox::Ok, &message);
    window.BtnInsatu->click();
    CancelPendingAnswers();
    return *seen ? message : QString();
}

TEST(PreviewFaults, AFailingQueueLeavesThePreviewOpenAndUsable) {
    report_testing::TPrivateCups cups;
    const QString cannotRun = cups.Start();
    if (!cannotRun.isEmpty())
        GTEST_SKIP() << "no private CUPS scheduler here: " << cannotRun.toStdString();
    qputenv("CUPS_SERVER", cups.Socket().toLocal8Bit());
    const QString queue = cups.QueueName();

    QTemporaryDir dir;
    KeepZoomAt100(dir.path()); // so that both zoom buttons have a step to go to
    const auto document = OpenDocument(dir.path());
    TFaultyPrinter printer;
    const int index = static_cast<int>(printer.Printers().indexOf(queue));
    ASSERT_GE(index, 0) << printer.Printers().join(u' ').toStdString();
    printer.SetPrinterIndex(index);

    const auto preview = OpenPreview(*document, &printer);
    TFrmPrtLR& window = *preview;
    ASSERT_EQ(window.Zoom(), 4);

    // A stopped queue: refused before anything is drawn.
    ASSERT_TRUE(cups.Admin(QStringLiteral("cupsdisable"), {queue}));
    EXPECT_TRUE(PrintAndReadMessage(window).startsWith(
        QStringLiteral("プリンタ「%1」は停止しています。").arg(queue)));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.LightRep1()->State(), rsIdle);
    window.BtnSyukusho->click();
    EXPECT_EQ(window.Zoom(), 3) << "the window still zooms";

    // The queue removed while the page is drawn: the job cannot be handed over.
    ASSERT_TRUE(cups.Admin(QStringLiteral("cupsenable"), {queue}));
    printer.Fault = [&cups, &queue] {
        ASSERT_TRUE(cups.Admin(QStringLiteral("lpadmin"), {QStringLiteral("-x"), queue}));
    };
    EXPECT_EQ(
        PrintAndReadMessage(window),
        QStringLiteral("プリンタ「%1」に印刷データを送れませんでした。プリンタが見つかりません。")
            .arg(queue));
    EXPECT_FALSE(printer.Fault) << "the fault did not strike during the job";
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.LightRep1()->State(), rsIdle);
    EXPECT_FALSE(printer.Printing());
    window.BtnKakudai->click();
    EXPECT_EQ(window.Zoom(), 4) << "the window still zooms";
    // Printing again says at once that the queue is gone; closing still closes.
    EXPECT_EQ(PrintAndReadMessage(window),
              QStringLiteral("プリンタ「%1」が見つかりません。プリンタの設定を確かめてください。")
                  .arg(queue));
    window.BtnEnd->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(QDir(cups.OutputFolder()).entryList(QDir::Files).isEmpty()) << "nothing printed";
}

} // namespace
