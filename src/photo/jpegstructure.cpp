#include "jpegstructure.h"

#include <cstring>
#include <vector>

namespace {

constexpr std::uint8_t SOI = 0xD8;
constexpr std::uint8_t EOI = 0xD9;
constexpr std::uint8_t SOS = 0xDA;
constexpr std::uint8_t DNL = 0xDC;
constexpr std::uint8_t APP0 = 0xE0;
constexpr std::uint8_t APP2 = 0xE2;
constexpr std::uint8_t APP14 = 0xEE;

// Start-of-frame markers: 0xC0..0xCF except DHT (C4), JPG (C8) and DAC (CC).
bool IsFrame(std::uint8_t m) {
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

// Markers that stand alone, without a length: TEM and the restart markers.
bool IsStandalone(std::uint8_t m) {
    return m == 0x01 || (m >= 0xD0 && m <= 0xD7);
}

std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}

std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 |
           std::uint32_t(p[3]);
}

bool StartsWith(const std::uint8_t* p, std::size_t size, const char* tag, std::size_t length) {
    return size >= length && std::memcmp(p, tag, length) == 0;
}

// The end of the entropy-coded data that begins at `at`: the position of the 0xFF of the
// next marker other than a restart marker. Inside the data a 0xFF is followed by a stuffed
// 0x00 or a restart marker; fill bytes 0xFF may precede a marker. `size` when none follows.
std::size_t EndOfScan(const std::uint8_t* data, std::size_t size, std::size_t at) {
    while (at < size) {
        const void* found = std::memchr(data + at, 0xFF, size - at);
        if (found == nullptr)
            return size;
        std::size_t p = static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - data);
        std::size_t next = p + 1;
        while (next < size && data[next] == 0xFF)
            ++next;
        if (next >= size)
            return size;
        const std::uint8_t m = data[next];
        if (m == 0x00 || (m >= 0xD0 && m <= 0xD7)) {
            at = next + 1;
            continue;
        }
        return next - 1; // the last 0xFF before the marker code
    }
    return size;
}

struct IccChunk {
    int Sequence;
    QByteArray Bytes;
};

// Joins the chunks of an ICC profile: numbered 1..count, each once, all with the same count.
QByteArray JoinIccChunks(std::vector<IccChunk>& chunks, int count) {
    if (chunks.empty() || count <= 0 || static_cast<int>(chunks.size()) != count)
        return {};
    std::vector<const IccChunk*> ordered(static_cast<std::size_t>(count), nullptr);
    for (const IccChunk& chunk : chunks) {
        if (chunk.Sequence < 1 || chunk.Sequence > count)
            return {};
        const IccChunk*& slot = ordered[static_cast<std::size_t>(chunk.Sequence - 1)];
        if (slot != nullptr)
            return {};
        slot = &chunk;
    }
    QByteArray profile;
    for (const IccChunk* chunk : ordered)
        profile += chunk->Bytes;
    return profile;
}

} // namespace

