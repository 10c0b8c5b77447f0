#include "graphic.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <optional>

#include <sys/mman.h>
#include <sys/stat.h>

#include "atomicfile.h"
#include "canvas.h"
#include "graphicpart.h"

TGraphic::~TGraphic() = default;

TGraphic::TGraphic(const TGraphic& other) : FDamage(other.DamageNote()) {}

TGraphic& TGraphic::operator=(const TGraphic& other) {
    if (this != &other) {
        const QString note = other.DamageNote();
        const std::lock_guard lock(FDamageLock);
        FDamage = note;
    }
    return *this;
}

QString TGraphic::DamageNote() const {
    const std::lock_guard lock(FDamageLock);
    return FDamage;
}

void TGraphic::ClearDamage() {
    const std::lock_guard lock(FDamageLock);
    FDamage.clear();
}

void TGraphic::NoteDamage(const QString& reason) const {
    const std::lock_guard lock(FDamageLock);
    if (FDamage.isEmpty())
        FDamage = reason;
}

void TGraphic::LoadFromFile(const QString& fileName) {
    LoadFromBytes(ReadGraphicFile(fileName));
}

void TGraphic::LoadFromStream(QIODevice& stream) {
    const qint64 left = stream.isSequential() ? 0 : stream.size() - stream.pos();
    std::optional<QByteArray> bytes;
    if (left <= MaxGraphicFileBytes)
        bytes = ReadToEnd(stream, left);
    if (!bytes)
        throw EInvalidGraphic(QStringLiteral("画像データが大きすぎます。"));
    LoadFromBytes(*bytes);
}

void TGraphic::SaveToFile(const QString& fileName) const {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    SaveToStream(buffer);
    WriteGraphicFile(fileName, buffer.data());
}

void TGraphic::Draw(TCanvas& canvas, const TRect& rect) const {
    if (Empty() || rect.IsEmpty())
        return;
    canvas.StretchDraw(rect, ToImageForSize(QSize(rect.Width(), rect.Height())));
}

QImage TGraphic::ToImageForSize(const QSize&) const {
    return ToImage();
}

QImage TGraphic::ToImageWithin(const QSize&) const {
    return ToImage();
}

TGraphicPart TGraphic::ToImagePart(const QRectF& part, const QSize& size) const {
    if (Empty())
        return {};
    const QSizeF seen(Width(), Height());
    const QRectF p = part & QRectF(QPointF(0, 0), seen);
    if (p.isEmpty())
        return {};
    // The whole picture at the size that gives the part `size` pixels.
    const auto whole = [](int wanted, double all, double shown, int own) {
        return std::clamp(int(std::ceil(wanted * all / shown)), 1, std::max(own, 1));
    };
    const QImage decoded =
        ToImageForSize(QSize(whole(size.width(), seen.width(), p.width(), Width()),
                             whole(size.height(), seen.height(), p.height(), Height())));
    if (decoded.isNull())
        return {};
    const TGraphicPartPlan plan = PlanGraphicPart(seen, decoded.size(), p, size);
    if (plan.Region.isEmpty())
        return {};
    return {ReduceGraphicRegion(decoded, plan.Region, plan.Out), plan.Source};
}

void TGraphic::Assign(const TGraphic& source) {
    if (&source == this)
        return;
    source.AssignTo(*this);
}

void TGraphic::AssignTo(TGraphic& target) const {
    throw EInvalidGraphic(FormatMessage(QStringLiteral("%s を %s に代入できません。"),
                                        {ClassName(), target.ClassName()}));
}

EInvalidGraphic GraphicTooLarge(qint64 width, qint64 height, const QString& fileName) {
    const QString named =
        fileName.isEmpty() ? QString() : QStringLiteral("「") + fileName + QStringLiteral("」");
    return EInvalidGraphic(FormatMessage(
        QStringLiteral(
            "画像%sが大きすぎます（%s × %s ピクセル）。1 億ピクセルまでの画像を使ってください。"),
        {named, QString::number(width), QString::number(height)}));
}

namespace {

// A photo of tens of megabytes is read into memory the kernel has to hand out page by page:
// in 4 KB pages that is thousands of faults, each zeroing a page the read then overwrites,
// and costs more than the copy itself. Asked for in 2 MB pages it is a handful. Only advice:
// where the kernel has none to give, the buffer works as any other.
void AdviseLargePages(char* data, qsizetype size) {
#ifdef MADV_HUGEPAGE
    constexpr quintptr Large = 2 << 20;
    const quintptr begin = (reinterpret_cast<quintptr>(data) + Large - 1) & ~(Large - 1);
    const quintptr end = (reinterpret_cast<quintptr>(data) + quintptr(size)) & ~(Large - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(size);
#endif
}

} // namespace

std::optional<QByteArray> ReadToEnd(QIODevice& device, qint64 expected) {
    // What the device says it holds comes in one read; what it holds beyond that (a file that
    // grew meanwhile, a pipe that tells no size) in parts, never without end. A file that
    // shrank meanwhile is read as far as it goes, and found damaged by its reader.
    QByteArray bytes(expected, Qt::Uninitialized);
    AdviseLargePages(bytes.data(), bytes.size());
    qint64 got = 0;
    while (got < expected) {
        const qint64 n = device.read(bytes.data() + got, expected - got);
        if (n <= 0)
            break;
        got += n;
    }
    bytes.truncate(got);
    if (got < expected)
        return bytes;
    constexpr qint64 Part = 1 << 20;
    for (QByteArray more = device.read(Part); !more.isEmpty(); more = device.read(Part)) {
        if (bytes.size() + more.size() > MaxGraphicFileBytes)
            return std::nullopt;
        bytes += more;
    }
    return bytes;
}

QByteArray ReadGraphicFile(const QString& fileName) {
    const QString shown = QFileInfo(fileName).fileName();
    // A regular file only: opening a FIFO waits for a writer that may never come, a device
    // such as /dev/zero never ends, and a socket cannot be opened at all.
    struct stat status {};
    if (::stat(QFile::encodeName(fileName).constData(), &status) == 0 && !S_ISREG(status.st_mode))
        throw EInvalidGraphic(FormatMessage(
            QStringLiteral("画像ファイル「%s」はふつうのファイルではないので読み込めません。"),
            {shown}));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw EInvalidGraphic(
            FormatMessage(QStringLiteral("画像ファイル「%s」を開けません。"), {shown}));
    std::optional<QByteArray> bytes;
    if (file.size() <= MaxGraphicFileBytes)
        bytes = ReadToEnd(file, file.size());
    if (!bytes)
        throw EInvalidGraphic(
            FormatMessage(QStringLiteral("画像ファイル「%s」は大きすぎます。"), {shown}));
    if (file.error() != QFileDevice::NoError)
        throw EInvalidGraphic(
            FormatMessage(QStringLiteral("画像ファイル「%s」を読み込めません。"), {shown}));
    return *bytes;
}

void WriteGraphicFile(const QString& fileName, const QByteArray& bytes) {
    // Written beside the target and renamed over it, so a failed write never leaves half a
    // picture where a whole one was.
    if (!ReplaceFileAtomically(fileName, bytes))
        throw EInvalidGraphic(FormatMessage(QStringLiteral("画像ファイル「%s」に書き込めません。"),
                                            {QFileInfo(fileName).fileName()}));
}
