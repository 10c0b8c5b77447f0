// HEIF (the HEIC photos of phones) through libheif. libheif applies the image's own rotation,
// mirroring and cropping (its irot, imir and clap properties) while it decodes; an EXIF
// orientation in the file only repeats them and is not applied again. The colours are named
// by an ICC profile or by the numbers of an "nclx" box. A grid image (as phones write them, in
// tiles of 512 × 512) has its tiles decoded on as many threads as the machine has cores.
//
// The thumbnail a file carries shows the photo long before the photo itself is decoded. Phones
// store it as the sensor's pixels came, without the rotation of the primary image: it is turned
// as the primary image is, unless it says how to turn itself (as libheif's encoder writes it).
//
// libheif, with the HEVC and AV1 decoders it links and what they link in turn (a dozen
// libraries), is loaded the first time a HEIF file is opened, not with the program: mapping
// and binding them took a quarter of the start of tamurika-export, for every photo a JPEG.
#include <algorithm>
#include <memory>
#include <thread>

#include <dlfcn.h>

#include <libheif/heif.h>

#include "heifitems.h"
#include "photocodec.h"

namespace {

// The functions of libheif the codec calls, each declared by libheif's own header.
#define TAMURIKA_HEIF_FUNCTIONS(F)                                                                 \
    F(heif_check_filetype)                                                                         \
    F(heif_context_alloc)                                                                          \
    F(heif_context_free)                                                                           \
    F(heif_context_set_maximum_image_size_limit)                                                   \
    F(heif_context_set_max_decoding_threads)                                                       \
    F(heif_context_get_primary_image_ID)                                                           \
    F(heif_context_read_from_memory_without_copy)                                                  \
    F(heif_context_get_primary_image_handle)                                                       \
    F(heif_image_handle_release)                                                                   \
    F(heif_image_handle_get_width)                                                                 \
    F(heif_image_handle_get_height)                                                                \
    F(heif_image_handle_get_ispe_width)                                                            \
    F(heif_image_handle_get_ispe_height)                                                           \
    F(heif_image_handle_has_alpha_channel)                                                         \
    F(heif_image_handle_get_color_profile_type)                                                    \
    F(heif_image_handle_get_raw_color_profile_size)                                                \
    F(heif_image_handle_get_raw_color_profile)                                                     \
    F(heif_image_handle_get_nclx_color_profile)                                                    \
    F(heif_image_handle_get_list_of_thumbnail_IDs)                                                 \
    F(heif_image_handle_get_thumbnail)                                                             \
    F(heif_nclx_color_profile_free)                                                                \
    F(heif_decoding_options_alloc)                                                                 \
    F(heif_decoding_options_free)                                                                  \
    F(heif_decode_image)                                                                           \
    F(heif_image_release)                                                                          \
    F(heif_image_get_width)                                                                        \
    F(heif_image_get_height)                                                                       \
    F(heif_image_get_plane_readonly)

struct THeifLibrary {
#define TAMURIKA_HEIF_POINTER(name) decltype(&::name) name = nullptr;
    TAMURIKA_HEIF_FUNCTIONS(TAMURIKA_HEIF_POINTER)
#undef TAMURIKA_HEIF_POINTER
};

// The library of the ABI the header describes (its SONAME has been 1 since libheif 1.0).
constexpr const char* HeifLibraryName = "libheif.so.1";

// libheif, loaded once for the life of the process (never unloaded: its decoders keep threads
// and tables of their own); none when it is not installed or lacks a function.
const THeifLibrary* LoadHeifLibrary() {
    static const std::unique_ptr<const THeifLibrary> library = []() {
        void* handle = dlopen(HeifLibraryName, RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr)
            return std::unique_ptr<const THeifLibrary>();
        auto functions = std::make_unique<THeifLibrary>();
        bool complete = true;
#define TAMURIKA_HEIF_RESOLVE(name)                                                                \
    functions->name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name));                   \
    complete = complete && functions->name != nullptr;
        TAMURIKA_HEIF_FUNCTIONS(TAMURIKA_HEIF_RESOLVE)
#undef TAMURIKA_HEIF_RESOLVE
        return complete ? std::unique_ptr<const THeifLibrary>(std::move(functions))
                        : std::unique_ptr<const THeifLibrary>();
    }();
    return library.get();
}

// The loaded library; only called where a libheif object exists, so that it was loaded.
const THeifLibrary& Heif() {
    return *LoadHeifLibrary();
}

// The longest side of a picture within MaxGraphicPixels that is not absurdly thin (10 : 1).
constexpr int MaxHeifSide = 32'000;

