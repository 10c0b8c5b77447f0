#include "inifile.h"

#include <utility>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include "platform/atomicfile.h"
#include "platform/sysutils.h"

namespace {

// Windows' code page 932: Shift-JIS with the NEC and IBM extensions ("①", "～" as FF5E).
constexpr const char* ShiftJisCodec = "windows-31j";

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// The profile functions strip spaces and tabs only; an ideographic space belongs to the text.
QString TrimBlanks(const QString& s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && IsBlank(s[begin]))
        ++begin;
    while (end > begin && IsBlank(s[end - 1]))
        --end;
    return s.mid(begin, end - begin);
}

const QByteArray Utf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

bool IsValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString decoded = decoder.decode(bytes); // decode() is lazy until converted
    return !decoder.hasError();
}

// Every byte a character of code page 932: no stray trail byte, no lead byte without its trail,
// no code the code page leaves unassigned. CR and LF are never trail bytes, so the whole file
// is valid exactly when each of its lines is.
bool IsValidShiftJis(const QByteArray& bytes) {
    QStringDecoder decoder(ShiftJisCodec, QStringConverter::Flag::Stateless);
    const QString decoded = decoder.decode(bytes); // decode() is lazy until converted
    return !decoder.hasError();
}

// A file without a byte-order mark is Shift-JIS, as the profile functions of Windows write it
// and as this program writes it while every text fits. Plenty of short UTF-8 texts are valid
// Shift-JIS too (the UTF-8 bytes of "喪中" read as "蝟ｪ荳ｭ"), and plenty of Shift-JIS texts
// are valid UTF-8 (the bytes C3 BD of "ﾃｽ" read as "ý"), so the bytes cannot tell; only a
// file that cannot be Shift-JIS at all but is valid UTF-8 (written in a UTF-8 editor, or by an
// earlier build of this program, which wrote UTF-8 without the mark) is read as UTF-8.
TIniEncoding EncodingOf(const QByteArray& body) {
    return !IsValidShiftJis(body) && IsValidUtf8(body) ? TIniEncoding::Utf8
                                                       : TIniEncoding::ShiftJis;
}

