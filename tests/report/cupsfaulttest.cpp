// Print queues that fail, through a real CUPS scheduler of the test's own: none at all, one
// that is stopped, one that starts to refuse jobs, one that disappears, and a scheduler that
// goes away, the last three while the page is being drawn. Every fault gives a message that
// names it, nothing hangs, the document is idle and ready for the next try, and a job that the
// queue took is never reported lost. Each test runs in a process of its own (the CUPS library
// takes the scheduler's address once per process).
#include <gtest/gtest.h>

#include <QDir>

#include "../app/qtprint.h"
#include "privatecups.h"
#include "sampledocument.h"

using namespace report_testing;

namespace {

class CupsFaults : public ::testing::Test {
  protected:
    // Starts the scheduler; false (and the test is skipped) where it cannot run.
    bool StartCups(bool withQueue = true) {
        const QString cannotRun = Cups.Start(withQueue);
        if (!cannotRun.isEmpty()) {
            Skipped = cannotRun;
            return false;
        }
        qputenv("CUPS_SERVER", Cups.Socket().toLocal8Bit());
        return true;
    }
    // Selects the test queue on `printer`.
    void SelectQueue(TQtPrinter& printer) {
        const int index = static_cast<int>(printer.Printers().indexOf(Cups.QueueName()));
        ASSERT_GE(index, 0) << printer.Printers().join(u' ').toStdString();
        printer.SetPrinterIndex(index);
    }
    QString Message(const QString& format) const {
        return FormatMessage(format, {Cups.QueueName()});
    }
    // Draws the page, lets `fault` happen, and ends the job; the message of the error, or
    // empty when the job ended without one.
    QString PrintWith(SampleDocument& sample, const std::function<void()>& fault) {
        sample.Doc.BeginDoc();
        sample.Doc.PrintPage();
        fault();
        try {
            sample.Doc.EndDoc();
        } catch (const Exception& e) {
            return e.Message();
        }
        return {};
    }
    // The message with which the document refuses to start a job; empty when it starts.
    static QString BeginDocRefusal(SampleDocument& sample) {
        try {
            sample.Doc.BeginDoc();
        } catch (const Exception& e) {
            return e.Message();
        }
        sample.Doc.AbortDoc();
        return {};
    }

