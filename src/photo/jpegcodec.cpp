#include "jpegcodec.h"

// libjpeg's header needs FILE and size_t declared first.
#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include <QTransform>

#include <jerror.h>
#include <jpeglib.h>

#include "colorprofile.h"
#include "exif.h"
#include "platform/areareducer.h"
#include "reducerthread.h"

namespace {

// A progressive picture may be split into any number of scans; every scan re-reads the whole
// coefficient buffer. Real encoders write about ten; a thousand only serve to stall a reader.
constexpr int MaxScans = 1000;

// What libjpeg may allocate for one picture besides our own pixel rows (coefficient buffers of
// a progressive picture): more than this ends the decoding with an error instead.
constexpr long MaxLibjpegMemory = 1'024L * 1'024 * 1'024;

enum class Failure { None, Damaged, Truncated, TooManyScans };

extern "C" void OnErrorExit(j_common_ptr cinfo);

// libjpeg reports errors through error_exit, which must not return. Ours jumps back to the
// guard that began the libjpeg call; only plain C data lives in the frames it skips. One for
// each compressor or decompressor, which points its err at Start().
struct ErrorManager {
    jpeg_error_mgr Pub;
    std::jmp_buf Jump;
    Failure What = Failure::None;
    /// The scan data was damaged and decoded past (libjpeg's "Corrupt JPEG data" warnings).
    bool Damaged = false;

