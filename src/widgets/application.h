// The application object: Japanese font substitutes registered, Qt's own texts in Japanese, and
// the default handler that shows any error that reaches the event loop in a message box, after
// which the program goes on.
#pragma once

#include <exception>
#include <functional>

#include <QApplication>
#include <QStringList>

#include "platform/font.h"

class QDialog;
class QDialogButtonBox;
class QPushButton;
class QMessageBox;

class TApplication : public QApplication {
  public:
    /// Registers the font substitutes and makes Qt's texts Japanese (UseJapanese).
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    /// Shows the message of an error in a message box titled with the application's title.
    static void ShowException(const std::exception& error);
};

/// Runs a command of a window: an error it raises is shown in a message box
/// (TApplication::ShowException) and the window stays open, the program goes on.
void RunGuarded(const std::function<void()>& command);

/// The folders searched for Qt's Japanese catalogue "qtbase_ja.qm", in order: Qt's own
/// translations folder, the program's folder, and "share/tamurika" (or its "translations")
/// beside the program's "bin" folder, where a package may ship a copy of its own.
QStringList TranslationFolders();

/// Keeps the libraries' notes off the user's terminal: Qt's notes about the session (no runtime
/// folder for root) and the image readers' (libpng's, libtiff's English lines), which go to the
/// decoding that collects them (decodernotes.h) or nowhere; a photo that cannot be read, or
/// reads with damage, gets the program's own Japanese words. Whatever else Qt has to say still
/// reaches standard error. Call first in main.
void QuietenLibraryMessages();

/// Makes the program's character type UTF-8 where the environment's is not (LANG=C, or a
/// locale this machine lacks), the other categories left as they are. Qt draws its own text in
/// UTF-8 whatever the locale, but the window title X clients read (WM_NAME) is converted
/// through the locale's character type: under LANG=C window lists showed "たむりか" as raw
/// bytes. Call first in main, before the application object exists.
void UseUtf8CharacterType();

/// Makes Qt's own texts Japanese whatever the user's locale: installs Qt's catalogue (owned by
/// the application object) and makes Japanese the default locale, so that the file, colour and
/// print dialogs and the message boxes speak Japanese also under LANG=C. Returns false when no
/// catalogue was found; the program's own questions are labelled in Japanese all the same.
/// Call once, after the application object exists.
bool UseJapanese();

/// A dialog's "OK" and "キャンセル" buttons, accepting and rejecting it, owned by the dialog; the
/// two buttons go to `ok` and `cancel` where given.
QDialogButtonBox* OkCancelButtons(QDialog& dialog, QPushButton** ok = nullptr,
                                  QPushButton** cancel = nullptr);

/// Labels the Yes, No and Cancel buttons of a box "はい", "いいえ" and "キャンセル", so that
/// they read Japanese also where Qt's catalogue is missing.
void LabelButtonsInJapanese(QDialogButtonBox& buttons);
void LabelButtonsInJapanese(QMessageBox& box);
