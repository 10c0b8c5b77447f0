// Conversions between text and numbers with the class library's rules and error messages, and
// its rounding.
#pragma once

#include <cstdint>

#include <QString>

/// Message of the conversion error; %s is the offending text.
inline const QString SInvalidInteger = QStringLiteral("'%s' は整数ではありません");

/// Decimal text with an optional sign ("+12", "-3", "007") to a 32-bit integer. Anything else,
/// the empty text, blanks and values outside the 32-bit range included, raises EConvertError.
std::int32_t StrToInt(const QString& text);

/// As StrToInt, but yields `fallback` instead of raising.
std::int32_t StrToIntDef(const QString& text, std::int32_t fallback);

/// Parses like StrToInt; returns false instead of raising.
bool TryStrToInt(const QString& text, std::int32_t& value);

/// The nearest integer, halves to the even one (2.5 → 2, 3.5 → 4), as the class library's Round
/// and the x87 unit in its default mode round; in extended precision. The value must fit an int.
int RoundHalfEven(long double value);
