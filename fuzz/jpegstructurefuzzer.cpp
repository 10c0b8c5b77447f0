// Fuzzes the JPEG marker walker that decides whether a photo goes into a PDF file as it stands
// (frame, Adobe marker, ICC profile chunks, the entropy-coded data up to the end marker), and
// the ICC header check, with the input both as a JPEG stream and as a profile. A stream the
// walker hands to PDF readers must be one whose frame libjpeg reads the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>

#include "fuzzsupport.h"
#include "photo/jpegcodec.h"
#include "photo/jpegstructure.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (int components : {1, 3, 4})
        if (IccProfileFits(bytes, components))
            Require(bytes.size() >= 132);

    const auto s = ReadJPEGStructure(bytes);
    if (!s)
        return 0;
    Require(s->Scans >= 1 && s->Components >= 1 && s->Components <= 255);
    Require(bytes.size() >= 4);
    if (!PdfReadableJPEG(*s))
        return 0;
    Require(s->Width > 0 && s->Height > 0 && s->Precision == 8);
    try {
        const TJPEGHeader header = ReadJPEGHeader(bytes);
        Require(header.StoredWidth == s->Width && header.StoredHeight == s->Height &&
                header.Components == s->Components);
    } catch (const EInvalidGraphic&) {
        // libjpeg may refuse what is structurally whole (a table missing, a bad component).
    }
    return 0;
}
