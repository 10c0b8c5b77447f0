// The main window given bad files, as a user would give them: pictures that are damaged, cut
// short, empty, of no size or claiming a hundred million pixels and more, in each of the three
// formats; and settings files with garbage, gaps, values out of range, an unknown encoding, or
// far too long. The user gets a message in Japanese or the defaults, and nothing is lost.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <utility>
#include <vector>

#include "../common/imagemagick.h"
#include "app/mainunit.h"
#include "common/files.h"
#include "dib/vddib.h"
#include "modal.h"
#include "model/calendardocument.h"
#include "preview/printlrunit.h"
#include "print/imageprinter.h"
#include "qtprint.h"
#include "settings/inifile.h"
#include "widgets/application.h"
#include "widgets/image.h"

#if defined(__SANITIZE_ADDRESS__)
#define TAMURIKA_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAMURIKA_LEAK_CHECK 1
#endif
#endif
#ifdef TAMURIKA_LEAK_CHECK
// What libraries outside the program keep is suppressed in common/testmain.cpp.
#include <sanitizer/lsan_interface.h>
#endif

using testing_support::AnswerMessage;
using testing_support::MakeQuarters;
using testing_support::WhenModal;

namespace {

using testing_support::ReadBytes;
using testing_support::WriteBytes;

void PutU32(QByteArray& bytes, qsizetype at, quint32 value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(value >> (8 * i) & 0xFF);
}

void PutU16BigEndian(QByteArray& bytes, qsizetype at, int value) {
    bytes[at] = char(value >> 8 & 0xFF);
    bytes[at + 1] = char(value & 0xFF);
}

const QString Refused = QStringLiteral("プリンタが印刷を受け付けませんでした。");

// A printer into page images (one pixel per design unit at 96 per inch) whose queue refuses
// the next `Refusals` jobs as they start.
class TRefusingPrinter : public TImagePrinter {
  public:
    TRefusingPrinter() : TImagePrinter(96) {}
    void BeginDoc() override {
        if (Refusals > 0) {
            --Refusals;
            throw EPrinter(Refused);
        }
        TImagePrinter::BeginDoc();
    }
    int Refusals = 0;
};

class BadInput : public ::testing::Test {
  protected:
    void SetUp() override { RegisterVdDIB(); }
    void TearDown() override {
        testing_support::CancelPendingAnswers();
        form.reset();
        UnregisterVdDIB();
        if (printer)
            SetPrinter(std::move(oldPrinter));
    }
    /// Makes the application print into page images of 96 pixels per inch: one pixel per
    /// design unit.
    TRefusingPrinter& PrintIntoImages() {
        auto images = std::make_unique<TRefusingPrinter>();
        printer = images.get();
        oldPrinter = SetPrinter(std::move(images));
        return *printer;
    }
    /// "ﾌﾟﾚﾋﾞｭ-＆印刷"; `inside` works the preview window, which must be closed by it.
    bool Preview(const std::function<void(TFrmPrtLR&)>& inside) {
        auto seen = WhenModal([inside](QWidget* w) {
            auto* preview = qobject_cast<TFrmPrtLR*>(w);
            ASSERT_NE(preview, nullptr);
            inside(*preview);
        });
        form->Button1->click();
        return *seen;
    }
    void Start() {
        form = std::make_unique<TmainForm>(dir.path());
        form->show();
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    const TCalendarModel& Model() const { return form->Document().Model(); }
    QString Ini() const { return Path(QStringLiteral("tamurika.ini")); }

    QTemporaryDir dir;
    std::unique_ptr<TmainForm> form;
    TRefusingPrinter* printer = nullptr;
    std::unique_ptr<TPrinter> oldPrinter;
};

TEST_F(BadInput, BadPicturesGiveAMessageInJapaneseAndChangeNothing) {
    // Good pictures written by ImageMagick, 64 × 48, as the base of every bad one.
    ASSERT_TRUE(MakeQuarters(Path("good.bmp"), 64, 48,
                             {QStringLiteral("-type"), QStringLiteral("TrueColor")}));
    ASSERT_TRUE(MakeQuarters(Path("good.jpg"), 64, 48));
    ASSERT_TRUE(MakeQuarters(Path("good3.bmp"), 64, 48,
                             {QStringLiteral("-define"), QStringLiteral("bmp:format=bmp3")}));
    const QByteArray bmp = ReadBytes(Path("good.bmp"));
    const QByteArray jpg = ReadBytes(Path("good.jpg"));
    const QByteArray dib = ReadBytes(Path("good3.bmp"));
    const qsizetype sof = jpg.indexOf("\xFF\xC0");
    ASSERT_GT(sof, 0);

    // Bitmap headers: width at 18, height at 22, both 32 bits. JPEG frame: height, width at
    // 5 and 7 behind the marker.
    auto bitmapSized = [](QByteArray b, quint32 w, quint32 h) {
        PutU32(b, 18, w);
        PutU32(b, 22, h);
        return b;
    };
    auto jpegSized = [sof](QByteArray b, int w, int h) {
        PutU16BigEndian(b, sof + 5, h);
        PutU16BigEndian(b, sof + 7, w);
        return b;
    };
    auto damagedJpeg = [sof](QByteArray b) {
        b[sof + 1] = char(0xCF); // a kind of frame libjpeg does not read
        return b;
    };
    auto damagedBitmap = [](QByteArray b) {
        PutU32(b, 14, 0x7777); // a header size no bitmap has
        return b;
    };
    struct Bad {
        const char* Name;
        QByteArray Bytes;
        QString Message; // the start of what the user reads
    };
    const QString bitmapMessage = QStringLiteral("ビットマップ画像を読み込めません。");
    const QString dibMessage = QStringLiteral("画像ファイル「%1」を読み込めません（");
    const Bad bad[] = {
        {"damaged.bmp", damagedBitmap(bmp), bitmapMessage},
        {"truncated.bmp", bmp.left(bmp.size() / 2),
         QStringLiteral("ビットマップ画像のデータが途中で切れています。ファイルが壊れています。")},
        {"empty.bmp", QByteArray(), bitmapMessage},
        {"zero.bmp", bitmapSized(bmp, 0, 0), bitmapMessage},
        {"huge.bmp", bitmapSized(bmp, 10001, 10000),
         QStringLiteral(
             "画像が大きすぎます（10001 × 10000 ピクセル）。1 億ピクセルまでの画像を使ってください。")},
        {"damaged.jpg", damagedJpeg(jpg),
         QStringLiteral("JPEGイメージが壊れているため読み込めません（")},
        {"truncated.jpg", jpg.left(jpg.size() - 40),
         QStringLiteral("JPEGイメージのデータが途中で切れています。ファイルが壊れています。")},
        {"empty.jpg", QByteArray(), QStringLiteral("JPEGイメージではありません。")},
        {"zero.jpeg", jpegSized(jpg, 0, 0), QStringLiteral("JPEGイメージ")},
        {"huge.jpg", jpegSized(jpg, 65500, 65500),
         QStringLiteral("画像が大きすぎます（65500 × 65500 ピクセル）。")},
        {"damaged.dib", damagedBitmap(dib), dibMessage.arg("damaged.dib")},
        {"truncated.dib", dib.left(dib.size() / 2), dibMessage.arg("truncated.dib")},
        {"empty.dib", QByteArray(), dibMessage.arg("empty.dib")},
        {"zero.dib", bitmapSized(dib, 0, 0), dibMessage.arg("zero.dib")},
        {"huge.dib", bitmapSized(dib, 20000, 20000), dibMessage.arg("huge.dib")},
    };

    Start();
    form->LoadPictureFile(Path("good.jpg"));
    const QRect shown = form->Image1->geometry();
    const TSheetPhoto photo = Model().Photo;
    const TGraphic* const shownPicture = form->Image1->Picture().Graphic();
    const int steps = form->Document().UndoStack().count();
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.Name);
        const QString file = Path(QString::fromLatin1(b.Name));
        WriteBytes(file, b.Bytes);
        // Through the command's own guard: the message box the user reads.
        QString message;
        const auto seen = AnswerMessage(QMessageBox::Ok, &message);
        RunGuarded([&] { form->LoadPictureFile(file); });
        EXPECT_TRUE(*seen) << "no message";
        EXPECT_TRUE(message.startsWith(b.Message)) << message.toStdString();
        // Its reason in Japanese too: no English word of a library after the file's name.
        static const QRegularExpression englishWord(QStringLiteral("[a-z]{3,}"));
        EXPECT_FALSE(message.mid(message.indexOf(QStringLiteral("」")) + 1).contains(englishWord))
            << message.toStdString();
        // Nothing changed: the picture, its size, its place in the sample, its file name.
        EXPECT_EQ(form->OpenDialog1.FileName, Path("good.jpg"));
        EXPECT_EQ(Model().Photo, photo);
        EXPECT_EQ(Model().Photo.Size(), QSize(64, 48));
        EXPECT_EQ(form->Image1->geometry(), shown);
        EXPECT_EQ(form->Image1->Picture().Graphic(), shownPicture);
        EXPECT_EQ(form->Document().UndoStack().count(), steps);
    }
    // The bad files are as they were: reading never writes.
    for (const Bad& b : bad)
        EXPECT_EQ(ReadBytes(Path(QString::fromLatin1(b.Name))), b.Bytes) << b.Name;
}

