#include "privatecups.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace report_testing {

namespace {

const QString Cupsd = QStringLiteral("/usr/sbin/cupsd");
const QString Lpadmin = QStringLiteral("/usr/sbin/lpadmin");
const QString Backend = QStringLiteral("/usr/lib/cups/backend/cups-pdf");
const QString Ppd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
// cups-pdf reads the configuration of an instance from here and nowhere else.
const QString BackendConfigFolder = QStringLiteral("/etc/cups");

} // namespace

TPrivateCups::TPrivateCups()
    : FInstance(QStringLiteral("tamurika-test-%1").arg(QCoreApplication::applicationPid())),
      FQueue(QStringLiteral("tamurika-pdf")) {}

TPrivateCups::~TPrivateCups() {
    StopDaemon();
    if (!FBackendConfig.isEmpty())
        QFile::remove(FBackendConfig);
}

bool TPrivateCups::WriteFile(const QString& path, const QByteArray& text) const {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size();
}

QString TPrivateCups::Start(bool withQueue) {
    if (geteuid() != 0)
        return QStringLiteral("the cups-pdf backend runs only as root, and this test does not");
    for (const QString& needed : {Cupsd, Lpadmin, Backend, Ppd})
        if (!QFileInfo::exists(needed))
            return needed +
                   QStringLiteral(" is missing (packages cups and printer-driver-cups-pdf)");
    if (!QFileInfo(BackendConfigFolder).isWritable())
        return BackendConfigFolder +
               QStringLiteral(" is not writable, so no cups-pdf queue can be configured");
    if (!FDir.isValid())
        return QStringLiteral("no temporary folder");

    const QString root = FDir.path();
    // The filters run as the unprivileged user lp and must reach the spool inside.
    QFile::setPermissions(root, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                    QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                    QFileDevice::ExeOther);
    for (const char* sub :
         {"conf", "conf/ppd", "spool", "tmp", "cache", "state", "log", "out", "backend-spool"})
        QDir(root).mkpath(QString::fromLatin1(sub));
    // The filters write their temporary files here, as lp: a folder like /tmp.
    ::chmod((root + QStringLiteral("/tmp")).toLocal8Bit().constData(), 01777);

    const QByteArray r = root.toLocal8Bit();
    const bool written =
        WriteFile(
            root + QStringLiteral("/conf/cupsd.conf"),
            "Listen " + r +
                "/cups.sock\n"
                "LogLevel debug\nWebInterface No\nBrowsing Off\nDefaultAuthType None\n"
                "PageLogFormat %p %u %j %T %P %C %{copies} %{sides} %{job-name} %{media}\n"
                "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n") &&
        WriteFile(root + QStringLiteral("/conf/cups-files.conf"),
                  "ServerRoot " + r + "/conf\nRequestRoot " + r + "/spool\nTempDir " + r +
                      "/tmp\n"
                      "CacheDir " +
                      r + "/cache\nStateDir " + r +
                      "/state\n"
                      "ErrorLog " +
                      r + "/log/error_log\nAccessLog " + r +
                      "/log/access_log\n"
                      "PageLog " +
                      r +
                      "/log/page_log\n"
                      "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\nSystemGroup root\n");
    if (!written)
        return QStringLiteral("cannot write the scheduler's configuration");
    FBackendConfig =
        BackendConfigFolder + QStringLiteral("/cups-pdf-") + FInstance + QStringLiteral(".conf");
    if (!WriteFile(FBackendConfig, "Out " + r + "/out\nAnonDirName " + r + "/out\nSpool " + r +
                                       "/backend-spool\nLog " + r + "/log\nLogType 3\n")) {
        FBackendConfig.clear();
        return QStringLiteral("cannot write the cups-pdf configuration");
    }

    FDaemon.setProcessChannelMode(QProcess::MergedChannels);
    FDaemon.setStandardOutputFile(root + QStringLiteral("/log/cupsd.out"));
    FDaemon.start(Cupsd, {QStringLiteral("-f"), QStringLiteral("-c"),
                          root + QStringLiteral("/conf/cupsd.conf"), QStringLiteral("-s"),
                          root + QStringLiteral("/conf/cups-files.conf")});
    if (!FDaemon.waitForStarted(10000))
        return QStringLiteral("cupsd does not start: ") + FDaemon.errorString();
    const QDeadlineTimer deadline(20000);
    while (!QFileInfo::exists(Socket())) {
        if (deadline.hasExpired() || FDaemon.state() == QProcess::NotRunning)
            return QStringLiteral("cupsd does not run here:\n") + LogTail();
        QThread::msleep(50);
    }

    if (withQueue)
        AddQueue(FQueue);
    return QString();
}

