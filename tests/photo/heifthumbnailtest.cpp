// A HEIF photo shown before it is decoded: the thumbnail its file carries, turned and converted
// to sRGB exactly as the photo itself is (whether the thumbnail says how to turn itself, as
// libheif's encoder writes it, or leaves that to the photo, as phones do), the boxes that say
// so read safely, and the photo itself decoded on a thread of its own and kept for drawing.
#include <gtest/gtest.h>

#include <thread>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <libheif/heif.h>

#include "common/errors.h"
#include "common/files.h"
#include "common/heicgrid.h"
#include "common/heicwriter.h"
#include "common/photofiles.h"
#include "photo/coarsephoto.h"
#include "photo/exif.h"
#include "photo/heifitems.h"
#include "photo/photodecoder.h"
#include "photo/photoimage.h"

using namespace testing_support;

namespace {

// `full` averaged down to `size`.
QImage Reduced(const QImage& full, const QSize& size) {
    return full.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The item id of the primary image's first thumbnail, asked of libheif itself.
std::uint32_t ThumbnailId(const QString& path) {
    heif_context* context = heif_context_alloc();
    heif_item_id id = 0;
    heif_image_handle* handle = nullptr;
    if (heif_context_read_from_file(context, path.toLocal8Bit().constData(), nullptr).code ==
            heif_error_Ok &&
        heif_context_get_primary_image_handle(context, &handle).code == heif_error_Ok) {
        heif_image_handle_get_list_of_thumbnail_IDs(handle, &id, 1);
        heif_image_handle_release(handle);
    }
    heif_context_free(context);
    return id;
}

class HeifThumbnails : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(Dir.isValid()); }
    QString Path(const QString& name) const { return Dir.filePath(name); }
    QTemporaryDir Dir;
};

} // namespace

TEST_F(HeifThumbnails, TheThumbnailIsTurnedAsThePhotoWhetherItSaysSoItselfOrNot) {
    const QImage stored = Asymmetric(640, 480);
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const QString file = Path(QStringLiteral("o%1.heic").arg(orientation));
        ASSERT_TRUE(WriteHeic(stored, file, orientation, {}, 90, 0, 160));
        QByteArray bytes = ReadBytes(file);
        // As libheif writes it (the thumbnail turned by properties of its own), then as phones
        // do (the thumbnail as stored, the primary image's properties for both).
        const std::uint32_t thumbnailId = ThumbnailId(file);
        ASSERT_NE(thumbnailId, 0u);
        const auto own = ReadHeifItemTransforms(bytes, thumbnailId);
        ASSERT_TRUE(own.has_value());
        EXPECT_EQ(own->empty(), orientation == 1);
        QByteArray phone = bytes;
        EXPECT_EQ(StripThumbnailTransforms(phone), orientation != 1);
        const auto stripped = ReadHeifItemTransforms(phone, thumbnailId);
        ASSERT_TRUE(stripped.has_value());
        EXPECT_TRUE(stripped->empty());
        // ImageMagick's reading of the file (through libheif): the photo as it is seen.
        const QImage seen = ReadWithImageMagick(file, Path(QStringLiteral("seen.png")));
        ASSERT_EQ(seen.size(),
                  OrientationSwapsAxes(orientation) ? QSize(480, 640) : QSize(640, 480));
        for (const QByteArray& variant : {bytes, phone}) {
            SCOPED_TRACE(&variant == &bytes ? "its own rotation" : "the photo's rotation");
            TPhotoImage photo(TPhotoFormat::Heif);
            photo.LoadFromBytes(variant);
            const QImage thumbnail = photo.Thumbnail();
            ASSERT_FALSE(thumbnail.isNull());
            EXPECT_EQ(thumbnail.format(), QImage::Format_RGB32);
            EXPECT_EQ(thumbnail.size(), seen.size().scaled(160, 160, Qt::KeepAspectRatio));
            const QImage full = photo.ToImage();
            ASSERT_EQ(full.size(), seen.size());
            // The same picture, only coarser: close to the photo reduced, far from any other
            // turn of it.
            const double same = MeanDistance(thumbnail, Reduced(full, thumbnail.size()));
            EXPECT_LT(same, 12.0);
            EXPECT_LT(MeanDistance(thumbnail, Reduced(seen, thumbnail.size())), 12.0);
            for (const QImage& wrong : {full.mirrored(true, false), full.mirrored(false, true)})
                EXPECT_GT(MeanDistance(thumbnail, Reduced(wrong, thumbnail.size())), same + 40);
        }
    }
}

