// Readable test failure messages for Qt values.
#pragma once

#include <optional>
#include <ostream>

#include <QString>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
