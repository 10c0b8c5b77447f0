// tamurika-export's sheet: the command line read in-process, then the real executable run
// without a display, its PDF read back with poppler (pdfinfo, pdftotext, pdftoppm at 96 per
// inch, one pixel per design unit) and its PNG looked at pixel by pixel.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLocale>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTextStream>

#include "common/imagemagick.h"
#include "common/sheetpage.h"
#include "export/exportcommand.h"
#include "exportfixture.h"

using namespace Qt::StringLiterals;
using namespace testing_support;

namespace {

using TOutput = TExportOptions::TOutput;

TEST(ParseSheetArguments, DefaultsAndEveryOption) {
    const TExportOptions plain = ParseExportArguments({u"--pdf"_s, u"a.pdf"_s});
    EXPECT_EQ(plain.Mode, TExportOptions::TMode::Sheet);
    EXPECT_EQ(plain.Output, TOutput::Pdf);
    EXPECT_EQ(plain.Target, u"a.pdf"_s);
    EXPECT_FALSE(plain.Year.has_value());
    EXPECT_FALSE(plain.Slot.has_value());
    EXPECT_FALSE(plain.Position.has_value());
    EXPECT_TRUE(plain.PictureFile.isEmpty());
    EXPECT_EQ(plain.Dpi, 96);

    const TExportOptions all =
        ParseExportArguments({u"--year"_s, u"2027"_s, u"--picture=写真.jpg"_s, u"--slot"_s, u"10"_s,
                              u"--position"_s, u"-10"_s, u"--png"_s, u"out.png"_s, u"--dpi=300"_s});
    EXPECT_EQ(all.Year, 2027);
    EXPECT_EQ(all.PictureFile, u"写真.jpg"_s);
    EXPECT_EQ(all.Slot, 10);
    EXPECT_EQ(all.Position, -10);
    EXPECT_EQ(all.Output, TOutput::Png);
    EXPECT_EQ(all.Dpi, 300);
    EXPECT_EQ(ParseExportArguments({u"--printer"_s, u"Office"_s}).Output, TOutput::Printer);
}

TEST(ParseSheetArguments, RefusesWhatIsNoSheet) {
    ExpectRefused({
        {{u"--year"_s, u"2027"_s},
         u"出力先（--pdf、--png、--printer のどれか）が指定されていません。"_s},
        {{u"--pdf"_s}, u"--pdf には値が必要です。"_s},
        {{u"--pdf="_s}, u"--pdf の値が空です。"_s},
        {{u"--pdf"_s, u"a"_s, u"--png"_s, u"b"_s},
         u"出力先は --pdf、--png、--printer のどれか一つだけ指定してください。"_s},
        {{u"--pdf"_s, u"a"_s, u"--dpi"_s, u"300"_s}, u"--dpi は --png と一緒にだけ使えます。"_s},
        {{u"--png"_s, u"a"_s, u"--dpi"_s, u"601"_s},
         u"解像度 '601' は 24 から 600 までの整数で指定してください。"_s},
        {{u"--pdf"_s, u"a"_s, u"--slot"_s, u"0"_s},
         u"設定番号 '0' は 1 から 10 までの整数で指定してください。"_s},
        {{u"--pdf"_s, u"a"_s, u"--position"_s, u"11"_s},
         u"位置 '11' は -10 から 10 までの整数で指定してください。"_s},
        {{u"--pdf"_s, u"a"_s, u"--year"_s, u"0"_s},
         u"年 '0' は 1 から 9999 までの整数で指定してください。"_s},
        {{u"--pdf"_s, u"a"_s, u"--year"_s, u"1"_s, u"--year"_s, u"2"_s},
         u"--year が二度指定されています。"_s},
        {{u"--pdf"_s, u"a"_s, u"--colour"_s, u"red"_s}, u"不明な引数です: --colour"_s},
        {{u"--pdf"_s, u"a"_s, u"extra"_s}, u"不明な引数です: extra"_s},
    });
}

// Any mix of options, values and stray words either makes one complete sheet command whose
// values lie in their ranges, or is refused with a message: never anything in between.
TEST(ParseSheetArguments, RandomArgumentListsParseWholeOrAreRefused) {
    const QStringList words = {u"--year"_s,     u"--picture"_s, u"--slot"_s,      u"--position"_s,
                               u"--pdf"_s,      u"--png"_s,     u"--printer"_s,   u"--dpi"_s,
                               u"--holidays"_s, u"--help"_s,    u"2027"_s,        u"-10"_s,
                               u"11"_s,         u"0"_s,         u"600"_s,         u"a.pdf"_s,
                               u""_s,           u"--year=3"_s,  u"--dpi="_s,      u"=x"_s,
                               u"--"_s,         u"９"_s,        u"99999999999"_s, u"-"_s};
    std::uint32_t seed = 12345;
    const auto next = [&seed](std::uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        QStringList arguments;
        const int length = static_cast<int>(next(7));
        for (int k = 0; k < length; ++k)
            arguments << words[static_cast<int>(next(static_cast<std::uint32_t>(words.size())))];
        try {
            const TExportOptions o = ParseExportArguments(arguments);
            if (o.Mode != TExportOptions::TMode::Sheet)
                continue;
            ++accepted;
            ASSERT_FALSE(o.Target.isEmpty()) << arguments.join(u' ').toStdString();
            ASSERT_TRUE(!o.Year || (*o.Year >= ExportMinYear && *o.Year <= ExportMaxYear));
            ASSERT_TRUE(!o.Slot || (*o.Slot >= 1 && *o.Slot <= 10));
            ASSERT_TRUE(!o.Position || (*o.Position >= -10 && *o.Position <= 10));
            ASSERT_TRUE(o.Dpi >= ExportMinDpi && o.Dpi <= ExportMaxDpi);
            ASSERT_TRUE(o.Dpi == TExportOptions::PreviewDpi || o.Output == TOutput::Png);
        } catch (const EExportUsage& e) {
            ASSERT_FALSE(e.Message().isEmpty());
        }
    }
    EXPECT_GT(accepted, 100); // the mix does reach complete commands
}

// --- In-process ----------------------------------------------------------------------------------

// Qt's dialogs take the Japanese locale as their default; the sheet must come out the same
// under any default locale, in its numbers and in the fonts that stand in for missing glyphs
// (a Latin face for the titles leaves "年" and "月" to a fallback font).
TEST(ExportSheetLocale, TheSheetIsTheSameWhateverTheDefaultLocale) {
    QTemporaryDir program, work;
    {
        QFile ini(program.filePath(u"tamurika.ini"_s));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[settei1]\r\nfont1=DejaVu Sans\r\nfont2=DejaVu Serif\r\nfont3=DejaVu Sans\r\n"
                  "font4=DejaVu Sans\r\nzenkaiym=4\r\n[tamurika]\r\nzenkai=1\r\n");
    }
    auto sheet = [&](const QLocale& locale, const QString& name) {
        QLocale::setDefault(locale);
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const QString png = work.filePath(name);
        EXPECT_EQ(RunExport({u"--year"_s, u"2027"_s, u"--png"_s, png}, outStream, errStream,
                            program.path()),
                  0)
            << err.toStdString();
        return QImage(png);
    };
    const QLocale before;
    const QImage english = sheet(QLocale(QLocale::English, QLocale::UnitedStates), u"en.png"_s);
    const QImage japanese = sheet(QLocale(QLocale::Japanese, QLocale::Japan), u"ja.png"_s);
    const QImage german = sheet(QLocale(QLocale::German, QLocale::Germany), u"de.png"_s);
    QLocale::setDefault(before);
    ASSERT_EQ(english.size(), QSize(PageWidth, PageHeight));
    EXPECT_TRUE(english == japanese);
    EXPECT_TRUE(english == german);
}