TEST_F(HeifThumbnails, TheThumbnailsColoursAreThePhotosConvertedAlike) {
    // Display P3 patches, as a phone writes them: both pictures converted to sRGB by the
    // photo's profile, the thumbnail's patches those of the photo reduced.
    const QImage patches = MakePatches(160); // 640 × 320
    QFile profile(DisplayP3Profile);
    ASSERT_TRUE(profile.open(QIODevice::ReadOnly));
    ASSERT_TRUE(WriteHeic(patches, Path("p3.heic"), 6, profile.readAll(), 95, 0, 160));
    TPhotoImage photo(TPhotoFormat::Heif);
    photo.LoadFromFile(Path("p3.heic"));
    ASSERT_FALSE(photo.Header().IccProfile.isEmpty());
    const QImage thumbnail = photo.Thumbnail();
    ASSERT_EQ(thumbnail.size(), QSize(80, 160));
    const QImage full = photo.ToImage();
    ASSERT_EQ(full.size(), QSize(320, 640));
    // Turned back, so that the patches lie as MakePatches lays them.
    const QTransform back = QTransform().rotate(-90);
    const QImage small = thumbnail.transformed(back);
    const QImage large = Reduced(full.transformed(back), small.size());
    int moved = 0;
    for (int k = 0; k < 8; ++k) {
        EXPECT_LE(ChannelDistance(PatchAt(small, k), PatchAt(large, k)), 8) << "patch " << k;
        moved = std::max(moved, ChannelDistance(PatchAt(small, k), PatchColours[k]));
    }
    EXPECT_GE(moved, 15) << "the thumbnail was converted at all";
}

TEST_F(HeifThumbnails, PhotosWithoutAThumbnailOrOfOtherFormatsHaveNone) {
    ASSERT_TRUE(WriteHeic(Asymmetric(640, 480), Path("plain.heic")));
    TPhotoImage heif(TPhotoFormat::Heif);
    heif.LoadFromFile(Path("plain.heic"));
    EXPECT_TRUE(heif.Thumbnail().isNull());
    // A "thumbnail" as large as the photo would save nothing: heif-enc writes none then.
    ASSERT_TRUE(MakeCorners(Path("p.png"), 64, 48));
    TPhotoImage png;
    png.LoadFromFile(Path("p.png"));
    EXPECT_TRUE(png.Thumbnail().isNull());
    EXPECT_TRUE(TPhotoImage().Thumbnail().isNull());
}

TEST_F(HeifThumbnails, ADamagedPhotoStillShowsItsThumbnailAndFailsWhenDecoded) {
    ASSERT_TRUE(WriteHeic(Asymmetric(640, 480), Path("good.heic"), 1, {}, 90, 0, 160));
    QByteArray bytes = ReadBytes(Path("good.heic"));
    DamagePrimaryImageData(bytes);
    WriteBytes(Path("damaged.heic"), bytes);
    TPhotoImage photo(TPhotoFormat::Heif);
    photo.LoadFromFile(Path("damaged.heic")); // its boxes are whole
    EXPECT_FALSE(photo.Thumbnail().isNull());
    try {
        (void)photo.DecodeForSize(QSize(224, 168));
        FAIL() << "decoded a damaged photo";
    } catch (const EInvalidGraphic& e) {
        EXPECT_TRUE(e.Message().startsWith(
            QStringLiteral("HEIFイメージ「damaged.heic」が壊れているため読み込めません")))
            << e.Message().toStdString();
    }
}