    jpeg_error_mgr* Start() {
        jpeg_error_mgr* manager = jpeg_std_error(&Pub);
        Pub.error_exit = OnErrorExit;
        return manager;
    }
    // Runs libjpeg calls so that an error comes back as false instead of a jump across C++
    // frames; the frame of the setjmp is this one, alive while the step runs.
    template <class Step> bool Guard(Step&& step) {
        if (setjmp(Jump) != 0)
            return false;
        step();
        return true;
    }
};

ErrorManager& Errors(j_common_ptr cinfo) {
    return *reinterpret_cast<ErrorManager*>(cinfo->err);
}

[[noreturn]] void Fail(j_common_ptr cinfo, Failure what) {
    ErrorManager& errors = Errors(cinfo);
    errors.What = what;
    std::longjmp(errors.Jump, 1);
}

extern "C" void OnErrorExit(j_common_ptr cinfo) {
    Fail(cinfo, Failure::Damaged);
}

extern "C" void OnEmitMessage(j_common_ptr cinfo, int level) {
    if (level >= 0)
        return; // trace messages
    // A stream that ends early would be drawn half grey, which no one wants printed.
    if (cinfo->err->msg_code == JWRN_JPEG_EOF)
        Fail(cinfo, Failure::Truncated);
    // Damaged scan data is decoded past: the picture shows, with broken bands where the data
    // was lost, and the user is told. A few stray bytes between segments are harmless, and
    // some cameras write them; many are scan data the decoder could not use.
    constexpr int StrayBytes = 16;
    if (cinfo->err->msg_code == JWRN_EXTRANEOUS_DATA && cinfo->err->msg_parm.i[0] > StrayBytes)
        Errors(cinfo).Damaged = true;
    switch (cinfo->err->msg_code) {
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION:
        Errors(cinfo).Damaged = true;
        break;
    default:
        break;
    }
}

extern "C" void OnProgress(j_common_ptr cinfo) {
    if (cinfo->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > MaxScans)
        Fail(cinfo, Failure::TooManyScans);
}

// libjpeg's reason in the user's words: its own are English ("Unsupported marker type 0xfb").
QString JpegErrorReason(const jpeg_error_mgr& err) {
    switch (err.msg_code) {
    case JERR_UNKNOWN_MARKER:
        return QStringLiteral("知らない種類のマーカー 0x%1 があります")
            .arg(err.msg_parm.i[0] & 0xFF, 2, 16, QChar(u'0'))
            .toUpper()
            .replace(QStringLiteral("0X"), QStringLiteral("0x"));
    case JERR_SOF_UNSUPPORTED:
    case JERR_ARITH_NOTIMPL:
    case JERR_NOT_COMPILED:
    case JERR_NOTIMPL:
    case JERR_BAD_PRECISION:
    case JERR_CONVERSION_NOTIMPL:
    case JERR_FRACT_SAMPLE_NOTIMPL:
    case JERR_CCIR601_NOTIMPL:
        return QStringLiteral("対応していない圧縮方式です");
    case JERR_BAD_HUFF_TABLE:
    case JERR_HUFF_CLEN_OVERFLOW:
    case JERR_HUFF_MISSING_CODE:
    case JERR_NO_HUFF_TABLE:
    case JERR_DHT_INDEX:
        return QStringLiteral("ハフマン符号の表が壊れています");
    case JERR_NO_QUANT_TABLE:
    case JERR_DQT_INDEX:
    case JERR_MISMATCHED_QUANT_TABLE:
        return QStringLiteral("量子化の表が壊れています");
    case JERR_BAD_LENGTH:
        return QStringLiteral("マーカーの長さが正しくありません");
    case JERR_INPUT_EOF:
    case JERR_INPUT_EMPTY:
        return QStringLiteral("データが途中で切れています");
    case JERR_OUT_OF_MEMORY:
    case JERR_NO_BACKING_STORE:
    case JERR_TFILE_CREATE:
    case JERR_TFILE_READ:
    case JERR_TFILE_SEEK:
    case JERR_TFILE_WRITE:
        return QStringLiteral("メモリが足りません");
    case JERR_NO_SOI:
        return QStringLiteral("JPEGの始まりのマーカーがありません");
    default:
        // The structure of the file: markers out of order, sampling or components it cannot
        // have, a scan that does not fit its frame.
        return QStringLiteral("ファイルの構造が正しくありません: エラー番号 %1").arg(err.msg_code);
    }
}

EInvalidGraphic ErrorFor(const ErrorManager& errors) {
    switch (errors.What) {
    case Failure::Truncated:
        return EInvalidGraphic(
            QStringLiteral("JPEGイメージのデータが途中で切れています。ファイルが壊れています。"));
    case Failure::TooManyScans:
        return EInvalidGraphic(
            QStringLiteral("JPEGイメージのスキャン数が多すぎるため読み込めません。"));
    default:
        return EInvalidGraphic(
            FormatMessage(QStringLiteral("JPEGイメージが壊れているため読み込めません（%s）。"),
                          {JpegErrorReason(errors.Pub)}));
    }
}

// A libjpeg decompressor that is always destroyed. Guard runs libjpeg calls so that an error
// comes back as false (ErrorManager::Guard).
class Decompressor {
  public:
    explicit Decompressor(const QByteArray& data) : FData(data) {
        FInfo.err = FErrors.Start();
        FErrors.Pub.emit_message = OnEmitMessage;
        FProgress.progress_monitor = OnProgress;
        const bool ok = Guard([this] {
            jpeg_create_decompress(&FInfo);
            FCreated = true;
            FInfo.mem->max_memory_to_use = MaxLibjpegMemory;
            FInfo.progress = &FProgress;
            jpeg_mem_src(&FInfo, reinterpret_cast<const unsigned char*>(FData.constData()),
                         static_cast<unsigned long>(FData.size()));
            jpeg_save_markers(&FInfo, JPEG_APP0 + 1, 0xFFFF); // EXIF
            jpeg_save_markers(&FInfo, JPEG_APP0 + 2, 0xFFFF); // ICC profile
        });
        if (!ok) {
            // A constructor that throws runs no destructor.
            if (FCreated)
                jpeg_destroy_decompress(&FInfo);
            throw ErrorFor(FErrors);
        }
    }
    ~Decompressor() {
        if (FCreated)
            jpeg_destroy_decompress(&FInfo);
    }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    template <class Step> bool Guard(Step&& step) {
        return FErrors.Guard(std::forward<Step>(step));
    }
    /// Whether damaged scan data was decoded past so far.
    bool Damaged() const { return FErrors.Damaged; }
    void Check(bool ok) const {
        if (!ok)
            throw ErrorFor(FErrors);
    }

