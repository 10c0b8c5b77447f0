#include "clipboard.h"

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
    if (file.size() >= FileHeaderSize + 4 && file.startsWith("BM"))
        return file.mid(FileHeaderSize);
    return file;
}

void TClipboard::SetAsHandle(unsigned short format, const QByteArray& data) {
    if (format != CF_DIB || data.size() < 4)
        return;
    // The pixels follow the header and the colour table, whose sizes the header gives.
    const quint32 headerSize = LE32(data, 0);
    quint32 table = 0;
    if (headerSize >= 40 && data.size() >= 40) {
        const quint32 bits = static_cast<quint8>(data[14]) | static_cast<quint8>(data[15]) << 8;
        quint32 colours = LE32(data, 32);
        if (colours == 0 && bits <= 8)
            colours = 1u << bits;
        table = colours * 4 + (LE32(data, 16) == 3 && headerSize == 40 ? 12 : 0);
    }
    QByteArray file(FileHeaderSize, '\0');
    file[0] = 'B';
    file[1] = 'M';
    PutLE32(file, 2, static_cast<quint32>(FileHeaderSize + data.size()));
    PutLE32(file, 10, FileHeaderSize + headerSize + table);
    file += data;
    auto* mime = new QMimeData; // the clipboard takes ownership
    mime->setData(BmpType, file);
    QGuiApplication::clipboard()->setMimeData(mime);
}

TClipboard& Clipboard() {
    static TClipboard clipboard;
    return clipboard;
}
