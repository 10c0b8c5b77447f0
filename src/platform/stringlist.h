// A list of text lines that reports every change, like the class library's string list: the
// calendar controls re-parse their holiday rules whenever their line lists change.
#pragma once

#include <functional>

#include <QString>
#include <QStringList>

class TStringList {
  public:
    TStringList() = default;
    explicit TStringList(QStringList lines) : FLines(std::move(lines)) {}
    // Copying copies the lines, not the owner's change handler.
    TStringList(const TStringList& other) : FLines(other.FLines) {}
    TStringList& operator=(const TStringList& other) {
        Assign(other);
        return *this;
    }

    /// Raised after each change (after the outermost EndUpdate when updates are grouped). An
    /// exception thrown by the handler reaches whoever made the change; the change stays made.
    std::function<void()> OnChange;

    int Count() const { return static_cast<int>(FLines.size()); }
    const QString& operator[](int index) const { return FLines.at(index); }
    const QStringList& Lines() const { return FLines; }

    void Put(int index, const QString& line);
    int Add(const QString& line);
    void Insert(int index, const QString& line);
    void Delete(int index);
    void Clear();
    /// Replaces all lines with a copy of the other list's (one change notification).
    void Assign(const TStringList& other);
    void Assign(const QStringList& lines);

    /// All lines, each followed by a line feed.
    QString Text() const;
    /// Replaces the lines by those of a text split at CR LF, LF or CR; a final line end adds no
    /// empty line.
    void SetText(const QString& text);

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();

    bool operator==(const TStringList& other) const { return FLines == other.FLines; }

  private:
    void Changed();

    QStringList FLines;
    int FUpdateCount = 0;
    bool FPendingChange = false;
};
