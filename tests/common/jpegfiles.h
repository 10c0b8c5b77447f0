// JPEG files changed at the byte level for the tests: an EXIF orientation or an ICC profile
// put into a file that ImageMagick wrote, as cameras and phones put them there.
#pragma once

#include <QByteArray>
#include <QList>

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

/// An APP1 block with a TIFF structure whose first directory holds only the orientation tag,
/// put right after the start-of-image marker.
inline QByteArray WithExifOrientation(const QByteArray& jpeg, int orientation, bool bigEndian) {
    auto u16 = [bigEndian](int v) {
        QByteArray b;
        b.append(char(bigEndian ? v >> 8 : v & 0xFF));
        b.append(char(bigEndian ? v & 0xFF : v >> 8));
        return b;
    };
    auto u32 = [&u16, bigEndian](int v) {
        return bigEndian ? u16(v >> 16) + u16(v & 0xFFFF) : u16(v & 0xFFFF) + u16(v >> 16);
    };
    QByteArray tiff = bigEndian ? QByteArray("MM") : QByteArray("II");
    tiff += u16(42) + u32(8);              // header, first directory at offset 8
    tiff += u16(1);                        // one entry
    tiff += u16(0x0112) + u16(3) + u32(1); // orientation, SHORT, one value
    tiff += u16(orientation) + u16(0);     // the value, left-justified in 4 bytes
    tiff += u32(0);                        // no next directory
    return jpeg.left(2) + Segment(0xE1, QByteArray("Exif\0\0", 6) + tiff) + jpeg.mid(2);
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
