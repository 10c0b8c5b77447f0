// "設定(&S)" of the preview and then "印刷(&P)", through a private CUPS scheduler with two
// cups-pdf queues: the queue, copies and two-sided printing chosen in the printer set-up are
// what the job gets, also when the queue was changed there, and cancelling the set-up changes
// nothing. What the scheduler did is read back from its page log. Part of the preview's print
// tests, whose executable runs each test in a process of its own (the CUPS library takes the
// scheduler's address once per process).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QThread>

#include "app/mainunit.h"
#include "app/modal.h"
#include "app/qtprint.h"
#include "calex/calex.h"
#include "pagelog.h"
#include "preview/printlrunit.h"
#include "print/printer.h"
#include "report/privatecups.h"

using namespace testing_support;

namespace {

const QString SecondQueue = QStringLiteral("tamurika-pdf-2");

// Sets the open printer set-up to `queue`, `copies` and (when `twoSided`) printing on both
// sides along the long edge, and presses `button` (OK or Cancel); returns the accepting
// button's text.
QString AnswerSetUp(QPrintDialog& dialog, const QString& queue, int copies, bool twoSided,
                    QDialogButtonBox::StandardButton button) {
    auto* queues = dialog.findChild<QComboBox*>(QStringLiteral("printers"));
    auto* count = dialog.findChild<QSpinBox*>(QStringLiteral("copies"));
    auto* buttons = dialog.findChild<QDialogButtonBox*>(QString(), Qt::FindDirectChildrenOnly);
    EXPECT_NE(queues, nullptr);
    EXPECT_NE(count, nullptr);
    EXPECT_NE(buttons, nullptr);
    if (queues == nullptr || count == nullptr || buttons == nullptr) {
        dialog.reject();
        return {};
    }
    EXPECT_GE(queues->findText(queue), 0) << queue.toStdString();
    queues->setCurrentIndex(queues->findText(queue));
    count->setValue(copies);
    if (twoSided) {
        auto* longEdge = dialog.findChild<QRadioButton*>(QStringLiteral("duplexLong"));
        EXPECT_TRUE(longEdge != nullptr && longEdge->isEnabled()) << "the queue prints two-sided";
        if (longEdge != nullptr)
            longEdge->setChecked(true);
    }
    const QString ok = buttons->button(QDialogButtonBox::Ok)->text();
    buttons->button(button)->click();
    return ok;
}

TEST(PrintSetUp, TheQueueAndCopiesChosenThereAreWhatPrintingUsesAndCancelKeepsTheOld) {
    report_testing::TPrivateCups cups;
    const QString cannotRun = cups.Start();
    if (!cannotRun.isEmpty())
        GTEST_SKIP() << "no private CUPS scheduler here: " << cannotRun.toStdString();
    cups.AddQueue(SecondQueue, true); // an office printer that prints on both sides
    qputenv("CUPS_SERVER", cups.Socket().toLocal8Bit());

    TPrinter& printer = Printer();
    const int first = static_cast<int>(printer.Printers().indexOf(cups.QueueName()));
    ASSERT_GE(first, 0) << printer.Printers().join(u' ').toStdString();
    ASSERT_GE(printer.Printers().indexOf(SecondQueue), 0);
    printer.SetPrinterIndex(first);
    QPrinter& qt = dynamic_cast<TQtPrinter&>(printer).QtPrinter();

    QTemporaryDir dir; // the program's folder
    TmainForm form(dir.path());
    form.show();
    while (form.CalendarEx1->Year() < 2027)
        form.Button5Click();
    while (form.CalendarEx1->Year() > 2027)
        form.Button2Click();

    QString okText;
    struct {
        QString Queue;
        int Copies = 0;
        QPrinter::DuplexMode Duplex = QPrinter::DuplexAuto;
    } afterCancel, afterOk;
    auto seen = WhenModal([&](QWidget* w) {
        auto* preview = qobject_cast<TFrmPrtLR*>(w);
        EXPECT_NE(preview, nullptr);
        if (preview == nullptr) {
            w->close();
            return;
        }
        auto answer = [&](int copies, QDialogButtonBox::StandardButton button) {
            return WhenModal(
                [&okText, copies, button](QWidget* d) {
                    auto* dialog = qobject_cast<QPrintDialog*>(d);
                    EXPECT_NE(dialog, nullptr);
                    if (dialog == nullptr)
                        d->close();
                    else
                        okText = AnswerSetUp(*dialog, SecondQueue, copies, true, button);
                },
                preview);
        };
        // Chosen, then cancelled: nothing changes.
        auto cancelled = answer(3, QDialogButtonBox::Cancel);
        preview->BtnSettei->click();
        EXPECT_TRUE(*cancelled);
        afterCancel = {qt.printerName(), qt.copyCount(), qt.duplex()};
        // Chosen and confirmed: another queue, two copies, both sides.
        auto confirmed = answer(2, QDialogButtonBox::Ok);
        preview->BtnSettei->click();
        EXPECT_TRUE(*confirmed);
        afterOk = {qt.printerName(), qt.copyCount(), qt.duplex()};
        preview->BtnInsatu->click();
    });
    form.Button1->click();
    ASSERT_TRUE(*seen);
    EXPECT_EQ(okText, "OK");
    EXPECT_EQ(afterCancel.Queue, cups.QueueName());
    EXPECT_EQ(afterCancel.Copies, 1);
    EXPECT_EQ(afterCancel.Duplex, QPrinter::DuplexNone);
    EXPECT_EQ(afterOk.Queue, SecondQueue);
    EXPECT_EQ(afterOk.Copies, 2);
    EXPECT_EQ(afterOk.Duplex, QPrinter::DuplexLongSide);
    // Printing kept the choice; the paper is the sheet's all the same.
    EXPECT_EQ(qt.printerName(), SecondQueue);
    EXPECT_EQ(qt.copyCount(), 2);
    EXPECT_EQ(qt.duplex(), QPrinter::DuplexLongSide);
    EXPECT_EQ(qt.pageLayout().pageSize().id(), QPageSize::A4);
    EXPECT_EQ(qt.pageLayout().orientation(), QPageLayout::Portrait);

    // The scheduler's own record: the one job went to the second queue, as two copies on both
    // sides. (Before the mend, the change of queue reloaded the driver's defaults: one copy,
    // one side.)
    ASSERT_FALSE(cups.WaitForPdf(90000).isEmpty()) << cups.LogTail().toStdString();
    const std::vector<TPageLogLine> log = WaitForPageLog(cups, 30000);
    ASSERT_FALSE(log.empty()) << cups.PageLog().constData();
    for (const TPageLogLine& line : log) {
        EXPECT_EQ(line.Queue, SecondQueue) << cups.PageLog().constData();
        EXPECT_EQ(line.Job, log.front().Job) << cups.PageLog().constData();
        EXPECT_EQ(line.Copies, 2) << cups.PageLog().constData();
        EXPECT_EQ(line.Sides, QStringLiteral("two-sided-long-edge")) << cups.PageLog().constData();
    }
}

} // namespace
