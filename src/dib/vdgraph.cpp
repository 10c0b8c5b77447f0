#include "vdgraph.h"

#include <algorithm>
#include <vector>

#include "platform/clipboard.h"

namespace {

struct TClipboardFormat {
    unsigned short Format;
    TVdGraphicClass Make;
};

// The clipboard formats of the picture classes, registered at start-up; user-interface thread
// only, like the picture file formats.
std::vector<TClipboardFormat>& ClipboardFormats() {
    static std::vector<TClipboardFormat> formats;
    return formats;
}

} // namespace

void TVdGraphic::Assign(const TClipboard& clipboard) {
    // The platform's clipboard needs no opening; the palette travels inside the packed data.
    const QByteArray data = clipboard.GetAsHandle(ClipboardFormat());
    LoadFromClipboardFormat(ClipboardFormat(), data, nullptr);
}

void RegisterClipboardFormat(unsigned short format, TVdGraphicClass graphicClass) {
    UnregisterClipboardFormat(format);
    ClipboardFormats().push_back({format, std::move(graphicClass)});
}

void UnregisterClipboardFormat(unsigned short format) {
    auto& formats = ClipboardFormats();
    formats.erase(
        std::remove_if(formats.begin(), formats.end(),
                       [format](const TClipboardFormat& f) { return f.Format == format; }),
        formats.end());
}

std::unique_ptr<TVdGraphic> GraphicFromClipboard(const TClipboard& clipboard) {
    for (const TClipboardFormat& f : ClipboardFormats()) {
        if (!clipboard.HasFormat(f.Format))
            continue;
        std::unique_ptr<TVdGraphic> graphic = f.Make();
        graphic->Assign(clipboard);
        return graphic;
    }
    return nullptr;
}