TEST_F(BadInput, BadPhotosOfTheOtherFormatsNameTheFileAndChangeNothing) {
    // Good photos written by ImageMagick, 64 × 48, as the base of every bad one.
    struct Format {
        const char* Extension;
        const char* Name; // in the messages
    };
    const Format formats[] = {
        {"png", "PNG"}, {"gif", "GIF"}, {"tif", "TIFF"}, {"webp", "WebP"}, {"heic", "HEIF"}};
    struct Bad {
        QString File;
        QByteArray Bytes;
        QString Message; // the start of what the user reads
    };
    std::vector<Bad> bad;
    for (const Format& f : formats) {
        const QString extension = QString::fromLatin1(f.Extension);
        const QString good = Path("good." + extension);
        ASSERT_TRUE(MakeQuarters(good, 64, 48)) << f.Extension;
        const QByteArray bytes = ReadBytes(good);
        QByteArray headerless = bytes; // its signature broken
        headerless[1] = 'X';
        headerless[2] = 'X';
        const auto named = [&f](const QString& file) {
            return QString::fromLatin1(f.Name) + QStringLiteral("イメージ「") + file +
                   QStringLiteral("」");
        };
        for (const auto& [stem, content] :
             {std::pair{QStringLiteral("damaged"), headerless},
              std::pair{QStringLiteral("truncated"), bytes.left(bytes.size() / 2)},
              std::pair{QStringLiteral("empty"), QByteArray()}}) {
            const QString file = stem + "." + extension;
            bad.push_back({file, content, named(file)});
        }
    }
    // Claiming more than a hundred million pixels: a GIF's logical screen, a HEIC image's
    // coded size ("ispe").
    QByteArray gif = ReadBytes(Path("good.gif"));
    for (int k = 6; k < 10; ++k)
        gif[k] = char(0xFF);
    bad.push_back({"huge.gif", gif,
                   QStringLiteral("画像「huge.gif」が大きすぎます（65535 × 65535 ピクセル）。")});
    QByteArray heic = ReadBytes(Path("good.heic"));
    ASSERT_GT(heic.indexOf("ispe"), 0);
    for (qsizetype ispe = heic.indexOf("ispe"); ispe > 0; ispe = heic.indexOf("ispe", ispe + 1))
        for (int k = 0; k < 8; ++k)
            heic[ispe + 8 + k] = char(k % 4 == 2 ? 0x4E : k % 4 == 3 ? 0x20 : 0); // 20000
    bad.push_back({"huge.heic", heic,
                   QStringLiteral("画像「huge.heic」が大きすぎます（20000 × 20000 ピクセル）。")});
    // A file whose kind no picture class reads.
    bad.push_back(
        {"drawing.xcf", QByteArray("gimp xcf v011"),
         QStringLiteral("画像ファイル「drawing.xcf」の種類（.xcf）には対応していません")});

    ASSERT_TRUE(MakeQuarters(Path("good.jpg"), 64, 48));
    Start();
    form->LoadPictureFile(Path("good.jpg"));
    const QRect shown = form->Image1->geometry();
    const TSheetPhoto photo = Model().Photo;
    const TGraphic* const shownPicture = form->Image1->Picture().Graphic();
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.File.toStdString());
        const QString file = Path(b.File);
        WriteBytes(file, b.Bytes);
        QString message;
        const auto seen = AnswerMessage(QMessageBox::Ok, &message);
        RunGuarded([&] { form->LoadPictureFile(file); });
        EXPECT_TRUE(*seen) << "no message";
        EXPECT_TRUE(message.startsWith(b.Message)) << message.toStdString();
        EXPECT_EQ(form->OpenDialog1.FileName, Path("good.jpg"));
        EXPECT_EQ(Model().Photo, photo);
        EXPECT_EQ(Model().Photo.Size(), QSize(64, 48));
        EXPECT_EQ(form->Image1->geometry(), shown);
        EXPECT_EQ(form->Image1->Picture().Graphic(), shownPicture);
        EXPECT_EQ(ReadBytes(file), b.Bytes); // reading never writes
    }
}