// How much longer a side of a coded picture may be than the picture (whole blocks of HEVC's
// largest coding unit or AV1's largest superblock), with a little to spare.
constexpr int HeifBlockPadding = 256;

struct ContextFree {
    void operator()(heif_context* c) const { Heif().heif_context_free(c); }
};
struct HandleRelease {
    void operator()(heif_image_handle* h) const { Heif().heif_image_handle_release(h); }
};
struct ImageRelease {
    void operator()(heif_image* i) const { Heif().heif_image_release(i); }
};
struct OptionsFree {
    void operator()(heif_decoding_options* o) const { Heif().heif_decoding_options_free(o); }
};
struct NclxFree {
    void operator()(heif_color_profile_nclx* n) const { Heif().heif_nclx_color_profile_free(n); }
};

// What is wrong with the file, in the user's words; libheif's own message is English.
QString Reason(const heif_error& error) {
    if (error.subcode == heif_suberror_Security_limit_exceeded)
        return QStringLiteral("ファイルの中で画像の大きさが食い違っています");
    switch (error.code) {
    case heif_error_Unsupported_filetype:
    case heif_error_Unsupported_feature:
        return QStringLiteral("このHEIFファイルの作りには対応していません");
    case heif_error_Decoder_plugin_error:
        return QStringLiteral("画像データを復号できません");
    default:
        return QStringLiteral("ファイルの構造が正しくありません");
    }
}

void Check(const heif_error& error) {
    if (error.code == heif_error_Ok)
        return;
    // libheif reports a size beyond its limits as an allocation error too; that is a file
    // contradicting itself, not a machine short of memory.
    if (error.code == heif_error_Memory_allocation_error &&
        error.subcode != heif_suberror_Security_limit_exceeded)
        throw EPhotoError(EPhotoError::pkOutOfMemory);
    throw EPhotoError(EPhotoError::pkDamaged, Reason(error));
}

// The file opened as far as its primary image; `data` must outlive it.
struct Opened {
    std::unique_ptr<heif_context, ContextFree> Context;
    std::unique_ptr<heif_image_handle, HandleRelease> Handle;
};

Opened Open(const QByteArray& data) {
    if (LoadHeifLibrary() == nullptr)
        throw EPhotoError(EPhotoError::pkNoReader, QStringLiteral("libheif1"));
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
    const int probe = int(std::min<qsizetype>(data.size(), 64));
    if (Heif().heif_check_filetype(bytes, probe) == heif_filetype_no)
        throw EPhotoError(EPhotoError::pkNotThisFormat);
    Opened file;
    file.Context.reset(Heif().heif_context_alloc());
    if (!file.Context)
        throw EPhotoError(EPhotoError::pkOutOfMemory);
    // Without a bound libheif believes the sizes a file claims (a grid's output size, say) and
    // allocates for them before a single tile is read; no side of a picture the program takes
    // is longer than this.
    Heif().heif_context_set_maximum_image_size_limit(file.Context.get(), MaxHeifSide);
    Check(Heif().heif_context_read_from_memory_without_copy(file.Context.get(), data.constData(),
                                                            std::size_t(data.size()), nullptr));
    heif_image_handle* handle = nullptr;
    Check(Heif().heif_context_get_primary_image_handle(file.Context.get(), &handle));
    file.Handle.reset(handle);
    return file;
}

} // namespace

