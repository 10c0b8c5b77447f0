// Where the program finds its own files and keeps the user's settings.
#pragma once

#include <QString>

/// The folder of the program file, with a trailing "/".
QString ProgramFolder();

/// The data folder of an installed copy relative to its program folder, as CMake's install
/// rules place them ("../share/tamurika" for "<prefix>/bin" and "<prefix>/share/tamurika").
QString InstalledDataPath();

/// True when the program in `appPath` is an installed copy: its data folder
/// (InstalledDataPath()) exists beside it, as after "cmake --install" or the Debian package.
/// The build folder and a copy unpacked by hand keep their files beside the program instead.
bool IsInstalledCopy(const QString& appPath);

/// The folder of the files the program reads (the help page), with a trailing "/": the data
/// folder of an installed copy ("/usr/share/tamurika/" for "/usr/bin/"), otherwise the
/// program's folder `appPath` itself.
QString DataFolder(const QString& appPath);

/// The folder that holds the settings and print-position files, with a trailing "/": the
/// program's folder `appPath` when the program may write there and is not an installed copy
/// (the build folder, a copy unpacked into the user's own folder), otherwise the user's
/// configuration folder "~/.config/tamurika/" (the program installed for the whole system,
/// even when the superuser runs it and could write into "/usr/bin"). The latter need not
/// exist yet; the first write creates it.
QString SettingsFolder(const QString& appPath);
