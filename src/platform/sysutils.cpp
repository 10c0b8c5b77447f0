#include "sysutils.h"

#include <cfenv>
#include <cmath>

#include "exception.h"

bool TryStrToInt(const QString& text, std::int32_t& value) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return false;
    // Accumulate towards the negative side, which holds one value more than the positive one.
    std::int64_t acc = 0;
    for (; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (ch < u'0' || ch > u'9')
            return false;
        acc = acc * 10 + (ch - u'0');
        if (acc > std::int64_t{INT32_MAX} + 1)
            return false;
    }
    if (negative)
        acc = -acc;
    if (acc > INT32_MAX)
        return false;
    value = static_cast<std::int32_t>(acc);
    return true;
}

std::int32_t StrToInt(const QString& text) {
    std::int32_t value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError(FormatMessage(SInvalidInteger, {text}));
    return value;
}

std::int32_t StrToIntDef(const QString& text, std::int32_t fallback) {
    std::int32_t value = 0;
    return TryStrToInt(text, value) ? value : fallback;
}

int RoundHalfEven(long double value) {
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const long double rounded = std::nearbyintl(value);
    std::fesetround(saved);
    return static_cast<int>(rounded);
}
