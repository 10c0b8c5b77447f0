// PNG, GIF, TIFF and WebP through Qt's image readers (WebP and TIFF come with Qt's image-format
// plugins). What the readers leave out, this file reads from the file's own structure: the
// EXIF orientation of PNG and WebP files, and the ICC profiles, as they stand in the file, so
// that lcms2 gets every profile, also those Qt's colour spaces cannot hold.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include <QBuffer>
#include <QImageReader>

#include <zlib.h>

#include "decodernotes.h"
#include "exif.h"
#include "photocodec.h"

namespace {

QByteArray ReaderFormat(TPhotoFormat format) {
    switch (format) {
    case TPhotoFormat::Png:
        return "png";
    case TPhotoFormat::Gif:
        return "gif";
    case TPhotoFormat::Tiff:
        return "tiff";
    case TPhotoFormat::WebP:
        return "webp";
    case TPhotoFormat::Heif:
        break;
    }
    return {};
}

quint32 U32BigEndian(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | quint32(b[3]);
}

quint32 U32LittleEndian(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
}

int OrientationOf(const QByteArray& exif) {
    return ExifBlockOrientation(reinterpret_cast<const std::uint8_t*>(exif.constData()),
                                static_cast<std::size_t>(exif.size()));
}

// A zlib stream inflated to at most MaxIccProfileBytes; empty when it is damaged or larger.
QByteArray Inflate(const QByteArray& compressed) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return {};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    QByteArray out;
    char chunk[16384];
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END)
            break;
        out.append(chunk, qsizetype(sizeof chunk - stream.avail_out));
        if (out.size() > MaxIccProfileBytes)
            break;
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END && out.size() <= MaxIccProfileBytes ? out : QByteArray();
}

// PNG: chunks of length (4 bytes, big-endian), type (4), data and CRC (4) after the signature.
// "iCCP" holds a profile name, a zero, the compression method (0) and the zlib-compressed
// profile; "eXIf" an EXIF block; "sRGB" says sRGB outright.
void ReadPngMetadata(const QByteArray& data, TPhotoHeader& header) {
    qsizetype at = 8;
    bool srgb = false;
    while (data.size() - at >= 12) {
        const quint32 length = U32BigEndian(data.constData() + at);
        const QByteArray type = data.mid(at + 4, 4);
        if (length > quint32(data.size() - at - 12))
            break;
        const QByteArray body = data.mid(at + 8, qsizetype(length));
        if (type == "iCCP" && header.IccProfile.isEmpty()) {
            const qsizetype nul = body.indexOf('\0');
            if (nul > 0 && nul + 2 <= body.size() && body[nul + 1] == 0)
                header.IccProfile = Inflate(body.mid(nul + 2));
        } else if (type == "eXIf") {
            header.Orientation = OrientationOf(body);
        } else if (type == "sRGB") {
            srgb = true;
        } else if (type == "IEND") {
            break;
        }
        at += 12 + qsizetype(length);
    }
    if (srgb)
        header.IccProfile.clear();
}

// Why a PNG file is not whole, or empty when it is: every chunk lies within the bytes there
// are, the image header comes first and the end chunk last, and each critical chunk (the
// type's first letter upper case: IHDR, PLTE, IDAT, IEND) has its checksum right. libpng
// refuses such a file too, but writes its own English line to standard error as it does, which
// the user of tamurika-export would read beside the program's message: refused here, libpng
// never sees it. An ancillary chunk with a wrong checksum is no reason: libpng drops it.
QString PngDamage(const QByteArray& data) {
    const auto* b = reinterpret_cast<const unsigned char*>(data.constData());
    const qsizetype n = data.size();
    qsizetype at = 8; // the signature, checked when the format was told
    bool first = true;
    while (n - at >= 12) {
        const quint32 length = U32BigEndian(data.constData() + at);
        if (length > quint32(n - at - 12))
            break;
        const QByteArray type = data.mid(at + 4, 4);
        for (const char c : type)
            if (!(c >= 'A' && c <= 'Z') && !(c >= 'a' && c <= 'z'))
                return QStringLiteral("チャンクの種類が読めません");
        if (first &&
            (type != "IHDR" || length != 13 || U32BigEndian(data.constData() + at + 8) == 0 ||
             U32BigEndian(data.constData() + at + 12) == 0))
            return QStringLiteral("画像ヘッダ（IHDR）がありません");
        first = false;
        if ((b[at + 4] & 0x20) == 0) { // critical
            const auto crc =
                quint32(crc32_z(crc32_z(0, nullptr, 0), b + at + 4, 4 + std::size_t(length)));
            if (crc != U32BigEndian(data.constData() + at + 8 + qsizetype(length)))
                return QStringLiteral("「%1」のCRCが合いません").arg(QString::fromLatin1(type));
        }
        if (type == "IEND")
            return {};
        at += 12 + qsizetype(length);
    }
    return QStringLiteral("データが途中で切れています");
}

