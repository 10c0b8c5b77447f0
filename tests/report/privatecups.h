// A private CUPS scheduler for the print test: its own configuration, spool and log folders in
// a temporary folder, listening only on a local socket there, with a cups-pdf queue (or more)
// that writes its PDF files into that folder. The daemon is stopped and every trace removed when
// the object goes, whatever happened.
#pragma once

#include <optional>

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace report_testing {

class TPrivateCups {
  public:
    TPrivateCups();
    ~TPrivateCups();
    TPrivateCups(const TPrivateCups&) = delete;
    TPrivateCups& operator=(const TPrivateCups&) = delete;

    /// Starts the scheduler and adds the queue (unless `withQueue` is false). Returns why a
    /// print queue cannot run here (the test is then skipped), or an empty string when it runs.
    QString Start(bool withQueue = true);
    /// Adds one more cups-pdf queue, writing into the same folder (the page log tells which
    /// queue printed), with two-sided printing when `duplex`. Throws when the running
    /// scheduler does not take it.
    void AddQueue(const QString& name, bool duplex = false);

    /// Runs one of the scheduler's administration tools (cupsdisable, cupsenable, cupsreject,
    /// lpadmin, ...) on this scheduler, as its owner would; true when it succeeded.
    bool Admin(const QString& tool, const QStringList& args) const;
    /// Stops the scheduler, as when the print system goes away.
    void StopDaemon();

    /// The scheduler's socket, for CUPS_SERVER.
    QString Socket() const { return FDir.filePath(QStringLiteral("cups.sock")); }
    QString QueueName() const { return FQueue; }
    /// Where the queue writes its PDF files.
    QString OutputFolder() const { return FDir.filePath(QStringLiteral("out")); }
    /// Waits for the queue's first PDF file; its path, or empty after `timeoutMs`.
    QString WaitForPdf(int timeoutMs) const;
    /// The end of the scheduler's and the backend's logs, for a failure message.
    QString LogTail() const;
    /// The scheduler's page log: one line per job (or per page, where a filter counts them)
    /// with the queue, user, job number, time in brackets, "total" (or the page), the sides
    /// printed (or the page's copies), the job's copies ("-" when not given) and sides, its
    /// name and its paper.
    QByteArray PageLog() const;

  private:
    bool WriteFile(const QString& path, const QByteArray& text) const;

    QTemporaryDir FDir;
    QString FInstance; // the cups-pdf instance, named after this process
    QString FQueue;
    QString FBackendConfig; // /etc/cups/cups-pdf-<instance>.conf, ours to remove
    QProcess FDaemon;
};

} // namespace report_testing
