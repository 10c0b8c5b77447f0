// The program's own state that the settings files of old have no place for: the folder of the
// last photo, how the photo is framed, the paper. It lives in "tamurika-state.ini" beside
// "tamurika.ini", always UTF-8 (with a byte-order mark, so that it is never taken for
// Shift-JIS), so that tamurika.ini and senoruta.ini stay exactly as older copies of the program
// read them. Each feature keeps its keys in a section of its own.
#pragma once

#include <optional>

#include <QString>

#include "inifile.h"

inline const QString StateIniName = QStringLiteral("tamurika-state.ini");

/// The state file of the program whose folder is `appPath`, in its settings folder.
QString StateFileName(const QString& appPath);

/// An on/off value of the state file: "1" or "0" as the program writes them, also "true" or
/// "false" as a person editing the file might write; nothing for anything else.
std::optional<bool> StateSwitch(const QString& value);

/// The state file as an INI file that is created as UTF-8.
class TStateFile : public TIniFile {
  public:
    explicit TStateFile(const QString& appPath)
        : TIniFile(StateFileName(appPath), TIniEncoding::Utf8) {}
};
