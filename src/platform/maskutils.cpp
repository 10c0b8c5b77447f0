#include "maskutils.h"

#include <QStringList>

namespace {

bool IsPlaceholder(QChar c) {
    static const QString placeholders = QStringLiteral("LlAaCc09#");
    return placeholders.contains(c);
}

} // namespace

QString FormatMaskText(const QString& editMask, const QString& value) {
    const QStringList fields = editMask.split(u';');
    const QString mask = fields.value(0);
    const bool literalsInValue = fields.size() < 2 || fields[1].trimmed() != QLatin1String("0");
    const QChar blank = fields.size() > 2 && !fields[2].isEmpty() ? fields[2][0] : QChar(u'_');

    enum class Case { AsTyped, Upper, Lower } letterCase = Case::AsTyped;
    QString out;
    qsizetype next = 0; // position in value
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar m = mask[i];
        if (m == u'!')
            continue;
        if (m == u'<' && i + 1 < mask.size() && mask[i + 1] == u'>') {
            letterCase = Case::AsTyped;
            ++i;
            continue;
        }
        if (m == u'>' || m == u'<') {
            letterCase = m == u'>' ? Case::Upper : Case::Lower;
            continue;
        }
        if (IsPlaceholder(m)) {
            if (next >= value.size()) {
                out += blank;
                continue;
            }
            QChar c = value[next++];
            if (letterCase == Case::Upper)
                c = c.toUpper();
            else if (letterCase == Case::Lower)
                c = c.toLower();
            out += c;
            continue;
        }
        QChar literal = m;
        if (m == u'\\' && i + 1 < mask.size())
            literal = mask[++i];
        else if (m == u'_')
            literal = u' ';
        out += literal;
        // A value that keeps the literals has one here; it is not typed text.
        if (literalsInValue && next < value.size() && value[next] == literal)
            ++next;
    }
    return out;
}
