// HEIC files for the tests, written by libheif's own encoder (x265): heif-enc writes no
// rotation or mirroring, and a phone photo has them. The orientation is given as an EXIF value;
// libheif writes the irot and imir properties that stand for it, and the pixels as given.
#pragma once

#include <cstring>
#include <memory>

#include <QByteArray>
#include <QImage>
#include <QString>

#include <libheif/heif.h>

namespace testing_support {

/// Writes `image` as stored pixels to a HEIC file that is seen turned as EXIF `orientation`
/// says, with `icc` as its colour profile when one is given, or else with a colour box
/// ("nclx") naming the primaries `nclxPrimaries` (H.273; 12 is Display P3) and the sRGB curve
/// when that is not 0; with a thumbnail of at most `thumbnail` pixels a side when that is not
/// 0 (libheif's encoder gives it the rotation and profile of the photo). False when libheif
/// fails.
inline bool WriteHeic(const QImage& image, const QString& path, int orientation = 1,
                      const QByteArray& icc = {}, int quality = 92, int nclxPrimaries = 0,
                      int thumbnail = 0) {
    struct Freer {
        void operator()(heif_context* c) const { heif_context_free(c); }
        void operator()(heif_encoder* e) const { heif_encoder_release(e); }
        void operator()(heif_image* i) const { heif_image_release(i); }
        void operator()(heif_encoding_options* o) const { heif_encoding_options_free(o); }
        void operator()(heif_color_profile_nclx* n) const { heif_nclx_color_profile_free(n); }
        void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
    };
    const std::unique_ptr<heif_context, Freer> context(heif_context_alloc());
    heif_encoder* rawEncoder = nullptr;
    if (heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &rawEncoder)
            .code != heif_error_Ok)
        return false;
    const std::unique_ptr<heif_encoder, Freer> encoder(rawEncoder);
    heif_encoder_set_lossy_quality(encoder.get(), quality);

    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    heif_image* rawImage = nullptr;
    if (heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB,
                          heif_chroma_interleaved_RGB, &rawImage)
            .code != heif_error_Ok)
        return false;
    const std::unique_ptr<heif_image, Freer> heif(rawImage);
    if (heif_image_add_plane(heif.get(), heif_channel_interleaved, rgb.width(), rgb.height(), 8)
            .code != heif_error_Ok)
        return false;
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(heif.get(), heif_channel_interleaved, &stride);
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(plane + y * stride, rgb.constScanLine(y), std::size_t(rgb.width()) * 3);
    if (!icc.isEmpty() && heif_image_set_raw_color_profile(heif.get(), "prof", icc.constData(),
                                                           std::size_t(icc.size()))
                                  .code != heif_error_Ok)
        return false;

    const std::unique_ptr<heif_encoding_options, Freer> options(heif_encoding_options_alloc());
    options->image_orientation = static_cast<heif_orientation>(orientation);
    const std::unique_ptr<heif_color_profile_nclx, Freer> nclx(heif_nclx_color_profile_alloc());
    if (nclxPrimaries != 0) {
        heif_nclx_color_profile_set_color_primaries(nclx.get(), std::uint16_t(nclxPrimaries));
        heif_nclx_color_profile_set_transfer_characteristics(nclx.get(), 13);
        heif_nclx_color_profile_set_matrix_coefficients(nclx.get(), 6);
        nclx->full_range_flag = 1;
        if (heif_image_set_nclx_color_profile(heif.get(), nclx.get()).code != heif_error_Ok)
            return false;
        options->output_nclx_profile = nclx.get();
        // libheif leaves the box out by default, for an old fault of macOS's reader.
        options->macOS_compatibility_workaround_no_nclx_profile = 0;
    }
    heif_image_handle* rawHandle = nullptr;
    if (heif_context_encode_image(context.get(), heif.get(), encoder.get(), options.get(),
                                  &rawHandle)
            .code != heif_error_Ok)
        return false;
    const std::unique_ptr<heif_image_handle, Freer> handle(rawHandle);
    heif_image_handle* rawThumbnail = nullptr;
    if (thumbnail > 0 &&
        heif_context_encode_thumbnail(context.get(), heif.get(), handle.get(), encoder.get(),
                                      options.get(), thumbnail, &rawThumbnail)
                .code != heif_error_Ok)
        return false;
    const std::unique_ptr<heif_image_handle, Freer> thumbnailHandle(rawThumbnail);
    return heif_context_write_to_file(context.get(), path.toLocal8Bit().constData()).code ==
           heif_error_Ok;
}

/// A HEIC file of WriteHeic's whose thumbnail is stored as phones store it: without rotation
/// or mirroring of its own, the primary image's telling how the photo is seen. libheif's
/// encoder gives the thumbnail its own "irot" and "imir" boxes, after the primary image's; each
/// is renamed "free", which no reader takes for a property. False when there were none.
inline bool StripThumbnailTransforms(QByteArray& heic) {
    const qsizetype mdat = heic.indexOf("mdat");
    bool stripped = false;
    for (const char* type : {"irot", "imir"}) {
        const qsizetype first = heic.indexOf(type);
        const qsizetype second = first < 0 ? -1 : heic.indexOf(type, first + 4);
        if (second < 0 || second > mdat)
            continue;
        heic.replace(second, 4, "free");
        stripped = true;
    }
    return stripped;
}

/// A HEIC file of WriteHeic's whose primary image's coded data (the first in the file's data,
/// before its thumbnail's) says its first piece is longer than the data: a file whose boxes
/// read and whose thumbnail decodes, while its photo is refused when it is decoded.
inline void DamagePrimaryImageData(QByteArray& heic) {
    const qsizetype data = heic.indexOf("mdat") + 4;
    heic.replace(data, 4, QByteArray("\xFF\xFF\xFF\x00", 4));
}

} // namespace testing_support