TPhotoHeader ReadHeifHeader(const QByteArray& data) {
    const Opened file = Open(data);
    heif_image_handle* handle = file.Handle.get();
    TPhotoHeader header;
    header.Format = TPhotoFormat::Heif;
    header.Lossy = true; // HEVC or AV1, as phones write them
    // The size after rotation and cropping; the coded size before them may be larger, and it
    // is the one decoded first.
    const QSize seen(Heif().heif_image_handle_get_width(handle),
                     Heif().heif_image_handle_get_height(handle));
    const QSize coded(Heif().heif_image_handle_get_ispe_width(handle),
                      Heif().heif_image_handle_get_ispe_height(handle));
    if (seen.width() <= 0 || seen.height() <= 0)
        throw EPhotoError(EPhotoError::pkDamaged);
    header.StoredSize = seen;
    header.CodedSize = coded.expandedTo(seen);

    const heif_color_profile_type profile = Heif().heif_image_handle_get_color_profile_type(handle);
    if (profile == heif_color_profile_type_prof || profile == heif_color_profile_type_rICC) {
        const std::size_t size = Heif().heif_image_handle_get_raw_color_profile_size(handle);
        if (size > 0 && size <= std::size_t(MaxIccProfileBytes)) {
            QByteArray icc(qsizetype(size), Qt::Uninitialized);
            if (Heif().heif_image_handle_get_raw_color_profile(handle, icc.data()).code ==
                heif_error_Ok)
                header.IccProfile = icc;
        }
    }
    heif_color_profile_nclx* nclx = nullptr;
    if (header.IccProfile.isEmpty() &&
        Heif().heif_image_handle_get_nclx_color_profile(handle, &nclx).code == heif_error_Ok &&
        nclx != nullptr) {
        const std::unique_ptr<heif_color_profile_nclx, NclxFree> owned(nclx);
        // BT.709 primaries (sRGB's) and unspecified ones are taken as sRGB.
        if (nclx->color_primaries != heif_color_primaries_ITU_R_BT_709_5 &&
            nclx->color_primaries != heif_color_primaries_unspecified) {
            TColorPrimaries p;
            p.RedX = nclx->color_primary_red_x;
            p.RedY = nclx->color_primary_red_y;
            p.GreenX = nclx->color_primary_green_x;
            p.GreenY = nclx->color_primary_green_y;
            p.BlueX = nclx->color_primary_blue_x;
            p.BlueY = nclx->color_primary_blue_y;
            p.WhiteX = nclx->color_primary_white_x;
            p.WhiteY = nclx->color_primary_white_y;
            p.Transfer = int(nclx->transfer_characteristics);
            header.Primaries = p;
        }
    }
    return header;
}