void TPrivateCups::AddQueue(const QString& name, bool duplex) {
    QString ppd = Ppd;
    if (duplex) {
        // cups-pdf's own description, with the two-sided printing of an office printer.
        QFile plain(Ppd);
        if (!plain.open(QIODevice::ReadOnly))
            throw std::runtime_error("cannot read " + Ppd.toStdString());
        ppd = FDir.filePath(QStringLiteral("conf/duplex.ppd"));
        if (!WriteFile(
                ppd,
                plain.readAll() +
                    "*OpenUI *Duplex/2-Sided Printing: PickOne\n"
                    "*OrderDependency: 10 AnySetup *Duplex\n"
                    "*DefaultDuplex: None\n"
                    "*Duplex None/Off: \"<</Duplex false>>setpagedevice\"\n"
                    "*Duplex DuplexNoTumble/Long Edge: \"<</Duplex true/Tumble false>>setpagedevice\"\n"
                    "*Duplex DuplexTumble/Short Edge: \"<</Duplex true/Tumble true>>setpagedevice\"\n"
                    "*CloseUI: *Duplex\n"))
            throw std::runtime_error("cannot write " + ppd.toStdString());
    }
    QProcess lpadmin;
    lpadmin.setProcessChannelMode(QProcess::MergedChannels);
    lpadmin.start(Lpadmin,
                  {QStringLiteral("-h"), Socket(), QStringLiteral("-p"), name, QStringLiteral("-E"),
                   QStringLiteral("-v"), QStringLiteral("cups-pdf:/") + FInstance,
                   QStringLiteral("-P"), ppd, QStringLiteral("-o"),
                   QStringLiteral("pdftops-renderer-default=pdftops")});
    if (!lpadmin.waitForFinished(30000) || lpadmin.exitCode() != 0) {
        lpadmin.kill();
        // The scheduler runs, so a queue that cannot be added is a failure, not a skip.
        throw std::runtime_error(
            ("lpadmin failed: " + lpadmin.readAll() + "\n" + LogTail().toUtf8()).toStdString());
    }
}

bool TPrivateCups::Admin(const QString& tool, const QStringList& args) const {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("/usr/sbin/") + tool,
                  QStringList{QStringLiteral("-h"), Socket()} + args);
    const bool ok = process.waitForFinished(30000) &&
                    process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!ok)
        process.kill();
    return ok;
}

void TPrivateCups::StopDaemon() {
    if (FDaemon.state() == QProcess::NotRunning)
        return;
    FDaemon.terminate();
    if (!FDaemon.waitForFinished(10000)) {
        FDaemon.kill();
        FDaemon.waitForFinished(5000);
    }
}

QString TPrivateCups::WaitForPdf(int timeoutMs) const {
    const QDeadlineTimer deadline(timeoutMs);
    do {
        const QStringList pdfs =
            QDir(OutputFolder()).entryList({QStringLiteral("*.pdf")}, QDir::Files);
        for (const QString& name : pdfs) {
            // cups-pdf writes the file through Ghostscript and sets its mode when done: wait
            // for the end of the PDF.
            QFile f(QDir(OutputFolder()).filePath(name));
            if (f.open(QIODevice::ReadOnly) && f.size() > 0) {
                f.seek(std::max<qint64>(0, f.size() - 64));
                if (f.readAll().contains("%%EOF"))
                    return f.fileName();
            }
        }
        QThread::msleep(100);
    } while (!deadline.hasExpired());
    return QString();
}

QString TPrivateCups::LogTail() const {
    QString tail;
    for (const QString& log : QDir(FDir.filePath(QStringLiteral("log"))).entryList(QDir::Files)) {
        QFile f(FDir.filePath(QStringLiteral("log/") + log));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray all = f.readAll();
        tail += QStringLiteral("== ") + log + u'\n' + QString::fromUtf8(all.right(3000)) + u'\n';
    }
    return tail;
}

QByteArray TPrivateCups::PageLog() const {
    QFile f(FDir.filePath(QStringLiteral("log/page_log")));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace report_testing