QString DecodeAs(const QByteArray& bytes, TIniEncoding encoding) {
    if (encoding == TIniEncoding::Utf8)
        return QString::fromUtf8(bytes);
    QStringDecoder decoder(ShiftJisCodec, QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TIniDocument

TIniDocument TIniDocument::Parse(const QByteArray& bytes) {
    TIniDocument doc;
    QByteArray body = bytes;
    if (body.startsWith(Utf8Bom)) {
        doc.FBom = Utf8Bom;
        body.remove(0, Utf8Bom.size());
        doc.FEncoding = TIniEncoding::Utf8;
    } else {
        doc.FEncoding = EncodingOf(body);
    }

    qsizetype start = 0;
    const qsizetype n = body.size();
    while (start < n) {
        qsizetype i = start;
        while (i < n && body[i] != '\r' && body[i] != '\n')
            ++i;
        QByteArray text = body.mid(start, i - start);
        QByteArray ending;
        if (i < n) {
            const bool crlf = body[i] == '\r' && i + 1 < n && body[i + 1] == '\n';
            ending = body.mid(i, crlf ? 2 : 1);
        }
        doc.FLines.push_back(MakeLine(std::move(text), std::move(ending), doc.FEncoding));
        start = i + (doc.FLines.back().Ending.size());
        if (doc.FLines.back().Ending.isEmpty())
            break;
    }
    return doc;
}

TIniDocument::TLine TIniDocument::MakeLine(QByteArray text, QByteArray ending,
                                           TIniEncoding encoding) {
    TLine line;
    line.Text = std::move(text);
    line.Ending = std::move(ending);
    const QString decoded = TrimBlanks(DecodeAs(line.Text, encoding));
    if (decoded.startsWith(u'[')) {
        qsizetype close = decoded.indexOf(u']');
        if (close < 0)
            close = decoded.size();
        line.Kind = TLineKind::Section;
        line.Name = TrimBlanks(decoded.mid(1, close - 1));
        return line;
    }
    if (decoded.startsWith(u';'))
        return line;
    // '=' (0x3D) is never the second byte of a Shift-JIS character nor part of a UTF-8
    // sequence, so the first such byte is the separator whatever the encoding.
    const qsizetype equals = line.Text.indexOf('=');
    if (equals < 0)
        return line;
    QString name = TrimBlanks(DecodeAs(line.Text.left(equals), encoding));
    if (name.isEmpty())
        return line;
    line.Kind = TLineKind::Key;
    line.Name = std::move(name);
    line.Equals = equals;
    return line;
}

TIniDocument TIniDocument::Empty(TIniEncoding encoding) {
    TIniDocument doc;
    doc.FEncoding = encoding;
    if (encoding == TIniEncoding::Utf8)
        doc.FBom = Utf8Bom;
    return doc;
}

QByteArray TIniDocument::Bytes() const {
    QByteArray out = FBom;
    for (const TLine& line : FLines) {
        out += line.Text;
        out += line.Ending;
    }
    return out;
}

QString TIniDocument::Decode(const QByteArray& bytes) const {
    return DecodeAs(bytes, FEncoding);
}

QByteArray TIniDocument::Encode(const QString& text) const {
    if (FEncoding == TIniEncoding::Utf8)
        return text.toUtf8();
    QStringEncoder encoder(ShiftJisCodec, QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

bool TIniDocument::CanEncode(const QString& text) const {
    if (FEncoding == TIniEncoding::Utf8)
        return true;
    QStringEncoder encoder(ShiftJisCodec, QStringConverter::Flag::Stateless);
    const QByteArray encoded = encoder.encode(text); // encode() is lazy until converted
    // The text must also come back as it was, not as a look-alike of the code page.
    return !encoder.hasError() && DecodeAs(encoded, TIniEncoding::ShiftJis) == text;
}

void TIniDocument::ConvertToUtf8() {
    if (FEncoding != TIniEncoding::Utf8) {
        for (TLine& line : FLines) {
            // Halves apart at the first '=', as MakeLine reads them: a broken character right
            // before the '=' must not take the '=' with it (nor make a key of a line that was
            // none), so every name and value reads as before.
            const qsizetype equals = line.Kind == TLineKind::Section ? -1 : line.Text.indexOf('=');
            QByteArray text = equals < 0
                                  ? DecodeAs(line.Text, FEncoding).toUtf8()
                                  : DecodeAs(line.Text.left(equals), FEncoding).toUtf8() + '=' +
                                        DecodeAs(line.Text.mid(equals + 1), FEncoding).toUtf8();
            line = MakeLine(std::move(text), std::move(line.Ending), TIniEncoding::Utf8);
        }
        FEncoding = TIniEncoding::Utf8;
    }
    // Without the mark the next reading would take the file for Shift-JIS.
    FBom = Utf8Bom;
}

void TIniDocument::KeepEncodingOnReading() {
    if (FEncoding == TIniEncoding::Utf8) {
        // A file read as UTF-8 without the mark (a hand-made one) gets it with the first
        // change: the text written may be valid Shift-JIS, and so may the file become.
        FBom = Utf8Bom;
        return;
    }
    // A file with bytes that are neither Shift-JIS nor UTF-8 (a damaged one, or one that
    // mixes both) is read as Shift-JIS while those bytes are there. Should a change leave it
    // valid UTF-8 and still no Shift-JIS (the one broken sequence replaced), the next reading
    // would take it for UTF-8; it becomes UTF-8 now, so that everything reads back as it
    // read before. A valid Shift-JIS file, as every Shift-JIS file this program wrote is,
    // stays one.
    QByteArray body;
    for (const TLine& line : FLines)
        body += line.Text + line.Ending;
    if (EncodingOf(body) == TIniEncoding::Utf8)
        ConvertToUtf8();
}

QByteArray TIniDocument::LineEnding() const {
    for (const TLine& line : FLines)
        if (!line.Ending.isEmpty())
            return line.Ending;
    return QByteArrayLiteral("\r\n"); // as the profile functions write a new file
}

qsizetype TIniDocument::FindSection(const QString& section) const {
    for (qsizetype i = 0; i < qsizetype(FLines.size()); ++i)
        if (FLines[i].Kind == TLineKind::Section && SameName(FLines[i].Name, section))
            return i;
    return -1;
}

qsizetype TIniDocument::FindKey(qsizetype header, const QString& key) const {
    for (qsizetype i = header + 1; i < qsizetype(FLines.size()); ++i) {
        if (FLines[i].Kind == TLineKind::Section)
            break;
        if (FLines[i].Kind == TLineKind::Key && SameName(FLines[i].Name, key))
            return i;
    }
    return -1;
}

std::optional<QString> TIniDocument::Value(const QString& section, const QString& key) const {
    const qsizetype header = FindSection(section);
    if (header < 0)
        return std::nullopt;
    const qsizetype at = FindKey(header, key);
    if (at < 0)
        return std::nullopt;
    const TLine& line = FLines[at];
    return TrimBlanks(Decode(line.Text.mid(line.Equals + 1)));
}

QStringList TIniDocument::Sections() const {
    QStringList names;
    for (const TLine& line : FLines)
        if (line.Kind == TLineKind::Section && !names.contains(line.Name, Qt::CaseInsensitive))
            names << line.Name;
    return names;
}

QStringList TIniDocument::Keys(const QString& section) const {
    QStringList names;
    const qsizetype header = FindSection(section);
    if (header < 0)
        return names;
    for (qsizetype i = header + 1; i < qsizetype(FLines.size()); ++i) {
        if (FLines[i].Kind == TLineKind::Section)
            break;
        if (FLines[i].Kind == TLineKind::Key)
            names << FLines[i].Name;
    }
    return names;
}

void TIniDocument::SetValue(const QString& section, const QString& key, const QString& value) {
    QString clean = value;
    clean.replace(u'\r', u' ').replace(u'\n', u' ');
    if (!CanEncode(section) || !CanEncode(key) || !CanEncode(clean))
        ConvertToUtf8();
    ReplaceOrAdd(section, key, clean);
    KeepEncodingOnReading();
}

void TIniDocument::ReplaceOrAdd(const QString& section, const QString& key, const QString& clean) {
    const QByteArray ending = LineEnding();
    const qsizetype header = FindSection(section);
    if (header >= 0) {
        const qsizetype at = FindKey(header, key);
        if (at >= 0) {
            TLine& line = FLines[at];
            QByteArray text = line.Text.left(line.Equals + 1) + Encode(clean);
            line = MakeLine(std::move(text), std::move(line.Ending), FEncoding);
            return;
        }
        // After the section's last non-blank line, so that a blank line that separates it
        // from the next section stays where it is.
        qsizetype last = header;
        for (qsizetype i = header + 1; i < qsizetype(FLines.size()); ++i) {
            if (FLines[i].Kind == TLineKind::Section)
                break;
            if (!TrimBlanks(Decode(FLines[i].Text)).isEmpty())
                last = i;
        }
        if (FLines[last].Ending.isEmpty())
            FLines[last].Ending = ending;
        FLines.insert(FLines.begin() + last + 1,
                      MakeLine(Encode(key) + '=' + Encode(clean), ending, FEncoding));
        return;
    }

    if (!FLines.empty()) {
        if (FLines.back().Ending.isEmpty())
            FLines.back().Ending = ending;
        if (!TrimBlanks(Decode(FLines.back().Text)).isEmpty())
            FLines.push_back(MakeLine({}, ending, FEncoding));
    }
    FLines.push_back(MakeLine('[' + Encode(section) + ']', ending, FEncoding));
    FLines.push_back(MakeLine(Encode(key) + '=' + Encode(clean), ending, FEncoding));
}

// ---------------------------------------------------------------------------------------------
// TIniFile

namespace {

// A file without any write permission is read-only for everyone, the superuser included, as
// a read-only file is on the system the settings format comes from.
bool IsWritableFile(const QFileInfo& info) {
    constexpr auto anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return info.isWritable() && (info.permissions() & anyWrite);
}

} // namespace

struct TIniFile::TUpdate {
    explicit TUpdate(const QString& lockName) : Lock(lockName) {}
    QLockFile Lock;
    TIniDocument Doc;
};

TIniFile::TIniFile(QString fileName, TIniEncoding newFileEncoding)
    : FFileName(std::move(fileName)), FNewFileEncoding(newFileEncoding) {}

TIniFile::~TIniFile() = default;

TIniDocument TIniFile::Load() const {
    const QFileInfo info(FFileName);
    // Only regular files are read: a pipe or device of that name could block for ever.
    if (!info.isFile() || info.size() > MaxFileSize)
        return {};
    QFile file(FFileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return TIniDocument::Parse(file.read(MaxFileSize + 1).left(MaxFileSize));
}

TIniDocument TIniFile::Current() const {
    return FUpdate ? FUpdate->Doc : Load();
}

QString TIniFile::ReadString(const QString& section, const QString& key,
                             const QString& fallback) const {
    return Current().Value(section, key).value_or(fallback);
}

std::int32_t TIniFile::ReadInteger(const QString& section, const QString& key,
                                   std::int32_t fallback) const {
    const std::optional<QString> text = Current().Value(section, key);
    return text ? StrToIntDef(*text, fallback) : fallback;
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

bool TIniFile::SectionExists(const QString& section) const {
    return Current().Sections().contains(section, Qt::CaseInsensitive);
}

void TIniFile::WriteFailed() const {
    throw EIniFileException(
        FormatMessage(SIniFileWriteError, {QFileInfo(FFileName).absoluteFilePath()}));
}

void TIniFile::BeginUpdate() {
    if (FUpdate)
        return;
    const QFileInfo info(FFileName);
    if (!QDir().mkpath(info.absolutePath()))
        WriteFailed();
    auto update = std::make_unique<TUpdate>(FFileName + QStringLiteral(".lock"));
    // The lock only guards the time between reading the file and renaming the new one over
    // it; a program that died holding it is recognised by its process id.
    if (!update->Lock.tryLock(LockTimeoutMs))
        WriteFailed();
    update->Doc = LoadForWrite(); // the lock goes with `update` if this raises
    FUpdate = std::move(update);
}

void TIniFile::EndUpdate() {
    if (!FUpdate)
        return;
    const std::unique_ptr<TUpdate> update = std::move(FUpdate); // unlocks whatever happens
    Store(update->Doc);
}

void TIniFile::CancelUpdate() {
    FUpdate.reset();
}

TIniDocument TIniFile::LoadForWrite() const {
    const QFileInfo info(FFileName);
    if (!info.exists() && !info.isSymLink())
        return TIniDocument::Empty(FNewFileEncoding);
    if (!info.isFile() || info.size() > MaxFileSize || !IsWritableFile(info))
        WriteFailed();
    QFile file(FFileName);
    if (!file.open(QIODevice::ReadOnly))
        WriteFailed();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.size() != info.size())
        WriteFailed();
    return TIniDocument::Parse(bytes);
}

void TIniFile::Store(const TIniDocument& doc) const {
    // A failure at any step (a full disk included) leaves the old file as it was.
    if (!ReplaceFileAtomically(FFileName, doc.Bytes()))
        WriteFailed();
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    if (FUpdate) {
        FUpdate->Doc.SetValue(section, key, value);
        return;
    }
    TIniFileUpdate update(*this);
    FUpdate->Doc.SetValue(section, key, value);
    update.Commit();
}

void TIniFile::WriteInteger(const QString& section, const QString& key, std::int32_t value) {
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