// --- The real executable -----------------------------------------------------------------------

using Result = testing_support::ExportResult;

/// A copy of tamurika-export in a folder of its own, whose settings files the test writes.
class ExportSheetTest : public ExportProgramTest {
  protected:
    void SetUp() override {
        ExportProgramTest::SetUp();
        photo = work.filePath(u"photo.jpg"_s);
        ASSERT_TRUE(MakeQuarters(photo, 1000, 500));
    }
    /// The names in the work folder, for checking that nothing unfinished is left there.
    QStringList Files() const { return QDir(work.path()).entryList(QDir::Files, QDir::Name); }

    QString photo;
};

TEST_F(ExportSheetTest, A2027PdfReadsBackAsTheYearWithItsColoursLinesAndPicture) {
    const QString pdf = work.filePath(u"2027.pdf"_s);
    const Result run = Run({u"--year"_s, u"2027"_s, u"--picture"_s, photo, u"--pdf"_s, pdf});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, pdf + u'\n');

    const auto info = PdfInfo(pdf);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->Pages, 1);
    EXPECT_NEAR(info->Width, 595.3, 1.0) << "A4 portrait";
    EXPECT_NEAR(info->Height, 841.9, 1.0);

    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains(u"2027年"_s)) << text.toStdString();
    const char16_t* const months[] = {u"１月", u"２月", u"３月", u"４月",   u"５月",   u"６月",
                                      u"７月", u"８月", u"９月", u"１０月", u"１１月", u"１２月"};
    for (const char16_t* month : months)
        EXPECT_TRUE(text.contains(QString::fromUtf16(month)))
            << QString::fromUtf16(month).toStdString();
    EXPECT_TRUE(text.contains(u"日"_s) && text.contains(u"土"_s));

    const QImage page = RenderPdf(pdf, 96, work.path());
    ASSERT_EQ(page.size(), QSize(PageWidth, PageHeight));
    // January 2027 begins on a Friday, 元日; the 2nd is a Saturday; the 11th, a Monday, is
    // 成人の日; 23 February, a Tuesday, is 天皇誕生日; the 6th a plain Wednesday.
    struct Cell {
        int month, col, row;
        TInk ink;
        const char* what;
    };
    const Cell cells[] = {
        {1, 5, 0, TInk::Red, "1 January"},
        {1, 6, 0, TInk::Blue, "2 January"},
        {1, 1, 2, TInk::Red, "11 January"},
        {2, 2, 3, TInk::Red, "23 February"},
        {1, 3, 1, TInk::Black, "6 January"},
        {1, 0, 1, TInk::Red, "3 January, a Sunday"},
        {2, 1, 3, TInk::Black, "22 February"},
        {1, 0, 0, TInk::None, "before the 1st"},
        {2, 0, 5, TInk::None, "February's empty last row"},
    };
    for (const Cell& c : cells)
        EXPECT_EQ(MainInk(page, Inside(DayCell(c.month, c.col, c.row)).adjusted(1, 1, -1, -1)),
                  c.ink)
            << c.what << ": " << InkName(MainInk(page, Inside(DayCell(c.month, c.col, c.row))));

    // February's lattice: eight lines each way, 24 and 16 apart, dark along their whole
    // length (within a pixel, as the printer's lines are not on the 96-per-inch grid).
    const QPoint o = HeaderOrigin(2);
    const auto darkNear = [&page](int x, int y, bool vertical) {
        for (int d = -1; d <= 1; ++d)
            if (IsDark(page.pixel(vertical ? x + d : x, vertical ? y : y + d)))
                return true;
        return false;
    };
    for (int k = 0; k <= 7; ++k) {
        for (int y = o.y(); y < o.y() + 111; y += 3)
            ASSERT_TRUE(darkNear(o.x() - 1 + 24 * k, y, true)) << "vertical " << k << " at " << y;
        for (int x = o.x(); x < o.x() + 167; x += 3)
            ASSERT_TRUE(darkNear(x, o.y() - 1 + 16 * k, false))
                << "horizontal " << k << " at " << x;
    }
    // Between the lines, left of the numbers, the cells are white.
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(InkOf(page.pixel(DayCell(2, 3, row).left() + 2, DayCell(2, 3, row).center().y())),
                  TInk::None);

    // The 1000 × 500 photo keeps its shape: 708 × 354 at (43, 127), white above and below.
    EXPECT_TRUE(Near(page.pixel(43 + 150, 127 + 80), qRgb(0, 0, 255)));
    EXPECT_TRUE(Near(page.pixel(43 + 600, 127 + 280), qRgb(0, 255, 0)));
    EXPECT_TRUE(Near(page.pixel(43 + 600, 127 + 80), qRgb(255, 0, 0)));
    EXPECT_TRUE(Near(page.pixel(43 + 100, 127 + 280), qRgb(255, 0, 0)));
    for (const QPoint p : {QPoint(400, 123), QPoint(400, 485), QPoint(40, 300), QPoint(755, 300)})
        EXPECT_EQ(InkOf(page.pixel(p)), TInk::None) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(45, 129), QPoint(749, 129), QPoint(45, 479), QPoint(749, 479)})
        EXPECT_NE(InkOf(page.pixel(p)), TInk::None) << p.x() << "," << p.y();
}

