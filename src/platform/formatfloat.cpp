#include "formatfloat.h"

#include <cmath>
#include <utility>
#include <vector>

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

namespace {

// The sections of a pattern, split at semicolons outside quotes.
QStringList Sections(const QString& format) {
    QStringList sections{QString()};
    QChar quote;
    for (QChar c : format) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u';') {
            sections << QString();
            continue;
        }
        sections.last() += c;
    }
    return sections;
}

// One section taken apart: literal text before and after the number, literal text between its
// placeholders, and the number's shape.
struct Pattern {
    QString Prefix, Suffix;
    // Text between the placeholders ("000-0000", "0000/00/00") stays where it stands among the
    // digits: in the integer part with the number of integer placeholders after it, in the
    // fraction with the number of fraction placeholders before it.
    std::vector<std::pair<int, QString>> IntLiterals, FracLiterals;
    int IntDigits = 0;  // placeholders before the point
    int IntZeros = 0;   // "0"s from the first "0" before the point on: minimum digits
    int FracZeros = 0;  // "0"s after the point up to the last "0": minimum decimals
    int FracDigits = 0; // placeholders after the point: maximum decimals
    bool Thousands = false;
    bool Scientific = false;
    bool ExpPlus = false; // "E+": the exponent always has a sign
    QChar ExpChar;
    int ExpDigits = 0;
};

Pattern Parse(const QString& section) {
    Pattern p;
    bool inNumber = false, afterNumber = false, afterPoint = false, firstZero = false;
    QString pending; // literal text since the last placeholder
    // Literal text met inside the number belongs where it stands.
    const auto placePending = [&] {
        if (pending.isEmpty())
            return;
        if (!inNumber)
            p.Prefix += pending;
        else if (afterPoint)
            p.FracLiterals.emplace_back(p.FracDigits, pending);
        else
            p.IntLiterals.emplace_back(p.IntDigits, pending); // placeholders before; see below
        pending.clear();
    };
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype end = section.indexOf(c, i + 1);
            const QString quoted = section.mid(i + 1, (end < 0 ? section.size() : end) - i - 1);
            i = end < 0 ? section.size() : end;
            (afterNumber ? p.Suffix : pending) += quoted;
        } else if ((c == u'0' || c == u'#') && !afterNumber) {
            placePending();
            inNumber = true;
            if (afterPoint) {
                ++p.FracDigits;
                if (c == u'0')
                    p.FracZeros = p.FracDigits;
            } else {
                ++p.IntDigits;
                if (c == u'0')
                    firstZero = true;
                if (firstZero)
                    ++p.IntZeros;
            }
        } else if (c == u'.' && !afterNumber && !afterPoint) {
            placePending();
            inNumber = true;
            afterPoint = true;
        } else if (c == u',' && !afterNumber) {
            p.Thousands = true;
        } else if ((c == u'E' || c == u'e') && inNumber && !afterNumber && i + 1 < section.size() &&
                   (section[i + 1] == u'+' || section[i + 1] == u'-')) {
            placePending();
            p.Scientific = true;
            p.ExpChar = c;
            p.ExpPlus = section[i + 1] == u'+';
            i += 2;
            while (i < section.size() && section[i] == u'0') {
                ++p.ExpDigits;
                ++i;
            }
            --i;
            afterNumber = true;
        } else {
            (afterNumber ? p.Suffix : pending) += c;
        }
    }
    // What follows the last placeholder is the suffix.
    if (inNumber && !afterNumber)
        p.Suffix.prepend(pending);
    else if (!inNumber)
        p.Prefix += pending;
    // Integer literals counted the placeholders before them; the digits fill the placeholders
    // from the right, so what counts is how many come after.
    for (auto& [after, text] : p.IntLiterals)
        after = p.IntDigits - after;
    return p;
}

