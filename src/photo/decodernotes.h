// What the image readers say while a photo decodes. Qt's readers pass the libraries' notes
// (libpng's, libtiff's) to Qt's message log in English ("foo: Using code not yet in table.");
// while a photo decodes on a thread they are collected here instead, so that a picture that
// decodes with damage is told to the user in Japanese and no English line reaches standard
// error.
#pragma once

#include <QString>
#include <QStringList>

class QMessageLogContext;

/// Collects the image readers' messages on the thread that makes it, while it lives.
class TDecoderNotes {
  public:
    TDecoderNotes();
    ~TDecoderNotes();
    TDecoderNotes(const TDecoderNotes&) = delete;
    TDecoderNotes& operator=(const TDecoderNotes&) = delete;

    /// The messages taken, in order.
    const QStringList& Notes() const { return FNotes; }
    /// Whether any of them speaks of damaged data rather than of something the reader merely
    /// skipped (a colour profile libpng finds odd, a TIFF tag it does not know).
    bool SpeakOfDamage() const;

    /// For the programs' message handler: takes `message` when a collector lives on this thread
    /// and the message is an image reader's. Whether it was taken.
    static bool Take(const QMessageLogContext& context, const QString& message);
    /// Takes a library's note that comes by no log: whether a collector lives on this thread.
    static bool Take(const QString& note);

  private:
    QStringList FNotes;
    TDecoderNotes* FOuter;
};

/// Sends libtiff's warnings and errors, which it prints to standard error itself, to the
/// TDecoderNotes of their thread (or nowhere), once Qt's TIFF reader has loaded it; nothing
/// before.
void RouteTiffMessages();

/// Whether a message of Qt's log comes from an image reader: by its category, or by the
/// libraries' own words. Such messages are the program's to word, never the user's terminal's.
bool IsImageReaderMessage(const QMessageLogContext& context, const QString& message);
