// Starts a tamurika-export executable as a user would start it on a machine without a display
// (or with a DISPLAY left over from another session), and collects what it said.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace testing_support {

struct ExportResult {
    int code = -1;
    QString out, err;
};

/// Runs `program` with `arguments` in `folder` (the current one when empty) with neither a
/// display nor a chosen Qt platform (unless `display` names one), and the time zone `tz` when
/// one is given. A program that does not finish within `timeoutMs` fails the test and gives
/// code −1.
inline ExportResult RunExport(const QString& program, const QStringList& arguments,
                              const QString& folder = {}, const QString& tz = {},
                              int timeoutMs = 60000, const QString& display = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // As on a machine without a display: the program must choose the offscreen platform.
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (!display.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), display);
    if (!tz.isEmpty())
        env.insert(QStringLiteral("TZ"), tz);
    process.setProcessEnvironment(env);
    if (!folder.isEmpty())
        process.setWorkingDirectory(folder);
    process.start(program, arguments);
    ExportResult result;
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << "tamurika-export did not finish: " << process.errorString().toStdString();
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.code = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

} // namespace testing_support