TEST_F(HeifThumbnails, AGridPhotoAsPhonesWriteItDecodesWholeTurnedWithItsThumbnail) {
    // Tiles of 256 × 256, the last column and row cut by the grid, the grid turned a quarter
    // clockwise, a thumbnail without a rotation of its own: as phones write their photos.
    const QImage stored = Asymmetric(1000, 700);
    ASSERT_TRUE(WriteHeicGrid(stored, Path("grid.heic"), 256, 3, 200));
    const QImage seen = ReadWithImageMagick(Path("grid.heic"), Path("seen.png"));
    ASSERT_EQ(seen.size(), QSize(700, 1000)) << "libheif reads the grid, turned";
    TPhotoImage photo(TPhotoFormat::Heif);
    photo.LoadFromFile(Path("grid.heic"));
    EXPECT_EQ(photo.Width(), 700);
    EXPECT_EQ(photo.Height(), 1000);
    const QImage full = photo.ToImage(); // the tiles on every core
    ASSERT_EQ(full.size(), seen.size());
    const QImage turned = stored.transformed(QTransform().rotate(90));
    EXPECT_LT(MeanDistance(full, turned), 4.0);
    EXPECT_LT(MeanDistance(full, seen), 2.0);
    const QImage thumbnail = photo.Thumbnail();
    ASSERT_EQ(thumbnail.size(), QSize(140, 200));
    EXPECT_LT(MeanDistance(thumbnail, Reduced(full, thumbnail.size())), 12.0);
    EXPECT_GT(MeanDistance(thumbnail, Reduced(full.mirrored(true, true), thumbnail.size())), 40.0);
}

// --- The boxes ---------------------------------------------------------------------------------

namespace {

QByteArray Box(const char* type, const QByteArray& payload) {
    QByteArray box;
    const std::uint32_t size = std::uint32_t(8 + payload.size());
    for (int k = 0; k < 4; ++k)
        box += char(size >> (24 - 8 * k));
    return box + QByteArray(type, 4) + payload;
}

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values)
        b += char(v);
    return b;
}

// A file of boxes whose item 1 has `associations` (property numbers, the essential bit added to
// some) among the properties irot 90°, imir axis 1, a foreign box, clap of half the width.
QByteArray ItemFile(const QByteArray& ipmaEntries, int version, int flags, int entries) {
    const QByteArray clap =
        Bytes({0,    0,    0,    4,    0, 0, 0, 1, 0, 0, 0, 6, 0, 0, 0, 1, // 4 × 6
               0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1});
    const QByteArray ipco = Box("ipco", Box("irot", Bytes({1})) + Box("imir", Bytes({1})) +
                                            Box("ispe", QByteArray(12, 0)) + Box("clap", clap));
    const QByteArray ipma =
        Box("ipma", Bytes({version, 0, 0, flags, 0, 0, 0, entries}) + ipmaEntries);
    return Box("ftyp", QByteArray("heic\0\0\0\0mif1", 12)) +
           Box("meta", QByteArray(4, 0) + Box("iprp", ipco + ipma)) + Box("mdat", "data");
}

} // namespace

TEST(HeifItems, TheTransformsOfAnItemAreReadInTheirOrderAndBrokenBoxesRefused) {
    // Item 1: clap, then irot (essential), then imir; item 2: the foreign box only.
    const QByteArray entries = Bytes({0, 1, 3, 4, 0x81, 2, 0, 2, 1, 3});
    const QByteArray file = ItemFile(entries, 0, 0, 2);
    const auto one = ReadHeifItemTransforms(file, 1);
    ASSERT_TRUE(one.has_value());
    ASSERT_EQ(one->size(), 3u);
    EXPECT_EQ((*one)[0].Kind, THeifTransform::Crop);
    EXPECT_EQ((*one)[0].Width[0], 4);
    EXPECT_EQ((*one)[0].OffsetX[0], -1);
    EXPECT_EQ((*one)[1].Kind, THeifTransform::Rotate);
    EXPECT_EQ((*one)[1].QuarterTurns, 1);
    EXPECT_EQ((*one)[2].Kind, THeifTransform::Mirror);
    EXPECT_TRUE((*one)[2].LeftRight);
    const auto two = ReadHeifItemTransforms(file, 2);
    ASSERT_TRUE(two.has_value());
    EXPECT_TRUE(two->empty());
    EXPECT_TRUE(ReadHeifItemTransforms(file, 9)->empty());
    // 32-bit item ids (version 1) and 15-bit property numbers (flag 1) read alike.
    const QByteArray wide = ItemFile(Bytes({0, 0, 0, 1, 2, 0x80, 2, 0, 1}), 1, 1, 1);
    const auto w = ReadHeifItemTransforms(wide, 1);
    ASSERT_TRUE(w.has_value());
    ASSERT_EQ(w->size(), 2u);
    EXPECT_EQ((*w)[0].Kind, THeifTransform::Mirror);
    EXPECT_EQ((*w)[1].Kind, THeifTransform::Rotate);

    // A property number past the container, entries past the box, every cut of the file:
    // refused or read, never read beyond the bytes (the sanitizers' builds watch that).
    EXPECT_FALSE(ReadHeifItemTransforms(ItemFile(Bytes({0, 1, 1, 9}), 0, 0, 1), 1));
    EXPECT_FALSE(ReadHeifItemTransforms(ItemFile(Bytes({0, 1, 3, 1}), 0, 0, 1), 1));
    EXPECT_FALSE(ReadHeifItemTransforms(ItemFile(entries, 0, 0, 200), 1));
    for (qsizetype cut = 0; cut < file.size(); ++cut)
        (void)ReadHeifItemTransforms(file.left(cut), 1);
    EXPECT_FALSE(ReadHeifItemTransforms(QByteArray(), 1));
}

