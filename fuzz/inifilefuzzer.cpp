// Fuzzes the INI reader and writer: any bytes parse, come back unchanged, and a write changes
// the one value it names, in whichever encoding the file turns out to have, Shift-JIS or UTF-8.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include "platform/inifile.h"
#include "platform/sysutils.h"

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

// Every value of every key, as a reader of the settings asks for them.
void ReadEverything(const TIniDocument& doc) {
    for (const QString& section : doc.Sections())
        for (const QString& key : doc.Keys(section)) {
            const std::optional<QString> value = doc.Value(section, key);
            Require(value.has_value());
            (void)StrToIntDef(*value, 0);
        }
}

bool IsValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    return !decoder.hasError();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TIniDocument doc = TIniDocument::Parse(bytes);
    Require(doc.Bytes() == bytes); // reading alone never changes a byte
    ReadEverything(doc);

    // A slot save: a key that may exist already, one in a section that may not, a value
    // Shift-JIS holds and one it cannot hold (which turns the file into UTF-8).
    const QStringList sections = doc.Sections();
    const QString section = sections.isEmpty() ? QStringLiteral("settei1") : sections.back();
    const QStringList keys = doc.Keys(section);
    const QString key = keys.isEmpty() ? QStringLiteral("comment") : keys.front();
    const struct {
        QString Section, Key, Value;
    } writes[] = {
        {section, key, QStringLiteral(" 年賀用\r\n二行目 ")},
        {QStringLiteral("tamurika"), QStringLiteral("zenkai"), QStringLiteral("3")},
        {QStringLiteral("settei10"), QStringLiteral("font1"), QStringLiteral("😀 ゴシック")},
    };
    for (const auto& w : writes) {
        doc.SetValue(w.Section, w.Key, w.Value);
        QString expected = w.Value;
        expected.replace(u'\r', u' ').replace(u'\n', u' ');
        expected = expected.trimmed();
        Require(doc.Value(w.Section, w.Key) == expected);
        // What is written reads back the same from the bytes on disk.
        const TIniDocument again = TIniDocument::Parse(doc.Bytes());
        Require(again.Value(w.Section, w.Key) == expected);
        // The encoding is decided per reading: a Shift-JIS file whose bytes all make valid
        // UTF-8 once an ASCII write has replaced the ones that did not, or that are left all
        // ASCII, reads as UTF-8 or as Shift-JIS next time, while the document keeps the one
        // it had.
        Require(again.Encoding() == doc.Encoding() || IsValidUtf8(doc.Bytes()));
    }
    ReadEverything(doc);
    return 0;
}
