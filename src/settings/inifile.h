// INI profile files as the settings and print-position files use them: "[section]" lines and
// "key=value" lines, names compared without regard to case. Writing changes one line in place
// (or adds one) and leaves every other byte of the file as it was.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "platform/exception.h"

/// Message of a write the system refused; %s is the file's full name.
inline const QString SIniFileWriteError = QStringLiteral("%s に書き込めません");

/// A settings file could not be written. The file on disk is unchanged.
class EIniFileException : public Exception {
  public:
    using Exception::Exception;
};

/// Text encoding of an INI file on disk.
enum class TIniEncoding : std::uint8_t {
    /// Shift-JIS as Windows writes it (code page 932): every file without a UTF-8 byte-order
    /// mark, unless its bytes cannot be Shift-JIS and are valid UTF-8.
    ShiftJis,
    /// UTF-8: a file that begins with a byte-order mark (this program writes one whenever it
    /// leaves Shift-JIS), or one that cannot be Shift-JIS but is valid UTF-8.
    Utf8,
};

/// The contents of one INI file, parsed from its bytes and turned back into them. Lines that
/// are not changed keep their exact bytes, line ends included. A pure value: no file access.
class TIniDocument {
  public:
    TIniDocument() = default;

    /// Reads any bytes whatsoever; nothing is rejected. Lines are split at CR LF, LF or CR.
    static TIniDocument Parse(const QByteArray& bytes);
    /// An empty document in `encoding`; a UTF-8 one writes a byte-order mark first.
    static TIniDocument Empty(TIniEncoding encoding);

    /// The file's bytes: what Parse read, with the changes made since.
    QByteArray Bytes() const;

    TIniEncoding Encoding() const { return FEncoding; }

    /// The value of the first `key` in the first section named `section` (names compared
    /// without regard to case), with the blanks around it removed; nothing when there is no
    /// such key.
    std::optional<QString> Value(const QString& section, const QString& key) const;

    /// Section names in file order (each as written in its first header).
    QStringList Sections() const;
    /// Key names of the first section named `section`, in file order.
    QStringList Keys(const QString& section) const;

    /// Sets `key` of `section` to `value`: replaces the value in place when the key exists,
    /// otherwise adds the line after the section's last line, or a new section at the end.
    /// Line breaks in `value` become blanks, so one value always stays on its one line. A
    /// value that Shift-JIS cannot hold turns the file into UTF-8 with a byte-order mark, so
    /// nothing typed is lost. Whatever the file held before, Parse(Bytes()) afterwards reads
    /// every value as this document does, in the same encoding.
    void SetValue(const QString& section, const QString& key, const QString& value);

  private:
    enum class TLineKind : std::uint8_t { Other, Section, Key };
    struct TLine {
        QByteArray Text;   // the line's bytes without its line end
        QByteArray Ending; // "\r\n", "\n", "\r", or empty for a last line without one
        TLineKind Kind = TLineKind::Other;
        QString Name;         // section name or key name, blanks removed
        qsizetype Equals = 0; // byte position of the '=' of a key line
    };

    static TLine MakeLine(QByteArray text, QByteArray ending, TIniEncoding encoding);
    QString Decode(const QByteArray& bytes) const;
    QByteArray Encode(const QString& text) const;
    /// True when Shift-JIS holds `text` and gives it back unchanged.
    bool CanEncode(const QString& text) const;
    /// Re-encodes every line as UTF-8 and adds the byte-order mark.
    void ConvertToUtf8();
    /// Line `key` of `section` := `clean`, in place or added (see SetValue).
    void ReplaceOrAdd(const QString& section, const QString& key, const QString& clean);
    /// After a change: makes sure that the bytes read back in the document's encoding.
    void KeepEncodingOnReading();
    QByteArray LineEnding() const;
    /// Index of the first header of `section`, or -1.
    qsizetype FindSection(const QString& section) const;
    /// Index of the first line of `key` below the header at `header`, or -1.
    qsizetype FindKey(qsizetype header, const QString& key) const;