// The bytes the image data of a PNG picture inflates to: a filter byte and the packed samples
// of each row, for each of the seven passes of an interlaced picture.
qint64 PngImageBytes(quint32 width, quint32 height, int depth, int colourType, bool interlaced) {
    const int channels = colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
    const auto rows = [&](qint64 w, qint64 h) {
        return w == 0 || h == 0 ? 0 : h * (1 + (w * channels * depth + 7) / 8);
    };
    if (!interlaced)
        return rows(width, height);
    static constexpr int Passes[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                         {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    qint64 bytes = 0;
    for (const auto& p : Passes) {
        const qint64 w = width > quint32(p[0]) ? (width - p[0] + p[2] - 1) / p[2] : 0;
        const qint64 h = height > quint32(p[1]) ? (height - p[1] + p[3] - 1) / p[3] : 0;
        bytes += rows(w, h);
    }
    return bytes;
}

// Why a PNG picture's image data cannot be decoded, or empty when it can: the zlib stream of
// its IDAT chunks must inflate without error to all the rows the header announces. libpng
// would find the same, but says so in English on standard error before Qt's reader gives up.
QString PngDataDamage(const QByteArray& data) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return {};
    qint64 expected = -1;
    qint64 inflated = 0;
    int status = Z_OK;
    char sink[64 * 1024];
    for (qsizetype at = 8; data.size() - at >= 12 && status == Z_OK;) {
        const quint32 length = U32BigEndian(data.constData() + at);
        if (length > quint32(data.size() - at - 12))
            break;
        const QByteArray type = data.mid(at + 4, 4);
        const char* body = data.constData() + at + 8;
        if (type == "IHDR" && length == 13)
            expected = PngImageBytes(U32BigEndian(body), U32BigEndian(body + 4),
                                     static_cast<unsigned char>(body[8]),
                                     static_cast<unsigned char>(body[9]), body[12] != 0);
        if (type == "IDAT") {
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body));
            stream.avail_in = length;
            while (stream.avail_in > 0 && status == Z_OK) {
                stream.next_out = reinterpret_cast<Bytef*>(sink);
                stream.avail_out = sizeof sink;
                status = inflate(&stream, Z_NO_FLUSH);
                inflated += qint64(sizeof sink - stream.avail_out);
                if (status == Z_BUF_ERROR)
                    status = Z_OK; // wants the next chunk
            }
        }
        if (type == "IEND")
            break;
        at += 12 + qsizetype(length);
    }
    inflateEnd(&stream);
    if (status != Z_OK && status != Z_STREAM_END)
        return QStringLiteral("画像データの圧縮が壊れています");
    if (expected >= 0 && inflated < expected)
        return QStringLiteral("画像データが途中で切れています");
    return {};
}

// WebP: a RIFF file of chunks with a four-letter name, a length (4 bytes, little-endian) and
// the data, padded to an even length; "ICCP" holds the profile, "EXIF" an EXIF block; the
// picture itself is "VP8 " (lossy) or "VP8L" (lossless).
void ReadWebPMetadata(const QByteArray& data, TPhotoHeader& header) {
    qsizetype at = 12;
    while (data.size() - at >= 8) {
        const QByteArray type = data.mid(at, 4);
        const quint32 length = U32LittleEndian(data.constData() + at + 4);
        if (length > quint32(data.size() - at - 8))
            break;
        if (type == "ICCP" && length <= quint32(MaxIccProfileBytes))
            header.IccProfile = data.mid(at + 8, qsizetype(length));
        else if (type == "EXIF")
            header.Orientation = OrientationOf(data.mid(at + 8, qsizetype(length)));
        else if (type == "VP8 ")
            header.Lossy = true;
        at += 8 + qsizetype(length) + qsizetype(length & 1);
    }
}

// A GIF's logical screen, on which its frames are drawn: what Qt's reader makes of it.
QSize GifScreen(const QByteArray& data) {
    if (data.size() < 10)
        return {};
    const auto* b = reinterpret_cast<const unsigned char*>(data.constData());
    return {b[6] | b[7] << 8, b[8] | b[9] << 8};
}

// Whether a GIF holds its first image whole. Qt's reader draws what it finds of a frame cut
// short and says nothing; a picture with its lower part missing is not one to print. Walks
// the blocks (extensions, then the first image's descriptor, colour table and data, each a
// chain of sub-blocks ending in an empty one) within the bytes there are.
bool GifFirstImageComplete(const QByteArray& data) {
    const auto* b = reinterpret_cast<const unsigned char*>(data.constData());
    const qsizetype n = data.size();
    if (n < 13)
        return false;
    const auto colourTable = [](unsigned char flags) {
        return (flags & 0x80) != 0 ? qsizetype(3) << ((flags & 7) + 1) : qsizetype(0);
    };
    qsizetype at = 13 + colourTable(b[10]);
    const auto skipSubBlocks = [&] {
        while (at < n) {
            const int length = b[at++];
            if (length == 0)
                return true;
            at += length;
        }
        return false;
    };
    while (at < n) {
        const unsigned char kind = b[at++];
        if (kind == 0x21) { // an extension: its label, then its sub-blocks
            ++at;
            if (!skipSubBlocks())
                return false;
        } else if (kind == 0x2C) { // the first image
            if (n - at < 9)
                return false;
            at += 9 + colourTable(b[at + 8]);
            ++at; // the LZW code size
            return skipSubBlocks();
        } else {
            return false; // the trailer before any image, or no GIF block at all
        }
    }
    return false;
}

