#include "clipboard.h"

#include <algorithm>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

const QString BmpType = QStringLiteral("image/bmp");
constexpr int FileHeaderSize = 14;

void PutLE32(QByteArray& bytes, qsizetype at, quint32 value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

quint32 LE32(const QByteArray& bytes, qsizetype at) {
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<quint32>(static_cast<quint8>(bytes[at + i])) << (8 * i);
    return v;
}

quint16 LE16(const QByteArray& bytes, qsizetype at) {
    const auto byte = [&bytes](qsizetype i) {
        return static_cast<quint16>(static_cast<quint8>(bytes[i]));
    };
    return static_cast<quint16>(byte(at) | byte(at + 1) << 8);
}

/// Bytes of a packed DIB's header and colour table, after which its pixels follow; 0 when the
/// header is too short to tell.
qint64 HeaderAndTableSize(const QByteArray& dib) {
    if (dib.size() < 4)
        return 0;
    const quint32 headerSize = LE32(dib, 0);
    if (headerSize == 12 && dib.size() >= 12) {
        const int bits = LE16(dib, 10);
        return 12 + (bits <= 8 ? 3 * (qint64{1} << bits) : 0);
    }
    if (headerSize < 40 || dib.size() < 40)
        return 0;
    const int bits = LE16(dib, 14);
    qint64 colours = LE32(dib, 32);
    if (colours == 0 && bits <= 8)
        colours = qint64{1} << bits;
    // A 40-byte header with bit-field masks has them in front of the table.
    const bool masks = LE32(dib, 16) == 3 && headerSize == 40;
    return headerSize + colours * 4 + (masks ? 12 : 0);
}

} // namespace

bool TClipboard::HasFormat(unsigned short format) const {
    if (format != CF_DIB)
        return false;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr && data->hasFormat(BmpType);
}

QByteArray TClipboard::GetAsHandle(unsigned short format) const {
    if (!HasFormat(format))
        return {};
    QByteArray file = QGuiApplication::clipboard()->mimeData()->data(BmpType);
    // A bitmap file is the packed DIB behind a 14-byte file header; some programs put the
    // packed DIB alone.
    if (file.size() < FileHeaderSize + 4 || !file.startsWith("BM"))
        return file;
    QByteArray packed = file.mid(FileHeaderSize);
    // The file header says where the pixels start. A writer may leave a gap after the colour
    // table (alignment, a profile); in a packed DIB the pixels follow the table directly.
    const qint64 pixels = LE32(file, 10);
    const qint64 table = HeaderAndTableSize(packed);
    if (table > 0 && pixels > FileHeaderSize + table && pixels <= file.size())
        return packed.left(table) + file.mid(pixels);
    return packed;
}

void TClipboard::SetAsHandle(unsigned short format, const QByteArray& data) {
    if (format != CF_DIB || data.size() < 4)
        return;
    // The pixels follow the header and the colour table, whose sizes the header gives.
    const qint64 table = std::max<qint64>(HeaderAndTableSize(data), LE32(data, 0));
    QByteArray file(FileHeaderSize, '\0');
    file[0] = 'B';
    file[1] = 'M';
    PutLE32(file, 2, static_cast<quint32>(FileHeaderSize + data.size()));
    PutLE32(file, 10, static_cast<quint32>(FileHeaderSize + table));
    file += data;
    auto* mime = new QMimeData; // the clipboard takes ownership
    mime->setData(BmpType, file);
    QGuiApplication::clipboard()->setMimeData(mime);
}

TClipboard& Clipboard() {
    static TClipboard clipboard;
    return clipboard;
}