// The photo prints as it was read when it was loaded: a file deleted or replaced since does
// not change the page.
TEST_F(BadInput, APictureDeletedOrReplacedBetweenPreviewAndPrintPrintsThePreviewsPicture) {
    TImagePrinter& images = PrintIntoImages();
    const QString photo = Path("photo.jpg");
    const auto printAfter = [&](const std::function<void()>& meanwhile) {
        bool closed = false;
        EXPECT_TRUE(Preview([&](TFrmPrtLR& preview) {
            meanwhile();
            preview.BtnInsatu->click();
            closed = !preview.isVisible();
            if (!closed)
                preview.BtnEnd->click();
        }));
        EXPECT_TRUE(closed) << "printing went on and closed the window";
    };
    const auto expectQuarters = [&images] {
        ASSERT_EQ(images.Pages().size(), 1u);
        // The picture at (43, 127) .. (751, 481), one pixel per design unit: its quarters.
        const QImage page = images.Pages().front();
        EXPECT_TRUE(testing_support::Near(page.pixel(200, 200), qRgb(0, 0, 255)));
        EXPECT_TRUE(testing_support::Near(page.pixel(600, 420), qRgb(0, 255, 0)));
        EXPECT_TRUE(testing_support::Near(page.pixel(600, 200), qRgb(255, 0, 0)));
    };
    // Fine enough to print without the coarse-print question (163 pixels per inch).
    ASSERT_TRUE(MakeQuarters(photo, 1200, 600));
    Start();
    form->LoadPictureFile(photo);
    printAfter([&] { ASSERT_TRUE(QFile::remove(photo)); });
    expectQuarters();

    // Another picture under the same name, of another size even: the page is the same.
    ASSERT_TRUE(testing_support::Convert(
        {QStringLiteral("-size"), QStringLiteral("300x600"), QStringLiteral("xc:yellow"), photo}));
    printAfter([] {});
    expectQuarters();
    printAfter([&] { WriteBytes(photo, "\xFF\xD8\xFF\xE0 damaged since"); });
    expectQuarters();
}

