// What the print system (CUPS) says about a print queue, asked directly: whether the queue
// exists, is stopped or refuses jobs, and whether the job last handed to it was taken. Qt's
// print support hands a finished job to CUPS without looking at the answer; the printer asks
// here so that a job the queue refused is reported instead of vanishing.
#pragma once

#include <optional>

#include <QString>

/// The state of one queue.
struct TPrintQueueState {
    bool Exists = false;
    /// The queue is stopped (paused by its owner, or halted by a printer error): jobs wait.
    bool Stopped = false;
    /// The queue takes new jobs.
    bool Accepting = false;
    /// The queue's own explanation of its state, as the print system words it; may be empty.
    QString Message;
};

/// The state of queue `name` ("queue" or "queue/instance"); nullopt when the print system
/// cannot be reached at all.
std::optional<TPrintQueueState> QueryPrintQueue(const QString& name);

/// After a job was handed to the print system on this thread: why it was refused, in Japanese
/// for the user, or an empty string when it was taken.
QString LastPrintJobRefusal();
