#include "exception.h"

Exception::Exception(QString message)
    : FMessage(std::move(message)), FUtf8(FMessage.toUtf8().toStdString()) {}

QString FormatMessage(const QString& pattern, std::initializer_list<QString> args) {
    QString out;
    out.reserve(pattern.size());
    auto next = args.begin();
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == u'%' && i + 1 < pattern.size() && pattern[i + 1] == u's' &&
            next != args.end()) {
            out += *next++;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}
