#include "fullwidth.h"

QString FullWidthDigits(int number) {
    QString text = QString::number(number);
    for (QChar& c : text)
        if (c >= u'0' && c <= u'9')
            c = QChar(c.unicode() - u'0' + u'０');
    return text;
}