    jpeg_decompress_struct& Info() { return FInfo; }

    void ReadHeader() {
        Check(Guard([this] { jpeg_read_header(&FInfo, TRUE); }));
    }

    /// The profile the APP2 markers carry, in as many pieces as it takes; empty when there is
    /// none or its pieces do not fit together.
    QByteArray IccProfile() {
        JOCTET* profile = nullptr;
        unsigned int length = 0;
        QByteArray bytes;
        if (Guard([&] { jpeg_read_icc_profile(&FInfo, &profile, &length); }) &&
            profile != nullptr && length <= unsigned(MaxIccProfileBytes))
            bytes = QByteArray(reinterpret_cast<const char*>(profile), qsizetype(length));
        std::free(profile); // libjpeg-turbo allocates it with malloc
        return bytes;
    }

    TJPEGHeader Header() {
        TJPEGHeader header;
        header.StoredWidth = static_cast<int>(FInfo.image_width);
        header.StoredHeight = static_cast<int>(FInfo.image_height);
        header.Components = FInfo.num_components;
        header.Progressive = FInfo.progressive_mode != 0;
        for (jpeg_saved_marker_ptr m = FInfo.marker_list; m != nullptr; m = m->next) {
            if (m->marker != JPEG_APP0 + 1)
                continue;
            const int orientation = ExifOrientation(m->data, m->data_length);
            if (orientation != ExifUpright) {
                header.Orientation = orientation;
                break;
            }
        }
        header.IccProfile = IccProfile();
        return header;
    }

  private:
    QByteArray FData; // keeps the bytes alive while libjpeg reads them
    jpeg_decompress_struct FInfo{};
    ErrorManager FErrors;
    jpeg_progress_mgr FProgress{};
    bool FCreated = false;
};

// A libjpeg compressor writing into memory; the memory and the compressor are always freed.
class Compressor {
  public:
    Compressor() {
        FInfo.err = FErrors.Start();
        const bool ok = Guard([this] {
            jpeg_create_compress(&FInfo);
            FCreated = true;
            jpeg_mem_dest(&FInfo, &FBuffer, &FSize);
        });
        if (!ok) {
            if (FCreated)
                jpeg_destroy_compress(&FInfo);
            std::free(FBuffer);
            Check(false);
        }
    }
    ~Compressor() {
        if (FCreated)
            jpeg_destroy_compress(&FInfo);
        std::free(FBuffer); // jpeg_mem_dest's buffer is the caller's to free
    }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    template <class Step> bool Guard(Step&& step) {
        return FErrors.Guard(std::forward<Step>(step));
    }
    /// Whether damaged scan data was decoded past so far.
    bool Damaged() const { return FErrors.Damaged; }
    void Check(bool ok) const {
        if (!ok)
            throw EInvalidGraphic(
                FormatMessage(QStringLiteral("JPEGイメージを書き込めません（%s）。"),
                              {JpegErrorReason(FErrors.Pub)}));
    }
    jpeg_compress_struct& Info() { return FInfo; }
    QByteArray Bytes() const {
        return QByteArray(reinterpret_cast<const char*>(FBuffer), static_cast<qsizetype>(FSize));
    }

