#include "framingmemory.h"

#include <cmath>
#include <vector>

#include <QLocale>

#include "settings/statefile.h"

namespace {

const QString ModeKey = QStringLiteral("Mode");
const QString FillValue = QStringLiteral("fill");
const QString FitValue = QStringLiteral("fit");

QString PhotoKey(int n) {
    return QStringLiteral("Photo") + QString::number(n);
}

// One remembered photo, stored as "focusX,focusY,zoom,width,height,path": the path last, as
// it may hold commas itself.
struct TPhotoEntry {
    QString File;
    QSize Size;
    TPictureFraming Framing;

    QString Text() const {
        const auto number = [](double v) { return QString::number(v, 'g', 10); };
        return QStringList{number(Framing.FocusX),         number(Framing.FocusY),
                           number(Framing.Zoom),           QString::number(Size.width()),
                           QString::number(Size.height()), File}
            .join(u',');
    }

    static std::optional<TPhotoEntry> Parse(const QString& text) {
        const QStringList fields = text.split(u',');
        if (fields.size() < 6)
            return std::nullopt;
        const QLocale c = QLocale::c();
        bool ok[5] = {};
        const double x = c.toDouble(fields[0], &ok[0]);
        const double y = c.toDouble(fields[1], &ok[1]);
        const double zoom = c.toDouble(fields[2], &ok[2]);
        const int width = c.toInt(fields[3], &ok[3]);
        const int height = c.toInt(fields[4], &ok[4]);
        for (bool b : ok)
            if (!b)
                return std::nullopt;
        if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(zoom) || x < 0 || x > 1 ||
            y < 0 || y > 1 || zoom < TPictureFraming::MinZoom || zoom > TPictureFraming::MaxZoom)
            return std::nullopt;
        TPhotoEntry entry;
        entry.File = fields.mid(5).join(u',');
        entry.Size = QSize(width, height);
        entry.Framing.Mode = TFrameMode::Fill;
        entry.Framing.FocusX = x;
        entry.Framing.FocusY = y;
        entry.Framing.Zoom = zoom;
        return entry;
    }
};

std::vector<TPhotoEntry> ReadPhotos(const TIniFile& ini) {
    std::vector<TPhotoEntry> photos;
    for (int n = 1; n <= TFramingMemory::MaxPhotos; ++n)
        if (auto entry = TPhotoEntry::Parse(ini.ReadString(FramingSection, PhotoKey(n), {})))
            photos.push_back(*entry);
    return photos;
}

} // namespace

TFrameMode TFramingMemory::Mode() const {
    const TStateFile state(FAppPath);
    return state.ReadString(FramingSection, ModeKey, FitValue).trimmed().toLower() == FillValue
               ? TFrameMode::Fill
               : TFrameMode::Fit;
}

void TFramingMemory::SetMode(TFrameMode mode) {
    TStateFile state(FAppPath);
    state.WriteString(FramingSection, ModeKey, mode == TFrameMode::Fill ? FillValue : FitValue);
}

std::optional<TPictureFraming> TFramingMemory::Recall(const QString& file, QSize size) const {
    const TStateFile state(FAppPath);
    for (const TPhotoEntry& entry : ReadPhotos(state))
        if (entry.File == file && entry.Size == size)
            return entry.Framing;
    return std::nullopt;
}

void TFramingMemory::Remember(const QString& file, QSize size, const TPictureFraming& framing) {
    if (file.contains(u'\n') || file.contains(u'\r'))
        return; // no line of the file could hold it
    TStateFile state(FAppPath);
    TIniFileUpdate update(state);
    std::vector<TPhotoEntry> photos = ReadPhotos(state);
    std::erase_if(photos, [&file](const TPhotoEntry& e) { return e.File == file; });
    TPhotoEntry entry{file, size, framing};
    photos.insert(photos.begin(), entry);
    for (int n = 1; n <= MaxPhotos; ++n)
        state.WriteString(FramingSection, PhotoKey(n),
                          n <= int(photos.size()) ? photos[n - 1].Text() : QString());
    update.Commit();
}
