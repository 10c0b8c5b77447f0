// Where a job went, said in the main window's status bar after "印刷(&P)" closed the preview:
// the queue of a private CUPS scheduler and the copies the printer set-up chose, checked against
// what the scheduler recorded of the job. Part of the preview's print tests, whose executable
// runs each test in a process of its own (the CUPS library takes the scheduler's address once
// per process).
#include <gtest/gtest.h>

#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/mainunit.h"
#include "app/modal.h"
#include "calex/calex.h"
#include "pagelog.h"
#include "preview/printlrunit.h"
#include "print/printer.h"
#include "report/privatecups.h"
#include "statusbar/statusbarp.h"

using namespace testing_support;

namespace {

TEST(PrintReport, TheMainWindowSaysWhichQueueTookHowManyCopies) {
    report_testing::TPrivateCups cups;
    const QString cannotRun = cups.Start();
    if (!cannotRun.isEmpty())
        GTEST_SKIP() << "no private CUPS scheduler here: " << cannotRun.toStdString();
    qputenv("CUPS_SERVER", cups.Socket().toLocal8Bit());

    TPrinter& printer = Printer();
    const int index = static_cast<int>(printer.Printers().indexOf(cups.QueueName()));
    ASSERT_GE(index, 0) << printer.Printers().join(u' ').toStdString();
    printer.SetPrinterIndex(index);
    // Two copies, as the printer set-up's spin box sets them.
    dynamic_cast<TQtPrinter&>(printer).QtPrinter().setCopyCount(2);

    QTemporaryDir dir; // the program's folder
    TmainForm form(dir.path());
    form.show();
    form.StBar->SetText(QStringLiteral("前の表示"));
    QString report;
    auto seen = WhenModal([&report](QWidget* w) {
        auto* preview = qobject_cast<TFrmPrtLR*>(w);
        ASSERT_NE(preview, nullptr);
        preview->BtnInsatu->click();
        report = preview->JobReport();
    });
    form.Button1->click();
    ASSERT_TRUE(*seen);
    const QString expected = QStringLiteral("「%1」に 2 部送りました").arg(cups.QueueName());
    EXPECT_EQ(report, expected);
    EXPECT_EQ(form.StBar->Text(), expected);
    EXPECT_EQ(form.StBar->Panel(0).Text, expected);

    // The scheduler's record: the one job, on that queue, with two copies.
    ASSERT_FALSE(cups.WaitForPdf(90000).isEmpty()) << cups.LogTail().toStdString();
    const std::vector<TPageLogLine> log = WaitForPageLog(cups, 30000);
    ASSERT_FALSE(log.empty()) << cups.PageLog().constData();
    for (const TPageLogLine& line : log) {
        EXPECT_EQ(line.Queue, cups.QueueName()) << cups.PageLog().constData();
        EXPECT_EQ(line.Job, log.front().Job) << cups.PageLog().constData();
        EXPECT_EQ(line.Copies, 2) << cups.PageLog().constData();
    }

    // Closed without printing, the preview leaves the status bar to the main window.
    form.StBar->SetText(QStringLiteral("前の表示"));
    auto closed = WhenModal([](QWidget* w) { w->close(); });
    form.Button1->click();
    ASSERT_TRUE(*closed);
    EXPECT_NE(form.StBar->Text(), expected);
}

} // namespace
