// The sheet on A3 sent to a real CUPS queue (a cups-pdf queue of a private scheduler): the job
// asks the queue for A3, and the page that comes out has A3's size with the sheet enlarged on it.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include "common/sheetpage.h"
#include "export/exportcommand.h"
#include "report/privatecups.h"

using namespace testing_support;

namespace {

TEST(PaperQueue, AnA3SheetAsksTheQueueForA3) {
    report_testing::TPrivateCups cups;
    const QString cannotRun = cups.Start();
    if (!cannotRun.isEmpty())
        GTEST_SKIP() << "no private CUPS scheduler here: " << cannotRun.toStdString();
    qputenv("CUPS_SERVER", cups.Socket().toLocal8Bit());

    QTemporaryDir dir; // the program's folder
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    ASSERT_EQ(
        RunExport({QStringLiteral("--year"), QStringLiteral("2027"), QStringLiteral("--paper"),
                   QStringLiteral("A3"), QStringLiteral("--printer"), cups.QueueName()},
                  outStream, errStream, dir.path()),
        0)
        << err.toStdString();
    const QString printed = cups.WaitForPdf(90000);
    ASSERT_FALSE(printed.isEmpty()) << "the queue wrote no PDF:\n" << cups.LogTail().toStdString();
    const auto info = PdfInfo(printed);
    ASSERT_TRUE(info.has_value());
    EXPECT_NEAR(info->Width, 842, 1.0);
    EXPECT_NEAR(info->Height, 1191, 1.0);
    // The job's paper, as the scheduler logs it once the job is done.
    QDeadlineTimer deadline(30000);
    while (!cups.PageLog().toLower().contains("a3") && !deadline.hasExpired())
        QThread::msleep(100);
    EXPECT_TRUE(cups.PageLog().toLower().contains("a3")) << cups.PageLog().constData();
    // The sheet fills the paper: January's 1st, a red Friday, where √2 puts it at 96 per inch.
    QTemporaryDir work;
    const QImage page = RenderPdf(printed, 96, work.path());
    const double k = 1587.0 / 1123;
    const QRect cell = DayCell(1, 5, 0);
    const QRect scaled(QPoint(int(cell.left() * k) + 2, int(cell.top() * k) + 2),
                       QPoint(int(cell.right() * k) - 2, int(cell.bottom() * k) - 2));
    EXPECT_EQ(MainInk(page, scaled), TInk::Red);
}

} // namespace
