// The private CUPS scheduler's page log read back: which queue printed which job, with how many
// copies and on which sides.
#pragma once

#include <vector>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QString>
#include <QThread>

#include "report/privatecups.h"

namespace testing_support {

// One line of the scheduler's page log (its format is set by TPrivateCups): "queue user job
// [time] page count copies sides job-name paper".
struct TPageLogLine {
    QString Queue;
    int Job = 0;
    int Copies = 0;
    QString Sides; // "one-sided", "two-sided-long-edge", ...
};

inline std::vector<TPageLogLine> ReadPageLog(const QByteArray& log) {
    std::vector<TPageLogLine> lines;
    for (const QByteArray& raw : log.split('\n')) {
        // The time is bracketed and holds a space: "[05/Mar/2026:10:00:00 +0900]".
        const int close = raw.indexOf(']');
        if (close < 0)
            continue;
        const QList<QByteArray> head = raw.left(raw.indexOf('[')).simplified().split(' ');
        const QList<QByteArray> tail = raw.mid(close + 1).simplified().split(' ');
        if (head.size() < 3 || tail.size() < 4)
            continue;
        lines.push_back({QString::fromUtf8(head[0]), head[2].toInt(), tail[2].toInt(),
                         QString::fromUtf8(tail[3])});
    }
    return lines;
}

/// The page log's lines once the scheduler wrote any, waiting up to `timeoutMs`.
inline std::vector<TPageLogLine> WaitForPageLog(const report_testing::TPrivateCups& cups,
                                                int timeoutMs) {
    std::vector<TPageLogLine> log;
    const QDeadlineTimer deadline(timeoutMs);
    do {
        log = ReadPageLog(cups.PageLog());
        if (!log.empty())
            break;
        QThread::msleep(100);
    } while (!deadline.hasExpired());
    return log;
}

} // namespace testing_support