TEST(HeifItems, TransformsTurnMirrorAndCutAPictureAsTheyDoTheItem) {
    const QImage stored = Asymmetric(80, 60);
    THeifTransform turn;
    turn.Kind = THeifTransform::Rotate;
    turn.QuarterTurns = 1; // a quarter turn counter-clockwise: the top-right corner goes up left
    const QImage turned = ApplyHeifTransforms(stored, QSize(8, 6), {turn});
    ASSERT_EQ(turned.size(), QSize(60, 80));
    EXPECT_EQ(turned.pixel(5, 5), stored.pixel(74, 5));
    THeifTransform mirror;
    mirror.Kind = THeifTransform::Mirror;
    mirror.LeftRight = true;
    EXPECT_EQ(ApplyHeifTransforms(stored, QSize(8, 6), {mirror}).pixel(5, 5), stored.pixel(74, 5));
    mirror.LeftRight = false;
    EXPECT_EQ(ApplyHeifTransforms(stored, QSize(8, 6), {mirror}).pixel(5, 5), stored.pixel(5, 54));
    // A clean aperture of 4 × 2 of the item's 8 × 6, centred: columns 2..5 and rows 2..3 of the
    // item, the same part of a picture ten times as large.
    THeifTransform crop;
    crop.Kind = THeifTransform::Crop;
    crop.Width[0] = 4;
    crop.Height[0] = 2;
    const QImage cut = ApplyHeifTransforms(stored, QSize(8, 6), {crop});
    ASSERT_EQ(cut.size(), QSize(40, 20));
    EXPECT_EQ(cut.pixel(0, 0), stored.pixel(20, 20));
    EXPECT_EQ(cut.pixel(39, 19), stored.pixel(59, 39));
    // An aperture outside the item leaves nothing.
    crop.OffsetX[0] = 100;
    EXPECT_TRUE(ApplyHeifTransforms(stored, QSize(8, 6), {crop}).isNull());
}

// --- Decoding on a thread of its own -----------------------------------------------------------

TEST_F(HeifThumbnails, APhotoDecodedOnAnotherThreadIsKeptAndDrawnWithoutDecodingAgain) {
    ASSERT_TRUE(WriteHeic(Asymmetric(640, 480), Path("p.heic"), 6, {}, 90, 0, 160));
    auto photo = std::make_shared<TPhotoImage>(TPhotoFormat::Heif);
    photo->LoadFromFile(Path("p.heic"));
    QImage made;
    std::thread([&] { made = photo->DecodeForSize(QSize(120, 160)); }).join();
    ASSERT_EQ(made.size(), QSize(120, 160));
    photo->KeepDecoding(made);
    // The same pixels, not a decoding of their own (which would be another image).
    EXPECT_EQ(photo->ToImageForSize(QSize(100, 100)).cacheKey(), made.cacheKey());
    EXPECT_LT(MeanDistance(made, Reduced(photo->ToImage(), made.size())), 3.0);
    // A picture too large to be a decoding of it is not kept.
    photo->KeepDecoding(QImage(2000, 2000, QImage::Format_RGB32));
    EXPECT_EQ(photo->ToImageForSize(QSize(100, 100)).size(), QSize(480, 640));
}