TEST_F(ExportSheetTest, PngAt96IsThePreviewAndAtOtherResolutionsThePrint) {
    const QString png = work.filePath(u"2027.png"_s);
    ASSERT_EQ(Run({u"--year"_s, u"2027"_s, u"--picture"_s, photo, u"--png"_s, png}).code, 0);
    const QImage preview(png);
    ASSERT_EQ(preview.size(), QSize(PageWidth, PageHeight));
    EXPECT_EQ(MainInk(preview, Inside(DayCell(1, 5, 0))), TInk::Red);
    EXPECT_EQ(MainInk(preview, Inside(DayCell(1, 6, 0))), TInk::Blue);
    EXPECT_EQ(MainInk(preview, Inside(DayCell(1, 3, 1))), TInk::Black);
    EXPECT_EQ(preview.pixel(HeaderOrigin(1) - QPoint(1, 1)), qRgb(0, 0, 0)); // a corner
    EXPECT_TRUE(Near(preview.pixel(43 + 150, 127 + 80), qRgb(0, 0, 255)));

    const QString big = work.filePath(u"2027-192.png"_s);
    ASSERT_EQ(Run({u"--year=2027"_s, u"--png"_s, big, u"--dpi"_s, u"192"_s}).code, 0);
    const QImage printed(big);
    ASSERT_EQ(printed.size(), QSize(1587, 2245)); // A4 at 192 per inch
    const QImage halved =
        printed.scaled(PageWidth, PageHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_EQ(MainInk(halved, Inside(DayCell(1, 5, 0)).adjusted(1, 1, -1, -1)), TInk::Red);
    EXPECT_EQ(MainInk(halved, Inside(DayCell(2, 2, 3)).adjusted(1, 1, -1, -1)), TInk::Red);
    EXPECT_EQ(InkOf(halved.pixel(400, 300)), TInk::None); // no picture given: a white box
}

// The grid's lines of a PNG at any resolution are as wide as those of the PDF that poppler draws
// at that resolution: the ink across a vertical line, in pixels of full black.
TEST_F(ExportSheetTest, ThePngsLinesAreAsWideAsThePdfsAtEveryResolution) {
    const QString pdf = work.filePath(u"lines.pdf"_s);
    ASSERT_EQ(Run({u"--year"_s, u"2027"_s, u"--position"_s, u"0"_s, u"--pdf"_s, pdf}).code, 0);
    for (int dpi : {150, 200, 300}) {
        SCOPED_TRACE(dpi);
        const QString png = work.filePath(u"lines-%1.png"_s.arg(dpi));
        ASSERT_EQ(Run({u"--year"_s, u"2027"_s, u"--position"_s, u"0"_s, u"--png"_s, png, u"--dpi"_s,
                       QString::number(dpi)})
                      .code,
                  0);
        const QImage printed = QImage(png).convertToFormat(QImage::Format_RGB32);
        const QImage drawn = RenderPdf(pdf, dpi, work.path());
        // Rounded each its own way: poppler's page may be a pixel taller.
        ASSERT_LE(std::abs(printed.height() - drawn.height()), 1);
        ASSERT_LE(std::abs(printed.width() - drawn.width()), 1);
        const double scale = dpi / 96.0;
        // The ink of a row of pixels across the line between two of February's header cells
        // and on down the day rows, between the numbers.
        const auto width = [scale](const QImage& page, int k) {
            const QPoint o = HeaderOrigin(2);
            const int x = static_cast<int>(std::lround((o.x() - 0.5 + 24 * k) * scale));
            double ink = 0;
            int rows = 0;
            for (int cell = 0; cell < 7; ++cell, ++rows) {
                const int y = static_cast<int>(std::lround((o.y() + 16 * cell + 3) * scale));
                for (int dx = -5; dx <= 5; ++dx)
                    ink += (255 - qGray(page.pixel(x + dx, y))) / 255.0;
            }
            return ink / rows;
        };
        for (int k = 1; k <= 6; ++k) {
            const double pdfWidth = width(drawn, k);
            EXPECT_NEAR(pdfWidth, 1.2 * scale, 0.6) << "poppler's line " << k;
            EXPECT_NEAR(width(printed, k), pdfWidth, 0.5) << "line " << k;
        }
    }
}

TEST_F(ExportSheetTest, SlotsAndThePrintPositionComeFromTheSettingsFolder) {
    // Slot 2 saved last: green Sundays and holidays, navy lines, the English month titles.
    WriteSetting(u"tamurika.ini"_s, "[settei2]\r\ncomment=x\r\nNichicolor=32768\r\n"
                                    "Sencolor=8388608\r\nzenkaiym=7\r\n[tamurika]\r\nzenkai=2\r\n");
    WriteSetting(u"senoruta.ini"_s, "[senoruta]\r\nLRichi=-25\r\n");
    const QString pdf = work.filePath(u"slot.pdf"_s);
    ASSERT_EQ(Run({u"--year"_s, u"2027"_s, u"--pdf"_s, pdf}).code, 0);
    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains(u"Jan"_s) && text.contains(u"Dec"_s)) << text.toStdString();
    EXPECT_FALSE(text.contains(u"１月"_s));
    QImage page = RenderPdf(pdf, 96, work.path());
    // Stored −25 is clamped to −10: everything 10 units to the left.
    EXPECT_EQ(MainInk(page, Inside(DayCell(1, 5, 0, -10)).adjusted(1, 1, -1, -1)), TInk::Green)
        << "元日 in the slot's holiday colour";
    EXPECT_EQ(MainInk(page, Inside(HeaderCell(1, 0, -10)).adjusted(1, 1, -1, -1)), TInk::Green);
    const QRgb line =
        page.pixel(DayCell(1, 3, 2, -10).center().x(), DayCell(1, 3, 2, -10).bottom());
    EXPECT_TRUE(qBlue(line) > 60 && qRed(line) < 60 && qGreen(line) < 60) << std::hex << line;
    // The settings files are read, never written.
    QFile senoruta(program.filePath(u"senoruta.ini"_s));
    ASSERT_TRUE(senoruta.open(QIODevice::ReadOnly));
    EXPECT_EQ(senoruta.readAll(), "[senoruta]\r\nLRichi=-25\r\n");

    // --slot and --position override them.
    ASSERT_EQ(
        Run({u"--year"_s, u"2027"_s, u"--slot"_s, u"1"_s, u"--position"_s, u"6"_s, u"--pdf"_s, pdf})
            .code,
        0);
    page = RenderPdf(pdf, 96, work.path());
    EXPECT_EQ(MainInk(page, Inside(DayCell(1, 5, 0, 6)).adjusted(1, 1, -1, -1)), TInk::Red);
    EXPECT_TRUE(PdfText(pdf).contains(u"１月"_s));
}