TEST_F(BadInput, AFullLoadPreviewPrintCycleWithItsErrorsLeaksNothing) {
    TRefusingPrinter& images = PrintIntoImages();
    const QString photo = Path("photo.jpg");
    // Fine enough to print without the coarse-print question (217 pixels per inch).
    ASSERT_TRUE(MakeQuarters(photo, 1600, 1200));
    Start();
    // A bad picture first (its error path), then a good one.
    WriteBytes(Path("bad.jpg"), "\xFF\xD8\xFF\xE0 not a picture");
    EXPECT_THROW(form->LoadPictureFile(Path("bad.jpg")), EInvalidGraphic);
    form->LoadPictureFile(photo);
    // A preview whose print fails (the queue refuses the job): the message, the window
    // stays; zoomed out and in; closed.
    QString message;
    bool stayed = false;
    images.Refusals = 1;
    ASSERT_TRUE(Preview([&](TFrmPrtLR& preview) {
        AnswerMessage(QMessageBox::Ok, &message, &preview);
        preview.BtnInsatu->click();
        stayed = preview.isVisible();
        preview.BtnSyukusho->click();
        preview.BtnKakudai->click();
        preview.BtnEnd->click();
    }));
    EXPECT_EQ(message, Refused);
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(images.Pages().empty());
    // A preview that prints, the photo damaged meanwhile: it prints as it was read.
    WriteBytes(photo, "\xFF\xD8\xFF\xE0 damaged since");
    ASSERT_TRUE(Preview([](TFrmPrtLR& preview) { preview.BtnInsatu->click(); }));
    ASSERT_EQ(images.Pages().size(), 1u);
    EXPECT_TRUE(testing_support::Near(images.Pages().front().pixel(200, 200), qRgb(0, 0, 255)));
    EXPECT_EQ(FrmPrtLR, nullptr);
#ifdef TAMURIKA_LEAK_CHECK
    // Whatever the cycle made and let go of, the pictures and bitmaps of the failed steps
    // included, has been freed: LeakSanitizer finds nothing unreachable.
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
#endif
}

