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
/// when that is not 0. False when libheif fails.
inline bool WriteHeic(const QImage& image, const QString& path, int orientation = 1,
                      const QByteArray& icc = {}, int quality = 92, int nclxPrimaries = 0) {
    struct Freer {
        void operator()(heif_context* c) const { heif_context_free(c); }
        void operator()(heif_encoder* e) const { heif_encoder_release(e); }
        void operator()(heif_image* i) const { heif_image_release(i); }
        void operator()(heif_encoding_options* o) const { heif_encoding_options_free(o); }
        void operator()(heif_color_profile_nclx* n) const { heif_nclx_color_profile_free(n); }
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
    if (heif_context_encode_image(context.get(), heif.get(), encoder.get(), options.get(), nullptr)
            .code != heif_error_Ok)
        return false;
    return heif_context_write_to_file(context.get(), path.toLocal8Bit().constData()).code ==
           heif_error_Ok;
}

} // namespace testing_support