  private:
    jpeg_compress_struct FInfo{};
    ErrorManager FErrors;
    unsigned char* FBuffer = nullptr;
    unsigned long FSize = 0;
    bool FCreated = false;
};

void CheckSignature(const QByteArray& data) {
    if (data.size() < 3 || static_cast<unsigned char>(data[0]) != 0xFF ||
        static_cast<unsigned char>(data[1]) != 0xD8)
        throw EInvalidGraphic(QStringLiteral("JPEGイメージではありません。"));
}

void CheckPixels(const TJPEGHeader& header) {
    const qint64 pixels = qint64(header.StoredWidth) * header.StoredHeight;
    if (pixels > MaxGraphicPixels)
        throw GraphicTooLarge(header.StoredWidth, header.StoredHeight);
    if (pixels <= 0)
        throw EInvalidGraphic(QStringLiteral("JPEGイメージの大きさが正しくありません。"));
}

// Rows are decoded this many at a time.
constexpr int BandRows = 16;

// Photoshop writes CMYK inverted (Adobe marker); like every reader we assume it.
void CmykToRgb(const JSAMPLE* cmyk, QRgb* out, int width) {
    for (int x = 0; x < width; ++x) {
        const JSAMPLE* p = &cmyk[std::size_t(x) * 4];
        const int k = p[3];
        out[x] = qRgb(k * p[0] / 255, k * p[1] / 255, k * p[2] / 255);
    }
}

// Writes the stored rows first .. first + count − 1 of a w × h picture, held in `band`, as the
// columns they become in the upright `image` (orientations 5 to 8). Each band fills a strip
// of every row of `image`, a cache line at a time; the row addresses are worked out once, as
// this loop touches every pixel of a turned photo.
void TurnBand(const QImage& band, int first, int count, QImage& image, int orientation, int w,
              int h) {
    // Stored column x becomes row x (5, 6) or row w − 1 − x (7, 8); stored row y becomes
    // column y (5, 8) or column h − 1 − y (6, 7).
    const bool rowsDown = orientation == 5 || orientation == 6;
    const bool columnsRight = orientation == 5 || orientation == 8;
    std::array<const QRgb*, BandRows> in{};
    for (int r = 0; r < count; ++r)
        in[r] = reinterpret_cast<const QRgb*>(band.constScanLine(r));
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (int x = 0; x < w; ++x) {
        auto* out = reinterpret_cast<QRgb*>(bits + stride * (rowsDown ? x : w - 1 - x));
        if (columnsRight) {
            QRgb* column = out + first;
            for (int r = 0; r < count; ++r)
                column[r] = in[r][x];
        } else {
            QRgb* column = out + (h - 1 - first);
            for (int r = 0; r < count; ++r)
                column[-r] = in[r][x];
        }
    }
}

// A picture as stored, made upright for its EXIF orientation.
QImage Upright(const QImage& stored, int orientation) {
    const QTransform quarter = QTransform().rotate(90);
    switch (orientation) {
    case 2:
        return stored.mirrored(true, false);
    case 3:
        return stored.mirrored(true, true);
    case 4:
        return stored.mirrored(false, true);
    case 5: // turned a quarter clockwise, then mirrored left to right: the main diagonal
        return stored.transformed(quarter).mirrored(true, false);
    case 6:
        return stored.transformed(quarter);
    case 7: // a quarter clockwise, then upside down: the other diagonal
        return stored.transformed(quarter).mirrored(false, true);
    case 8:
        return stored.transformed(QTransform().rotate(270));
    default:
        return stored;
    }
}

// Reads and checks the header and starts decompressing at scale `num`/8, CMYK as it is and
// anything else straight into QImage's 32-bit pixels (0xAARRGGBB in the machine's byte
// order); `fast` trades a little accuracy for speed.
TJPEGHeader StartDecompress(Decompressor& jpeg, int num, bool fast) {
    jpeg.ReadHeader();
    const TJPEGHeader header = jpeg.Header();
    CheckPixels(header); // before libjpeg or we allocate anything for the pixels
    jpeg_decompress_struct& info = jpeg.Info();
    info.scale_num = static_cast<unsigned>(std::clamp(num, 1, 8));
    info.scale_denom = 8;
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    if (cmyk)
        info.out_color_space = JCS_CMYK;
    else
        info.out_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;
    if (fast) {
        info.dct_method = JDCT_IFAST;
        info.do_fancy_upsampling = FALSE;
    }
    jpeg.Check(jpeg.Guard([&info] { jpeg_start_decompress(&info); }));
    return header;
}

// The rectangle of the stored picture (stored size w × h) that becomes `seen` of the upright
// one: the inverse of the turns and mirrors of TurnBand and Upright.
QRect StoredRegion(const QRect& seen, int orientation, int w, int h) {
    const int x0 = seen.left(), x1 = seen.right() + 1, y0 = seen.top(), y1 = seen.bottom() + 1;
    const auto span = [](int a, int b, int c, int d) { return QRect(a, c, b - a, d - c); };
    switch (orientation) {
    case 2:
        return span(w - x1, w - x0, y0, y1);
    case 3:
        return span(w - x1, w - x0, h - y1, h - y0);
    case 4:
        return span(x0, x1, h - y1, h - y0);
    case 5: // seen column = stored row, seen row = stored column
        return span(y0, y1, x0, x1);
    case 6: // seen column = h − 1 − stored row
        return span(y0, y1, h - x1, h - x0);
    case 7:
        return span(w - y1, w - y0, h - x1, h - x0);
    case 8: // seen row = w − 1 − stored column
        return span(w - y1, w - y0, x0, x1);
    default:
        return seen;
    }
}

// The conversion of the colours libjpeg gives to sRGB, from the profile the picture carries.
// CMYK counts as inverted, as CmykToRgb takes it.
TColorConversion ColoursOf(const jpeg_decompress_struct& info, const TJPEGHeader& header) {
    if (header.IccProfile.isEmpty())
        return {};
    if (info.out_color_space == JCS_CMYK)
        return TColorConversion::FromIcc(header.IccProfile, TProfileInput::CmykInverted);
    return TColorConversion::FromIcc(header.IccProfile, info.jpeg_color_space == JCS_GRAYSCALE
                                                            ? TProfileInput::Grey
                                                            : TProfileInput::Rgb);
}

// A decompression started as StartDecompress starts it, with what every decoder reads off it
// first: the header, whether the pixels come as CMYK, their conversion to sRGB and the size
// decoded.
struct Decoding {
    Decoding(const QByteArray& data, int num, bool fast)
        : Jpeg(Signed(data)), Header(StartDecompress(Jpeg, num, fast)), Info(Jpeg.Info()),
          Cmyk(Info.out_color_space == JCS_CMYK), Colours(ColoursOf(Info, Header)),
          Width(static_cast<int>(Info.output_width)), Height(static_cast<int>(Info.output_height)) {
    }
    Decoding(const Decoding&) = delete;
    Decoding& operator=(const Decoding&) = delete;