std::optional<TJPEGStructure> ReadJPEGStructure(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const auto size = static_cast<std::size_t>(bytes.size());
    if (size < 4 || data[0] != 0xFF || data[1] != SOI)
        return std::nullopt;
    TJPEGStructure s;
    bool frame = false;
    std::vector<IccChunk> iccChunks;
    int iccCount = 0;
    bool iccBroken = false;
    std::size_t at = 2;
    for (;;) {
        // A marker: 0xFF, any fill bytes 0xFF, the code.
        if (at >= size || data[at] != 0xFF)
            return std::nullopt;
        while (at < size && data[at] == 0xFF)
            ++at;
        if (at >= size)
            return std::nullopt;
        const std::uint8_t marker = data[at++];
        if (marker == EOI)
            break;
        if (marker == 0x00 || marker == SOI)
            return std::nullopt;
        if (IsStandalone(marker))
            continue;
        if (size - at < 2)
            return std::nullopt;
        const std::size_t length = U16(data + at);
        if (length < 2 || length > size - at)
            return std::nullopt;
        const std::uint8_t* p = data + at + 2; // the segment's payload
        const std::size_t n = length - 2;
        at += length;

        if (IsFrame(marker)) {
            if (n < 6)
                return std::nullopt;
            const int components = p[5];
            if (components == 0 || n != 6 + 3 * std::size_t(components))
                return std::nullopt;
            if (frame || s.Scans > 0) {
                s.ExtraFrames = true;
                continue;
            }
            frame = true;
            s.FrameMarker = marker;
            s.Precision = p[0];
            s.Height = U16(p + 1);
            s.Width = U16(p + 3);
            s.Components = components;
            for (int c = 0; c < components && c < 4; ++c)
                s.ComponentIds[static_cast<std::size_t>(c)] = p[6 + 3 * c];
        } else if (marker == 0xDE) { // DHP: a hierarchical stream
            s.ExtraFrames = true;
        } else if (marker == SOS) {
            if (!frame || n < 1 || n != 4 + 2 * std::size_t(p[0]))
                return std::nullopt;
            ++s.Scans;
            at = EndOfScan(data, size, at);
            if (at >= size)
                return std::nullopt; // cut short inside a scan
        } else if (marker == DNL) {
            if (n != 2)
                return std::nullopt;
            if (s.Height == 0)
                s.Height = U16(p);
        } else if (marker == APP0) {
            if (StartsWith(p, n, "JFIF\0", 5))
                s.Jfif = true;
        } else if (marker == APP14) {
            // "Adobe", version (2), flags0 (2), flags1 (2), transform (1).
            if (StartsWith(p, n, "Adobe", 5) && n >= 12) {
                s.Adobe = true;
                s.AdobeTransform = p[11];
            }
        } else if (marker == APP2) {
            // "ICC_PROFILE\0", the chunk's number (from 1), the number of chunks, the bytes.
            if (StartsWith(p, n, "ICC_PROFILE\0", 12)) {
                if (n < 14) {
                    iccBroken = true;
                    continue;
                }
                const int count = p[13];
                if (iccCount != 0 && count != iccCount)
                    iccBroken = true;
                iccCount = count;
                iccChunks.push_back({p[12], QByteArray(reinterpret_cast<const char*>(p + 14),
                                                       static_cast<qsizetype>(n - 14))});
            }
        }
    }
    if (!frame || s.Scans == 0)
        return std::nullopt;
    if (!iccBroken)
        s.IccProfile = JoinIccChunks(iccChunks, iccCount);
    return s;
}

bool PdfReadableJPEG(const TJPEGStructure& s) {
    // Baseline, extended sequential and progressive Huffman coding; arithmetic, lossless and
    // hierarchical coding and 12-bit samples are beyond what PDF readers promise to decode.
    const bool huffman = s.FrameMarker == 0xC0 || s.FrameMarker == 0xC1 || s.FrameMarker == 0xC2;
    return huffman && !s.ExtraFrames && s.Precision == 8 && s.Width > 0 && s.Height > 0 &&
           (s.Components == 1 || s.Components == 3 || s.Components == 4);
}

bool IccProfileFits(const QByteArray& profile, int components) {
    // The header: size (0), ..., data colour space (16), ..., signature "acsp" (36); 128 bytes.
    if (profile.size() < 132)
        return false;
    const auto* p = reinterpret_cast<const std::uint8_t*>(profile.constData());
    if (U32(p) != static_cast<std::uint32_t>(profile.size()) || std::memcmp(p + 36, "acsp", 4) != 0)
        return false;
    const char* space = components == 1   ? "GRAY"
                        : components == 3 ? "RGB "
                        : components == 4 ? "CMYK"
                                          : nullptr;
    return space != nullptr && std::memcmp(p + 16, space, 4) == 0;
}
