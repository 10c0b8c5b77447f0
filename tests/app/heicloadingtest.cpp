// A phone's HEIC photo loaded in the main window: the thumbnail its file carries shown at once
// and turned as the photo, the photo itself decoded on a thread of its own and shown in its
// place, the preview and a PDF file waiting for it and holding the photo's own pixels, and
// whatever the user does meanwhile (another photo, undo, closing the window) leaving the
// calendar as the user made it; a photo found damaged only by its decoding leaves the calendar
// as it was, with its message.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QPainter>
#include <QUndoStack>

#include "common/files.h"
#include "common/heicwriter.h"
#include "common/imagemagick.h"
#include "common/pdfcheck.h"
#include "common/photofiles.h"
#include "photo/photoimage.h"
#include "preview/printlrunit.h"
#include "sheet/sheetcomposition.h"
#include "sheet/sheetlayout.h"
#include "statusbar/statusbarp.h"
#include "widgets/application.h"
#include "widgets/image.h"
#include "windowfixture.h"

using namespace testing_support;

namespace {

// The photos of every test, written once: a phone's photo taken on its side (stored 1600 ×
// 1200, seen 1200 × 1600: more pixels than are decoded at once) with a thumbnail of 320 × 240
// as phones store it (without a rotation of its own), the same without a thumbnail, and the
// first damaged past its boxes.
class Photos {
  public:
    Photos() {
        const QImage stored = Asymmetric(1600, 1200);
        Ok = WriteHeic(stored, Thumbnailed, 6, {}, 85, 0, 320) &&
             WriteHeic(stored, Plain, 6, {}, 85);
        QByteArray phone = ReadBytes(Thumbnailed);
        Ok = Ok && StripThumbnailTransforms(phone);
        WriteBytes(Thumbnailed, phone);
        DamagePrimaryImageData(phone);
        WriteBytes(Damaged, phone);
        // The photo as seen, read by ImageMagick (through libheif): the reference.
        Seen = ReadWithImageMagick(Thumbnailed, Dir.filePath(QStringLiteral("seen.png")));
        Ok = Ok && Seen.size() == QSize(1200, 1600);
    }
    QTemporaryDir Dir;
    const QString Thumbnailed = Dir.filePath(QStringLiteral("IMG_0001.HEIC"));
    const QString Plain = Dir.filePath(QStringLiteral("IMG_0002.HEIC"));
    const QString Damaged = Dir.filePath(QStringLiteral("IMG_0003.HEIC"));
    QImage Seen;
    bool Ok = false;
};

class HeicLoading : public WindowTest {
  protected:
    static void SetUpTestSuite() { photos = new Photos; }
    static void TearDownTestSuite() {
        delete photos;
        photos = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(photos->Ok);
        WindowTest::SetUp();
    }
    const TCalendarModel& Model() { return Document().Model(); }
    /// Runs the event loop until no photo is decoded any more; false after a minute.
    bool WaitForDecodings() {
        QElapsedTimer clock;
        clock.start();
        while (form->AnyPhotoDecoding() && clock.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return !form->AnyPhotoDecoding();
    }
    /// The sample's picture as the screen shows it.
    QImage Sample() { return form->Image1->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    /// The photo as seen, reduced to the sample's picture.
    QImage Expected() {
        return photos->Seen.scaled(form->Image1->size(), Qt::IgnoreAspectRatio,
                                   Qt::SmoothTransformation);
    }
    QString ShownClass() { return form->Image1->Picture().Graphic()->ClassName(); }
    QString Jpeg(const char* name) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(MakeQuarters(path, 640, 480));
        return path;
    }

    static Photos* photos;
};
Photos* HeicLoading::photos = nullptr;

} // namespace

TEST_F(HeicLoading, TheThumbnailShowsAtOnceTurnedAsThePhotoThenThePhotoItselfReplacesIt) {
    form->LoadPictureFile(photos->Thumbnailed);
    // At once: the calendar's photo, its size and its step; the sample its thumbnail.
    EXPECT_TRUE(form->PhotoDecoding());
    EXPECT_EQ(Model().Photo.Size(), QSize(1200, 1600));
    EXPECT_EQ(Model().Photo.FileName, photos->Thumbnailed);
    EXPECT_EQ(Document().UndoStack().undoText(), QStringLiteral("画像の読み込み"));
    EXPECT_EQ(ShownClass(), QStringLiteral("TCoarsePhoto"));
    EXPECT_EQ(form->Image1->size(), QSize(126, 168)); // placed as the photo, portrait
    EXPECT_EQ(form->StBar->Text(), TmainForm::DecodingText);
    const QImage coarse = Sample();
    const double near = MeanDistance(coarse, Expected());
    EXPECT_LT(near, 15.0) << "the thumbnail, upright";
    for (const QImage& wrong : {Expected().mirrored(true, false), Expected().mirrored(false, true)})
        EXPECT_GT(MeanDistance(coarse, wrong), near + 40);

    ASSERT_TRUE(WaitForDecodings());
    EXPECT_FALSE(form->PhotoDecoding());
    EXPECT_EQ(ShownClass(), QStringLiteral("TPhotoImage"));
    EXPECT_TRUE(form->StBar->Text().isEmpty());
    EXPECT_LT(MeanDistance(Sample(), Expected()), 10.0);
    // Its decoding is the calendar's photo's: the sheet's preview decodes nothing more.
    const auto* photo = dynamic_cast<const TPhotoImage*>(Model().Photo.Picture.get());
    ASSERT_NE(photo, nullptr);
    EXPECT_TRUE(photo->HasDecoding(SheetPreviewDecodeSize(Model().Photo.Size())));
    EXPECT_EQ(Document().UndoStack().count(), 1);
}

TEST_F(HeicLoading, APdfSavedAndThePreviewOpenedWhileItDecodesHoldThePhotoItself) {
    form->LoadPictureFile(photos->Thumbnailed);
    ASSERT_TRUE(form->PhotoDecoding());
    const QString pdf = dir.filePath(QStringLiteral("calendar.pdf"));
    auto seen = ChooseInFileDialog(pdf);
    form->MIpdf->trigger();
    EXPECT_TRUE(*seen);
    EXPECT_FALSE(form->PhotoDecoding()) << "it waited for the photo";
    EXPECT_FALSE(form->InputBlocked());
    // The photo at every one of its pixels, not the thumbnail's 240 × 320.
    const std::vector<TPdfImage> images = PdfImages(pdf);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].Width, 1200);
    EXPECT_EQ(images[0].Height, 1600);

    // The preview, asked for before the photo is decoded: its picture is the one the photo's
    // own pixels make, exactly.
    form->LoadPictureFile(photos->Plain);
    ASSERT_TRUE(form->PhotoDecoding());
    TPhotoImage fresh(TPhotoFormat::Heif);
    fresh.LoadFromFile(photos->Plain);
    const QImage expected = SheetPreviewPicture(&fresh, Model().Framing);
    bool decodingInside = true;
    QImage picture;
    seen = WhenModal([&](QWidget* w) {
        auto* preview = qobject_cast<TFrmPrtLR*>(w);
        ASSERT_NE(preview, nullptr);
        decodingInside = form->PhotoDecoding();
        picture = preview->Sheet().LRImage1->Picture().Graphic()->ToImage();
        preview->BtnEnd->click();
    });
    form->Button1->click();
    EXPECT_TRUE(*seen);
    EXPECT_FALSE(decodingInside);
    ASSERT_EQ(picture.size(), expected.size());
    EXPECT_EQ(picture.convertToFormat(QImage::Format_RGB32),
              expected.convertToFormat(QImage::Format_RGB32));
}