    static const QByteArray& Signed(const QByteArray& data) {
        CheckSignature(data);
        return data;
    }

    Decompressor Jpeg;
    const TJPEGHeader Header;
    jpeg_decompress_struct& Info;
    const bool Cmyk;
    const TColorConversion Colours;
    const int Width;
    const int Height;
};

// Says, when the decoding is over (whether it ended well or raised), whether damaged scan data
// was decoded past.
class TDamageReport {
  public:
    TDamageReport(const Decompressor& jpeg, bool* damaged) : FJpeg(jpeg), FDamaged(damaged) {}
    ~TDamageReport() {
        if (FDamaged != nullptr)
            *FDamaged = FJpeg.Damaged();
    }
    TDamageReport(const TDamageReport&) = delete;
    TDamageReport& operator=(const TDamageReport&) = delete;

  private:
    const Decompressor& FJpeg;
    bool* FDamaged;
};

} // namespace

QSize TJPEGHeader::SeenSize(int num) const {
    const auto scaled = [num](int v) { return static_cast<int>((qint64(v) * num + 7) / 8); };
    const QSize stored(scaled(StoredWidth), scaled(StoredHeight));
    return OrientationSwapsAxes(Orientation) ? stored.transposed() : stored;
}

TJPEGHeader ReadJPEGHeader(const QByteArray& data) {
    CheckSignature(data);
    Decompressor jpeg(data);
    jpeg.ReadHeader();
    TJPEGHeader header = jpeg.Header();
    CheckPixels(header);
    return header;
}