// What the window shows after starting with a settings file: the slot saved last, the comment
// of slot 1, the title style and the year colour.
struct Shown {
    int Slot;
    QString Comment1;
    int Style;
    TColor YearColor;
    bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& s, std::ostream* os) {
    *os << "slot " << s.Slot << ", comment1 '" << s.Comment1.toStdString() << "', style " << s.Style
        << ", year colour " << s.YearColor;
}

TEST_F(BadInput, BrokenSettingsFilesStartWithWhatCanBeReadAndAreKeptByteForByte) {
    const QByteArray slot3 = "[settei3]\r\ncomment=c3\r\nYYcolor=255\r\nzenkaiym=2\r\n";
    const Shown defaults{1, QStringLiteral("フォント設定1"), 0, clBlack};
    QByteArray tenMegabytes = "[tamurika]\r\nzenkai=3\r\n" + slot3;
    while (tenMegabytes.size() < 10 * 1024 * 1024)
        tenMegabytes += "; a line of a file that is far too long for settings\r\n";
    QByteArray utf16 = QByteArray("\xFF\xFE", 2);
    for (const char c : QByteArray("[tamurika]\r\nzenkai=3\r\n" + slot3)) {
        utf16 += c;
        utf16 += '\0';
    }
    struct Case {
        const char* What;
        QByteArray Bytes;
        Shown Expected;
    };
    const Case cases[] = {
        {"garbage lines",
         QByteArray("\x00\x01", 2) + "\xFF garbage\r\n[tamurika\r\nzenkai=3\r\n=x\r\n\x82\r\n" +
             slot3 + "\xFF\xFE\xFD\r\n[settei1\r\ncomment",
         {3, QStringLiteral("フォント設定1"), 2, clRed}},
        {"missing sections",
         "[tamurika]\r\nzenkai=3\r\n",
         {3, QStringLiteral("フォント設定1"), 0, clBlack}},
        {"values out of range",
         "[tamurika]\r\nzenkai=1\r\n[settei1]\r\ncomment=c1\r\nYYcolor=99999999999\r\n"
         "fs11=-5\r\nzenkaiym=42\r\n",
         {1, QStringLiteral("c1"), 0, clBlack}},
        {"an unknown encoding (UTF-16)", utf16, defaults},
        {"10 MB long", tenMegabytes, defaults},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        WriteBytes(Ini(), c.Bytes);
        Start();
        const Shown shown{form->Document().CurrentSlot, form->Document().SlotComments[0],
                          form->ComboBox3->currentIndex(), Model().Settings.Colors[scYear]};
        EXPECT_EQ(shown, c.Expected);
        EXPECT_EQ(ReadBytes(Ini()), c.Bytes) << "starting changed the file";
        form.reset();
    }
}

TEST_F(BadInput, SavingIntoABrokenSettingsFileKeepsEveryOtherByte) {
    const QByteArray garbage =
        QByteArray("\x00\x01", 2) + "\xFF garbage\r\n=x\r\n\x82\r\n[settei2]\r\nzz";
    WriteBytes(Ini(), garbage);
    Start();
    TIniFile ini(Ini());
    SaveSlotSettings(ini, 2, QStringLiteral("年賀用"), Model().Settings, 0);
    const QByteArray after = ReadBytes(Ini());
    // The slot went into the existing section, after the line that was there, and the last
    // slot into a new section at the end: every old byte is still there, in its place.
    EXPECT_TRUE(after.startsWith(garbage)) << after.toHex().constData();
    EXPECT_EQ(ReadSlotDirectory(ini).Comments[1], QStringLiteral("年賀用"));
    EXPECT_EQ(ReadSlotDirectory(ini).LastSlot, 2);

    // A file far too long to be settings is neither read nor replaced; the save says so.
    QByteArray huge = "[settei1]\r\ncomment=x\r\n";
    huge += QByteArray(TIniFile::MaxFileSize, ';');
    WriteBytes(Ini(), huge);
    try {
        SaveSlotSettings(ini, 1, QStringLiteral("x"), Model().Settings, 0);
        ADD_FAILURE() << "a 4 MB file was replaced";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), Ini() + QStringLiteral(" に書き込めません"));
    }
    EXPECT_EQ(ReadBytes(Ini()), huge);
}

} // namespace
