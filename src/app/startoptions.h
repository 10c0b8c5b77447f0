// The command line of the window program: "tamurika [PHOTO]" starts with the photo loaded (a
// file manager's "open with" and the desktop entry's "Exec=tamurika %f"); "--help" and
// "--version" answer on standard output without opening a window or needing a display.
#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "platform/exception.h"

class TmainForm;

/// Arguments the window program does not take; the message says which, in the user's words.
class EStartUsage : public Exception {
  public:
    using Exception::Exception;
};

struct TStartOptions {
    enum class TMode { Window, Help, Version };
    TMode Mode = TMode::Window;
    QString PictureFile; // the photo to load at start, as an absolute path; empty for none
};

/// Reads the arguments after the program name, Qt's own (-platform, -display...) taken out:
/// none, one photo file ("--" before it allows a name that starts with "-"), "--help" or
/// "--version". Raises EStartUsage for anything else.
TStartOptions ParseStartArguments(const QStringList& arguments);

/// The usage text, several lines, each ended by a line feed.
QString StartUsage();

/// Answers "--help" and "--version" from the raw command line, before the application object
/// exists and so without a display: the exit code, or nothing when the window is to open or
/// the arguments hold what only Qt knows.
std::optional<int> AnswerWithoutWindow(int argc, char** argv);

/// Reads the arguments left after Qt took its own. Returns the exit code when the program is
/// to end: 0 after the usage or the version on standard output, 2 after a message and the usage
/// on standard error. Otherwise nothing, and `pictureFile` is the photo to load, if any.
std::optional<int> AnswerStartArguments(const QStringList& arguments, QString& pictureFile);

/// Loads `fileName` into the shown window once the event loop runs, as "画像の読み込み" would;
/// a file that cannot be read shows its message in a message box and the window stays open
/// with the sample as it was. Nothing happens for an empty name.
void LoadPictureAtStart(TmainForm& form, const QString& fileName);