QImage DecodeJPEG(const QByteArray& data, int num, bool* damaged) {
    Decoding d(data, num, false);
    const TDamageReport report(d.Jpeg, damaged);
    const int w = d.Width, h = d.Height;

    // The picture is made upright while it is decoded, so that it is never held twice: a flip
    // puts each stored row where it belongs, a mirror reverses the rows in place afterwards,
    // and a quarter turn writes bands of rows as the columns they become.
    const int orientation = d.Header.Orientation;
    const bool turns = OrientationSwapsAxes(orientation);
    QImage image = turns ? QImage(h, w, QImage::Format_RGB32) : QImage(w, h, QImage::Format_RGB32);
    QImage band = turns ? QImage(w, BandRows, QImage::Format_RGB32) : QImage();
    if (image.isNull() || (turns && band.isNull()))
        throw EInvalidGraphic(QStringLiteral("JPEGイメージを展開するメモリが足りません。"));
    const bool upsideDown = orientation == 3 || orientation == 4;
    std::vector<JSAMPROW> rows(h); // where each stored row is decoded to
    for (int y = 0; y < h; ++y)
        rows[y] = turns ? band.scanLine(y % BandRows) : image.scanLine(upsideDown ? h - 1 - y : y);
    std::vector<JSAMPLE> cmykPixels(d.Cmyk ? std::size_t(w) * 4 * BandRows : 0);
    std::vector<JSAMPROW> cmykRows(d.Cmyk ? BandRows : 0);
    for (std::size_t r = 0; r < cmykRows.size(); ++r)
        cmykRows[r] = &cmykPixels[r * std::size_t(w) * 4];

    d.Jpeg.Check(d.Jpeg.Guard([&] {
        while (d.Info.output_scanline < d.Info.output_height) {
            const int y0 = static_cast<int>(d.Info.output_scanline);
            // Never past the end of a band.
            const auto wanted = static_cast<JDIMENSION>(std::min(BandRows - y0 % BandRows, h - y0));
            const int n = static_cast<int>(
                jpeg_read_scanlines(&d.Info, d.Cmyk ? cmykRows.data() : &rows[y0], wanted));
            if (n == 0)
                break; // jpeg_finish_decompress reports the rows missing
            for (int r = 0; r < n; ++r) {
                auto* row = reinterpret_cast<QRgb*>(rows[y0 + r]);
                if (d.Colours.FromCmyk())
                    d.Colours.ConvertCmykRow(cmykRows[r], row, w);
                else if (d.Cmyk)
                    CmykToRgb(cmykRows[r], row, w);
                else
                    d.Colours.ConvertRow(row, w);
            }
            const int done = y0 + n;
            if (turns && (done % BandRows == 0 || done == h)) {
                const int first = (done - 1) / BandRows * BandRows;
                TurnBand(band, first, done - first, image, orientation, w, h);
            }
        }
        jpeg_finish_decompress(&d.Info);
    }));
    if (orientation == 2 || orientation == 3)
        for (int y = 0; y < h; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            std::reverse(row, row + w);
        }
    return image;
}