// A pipe waits for a writer and /dev/zero never ends: neither is read, both refused at once.
TEST_F(ExportSheetTest, APhotoThatIsNoRegularFileIsRefusedWithoutReadingIt) {
    const QString fifo = work.filePath(u"pipe.jpg"_s);
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = work.filePath(u"zero.jpg"_s);
    ASSERT_TRUE(QFile::link(u"/dev/zero"_s, zero));
    const QString folder = work.filePath(u"folder.jpg"_s);
    ASSERT_TRUE(QDir().mkdir(folder));
    for (const QString& file : {fifo, zero, folder}) {
        const Result run = Run({u"--picture"_s, file, u"--pdf"_s, work.filePath(u"x.pdf"_s)});
        EXPECT_EQ(run.code, 1) << file.toStdString();
        EXPECT_TRUE(run.err.contains(u"「%1」はふつうのファイルではないので読み込めません"_s.arg(
            QFileInfo(file).fileName())))
            << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(work.filePath(u"x.pdf"_s)));
    }
}

// A disk that fills while the file is written: a 300 KB tmpfs as the output folder (mounted
// for the test, which needs the superuser). The message names the file asked for and says the
// disk is full; nothing is left on it.
TEST_F(ExportSheetTest, AFullDiskIsSaidNamingTheFileAskedForAndNothingIsLeft) {
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs the superuser";
    const QString small = work.filePath(u"small"_s);
    ASSERT_TRUE(QDir().mkdir(small));
    QProcess mount;
    mount.start(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=300k"_s, u"tmpfs"_s, small});
    if (!mount.waitForFinished(10000) || mount.exitCode() != 0)
        GTEST_SKIP() << "no tmpfs could be mounted here: "
                     << mount.readAllStandardError().toStdString();
    struct TUnmount {
        QString Folder;
        ~TUnmount() { QProcess::execute(u"umount"_s, {Folder}); }
    } unmount{small};
    // A photo of about a megabyte, more than the disk holds.
    const QString big = work.filePath(u"big.jpg"_s);
    ASSERT_TRUE(Convert({u"-size"_s, u"2000x1500"_s, u"-seed"_s, u"27"_s, u"plasma:fractal"_s,
                         u"-quality"_s, u"92"_s, big}));
    const struct {
        QStringList Output;
        QString Said;
    } cases[] = {
        {{u"--pdf"_s, small + u"/calendar.pdf"_s},
         u"tamurika-export: PDFファイル「calendar.pdf」を書き終えられませんでした（ディスクに空きがありません）。\n"_s},
        {{u"--png"_s, small + u"/calendar.png"_s, u"--dpi"_s, u"300"_s},
         u"tamurika-export: 出力ファイル「%1/calendar.png」に書き込めませんでした（ディスクに空きがありません）。\n"_s
             .arg(small)},
    };
    for (const auto& c : cases) {
        const Result run = Run(QStringList{u"--year"_s, u"2027"_s, u"--picture"_s, big} + c.Output);
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.err, c.Said);
        EXPECT_TRUE(QDir(small)
                        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                        .isEmpty());
    }
}

