#include "stringlist.h"

void TStringList::Put(int index, const QString& line) {
    FLines[index] = line;
    Changed();
}

int TStringList::Add(const QString& line) {
    FLines.append(line);
    Changed();
    return Count() - 1;
}

void TStringList::Insert(int index, const QString& line) {
    FLines.insert(index, line);
    Changed();
}

void TStringList::Delete(int index) {
    FLines.removeAt(index);
    Changed();
}

void TStringList::Clear() {
    if (FLines.isEmpty())
        return;
    FLines.clear();
    Changed();
}

void TStringList::Assign(const TStringList& other) {
    if (&other == this)
        return;
    Assign(other.FLines);
}

void TStringList::Assign(const QStringList& lines) {
    FLines = lines;
    Changed();
}

QString TStringList::Text() const {
    QString text;
    for (const QString& line : FLines) {
        text += line;
        text += u'\n';
    }
    return text;
}

void TStringList::SetText(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        lines.append(text.mid(start, end - start));
        if (end < n && text[end] == u'\r')
            ++end;
        if (end < n && text[end] == u'\n')
            ++end;
        start = end;
    }
    Assign(lines);
}

void TStringList::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FPendingChange) {
        FPendingChange = false;
        if (OnChange)
            OnChange();
    }
}

void TStringList::Changed() {
    if (FUpdateCount > 0) {
        FPendingChange = true;
        return;
    }
    if (OnChange)
        OnChange();
}