    std::vector<TLine> FLines;
    QByteArray FBom; // a UTF-8 byte-order mark the file began with
    TIniEncoding FEncoding = TIniEncoding::ShiftJis;
};

/// An INI file on disk. Every read opens the file and reads it whole; every write reads it,
/// changes one line and replaces the file atomically (a new file beside it, flushed to disk,
/// then renamed over it), so the file is never left half written. The file and its folder are
/// created by the first write. A missing or unreadable file reads as empty.
///
/// Writers lock the file against each other (a lock file "<name>.lock" beside it, held only
/// while the file is read, changed and replaced), so two running copies of the program never
/// lose each other's changes. Several writes can be grouped with TIniFileUpdate: they then
/// reach the disk together or not at all.
class TIniFile {
  public:
    /// `newFileEncoding` is the encoding of a file that the first write creates; a UTF-8 one
    /// begins with a byte-order mark. An existing file keeps its own.
    explicit TIniFile(QString fileName, TIniEncoding newFileEncoding = TIniEncoding::ShiftJis);
    ~TIniFile();
    TIniFile(const TIniFile&) = delete;
    TIniFile& operator=(const TIniFile&) = delete;

    const QString& FileName() const { return FFileName; }

    QString ReadString(const QString& section, const QString& key, const QString& fallback) const;
    /// The value as a decimal integer; `fallback` when it is missing or not an integer.
    std::int32_t ReadInteger(const QString& section, const QString& key,
                             std::int32_t fallback) const;
    /// True when the value is an integer other than 0; `fallback` when it is not an integer.
    bool ReadBool(const QString& section, const QString& key, bool fallback) const;
    /// Whether the file has the section (its name without regard to case).
    bool SectionExists(const QString& section) const;

    /// Raise EIniFileException ("%s に書き込めません") when the file cannot be written; the
    /// file then keeps its old contents.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, std::int32_t value);
    void WriteBool(const QString& section, const QString& key, bool value);

    /// Files larger than this are not settings files; they read as empty and are never
    /// rewritten.
    static constexpr qint64 MaxFileSize = 4 * 1024 * 1024;

    /// How long a writer waits for another program's write to end before it gives up with
    /// "%s に書き込めません". A lock whose program has ended is taken over at once.
    static constexpr int LockTimeoutMs = 10000;

    /// Starts a group of writes: locks the file and reads it once. Until EndUpdate, writes
    /// change it in memory only and reads see those changes. Raises "%s に書き込めません" when
    /// the file cannot be locked or is not a file that may be replaced.
    void BeginUpdate();
    /// Writes the group's changes at once, atomically, and unlocks. On failure raises
    /// "%s に書き込めません", the file keeps its old contents, and the group has ended.
    void EndUpdate();
    /// Drops the group's changes and unlocks.
    void CancelUpdate();
    bool Updating() const { return FUpdate != nullptr; }

  private:
    struct TUpdate;

    TIniDocument Load() const;
    /// The document to read from: the group's while one runs, else the file's.
    TIniDocument Current() const;
    /// The locked file's contents for a change; raises when it may not be replaced.
    TIniDocument LoadForWrite() const;
    void Store(const TIniDocument& doc) const;
    [[noreturn]] void WriteFailed() const;

    QString FFileName;
    TIniEncoding FNewFileEncoding;
    std::unique_ptr<TUpdate> FUpdate;
};

/// A group of writes to one INI file that reach the disk together (see TIniFile::BeginUpdate):
/// Commit writes them, and a group left without Commit (an error on the way) writes nothing.
class TIniFileUpdate {
  public:
    explicit TIniFileUpdate(TIniFile& ini) : FIni(ini) { FIni.BeginUpdate(); }
    ~TIniFileUpdate() {
        if (FIni.Updating())
            FIni.CancelUpdate();
    }
    TIniFileUpdate(const TIniFileUpdate&) = delete;
    TIniFileUpdate& operator=(const TIniFileUpdate&) = delete;

    void Commit() { FIni.EndUpdate(); }

  private:
    TIniFile& FIni;
};
