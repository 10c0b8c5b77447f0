// Fuzzes the INI reader and writer: any bytes parse and come back unchanged, and after every
// write the bytes read back as the document holds them: the value written, every other value
// as before, and the same encoding, Shift-JIS or UTF-8.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "fuzzsupport.h"
#include "platform/sysutils.h"
#include "settings/inifile.h"

namespace {

// Every value of every key as a reader of the settings finds it (the first section of a name,
// the first key of a name in it), each as "section/key=value" with the names in lower case.
QStringList Values(const TIniDocument& doc) {
    QStringList all;
    for (const QString& section : doc.Sections())
        for (const QString& key : doc.Keys(section)) {
            const std::optional<QString> value = doc.Value(section, key);
            Require(value.has_value());
            (void)StrToIntDef(*value, 0);
            all << section.toLower() + u'/' + key.toLower() + u'=' + *value;
        }
    all.removeDuplicates();
    return all;
}

QStringList Without(QStringList values, const QString& section, const QString& key) {
    const QString prefix = section.toLower() + u'/' + key.toLower() + u'=';
    values.removeIf([&prefix](const QString& v) { return v.startsWith(prefix); });
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TIniDocument doc = TIniDocument::Parse(bytes);
    Require(doc.Bytes() == bytes); // reading alone never changes a byte

    // A slot save: a key that may exist already, one in a section that may not, a comment
    // whose Shift-JIS bytes are valid UTF-8 ("ﾃｽ" is C3 BD, "ý" in UTF-8), and a value
    // Shift-JIS cannot hold (which turns the file into UTF-8).
    const QStringList sections = doc.Sections();
    const QString section = sections.isEmpty() ? QStringLiteral("settei1") : sections.back();
    const QStringList keys = doc.Keys(section);
    const QString key = keys.isEmpty() ? QStringLiteral("comment") : keys.front();
    const struct {
        QString Section, Key, Value;
    } writes[] = {
        {section, key, QStringLiteral(" 年賀用\r\n二行目 ")},
        {QStringLiteral("tamurika"), QStringLiteral("zenkai"), QStringLiteral("3")},
        {QStringLiteral("settei2"), QStringLiteral("comment"), QStringLiteral("ﾃｽ")},
        {QStringLiteral("settei10"), QStringLiteral("font1"), QStringLiteral("😀 ゴシック")},
        {QStringLiteral("settei3"), QStringLiteral("comment"), QStringLiteral("ﾃｽ")},
    };
    for (const auto& w : writes) {
        const QStringList before = Without(Values(doc), w.Section, w.Key);
        doc.SetValue(w.Section, w.Key, w.Value);
        QString expected = w.Value;
        expected.replace(u'\r', u' ').replace(u'\n', u' ');
        expected = expected.trimmed();
        Require(doc.Value(w.Section, w.Key) == expected);
        Require(Without(Values(doc), w.Section, w.Key) == before); // no other value changed
        // What is written reads back from the bytes on disk exactly as the document holds it.
        const TIniDocument again = TIniDocument::Parse(doc.Bytes());
        Require(again.Encoding() == doc.Encoding());
        Require(again.Value(w.Section, w.Key) == expected);
        Require(Values(again) == Values(doc));
        Require(again.Bytes() == doc.Bytes());
    }
    return 0;
}
