#include "picture.h"

#include <algorithm>
#include <vector>

#include <QFileInfo>

#include "jpegimage.h"
#include "photoimage.h"
#include "platform/bitmap.h"

namespace {

struct FileFormat {
    QString Extension;
    QString Description;
    TGraphicClass Make;
};

// The registry of picture formats: the one piece of global state of the graphic framework,
// touched only on the user-interface thread.
std::vector<FileFormat>& Formats() {
    static std::vector<FileFormat> formats = [] {
        const TGraphicClass bitmap = [] { return std::make_unique<TBitmap>(); };
        const TGraphicClass jpeg = [] { return std::make_unique<TJPEGImage>(); };
        const auto photo = [](TPhotoFormat format) -> TGraphicClass {
            return [format] { return std::make_unique<TPhotoImage>(format); };
        };
        return std::vector<FileFormat>{
            {QStringLiteral("bmp"), QStringLiteral("Bitmaps"), bitmap},
            {QStringLiteral("jpg"), QStringLiteral("JPEG Image File"), jpeg},
            {QStringLiteral("jpeg"), QStringLiteral("JPEG Image File"), jpeg},
            {QStringLiteral("png"), QStringLiteral("Portable Network Graphics"),
             photo(TPhotoFormat::Png)},
            {QStringLiteral("gif"), QStringLiteral("GIF Image"), photo(TPhotoFormat::Gif)},
            {QStringLiteral("tif"), QStringLiteral("TIFF Image"), photo(TPhotoFormat::Tiff)},
            {QStringLiteral("tiff"), QStringLiteral("TIFF Image"), photo(TPhotoFormat::Tiff)},
            {QStringLiteral("webp"), QStringLiteral("WebP Image"), photo(TPhotoFormat::WebP)},
            {QStringLiteral("heic"), QStringLiteral("HEIF Image"), photo(TPhotoFormat::Heif)},
            {QStringLiteral("heif"), QStringLiteral("HEIF Image"), photo(TPhotoFormat::Heif)},
        };
    }();
    return formats;
}

std::vector<FileFormat>::iterator FindFormat(const QString& extension) {
    const QString key = extension.toLower();
    auto& formats = Formats();
    return std::find_if(formats.begin(), formats.end(),
                        [&key](const FileFormat& f) { return f.Extension == key; });
}

} // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::SetGraphic(const TGraphic* graphic) {
    SetGraphic(graphic != nullptr ? graphic->Clone() : nullptr);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
    FGraphic = std::move(graphic);
    Changed();
}

void TPicture::Assign(const TPicture* source) {
    if (source == this)
        return;
    SetGraphic(source != nullptr ? source->Graphic() : nullptr);
}

TBitmap& TPicture::Bitmap() {
    if (auto* bitmap = dynamic_cast<TBitmap*>(FGraphic.get()))
        return *bitmap;
    auto bitmap = std::make_unique<TBitmap>();
    TBitmap& result = *bitmap;
    SetGraphic(std::move(bitmap));
    return result;
}

int TPicture::Width() const {
    return FGraphic ? FGraphic->Width() : 0;
}
int TPicture::Height() const {
    return FGraphic ? FGraphic->Height() : 0;
}
bool TPicture::Empty() const {
    return !FGraphic || FGraphic->Empty();
}

void TPicture::LoadFromFile(const QString& fileName) {
    SetGraphic(ReadFile(fileName));
}

namespace {

// A reason in the user's words. The bitmap unit's are English ("TVdInternalDIB.LoadFromStream:
// Image Too Large"), which is right for a report of where it failed but means nothing to a
// family; a reason already in Japanese (a stream that ended early) stays as it is.
QString UserReason(const QString& reason) {
    const bool english =
        std::all_of(reason.begin(), reason.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (!english)
        return reason;
    if (reason.contains(QLatin1String("Too Large"), Qt::CaseInsensitive))
        return QStringLiteral("1 億ピクセルを超える画像です");
    if (reason.contains(QLatin1String("File type is invalid")))
        return QStringLiteral("ビットマップのファイルではありません");
    return QStringLiteral("ビットマップのデータが壊れているか、読めない種類です");
}

} // namespace

std::unique_ptr<TGraphic> TPicture::ReadFile(const QString& fileName) {
    std::unique_ptr<TGraphic> graphic = NewGraphicForFile(fileName);
    try {
        graphic->LoadFromFile(fileName);
    } catch (const EInvalidGraphic&) {
        throw;
    } catch (const Exception& e) {
        // A picture class with a family of errors of its own (the device-independent bitmap's
        // name the class and operation, in English): the user is told in Japanese which file
        // could not be read, and why in their words too.
        throw EInvalidGraphic(
            FormatMessage(QStringLiteral("画像ファイル「%s」を読み込めません（%s）。"),
                          {QFileInfo(fileName).fileName(), UserReason(e.Message())}));
    }
    return graphic;
}

void TPicture::SaveToFile(const QString& fileName) const {
    if (!FGraphic)
        throw EInvalidGraphic(QStringLiteral("保存する画像がありません。"));
    FGraphic->SaveToFile(fileName);
}

void TPicture::Changed() {
    if (OnChange)
        OnChange();
}

void TPicture::RegisterFileFormat(const QString& extension, const QString& description,
                                  TGraphicClass graphicClass) {
    QString key = extension.toLower();
    if (key.startsWith(u'.'))
        key.remove(0, 1);
    if (auto it = FindFormat(key); it != Formats().end()) {
        it->Description = description;
        it->Make = std::move(graphicClass);
        return;
    }
    Formats().push_back({key, description, std::move(graphicClass)});
}

void TPicture::UnregisterFileFormat(const QString& extension) {
    QString key = extension.toLower();
    if (key.startsWith(u'.'))
        key.remove(0, 1);
    if (auto it = FindFormat(key); it != Formats().end())
        Formats().erase(it);
}

QStringList TPicture::FileExtensions() {
    QStringList list;
    for (const FileFormat& f : Formats())
        list << f.Extension;
    return list;
}

QString TPicture::FileFilter(const QString& description) {
    const QStringList extensions = FileExtensions();
    QStringList patterns;
    for (const QString& extension : extensions)
        patterns << QStringLiteral("*.") + extension;
    return description + u'(' + extensions.join(u',') + QStringLiteral(")|") + patterns.join(u';');
}

bool TPicture::IsPictureFileName(const QString& fileName) {
    const QString extension = QFileInfo(fileName).suffix();
    return !extension.isEmpty() && FindFormat(extension) != Formats().end();
}

QString TPicture::FileFormatDescription(const QString& extension) {
    auto it = FindFormat(extension);
    return it != Formats().end() ? it->Description : QString();
}

std::unique_ptr<TGraphic> TPicture::NewGraphicForFile(const QString& fileName) {
    const QString extension = QFileInfo(fileName).suffix();
    if (auto it = FindFormat(extension); !extension.isEmpty() && it != Formats().end())
        return it->Make();
    throw EInvalidGraphic(FormatMessage(
        QStringLiteral(
            "画像ファイル「%s」の種類（%s）には対応していません（読み込めるのは %s です）。"),
        {QFileInfo(fileName).fileName(),
         extension.isEmpty() ? QStringLiteral("拡張子なし") : QStringLiteral(".") + extension,
         FileExtensions().join(QStringLiteral(", "))}));
}