    TPrivateCups Cups;
    QString Skipped;
};

#define START_CUPS(...)                                                                            \
    if (!StartCups(__VA_ARGS__))                                                                   \
    GTEST_SKIP() << "no private CUPS scheduler here: " << Skipped.toStdString()

TEST_F(CupsFaults, NoQueueAtAllGivesTheMessageAndStartsNoJob) {
    START_CUPS(false);
    TQtPrinter printer;
    EXPECT_TRUE(printer.Printers().isEmpty());
    SampleDocument sample(&printer);
    EXPECT_EQ(
        BeginDocRefusal(sample),
        QStringLiteral(
            "印刷できるプリンタがありません。プリンタを設定するか、PDFファイルに印刷してください。"));
    EXPECT_EQ(sample.Doc.State(), rsIdle);
    EXPECT_FALSE(printer.Printing());
}

TEST_F(CupsFaults, AStoppedQueueIsRefusedBeforeDrawingAndPrintsOnceResumed) {
    START_CUPS();
    TQtPrinter printer;
    SelectQueue(printer);
    ASSERT_TRUE(Cups.Admin(QStringLiteral("cupsdisable"), {Cups.QueueName()}));
    SampleDocument sample(&printer);
    EXPECT_TRUE(BeginDocRefusal(sample).startsWith(Message(QStringLiteral(
        "プリンタ「%s」は停止しています。プリンタを再開してから印刷してください。"))));
    EXPECT_EQ(sample.Doc.State(), rsIdle);
    EXPECT_FALSE(printer.Printing());

    ASSERT_TRUE(Cups.Admin(QStringLiteral("cupsenable"), {Cups.QueueName()}));
    EXPECT_EQ(PrintWith(sample, [] {}), QString());
    EXPECT_FALSE(Cups.WaitForPdf(90000).isEmpty()) << Cups.LogTail().toStdString();
}

TEST_F(CupsFaults, AQueueStoppedDuringTheJobKeepsTheJobAndSaysSo) {
    START_CUPS();
    TQtPrinter printer;
    SelectQueue(printer);
    SampleDocument sample(&printer);
    const QString message = PrintWith(sample, [this] {
        ASSERT_TRUE(Cups.Admin(QStringLiteral("cupsdisable"), {Cups.QueueName()}));
    });
    EXPECT_EQ(
        message,
        Message(QStringLiteral(
            "印刷データはプリンタ「%s」の待ち行列に入りましたが、プリンタが停止しています。プリンタを再開すると印刷されます。")));
    EXPECT_EQ(sample.Doc.State(), rsIdle);
    // The job waited in the queue and comes out when the queue is resumed.
    ASSERT_TRUE(Cups.Admin(QStringLiteral("cupsenable"), {Cups.QueueName()}));
    EXPECT_FALSE(Cups.WaitForPdf(90000).isEmpty()) << Cups.LogTail().toStdString();
}

TEST_F(CupsFaults, AQueueThatStartsToRefuseJobsDuringTheJobGivesTheMessage) {
    START_CUPS();
    TQtPrinter printer;
    SelectQueue(printer);
    SampleDocument sample(&printer);
    const QString message = PrintWith(sample, [this] {
        ASSERT_TRUE(Cups.Admin(QStringLiteral("cupsreject"), {Cups.QueueName()}));
    });
    EXPECT_EQ(
        message,
        Message(QStringLiteral(
            "プリンタ「%s」に印刷データを送れませんでした。プリンタが印刷を受け付けていません。")));
    EXPECT_EQ(sample.Doc.State(), rsIdle);
    EXPECT_FALSE(printer.Printing());
    // The next try is refused before anything is drawn, with the reason.
    EXPECT_TRUE(BeginDocRefusal(sample).startsWith(
        Message(QStringLiteral("プリンタ「%s」は印刷を受け付けていません。"))));
}

TEST_F(CupsFaults, AQueueThatDisappearsDuringTheJobGivesTheMessage) {
    START_CUPS();
    TQtPrinter printer;
    SelectQueue(printer);
    SampleDocument sample(&printer);
    const QString message = PrintWith(sample, [this] {
        ASSERT_TRUE(
            Cups.Admin(QStringLiteral("lpadmin"), {QStringLiteral("-x"), Cups.QueueName()}));
    });
    EXPECT_EQ(message,
              Message(QStringLiteral(
                  "プリンタ「%s」に印刷データを送れませんでした。プリンタが見つかりません。")));
    EXPECT_EQ(sample.Doc.State(), rsIdle);
    EXPECT_FALSE(printer.Printing());
    EXPECT_EQ(BeginDocRefusal(sample),
              Message(QStringLiteral(
                  "プリンタ「%s」が見つかりません。プリンタの設定を確かめてください。")));
    // Nothing was printed and nothing waits in the spool.
    EXPECT_TRUE(QDir(Cups.OutputFolder()).entryList(QDir::Files).isEmpty());
}

TEST_F(CupsFaults, APrintSystemThatGoesAwayDuringTheJobGivesTheMessage) {
    START_CUPS();
    TQtPrinter printer;
    SelectQueue(printer);
    SampleDocument sample(&printer);
    const QString message = PrintWith(sample, [this] { Cups.StopDaemon(); });
    EXPECT_EQ(
        message,
        Message(QStringLiteral(
            "プリンタ「%s」に印刷データを送れませんでした。印刷システム（CUPS）に接続できません。")));
    EXPECT_EQ(sample.Doc.State(), rsIdle);
    EXPECT_EQ(BeginDocRefusal(sample),
              QStringLiteral(
                  "印刷システム（CUPS）に接続できません。CUPSが動いているか確かめてください。"));
}

} // namespace
