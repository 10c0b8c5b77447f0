#include "weekdayletter.h"

QString WeekdayLetter(int dayOfWeek) {
    static const char16_t* const Letters[7] = {u"日", u"月", u"火", u"水", u"木", u"金", u"土"};
    if (dayOfWeek < 0 || dayOfWeek > 6)
        return QString();
    return QString::fromUtf16(Letters[dayOfWeek]);
}
