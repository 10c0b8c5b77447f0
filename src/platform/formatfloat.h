// Number formatting and conversion of the class library: FormatFloat's pattern language and
// StrToFloat.
#pragma once

#include <QString>

#include "exception.h"

/// Formats `value` by a pattern of the class library's float-format language:
///  - "0" a digit, always shown; "#" a digit, shown when significant;
///  - "." the decimal point, "," (anywhere before it) thousands separators;
///  - "E+", "E-", "e+", "e-" followed by "0"s: scientific notation with at least that many
///    exponent digits ("+" always shows the exponent's sign, "-" only when negative);
///  - '...' or "..." literal text, any other character literal as it stands;
///  - up to three sections separated by ";": positive; negative (drawn without a minus sign);
///    zero. An empty or missing section falls back to the first.
/// An empty pattern gives the shortest general form ("1.5", "1E20").
QString FormatFloat(const QString& format, double value);

/// The number of a text of digits, one sign, one decimal point and an optional exponent;
/// EConvertError "'%s' は浮動小数点数ではありません" otherwise.
double StrToFloat(const QString& text);