namespace {

// How many threads libheif decodes a grid's tiles on: one a core. A picture of one piece is
// decoded by libde265 on a thread of its own whatever this says.
int DecodingThreads() {
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

// Decodes an image of the file as 32-bit RGB, transparent parts laid on white paper, of
// exactly `size` (or, for `raw` pixels, `size` transposed: libheif 1.15's encoder writes a
// turned image's "ispe" as seen); its own transforms applied unless `raw`. No side of what
// libheif puts together may be much longer than `longest` (see DecodeHeif).
QImage DecodeHandle(heif_context* context, heif_image_handle* handle, QSize size, int longest,
                    bool raw) {
    Heif().heif_context_set_maximum_image_size_limit(context, longest + HeifBlockPadding);
    Heif().heif_context_set_max_decoding_threads(context, DecodingThreads());
    const bool alpha = Heif().heif_image_handle_has_alpha_channel(handle) != 0;

    std::unique_ptr<heif_decoding_options, OptionsFree> options(
        Heif().heif_decoding_options_alloc());
    if (!options)
        throw EPhotoError(EPhotoError::pkOutOfMemory);
    options->convert_hdr_to_8bit = 1; // a 10-bit photo becomes 8 bits, as it is shown
    options->strict_decoding = 1;     // a damaged stream is refused, never drawn half grey
    options->ignore_transformations = raw ? 1 : 0;
    heif_image* decoded = nullptr;
    Check(Heif().heif_decode_image(
        handle, &decoded, heif_colorspace_RGB,
        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get()));
    const std::unique_ptr<heif_image, ImageRelease> image(decoded);
    int stride = 0;
    const std::uint8_t* plane =
        Heif().heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const QSize made(Heif().heif_image_get_width(image.get(), heif_channel_interleaved),
                     Heif().heif_image_get_height(image.get(), heif_channel_interleaved));
    if (raw && made == size.transposed())
        size = made;
    if (plane == nullptr || made != size)
        throw EPhotoError(EPhotoError::pkDamaged);

    QImage result(size, QImage::Format_RGB32);
    if (result.isNull())
        throw EPhotoError(EPhotoError::pkOutOfMemory);
    const int w = size.width();
    for (int y = 0; y < size.height(); ++y) {
        const std::uint8_t* in = plane + std::size_t(y) * std::size_t(stride);
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        if (alpha) {
            // Laid on white paper.
            for (int x = 0; x < w; ++x, in += 4) {
                const int a = in[3];
                const auto mix = [a](int v) { return (v * a + 255 * (255 - a) + 127) / 255; };
                out[x] = qRgb(mix(in[0]), mix(in[1]), mix(in[2]));
            }
        } else {
            for (int x = 0; x < w; ++x, in += 3)
                out[x] = qRgb(in[0], in[1], in[2]);
        }
    }
    return result;
}

QSize CodedSizeOf(heif_image_handle* handle) {
    return {Heif().heif_image_handle_get_ispe_width(handle),
            Heif().heif_image_handle_get_ispe_height(handle)};
}

// A thumbnail worth showing for a photo of `seen` pixels: some, and far fewer than the photo's
// (else decoding it saves nothing).
bool UsefulThumbnail(const QSize& coded, const QSize& seen) {
    const auto pixels = [](const QSize& s) { return qint64(s.width()) * s.height(); };
    return coded.width() > 0 && coded.height() > 0 && 4 * pixels(coded) <= pixels(seen);
}

// Whether `picture` has the shape of `seen` but for the rounding of a smaller picture: a
// thumbnail turned otherwise than the photo would not.
bool SameShape(const QSize& picture, const QSize& seen) {
    const double a = double(picture.width()) * seen.height();
    const double b = double(picture.height()) * seen.width();
    return std::abs(a - b) <= 0.05 * std::max(a, b);
}

} // namespace

QImage DecodeHeif(const QByteArray& data, const TPhotoHeader& header) {
    const Opened file = Open(data);
    heif_image_handle* handle = file.Handle.get();
    const QSize size(Heif().heif_image_handle_get_width(handle),
                     Heif().heif_image_handle_get_height(handle));
    if (size != header.StoredSize)
        throw EPhotoError(EPhotoError::pkDamaged);
    // A grid or an overlay is put together on a canvas of the size its own description gives,
    // which libheif allocates before a tile is decoded; a file may claim a small picture in its
    // header and a canvas of gigabytes there. No side of what is decoded may be much longer
    // than the longest the header declared (the size checked against the limit of pixels):
    // a coded picture is only ever padded to whole blocks of at most 128 pixels.
    return DecodeHandle(file.Context.get(), handle, size,
                        std::max(header.CodedSize.width(), header.CodedSize.height()), false);
}

QImage DecodeHeifThumbnail(const QByteArray& data, const TPhotoHeader& header) {
    try {
        const Opened file = Open(data);
        heif_image_handle* primary = file.Handle.get();
        // The largest thumbnail that is still a thumbnail.
        constexpr int MaxThumbnails = 8;
        heif_item_id ids[MaxThumbnails] = {};
        const int count =
            Heif().heif_image_handle_get_list_of_thumbnail_IDs(primary, ids, MaxThumbnails);
        std::unique_ptr<heif_image_handle, HandleRelease> best;
        heif_item_id bestId = 0;
        QSize bestSize;
        for (int k = 0; k < std::min(count, MaxThumbnails); ++k) {
            heif_image_handle* thumbnail = nullptr;
            if (Heif().heif_image_handle_get_thumbnail(primary, ids[k], &thumbnail).code !=
                heif_error_Ok)
                continue;
            std::unique_ptr<heif_image_handle, HandleRelease> owned(thumbnail);
            const QSize coded = CodedSizeOf(thumbnail);
            if (!UsefulThumbnail(coded, header.StoredSize) ||
                qint64(coded.width()) * coded.height() <=
                    qint64(bestSize.width()) * bestSize.height())
                continue;
            best = std::move(owned);
            bestId = ids[k];
            bestSize = coded;
        }
        if (!best)
            return {};
        // The thumbnail's pixels as stored, then turned by its own properties or else by the
        // primary image's, which describe the photo the thumbnail is of.
        const QImage stored = DecodeHandle(file.Context.get(), best.get(), bestSize,
                                           std::max(bestSize.width(), bestSize.height()), true);
        const auto own = ReadHeifItemTransforms(data, bestId);
        if (!own)
            return {};
        QImage seen;
        if (!own->empty()) {
            seen = ApplyHeifTransforms(stored, stored.size(), *own);
        } else {
            heif_item_id primaryId = 0;
            if (Heif().heif_context_get_primary_image_ID(file.Context.get(), &primaryId).code !=
                heif_error_Ok)
                return {};
            const auto photo = ReadHeifItemTransforms(data, primaryId);
            if (!photo)
                return {};
            // The primary image's own pixels, of the thumbnail's shape (see DecodeHandle).
            QSize coded = CodedSizeOf(primary);
            if (!SameShape(stored.size(), coded) && SameShape(stored.size(), coded.transposed()))
                coded.transpose();
            seen = ApplyHeifTransforms(stored, coded, *photo);
        }
        if (seen.isNull() || !SameShape(seen.size(), header.StoredSize))
            return {};
        return seen.convertToFormat(QImage::Format_RGB32);
    } catch (const EInvalidGraphic&) {
        return {}; // the photo itself will tell what is wrong, if anything is
    } catch (const std::bad_alloc&) {
        return {};
    }
}