TEST_F(HeicLoading, AnotherPhotoLoadedOrAnUndoWhileItDecodesIsWhatStays) {
    const QString jpeg = Jpeg("quarters.jpg");
    form->LoadPictureFile(photos->Thumbnailed);
    ASSERT_TRUE(form->PhotoDecoding());
    form->LoadPictureFile(jpeg);
    EXPECT_EQ(Model().Photo.FileName, jpeg);
    EXPECT_EQ(ShownClass(), QStringLiteral("TJPEGImage"));
    EXPECT_TRUE(form->StBar->Text().isEmpty());
    ASSERT_TRUE(WaitForDecodings());
    // The HEIC photo's decoding ended later: the calendar and the sample keep the JPEG photo.
    EXPECT_EQ(Model().Photo.FileName, jpeg);
    EXPECT_EQ(ShownClass(), QStringLiteral("TJPEGImage"));
    EXPECT_EQ(Model().Photo.Size(), QSize(640, 480));
    EXPECT_EQ(Document().UndoStack().count(), 2);
    // Undone, the HEIC photo comes back decoded already.
    form->UndoClick();
    EXPECT_EQ(Model().Photo.FileName, photos->Thumbnailed);
    EXPECT_FALSE(form->PhotoDecoding());
    EXPECT_EQ(ShownClass(), QStringLiteral("TPhotoImage"));

    // An undo while it decodes: the JPEG photo before it, and the HEIC photo back decoded.
    form->LoadPictureFile(photos->Plain);
    ASSERT_TRUE(form->PhotoDecoding());
    form->UndoClick();
    EXPECT_EQ(Model().Photo.FileName, photos->Thumbnailed);
    EXPECT_EQ(ShownClass(), QStringLiteral("TPhotoImage"));
    EXPECT_TRUE(form->StBar->Text().isEmpty());
    ASSERT_TRUE(WaitForDecodings());
    EXPECT_EQ(Model().Photo.FileName, photos->Thumbnailed);
    form->RedoClick();
    EXPECT_EQ(Model().Photo.FileName, photos->Plain);
    EXPECT_FALSE(form->PhotoDecoding());
    EXPECT_EQ(ShownClass(), QStringLiteral("TPhotoImage"));
    EXPECT_LT(MeanDistance(Sample(), Expected()), 10.0);
}

