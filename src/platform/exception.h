// The program's error model: every failure is an exception that carries the message the user
// sees. The application's default handler shows it in a message box and the program goes on.
#pragma once

#include <exception>
#include <string>

#include <QString>

/// Base of every error the program raises on purpose; the message is shown as it stands.
class Exception : public std::exception {
  public:
    explicit Exception(QString message);

    const QString& Message() const noexcept { return FMessage; }
    /// The message in UTF-8, for logs and for handlers that only know std::exception.
    const char* what() const noexcept override { return FUtf8.c_str(); }

  private:
    QString FMessage;
    std::string FUtf8;
};

/// A text that should have been a number (or another convertible value) was not.
class EConvertError : public Exception {
  public:
    using Exception::Exception;
};

/// Replaces each "%s" of a message pattern, in order, with the given texts.
QString FormatMessage(const QString& pattern, std::initializer_list<QString> args);