TEST_F(HeifThumbnails, TheDecoderKeepsEachDecodingAndReportsDamage) {
    ASSERT_TRUE(WriteHeic(Asymmetric(640, 480), Path("good.heic"), 3, {}, 90, 0, 160));
    QByteArray bytes = ReadBytes(Path("good.heic"));
    DamagePrimaryImageData(bytes);
    WriteBytes(Path("bad.heic"), bytes);
    auto good = std::make_shared<TPhotoImage>(TPhotoFormat::Heif);
    good->LoadFromFile(Path("good.heic"));
    auto bad = std::make_shared<TPhotoImage>(TPhotoFormat::Heif);
    bad->LoadFromFile(Path("bad.heic"));

    std::vector<std::pair<const TPhotoImage*, QString>> reports;
    TPhotoDecoder decoder;
    decoder.OnFinished = [&](const std::shared_ptr<const TPhotoImage>& photo,
                             const QString& error) { reports.emplace_back(photo.get(), error); };
    const QImage coarse = good->Thumbnail();
    decoder.Start(good, QSize(320, 240), coarse);
    decoder.Start(good, QSize(320, 240), coarse); // once is enough
    decoder.Start(bad, QSize(320, 240), {});
    EXPECT_TRUE(decoder.Decoding(good.get()));
    EXPECT_EQ(decoder.Coarse(good.get()).cacheKey(), coarse.cacheKey());
    EXPECT_TRUE(decoder.Coarse(bad.get()).isNull());
    decoder.Wait(good.get());
    decoder.Wait(bad.get());
    EXPECT_FALSE(decoder.Decoding(good.get()));
    EXPECT_FALSE(decoder.Decoding(bad.get()));
    ASSERT_EQ(reports.size(), 2u);
    for (const auto& [photo, error] : reports) {
        if (photo == good.get()) {
            EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        } else {
            EXPECT_EQ(photo, bad.get());
            EXPECT_TRUE(error.startsWith(QStringLiteral("HEIFイメージ「bad.heic」が壊れている")))
                << error.toStdString();
        }
    }
    // Kept: drawing at that size decodes nothing more, and it is the photo turned 180°.
    const QImage kept = good->ToImageForSize(QSize(320, 240));
    EXPECT_EQ(kept.size(), QSize(320, 240));
    EXPECT_LT(MeanDistance(kept, Reduced(Asymmetric(640, 480).transformed(QTransform().rotate(180)),
                                         kept.size())),
              8.0);
}

TEST_F(HeifThumbnails, ADecoderGoneWhileItDecodesWaitsForItsThreadsAndReportsNothing) {
    ASSERT_TRUE(WriteHeic(Asymmetric(1280, 960), Path("p.heic")));
    auto photo = std::make_shared<TPhotoImage>(TPhotoFormat::Heif);
    photo->LoadFromFile(Path("p.heic"));
    bool reported = false;
    {
        TPhotoDecoder decoder;
        decoder.OnFinished = [&reported](const auto&, const QString&) { reported = true; };
        decoder.Start(photo, QSize(224, 168), {});
    }
    QCoreApplication::processEvents(); // a report posted by the thread would arrive now
    EXPECT_FALSE(reported);
    EXPECT_EQ(photo.use_count(), 1); // the thread let go of the photo
}

TEST(CoarsePhoto, HasThePhotosSizeAndTheThumbnailsPixels) {
    const QImage pixels = Asymmetric(40, 30);
    const TCoarsePhoto coarse(QSize(4000, 3000), pixels);
    EXPECT_EQ(coarse.Width(), 4000);
    EXPECT_EQ(coarse.Height(), 3000);
    EXPECT_FALSE(coarse.Empty());
    EXPECT_EQ(coarse.ToImageForSize(QSize(224, 168)).size(), QSize(40, 30));
    EXPECT_EQ(coarse.ToImageWithin(QSize(400, 400)).size(), QSize(400, 300));
    EXPECT_TRUE(TCoarsePhoto(QSize(4000, 3000), QImage()).Empty());
    EXPECT_FALSE(ErrorOf([&] { coarse.Clone()->LoadFromBytes("x"); }).isEmpty());
}
