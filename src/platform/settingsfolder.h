// Where the program finds its own files and keeps the user's settings.
#pragma once

#include <QString>

/// The folder of the program file, with a trailing "/".
QString ProgramFolder();

/// The folder that holds the settings and print-position files, with a trailing "/": the
/// program's folder `appPath` when the program may write there (a copy unpacked into the
/// user's own folder), otherwise the user's configuration folder "~/.config/tamurika/" (the
/// program installed for the whole system). The latter need not exist yet; the first write
/// creates it.
QString SettingsFolder(const QString& appPath);
