#include "version.h"

// The version number lives in one place: project(tamurika VERSION ...) in CMakeLists.txt.
#ifndef TAMURIKA_VERSION
#error                                                                                             \
    "TAMURIKA_VERSION comes from project(tamurika VERSION ...) through src/platform/CMakeLists.txt"
#endif

QString ProgramVersion() {
    return QStringLiteral(TAMURIKA_VERSION);
}

QString VersionText(const QString& program) {
    return QStringLiteral("%1 (たむりか) %2\n").arg(program, ProgramVersion());
}
