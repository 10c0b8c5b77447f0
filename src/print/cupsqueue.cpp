#include "cupsqueue.h"

#include <cstring>

#include <cups/cups.h>

namespace {

QString Option(const cups_dest_t& dest, const char* name) {
    const char* value = cupsGetOption(name, dest.num_options, dest.options);
    return value != nullptr ? QString::fromUtf8(value) : QString();
}

bool Unreachable(ipp_status_t status) {
    return status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE || status == IPP_STATUS_ERROR_INTERNAL;
}

bool SchedulerAnswers() {
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                5000, nullptr);
    if (http == nullptr)
        return false;
    httpClose(http);
    return true;
}

} // namespace

std::optional<TPrintQueueState> QueryPrintQueue(const QString& name) {
    // Qt names an instance of a queue "queue/instance"; CUPS takes the two apart.
    const qsizetype slash = name.indexOf(u'/');
    const QByteArray queue = name.left(slash < 0 ? name.size() : slash).toUtf8();
    const QByteArray instance = slash < 0 ? QByteArray() : name.mid(slash + 1).toUtf8();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(),
                                         instance.isEmpty() ? nullptr : instance.constData());
    TPrintQueueState state;
    if (dest == nullptr) {
        // No such queue, or no print system to ask: CUPS answers both alike, so the scheduler
        // is called once more (for a few seconds at most) to tell them apart.
        if (Unreachable(cupsLastError()) || !SchedulerAnswers())
            return std::nullopt;
        return state;
    }
    state.Exists = true;
    // printer-state: 3 idle, 4 processing, 5 stopped.
    state.Stopped = Option(*dest, "printer-state") == u"5";
    state.Accepting = Option(*dest, "printer-is-accepting-jobs") != u"false";
    state.Message = Option(*dest, "printer-state-message");
    cupsFreeDests(1, dest);
    return state;
}

QString LastPrintJobRefusal() {
    // The print system keeps the answer to the last request of each thread; Qt hands the job
    // over on the thread that ends the painting, right before that returns.
    const ipp_status_t status = cupsLastError();
    if (status <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return {};
    switch (status) {
    case IPP_STATUS_ERROR_NOT_FOUND:
        return QStringLiteral("プリンタが見つかりません。");
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
        return QStringLiteral("プリンタが印刷を受け付けていません。");
    case IPP_STATUS_ERROR_NOT_AUTHORIZED:
    case IPP_STATUS_ERROR_FORBIDDEN:
        return QStringLiteral("このプリンタで印刷する権限がありません。");
    default:
        if (Unreachable(status))
            return QStringLiteral("印刷システム（CUPS）に接続できません。");
        return QStringLiteral("（") + QString::fromUtf8(cupsLastErrorString()) +
               QStringLiteral("）");
    }
}
