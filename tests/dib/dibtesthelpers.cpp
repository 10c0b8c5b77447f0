#include "dibtesthelpers.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>

#include "dib/dibio.h"

namespace {

void Put16(QByteArray& b, std::uint16_t v) {
    b.append(static_cast<char>(v & 0xFF));
    b.append(static_cast<char>(v >> 8));
}

void Put32(QByteArray& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

} // namespace

QByteArray TBmpFile::Bytes() const {
    QByteArray header;
    Put32(header, HeaderSize);
    if (HeaderSize == 12) {
        Put16(header, static_cast<std::uint16_t>(Width));
        Put16(header, static_cast<std::uint16_t>(Height));
        Put16(header, Planes);
        Put16(header, BitCount);
    } else {
        Put32(header, static_cast<std::uint32_t>(Width));
        Put32(header, static_cast<std::uint32_t>(Height));
        Put16(header, Planes);
        Put16(header, BitCount);
        Put32(header, Compression);
        Put32(header, SizeImage);
        Put32(header, static_cast<std::uint32_t>(XPelsPerMeter));
        Put32(header, static_cast<std::uint32_t>(YPelsPerMeter));
        Put32(header, ClrUsed);
        Put32(header, ClrImportant);
        if (HeaderSize > 40) {
            for (std::uint32_t m : Masks)
                Put32(header, m);
            header.resize(HeaderSize, '\0');
        } else {
            for (std::uint32_t m : Masks)
                Put32(header, m);
        }
    }
    const std::uint32_t off =
        OffBits.value_or(static_cast<std::uint32_t>(14 + header.size() + Table.size()));
    QByteArray file;
    Put16(file, Type);
    const std::uint32_t total = static_cast<std::uint32_t>(
        std::max<qsizetype>(off, 14 + header.size() + Table.size()) + Pixels.size());
    Put32(file, FileSize.value_or(total));
    Put32(file, 0);
    Put32(file, off);
    file += header;
    file += Table;
    if (file.size() < static_cast<qsizetype>(off))
        file.append(QByteArray(static_cast<qsizetype>(off) - file.size(), '\0'));
    file += Pixels;
    return file;
}

QByteArray RampTable(int count) {
    QByteArray t;
    for (int i = 0; i < count; ++i) {
        t.append(static_cast<char>(i & 0xFF));
        t.append(static_cast<char>(255 - (i & 0xFF)));
        t.append(static_cast<char>((i & 0xFF) / 2));
        t.append('\0');
    }
    return t;
}

TDIBInfo ReadBytes(const QByteArray& bytes, bool UseFMO) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return ReadDIBFile(buffer, UseFMO);
}

QByteArray WriteBytes(const TDIBInfo& info) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    WriteDIBFile(info, buffer);
    return out;
}

TDIBInfo MakeIndexedDIB(int width, int height, int bits, const std::vector<int>& indices,
                        const std::vector<RGBQUAD>& table) {
    TDIBInfo info;
    info.Header = MakeInfoHeader(width, height, bits, static_cast<int>(table.size()));
    info.Memory = GetMemory(info.UncompressedSize(), false);
    std::copy(table.begin(), table.end(), info.ColorTable.begin());
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = info.Row(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const int index = indices[static_cast<std::size_t>(y * width + x)];
            switch (bits) {
            case 1:
                row[x / 8] |= static_cast<std::uint8_t>((index & 1) << (7 - x % 8));
                break;
            case 4:
                row[x / 2] |= static_cast<std::uint8_t>(x % 2 ? index : index << 4);
                break;
            default:
                row[x] = static_cast<std::uint8_t>(index);
            }
        }
    }
    return info;
}

TDIBInfo MakeTrueColorDIB(const QImage& source, bool topDown) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    TDIBInfo info;
    info.Header = MakeInfoHeader(image.width(), topDown ? -image.height() : image.height(), 24, 0);
    info.Memory = GetMemory(info.UncompressedSize(), false);
    for (int y = 0; y < image.height(); ++y) {
        std::uint8_t* row = info.Row(topDown ? y : image.height() - 1 - y);
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            row[3 * x] = static_cast<std::uint8_t>(qBlue(c));
            row[3 * x + 1] = static_cast<std::uint8_t>(qGreen(c));
            row[3 * x + 2] = static_cast<std::uint8_t>(qRed(c));
        }
    }
    return info;
}

TTempDir::TTempDir()
    : FPath(QDir::temp().filePath(QStringLiteral("tamurika-dib-") +
                                  QUuid::createUuid().toString(QUuid::WithoutBraces))) {
    QDir().mkpath(FPath);
}

TTempDir::~TTempDir() {
    QDir(FPath).removeRecursively();
}

QString TTempDir::File(const QString& name) const {
    return QDir(FPath).filePath(name);
}

bool RunConvert(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral(TAMURIKA_CONVERT), arguments);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << "convert " << arguments.join(u' ').toStdString()
                      << " failed: " << p.readAllStandardError().toStdString();
        return false;
    }
    return true;
}

QImage ImageMagickDecode(const QString& path) {
    const QString png = path + QStringLiteral(".decoded.png");
    if (!RunConvert({path, QStringLiteral("-alpha"), QStringLiteral("off"),
                     QStringLiteral("PNG24:") + png}))
        return {};
    QImage image(png);
    QFile::remove(png);
    return image.convertToFormat(QImage::Format_RGB32);
}

void SaveFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray LoadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

::testing::AssertionResult SameImage(const QImage& expected, const QImage& actual, int tolerance) {
    if (expected.isNull() || actual.isNull())
        return ::testing::AssertionFailure() << "an image is missing";
    if (expected.size() != actual.size())
        return ::testing::AssertionFailure()
               << "size " << actual.width() << "x" << actual.height() << ", expected "
               << expected.width() << "x" << expected.height();
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb e = expected.pixel(x, y);
            const QRgb a = actual.pixel(x, y);
            if (std::abs(qRed(e) - qRed(a)) > tolerance ||
                std::abs(qGreen(e) - qGreen(a)) > tolerance ||
                std::abs(qBlue(e) - qBlue(a)) > tolerance)
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << std::hex << (a & 0xFFFFFF)
                       << ", expected " << (e & 0xFFFFFF);
        }
    return ::testing::AssertionSuccess();
}