TEST_F(HeicLoading, WithoutAThumbnailTheBoxWaitsEmptyForThePhoto) {
    form->LoadPictureFile(photos->Plain);
    ASSERT_TRUE(form->PhotoDecoding());
    EXPECT_EQ(Model().Photo.Size(), QSize(1200, 1600));
    EXPECT_EQ(form->StBar->Text(), TmainForm::DecodingText);
    EXPECT_TRUE(form->Image1->Picture().Graphic()->Empty());
    const QImage empty = Sample();
    EXPECT_EQ(empty.pixel(10, 10), empty.pixel(100, 150)) << "nothing drawn yet";
    ASSERT_TRUE(WaitForDecodings());
    EXPECT_LT(MeanDistance(Sample(), Expected()), 10.0);
}

TEST_F(HeicLoading, APhotoFoundDamagedWhenDecodedLeavesTheCalendarAsItWasWithItsMessage) {
    const QString jpeg = Jpeg("before.jpg");
    form->LoadPictureFile(jpeg);
    const TSheetPhoto before = Model().Photo;
    const QRect placed = form->Image1->geometry();
    const int steps = Document().UndoStack().count();

    form->LoadPictureFile(photos->Damaged); // its boxes read: it is loaded, its thumbnail shown
    ASSERT_TRUE(form->PhotoDecoding());
    EXPECT_EQ(ShownClass(), QStringLiteral("TCoarsePhoto"));
    QString message;
    auto seen = AnswerMessage(QMessageBox::Ok, &message);
    ASSERT_TRUE(WaitForDecodings());
    EXPECT_TRUE(*seen);
    EXPECT_TRUE(message.startsWith(
        QStringLiteral("HEIFイメージ「IMG_0003.HEIC」が壊れているため読み込めません")))
        << message.toStdString();
    EXPECT_EQ(Model().Photo, before);
    EXPECT_EQ(Document().UndoStack().count(), steps);
    EXPECT_FALSE(Document().UndoStack().canRedo()) << "no step brings it back";
    EXPECT_EQ(ShownClass(), QStringLiteral("TJPEGImage"));
    EXPECT_EQ(form->Image1->geometry(), placed);
    EXPECT_TRUE(form->StBar->Text().isEmpty());

    // Another change made while it decoded stays; the photo before comes back as a step.
    form->LoadPictureFile(photos->Damaged);
    form->Button5Click(); // 次年
    seen = AnswerMessage(QMessageBox::Ok, &message);
    ASSERT_TRUE(WaitForDecodings());
    EXPECT_TRUE(*seen);
    EXPECT_EQ(Model().Photo, before);
    EXPECT_EQ(Model().Year, 2028);
    EXPECT_EQ(Document().UndoStack().undoText(), QStringLiteral("画像の取り消し"));

    // The preview asked for while it decodes stops after the message: no sheet of it.
    form->LoadPictureFile(photos->Damaged);
    bool previewed = false;
    seen = WhenModal([&previewed](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            box->button(QMessageBox::Ok)->click();
        } else {
            previewed = true;
            w->close();
        }
    });
    form->Button1->click();
    EXPECT_TRUE(*seen);
    EXPECT_FALSE(previewed);
    EXPECT_EQ(Model().Photo, before);
    EXPECT_FALSE(form->InputBlocked());
}

TEST_F(HeicLoading, ClosingTheWindowWhileItDecodesWaitsForTheDecodingAndEnds) {
    form->LoadPictureFile(photos->Thumbnailed);
    ASSERT_TRUE(form->PhotoDecoding());
    const std::weak_ptr<const TGraphic> photo = Model().Photo.Picture;
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    form.reset(); // the decoding under way is waited for, its report dropped
    QCoreApplication::processEvents();
    EXPECT_TRUE(photo.expired()) << "nothing holds the photo any more";
}
