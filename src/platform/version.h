// The program's version, as project() in CMakeLists.txt sets it: the about box, both programs'
// "--version" and the documents the program writes name it.
#pragma once

#include <QString>

/// The version number ("1.0").
QString ProgramVersion();

/// "PROGRAM (たむりか) VERSION" and a line feed, for "--version" of both programs.
QString VersionText(const QString& program);