QImage DecodeJPEGReduced(const QByteArray& data, int num, const QSize& seenSize, bool* damaged) {
    // The averaging that follows hides what the faster inverse transform and the plain
    // doubling of the colour planes lose against the exact ones (a level here and there, at
    // the scale of single pixels), and they save a tenth of the decoding.
    Decoding d(data, num, true);
    const TDamageReport report(d.Jpeg, damaged);
    const int w = d.Width, h = d.Height;
    // CMYK must become RGB before it can be averaged; RGB is converted once it is reduced,
    // which costs a fraction of converting every pixel decoded.

    // Reduced as stored, turned afterwards: averaging areas does not care which way is up,
    // and turning the small picture costs nothing.
    const bool turns = OrientationSwapsAxes(d.Header.Orientation);
    TAreaReducer reducer(QSize(w, h), turns ? seenSize.transposed() : seenSize);
    std::vector<JSAMPLE> cmykPixels(d.Cmyk ? std::size_t(w) * 4 * BandRows : 0);
    std::array<JSAMPROW, BandRows> rows{};
    TReducerThread reducing(reducer, w, BandRows);
    if (!reducing.Ready() || reducer.Result().isNull())
        throw EInvalidGraphic(QStringLiteral("JPEGイメージを展開するメモリが足りません。"));

    d.Jpeg.Check(d.Jpeg.Guard([&] {
        while (d.Info.output_scanline < d.Info.output_height) {
            QImage& band = reducing.NextBand();
            int filled = 0;
            while (filled < BandRows && d.Info.output_scanline < d.Info.output_height) {
                for (int r = filled; r < BandRows; ++r)
                    rows[r] = d.Cmyk ? &cmykPixels[std::size_t(r) * w * 4] : band.scanLine(r);
                const int n = static_cast<int>(jpeg_read_scanlines(
                    &d.Info, &rows[filled], static_cast<JDIMENSION>(BandRows - filled)));
                if (n == 0)
                    break; // jpeg_finish_decompress reports the rows missing
                if (d.Cmyk)
                    for (int r = filled; r < filled + n; ++r) {
                        auto* row = reinterpret_cast<QRgb*>(band.scanLine(r));
                        if (d.Colours.FromCmyk())
                            d.Colours.ConvertCmykRow(rows[r], row, w);
                        else
                            CmykToRgb(rows[r], row, w);
                    }
                filled += n;
            }
            if (filled == 0)
                break;
            reducing.Filled(filled);
            if (filled < BandRows && d.Info.output_scanline < d.Info.output_height)
                break;
        }
        jpeg_finish_decompress(&d.Info);
    }));
    reducing.Finish();
    QImage reduced = reducer.Result();
    if (!d.Colours.FromCmyk())
        d.Colours.Convert(reduced);
    return Upright(reduced, d.Header.Orientation);
}

