// JPEG files changed at the byte level for the tests: an EXIF orientation or an ICC profile
// put into a file that ImageMagick wrote, as cameras and phones put them there.
#pragma once

#include <QByteArray>
#include <QList>

#include "photofiles.h" // WithExifOrientation

namespace testing_support {

/// A marker segment: 0xFF, the code, the length (two bytes, itself included), the payload.
inline QByteArray Segment(int code, const QByteArray& payload) {
    const int length = payload.size() + 2;
    QByteArray segment("\xFF", 1);
    segment += char(code);
    segment += char(length >> 8);
    segment += char(length & 0xFF);
    return segment + payload;
}

/// `profile` as APP2 "ICC_PROFILE" chunks of at most `chunk` bytes each, numbered from 1, put
/// right after the start-of-image marker in the order `order` gives (chunk numbers; empty:
/// in turn). A number outside the chunks is written as it is, for broken files.
inline QByteArray WithIccProfile(const QByteArray& jpeg, const QByteArray& profile,
                                 int chunk = 65519, QList<int> order = {}) {
    const int count = int((profile.size() + chunk - 1) / chunk);
    if (order.isEmpty())
        for (int n = 1; n <= count; ++n)
            order << n;
    QByteArray chunks;
    for (int n : order) {
        QByteArray payload("ICC_PROFILE\0", 12);
        payload += char(n);
        payload += char(count);
        payload += profile.mid(qsizetype(n - 1) * chunk, chunk);
        chunks += Segment(0xE2, payload);
    }
    return jpeg.left(2) + chunks + jpeg.mid(2);
}

} // namespace testing_support