// The integer digits with the literals between the placeholders and the thousands separators.
// A literal with `after` placeholders after it stands before the digit that has `after` digits
// from it to the end; one with more placeholders after it than there are digits stands in
// front (a "#" shows no digit, its literal still shows).
QString IntegerText(const Pattern& p, const QString& digits) {
    const qsizetype n = digits.size();
    QString out;
    const auto literalsAt = [&](qsizetype remaining, bool front) {
        for (const auto& [after, text] : p.IntLiterals) {
            if (front ? after >= remaining : after == remaining)
                out += text;
        }
    };
    literalsAt(n, true);
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype remaining = n - i;
        if (i > 0) {
            if (p.Thousands && remaining % 3 == 0)
                out += QLocale::c().groupSeparator();
            literalsAt(remaining, false);
        }
        out += digits[i];
    }
    if (n > 0)
        literalsAt(0, false);
    return out;
}

// The decimals with the literals that stand after as many of them; those after decimals that
// were dropped follow the last one shown.
QString FractionText(const Pattern& p, const QString& digits) {
    QString out;
    std::size_t next = 0;
    const auto& literals = p.FracLiterals;
    for (qsizetype i = 0; i <= digits.size(); ++i) {
        while (next < literals.size() && (literals[next].first <= i || i == digits.size()))
            out += literals[next++].second;
        if (i < digits.size())
            out += digits[i];
    }
    return out;
}

QString FormatNumber(const Pattern& p, double value) {
    if (p.IntDigits == 0 && p.FracDigits == 0 && !p.Scientific)
        return p.Prefix + p.Suffix; // a pattern without placeholders shows only its text
    int exponent = 0;
    if (p.Scientific && value != 0.0) {
        const int intPlaces = std::max(1, p.IntDigits);
        exponent = static_cast<int>(std::floor(std::log10(value))) - (intPlaces - 1);
        value /= std::pow(10.0, exponent);
        // Rounding may carry into another digit (9.99 → 10.0).
        if (std::round(value * std::pow(10.0, p.FracDigits)) >=
            std::pow(10.0, intPlaces + p.FracDigits)) {
            value /= 10.0;
            ++exponent;
        }
    }
    // Halves round away from zero, as the class library rounds them.
    const double unit = std::pow(10.0, p.FracDigits);
    if (std::abs(value) * unit < 1e15)
        value = std::round(value * unit) / unit;
    QString text = QString::number(value, 'f', p.FracDigits);
    QString intPart = text.section(u'.', 0, 0);
    QString fracPart = text.section(u'.', 1, 1);
    while (fracPart.size() > p.FracZeros && fracPart.endsWith(u'0'))
        fracPart.chop(1);
    if (intPart == QLatin1String("0") && p.IntZeros == 0)
        intPart.clear();
    while (intPart.size() < p.IntZeros)
        intPart.prepend(u'0');
    QString out = p.Prefix + IntegerText(p, intPart);
    if (!fracPart.isEmpty())
        out += u'.';
    out += FractionText(p, fracPart);
    if (p.Scientific) {
        out += p.ExpChar;
        if (exponent < 0)
            out += u'-';
        else if (p.ExpPlus)
            out += u'+';
        out += QString::number(std::abs(exponent)).rightJustified(p.ExpDigits, u'0');
    }
    return out + p.Suffix;
}

} // namespace

QString FormatFloat(const QString& format, double value) {
    if (format.isEmpty())
        return QString::number(value, 'g', 15)
            .toUpper()
            .replace(QStringLiteral("E+"), QStringLiteral("E"));
    const QStringList sections = Sections(format);
    auto section = [&sections](int i) {
        return i < sections.size() && !sections[i].isEmpty() ? sections[i] : sections[0];
    };
    if (value == 0.0)
        return FormatNumber(Parse(section(2)), 0.0);
    if (value < 0.0) {
        // A negative section of its own draws the number without its sign.
        if (sections.size() > 1 && !sections[1].isEmpty())
            return FormatNumber(Parse(sections[1]), -value);
        const QString shown = FormatNumber(Parse(sections[0]), -value);
        return QStringLiteral("-") + shown;
    }
    return FormatNumber(Parse(sections[0]), value);
}

double StrToFloat(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*$)"));
    bool ok = false;
    const double value = number.match(text).hasMatch() ? text.trimmed().toDouble(&ok) : 0.0;
    if (!ok || !std::isfinite(value))
        throw EConvertError(
            FormatMessage(QStringLiteral("'%s' は浮動小数点数ではありません"), {text}));
    return value;
}