TEST_F(ExportSheetTest, FailuresSayWhyAndLeaveNoFileBehind) {
    const QString pdf = work.filePath(u"out.pdf"_s);
    // An older file of that name survives a failed export untouched.
    {
        QFile old(pdf);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    const QString damaged = work.filePath(u"damaged.jpg"_s);
    {
        QFile f(damaged);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("\xFF\xD8\xFF\xDB\x00\x43", 6) + QByteArray(300, '\x11'));
    }
    const QStringList before = Files();
    for (const QStringList& arguments :
         {QStringList{u"--picture"_s, work.filePath(u"missing.jpg"_s), u"--pdf"_s, pdf},
          QStringList{u"--picture"_s, damaged, u"--pdf"_s, pdf},
          QStringList{u"--picture"_s, damaged, u"--png"_s, pdf}}) {
        const Result run = Run(arguments);
        EXPECT_EQ(run.code, 1) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(run.err.startsWith(u"tamurika-export: "_s)) << run.err.toStdString();
        EXPECT_EQ(run.err.count(u'\n'), 1) << "one line, the reason";
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(Files(), before);
        QFile old(pdf);
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), "old");
    }

    const Result folder = Run({u"--pdf"_s, work.filePath(u"no/such/folder/x.pdf"_s)});
    EXPECT_EQ(folder.code, 1);
    EXPECT_TRUE(folder.err.contains(u"を作れません"_s)) << folder.err.toStdString();

    const Result queue = Run({u"--printer"_s, u"no-such-queue"_s});
    EXPECT_EQ(queue.code, 1);
    EXPECT_TRUE(queue.err.contains(u"印刷キュー「no-such-queue」が見つかりません"_s))
        << queue.err.toStdString();

    const Result usage = Run({u"--year"_s, u"2027"_s});
    EXPECT_EQ(usage.code, 2);
    EXPECT_TRUE(usage.err.contains(u"使い方"_s));
    EXPECT_EQ(Files(), before);
}

TEST_F(ExportSheetTest, WithoutAYearItIsThisYears) {
    const QString pdf = work.filePath(u"now.pdf"_s);
    ASSERT_EQ(Run({u"--pdf"_s, pdf}).code, 0);
    const int year = QDate::currentDate().year();
    EXPECT_TRUE(PdfText(pdf).contains(QString::number(year) + u"年"_s));
}

} // namespace