// Pixels with an alpha channel laid on white paper, as 32-bit RGB.
QImage OnWhite(const QImage& image) {
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(argb.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb c = row[x];
            const int a = qAlpha(c);
            const auto mix = [a](int v) { return (v * a + 255 * (255 - a) + 127) / 255; };
            row[x] = qRgb(mix(qRed(c)), mix(qGreen(c)), mix(qBlue(c)));
        }
    }
    return argb.convertToFormat(QImage::Format_RGB32); // the same pixels, flagged opaque
}

// A reader over the bytes. QBuffer wants a non-const array: `copy` is a shallow one.
struct Reader {
    Reader(const QByteArray& data, TPhotoFormat format) : Copy(data), Buffer(&Copy) {
        Buffer.open(QIODevice::ReadOnly);
        Image.setDevice(&Buffer);
        Image.setFormat(ReaderFormat(format));
        Image.setAutoTransform(false); // the orientation is applied to the reduced picture
        if (format == TPhotoFormat::Tiff) {
            Image.canRead(); // loads Qt's TIFF reader, and libtiff with it
            RouteTiffMessages();
        }
    }
    QByteArray Copy;
    QBuffer Buffer;
    QImageReader Image;
};

void CheckReaderExists(TPhotoFormat format) {
    if (!QImageReader::supportedImageFormats().contains(ReaderFormat(format)))
        throw EPhotoError(EPhotoError::pkNoReader);
}

} // namespace

TPhotoHeader ReadQtPhotoHeader(const QByteArray& data, TPhotoFormat format) {
    CheckReaderExists(format);
    TPhotoHeader header;
    header.Format = format;
    if (format == TPhotoFormat::Png)
        if (const QString damage = PngDamage(data); !damage.isEmpty())
            throw EPhotoError(EPhotoError::pkDamaged, damage);
    Reader reader(data, format);
    const QSize size = reader.Image.size();
    if (!size.isValid() || size.isEmpty())
        throw EPhotoError(EPhotoError::pkDamaged, reader.Image.errorString());
    header.StoredSize = size;
    switch (format) {
    case TPhotoFormat::Png:
        ReadPngMetadata(data, header);
        break;
    case TPhotoFormat::WebP:
        ReadWebPMetadata(data, header);
        break;
    case TPhotoFormat::Tiff:
        header.Orientation = OrientationOf(data);
        header.IccProfile = TiffIccProfile(data);
        break;
    case TPhotoFormat::Gif:
        if (!GifFirstImageComplete(data))
            throw EPhotoError(EPhotoError::pkDamaged, QStringLiteral("データが途中で切れています"));
        // Qt's reader draws the first frame on the whole logical screen, which may be larger
        // than the frame it announces.
        header.StoredSize = size.expandedTo(GifScreen(data));
        break;
    case TPhotoFormat::Heif:
        break;
    }
    header.CodedSize = header.StoredSize;
    return header;
}

QImage DecodeQtPhoto(const QByteArray& data, const TPhotoHeader& header, bool* damaged) {
    CheckReaderExists(header.Format);
    Reader reader(data, header.Format);
    // Room for the largest picture allowed at 64 bits a pixel (16-bit PNG and TIFF files),
    // which Qt's reader holds before it is made 32 bits; Qt refuses anything over 128 MB
    // otherwise. The size was checked against MaxGraphicPixels before.
    reader.Image.setAllocationLimit(int(MaxGraphicPixels * 8 / (1024 * 1024)) + 1);
    if (header.Format == TPhotoFormat::Png)
        if (const QString damage = PngDataDamage(data); !damage.isEmpty())
            throw EPhotoError(EPhotoError::pkDamaged, damage);
    QImage image;
    const TDecoderNotes notes;
    if (!reader.Image.read(&image) || image.isNull())
        throw EPhotoError(EPhotoError::pkDamaged, reader.Image.errorString());
    // A PNG picture's image data was inflated whole before (PngDataDamage): what libpng says
    // on reading is of the chunks around it ("tEXt: CRC error"), which it skips.
    if (damaged != nullptr)
        *damaged = header.Format != TPhotoFormat::Png && notes.SpeakOfDamage();
    image = OnWhite(image);
    if (image.isNull())
        throw EPhotoError(EPhotoError::pkOutOfMemory);
    if (image.size() != header.StoredSize) {
        // Drawn on the size announced, so that the picture keeps the size it was shown with.
        QImage sized(header.StoredSize, QImage::Format_RGB32);
        if (sized.isNull())
            throw EPhotoError(EPhotoError::pkOutOfMemory);
        sized.fill(Qt::white);
        const int w = std::min(image.width(), sized.width());
        for (int y = 0; y < std::min(image.height(), sized.height()); ++y)
            std::memcpy(sized.scanLine(y), image.constScanLine(y), std::size_t(w) * 4);
        image = sized;
    }
    return image;
}
