// The application object: Japanese font substitutes registered, and the default handler that
// shows any error that reaches the event loop in a message box, after which the program goes on.
#pragma once

#include <exception>

#include <QApplication>

class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    /// Shows the message of an error in a message box titled with the application's title.
    static void ShowException(const std::exception& error);
};

/// Registers the IPA fonts as substitutes for the "ＭＳ" faces that settings and layouts name,
/// so that drawn text keeps the metrics the layouts were made for. Safe to call repeatedly.
void RegisterFontSubstitutes();
