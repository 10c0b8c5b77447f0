#include "commatext.h"

#include <algorithm>

namespace {

bool IsBlank(QChar c) {
    return c.unicode() >= 1 && c.unicode() <= 32;
}

// Reads a quoted field starting at the opening quote `pos`; leaves `pos` behind the closing
// quote. An unterminated quote takes the rest of the line, every character of it.
QString ReadQuoted(const QString& line, qsizetype end, qsizetype& pos) {
    QString field;
    ++pos; // opening quote
    while (pos < end) {
        const QChar c = line[pos];
        if (c == u'"') {
            if (pos + 1 < end && line[pos + 1] == u'"') {
                field += u'"';
                pos += 2;
                continue;
            }
            ++pos; // closing quote
            return field;
        }
        field += c;
        ++pos;
    }
    return field;
}

} // namespace

QStringList SplitCommaText(const QString& line) {
    QStringList fields;
    qsizetype end = line.indexOf(QChar(u'\0'));
    if (end < 0)
        end = line.size();

    qsizetype pos = 0;
    while (pos < end && IsBlank(line[pos]))
        ++pos;
    while (pos < end) {
        if (line[pos] == u'"') {
            fields.append(ReadQuoted(line, end, pos));
        } else {
            const qsizetype start = pos;
            while (pos < end && !IsBlank(line[pos]) && line[pos] != u',')
                ++pos;
            fields.append(line.mid(start, pos - start));
        }
        while (pos < end && IsBlank(line[pos]))
            ++pos;
        if (pos < end && line[pos] == u',') {
            do
                ++pos;
            while (pos < end && IsBlank(line[pos]));
        }
    }
    return fields;
}

QString JoinCommaText(const QStringList& names) {
    if (names.size() == 1 && names.front().isEmpty())
        return QStringLiteral("\"\"");
    QString text;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString& name = names[i];
        const bool needsQuotes = std::any_of(name.begin(), name.end(), [](QChar c) {
            return c.unicode() <= 32 || c == u'"' || c == u',';
        });
        if (i > 0)
            text += u',';
        if (needsQuotes) {
            QString quoted = name;
            quoted.replace(u'"', QStringLiteral("\"\""));
            text += u'"' + quoted + u'"';
        } else {
            text += name;
        }
    }
    return text;
}