QImage DecodeJPEGPart(const QByteArray& data, int num, const QRect& region, const QSize& seenOut,
                      bool* damaged) {
    // The settings of DecodeJPEG, whose pixels these must be; converted to sRGB row by row
    // before any averaging, as DecodeJPEG does.
    Decoding d(data, num, false);
    const TDamageReport report(d.Jpeg, damaged);
    const int w = d.Width, h = d.Height;
    const int orientation = d.Header.Orientation;
    const QRect stored = StoredRegion(region, orientation, w, h) & QRect(0, 0, w, h);
    if (stored.isEmpty())
        return {};
    const QSize out = (OrientationSwapsAxes(orientation) ? seenOut.transposed() : seenOut)
                          .boundedTo(stored.size())
                          .expandedTo(QSize(1, 1));

    // Columns are decoded a little beyond the region on either side: at the edge of what is
    // decoded, the colour planes are enlarged without their neighbours, and these columns
    // keep that away from the region's pixels. libjpeg widens the span to whole blocks.
    constexpr int Margin = 32;
    auto left = static_cast<JDIMENSION>(std::max(0, stored.left() - Margin));
    auto width = static_cast<JDIMENSION>(std::min(w, stored.right() + 1 + Margin)) - left;
    d.Jpeg.Check(d.Jpeg.Guard([&] { jpeg_crop_scanline(&d.Info, &left, &width); }));
    const int skip = stored.left() - static_cast<int>(left);
    const int decodedWidth = static_cast<int>(d.Info.output_width);

    const bool reduce = out != stored.size();
    std::optional<TAreaReducer> reducer;
    QImage copy;
    if (reduce)
        reducer.emplace(stored.size(), out);
    else
        copy = QImage(stored.size(), QImage::Format_RGB32);
    QImage band(decodedWidth, BandRows, QImage::Format_RGB32);
    if (band.isNull() || (reduce ? reducer->Result().isNull() : copy.isNull()))
        throw EInvalidGraphic(QStringLiteral("JPEGイメージを展開するメモリが足りません。"));
    std::vector<JSAMPLE> cmykPixels(d.Cmyk ? std::size_t(decodedWidth) * 4 * BandRows : 0);
    std::array<JSAMPROW, BandRows> rows{};
    for (int r = 0; r < BandRows; ++r)
        rows[r] = d.Cmyk ? &cmykPixels[std::size_t(r) * decodedWidth * 4] : band.scanLine(r);

    // Rows above the region are decoded and dropped (libjpeg's own skipping has had faults
    // with some samplings); the decoding stops after the region's last row.
    const int end = stored.bottom() + 1;
    d.Jpeg.Check(d.Jpeg.Guard([&] {
        while (static_cast<int>(d.Info.output_scanline) < end) {
            const int y0 = static_cast<int>(d.Info.output_scanline);
            const int n = static_cast<int>(jpeg_read_scanlines(
                &d.Info, rows.data(), static_cast<JDIMENSION>(std::min(BandRows, end - y0))));
            if (n == 0)
                break;
            for (int r = 0; r < n; ++r) {
                const int y = y0 + r;
                if (y < stored.top())
                    continue;
                // Only the region's columns; the margins are left as decoded.
                auto* row = reinterpret_cast<QRgb*>(band.scanLine(r)) + skip;
                const int columns = stored.width();
                if (d.Colours.FromCmyk())
                    d.Colours.ConvertCmykRow(rows[r] + std::size_t(skip) * 4, row, columns);
                else if (d.Cmyk)
                    CmykToRgb(rows[r] + std::size_t(skip) * 4, row, columns);
                else
                    d.Colours.ConvertRow(row, columns);
                if (reduce)
                    reducer->AddRow(row);
                else
                    std::memcpy(copy.scanLine(y - stored.top()), row,
                                std::size_t(stored.width()) * sizeof(QRgb));
            }
        }
    }));
    if (static_cast<int>(d.Info.output_scanline) < end)
        throw EInvalidGraphic(
            QStringLiteral("JPEGイメージのデータが途中で切れています。ファイルが壊れています。"));
    return Upright(reduce ? reducer->Result() : copy, orientation);
}

QString JPEGDamageReason() {
    return QStringLiteral("JPEGの圧縮データ");
}

QByteArray EncodeJPEG(const QImage& source, int quality) {
    if (source.isNull())
        throw EInvalidGraphic(QStringLiteral("空の画像はJPEGイメージにできません。"));
    // A grey picture becomes a JPEG of one component, grey to every reader.
    const bool grey = source.format() == QImage::Format_Grayscale8;
    const QImage image = grey ? source : source.convertToFormat(QImage::Format_RGB32);
    std::vector<JSAMPROW> rows(image.height());
    for (int y = 0; y < image.height(); ++y)
        rows[y] = const_cast<JSAMPROW>(image.constScanLine(y));

    Compressor jpeg;
    jpeg.Check(jpeg.Guard([&jpeg, &image, &rows, quality, grey] {
        jpeg_compress_struct& info = jpeg.Info();
        info.image_width = static_cast<JDIMENSION>(image.width());
        info.image_height = static_cast<JDIMENSION>(image.height());
        info.input_components = grey ? 1 : 4;
        info.in_color_space = grey                              ? JCS_GRAYSCALE
                              : Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX
                                                                : JCS_EXT_XRGB;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, std::clamp(quality, 1, 100), TRUE);
        jpeg_start_compress(&info, TRUE);
        while (info.next_scanline < info.image_height)
            jpeg_write_scanlines(&info, &rows[info.next_scanline], 1);
        jpeg_finish_compress(&info);
    }));
    return jpeg.Bytes();
}
