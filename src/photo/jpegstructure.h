// The marker structure of a JPEG stream, walked from its start to its end without decoding a
// pixel: what a PDF file needs to carry the stream as it stands (the kind of frame, sample
// precision, size and components, the colour transform of an Adobe marker, an embedded ICC
// profile) and whether the stream is whole. The stream comes from outside: every read is
// bounds-checked and nothing is taken on trust.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include <QByteArray>

struct TJPEGStructure {
    /// The start-of-frame marker's code, 0xC0 (baseline) .. 0xCF.
    std::uint8_t FrameMarker = 0;
    int Precision = 0; // bits per sample
    int Width = 0;
    int Height = 0; // 0: the height follows the first scan (a DNL marker)
    int Components = 0;
    std::array<std::uint8_t, 4> ComponentIds{}; // of the first four components
    /// More than one frame (hierarchical coding), or a frame after the first scan.
    bool ExtraFrames = false;
    bool Jfif = false;      // an APP0 "JFIF" marker
    bool Adobe = false;     // an APP14 "Adobe" marker
    int AdobeTransform = 0; // of that marker: 0 none (RGB, CMYK), 1 YCbCr, 2 YCCK
    /// The ICC profile of the APP2 "ICC_PROFILE" chunks, joined in order; empty when there is
    /// none or its chunks do not make one whole profile.
    QByteArray IccProfile;
    int Scans = 0;
};

/// Walks the stream from SOI to EOI: every segment, and the entropy-coded data of every scan
/// up to the marker that ends it. nullopt for bytes that are no JPEG stream, a segment that
/// runs past the end, a scan before any frame, or a stream that ends before EOI (a file cut
/// short). Bytes after EOI are ignored.
std::optional<TJPEGStructure> ReadJPEGStructure(const QByteArray& data);

/// True when the DCT decoder of a PDF reader takes the stream as it stands: one sequential or
/// progressive Huffman-coded frame of 8-bit samples with 1, 3 or 4 components and its height
/// in the frame header.
bool PdfReadableJPEG(const TJPEGStructure& structure);

/// True when `profile` looks like an ICC profile of `components` colour components (GRAY, RGB
/// or CMYK): the header's size, signature and colour space agree with it.
bool IccProfileFits(const QByteArray& profile, int components);
