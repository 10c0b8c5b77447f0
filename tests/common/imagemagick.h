// Pictures made by ImageMagick for the tests, so that the files our readers see are written by
// a program no one here wrote.
#pragma once

#include <QColor>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace testing_support {

/// Runs ImageMagick's `convert` with `args`; false (with its output in `log`) on failure.
inline bool Convert(const QStringList& args, QString* log = nullptr) {
    QProcess process;
    process.start(QStringLiteral("convert"), args);
    const bool ok = process.waitForFinished(60000) &&
                    process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (log != nullptr)
        *log = QString::fromLocal8Bit(process.readAllStandardError());
    return ok;
}

/// Writes a `w` × `h` picture, red with a blue top-left quarter and a green bottom-right
/// quarter, to `path` (format from the extension), with extra arguments before the output.
inline bool MakeQuarters(const QString& path, int w, int h, const QStringList& extra = {}) {
    QStringList args{
        QStringLiteral("-size"),
        QStringLiteral("%1x%2").arg(w).arg(h),
        QStringLiteral("xc:red"),
        QStringLiteral("-fill"),
        QStringLiteral("blue"),
        QStringLiteral("-draw"),
        QStringLiteral("rectangle 0,0 %1,%2").arg(w / 2 - 1).arg(h / 2 - 1),
        QStringLiteral("-fill"),
        QStringLiteral("lime"),
        QStringLiteral("-draw"),
        QStringLiteral("rectangle %1,%2 %3,%4").arg(w / 2).arg(h / 2).arg(w - 1).arg(h - 1)};
    args << extra << path;
    return Convert(args);
}

/// True when two colours differ by at most `tolerance` in each channel (JPEG is lossy).
inline bool Near(QRgb a, QRgb b, int tolerance = 40) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace testing_support
