// tamurika-export --fill: the photo covering the picture box with the part chosen by --focus
// and --zoom, read back from the real executable's PNG and PDF and compared with
// ImageMagick's crop of the same photo; the warning for a photo that prints coarsely.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTransform>

#include "common/heicwriter.h"
#include "common/imagemagick.h"
#include "common/photofiles.h"
#include "common/sheetpage.h"
#include "export/exportcommand.h"
#include "exportfixture.h"

using namespace Qt::StringLiterals;
using namespace testing_support;

namespace {

TEST(ParseFillArguments, FillFocusAndZoom) {
    const TExportOptions plain = ParseExportArguments({u"--pdf"_s, u"a.pdf"_s});
    EXPECT_EQ(plain.Framing, TPictureFraming{});
    EXPECT_EQ(plain.Framing.Mode, TFrameMode::Fit);

    const TExportOptions fill = ParseExportArguments({u"--fill"_s, u"--pdf"_s, u"a.pdf"_s});
    EXPECT_EQ(fill.Framing.Mode, TFrameMode::Fill);
    EXPECT_EQ(fill.Framing.FocusX, 0.5);
    EXPECT_EQ(fill.Framing.FocusY, 0.5);
    EXPECT_EQ(fill.Framing.Zoom, 1);

    const TExportOptions all = ParseExportArguments(
        {u"--png"_s, u"a.png"_s, u"--focus"_s, u"0,1"_s, u"--zoom=2.5"_s, u"--fill"_s});
    EXPECT_EQ(all.Framing.Mode, TFrameMode::Fill);
    EXPECT_EQ(all.Framing.FocusX, 0);
    EXPECT_EQ(all.Framing.FocusY, 1);
    EXPECT_EQ(all.Framing.Zoom, 2.5);
    // Seventeen digits come back as the same number, so a framing passes on exactly.
    const TExportOptions exact =
        ParseExportArguments({u"--fill"_s, u"--focus=0.33333333333333331, 0.123456789012345"_s,
                              u"--zoom"_s, u"1.2599210498948732"_s, u"--pdf"_s, u"a"_s});
    EXPECT_EQ(exact.Framing.FocusX, 1.0 / 3);
    EXPECT_EQ(exact.Framing.FocusY, 0.123456789012345);
    EXPECT_EQ(exact.Framing.Zoom, 1.2599210498948732);
}

TEST(ParseFillArguments, RefusesFramingWithoutFillAndValuesOutOfRange) {
    ExpectRefused(
        {
            {{u"--focus"_s, u"0,0"_s}, u"--focus は --fill と一緒にだけ使えます。"_s},
            {{u"--zoom"_s, u"2"_s}, u"--zoom は --fill と一緒にだけ使えます。"_s},
            {{u"--fill"_s, u"--zoom"_s, u"5"_s},
             u"倍率 '5' は 1 から 4 までの数で指定してください。"_s},
            {{u"--fill"_s, u"--zoom"_s, u"0.5"_s},
             u"倍率 '0.5' は 1 から 4 までの数で指定してください。"_s},
            {{u"--fill"_s, u"--zoom"_s, u"nan"_s},
             u"倍率 'nan' は 1 から 4 までの数で指定してください。"_s},
            {{u"--fill"_s, u"--zoom"_s, u"2倍"_s},
             u"倍率 '2倍' は 1 から 4 までの数で指定してください。"_s},
            {{u"--fill"_s, u"--focus"_s, u"1.5,0"_s},
             u"焦点 '1.5,0' は 0 から 1 までの二つの数を「X,Y」の形で指定してください。"_s},
            {{u"--fill"_s, u"--focus"_s, u"0.5"_s},
             u"焦点 '0.5' は 0 から 1 までの二つの数を「X,Y」の形で指定してください。"_s},
            {{u"--fill"_s, u"--focus"_s, u"0,5,0"_s},
             u"焦点 '0,5,0' は 0 から 1 までの二つの数を「X,Y」の形で指定してください。"_s},
            {{u"--fill"_s, u"--focus"_s, u"inf,0"_s},
             u"焦点 'inf,0' は 0 から 1 までの二つの数を「X,Y」の形で指定してください。"_s},
            {{u"--fill=yes"_s}, u"--fill には値を付けられません。"_s},
            {{u"--fill"_s, u"--fill"_s}, u"--fill が二度指定されています。"_s},
            {{u"--fill"_s, u"--zoom"_s}, u"--zoom には値が必要です。"_s},
        },
        {u"--pdf"_s, u"a"_s});
}

using Result = testing_support::ExportResult;

class ExportFillTest : public ExportProgramTest {
  protected:
    QString File(const QString& name) const { return Path(name); }
    /// The picture box of an exported PNG at 96 per inch.
    QImage Box(const QStringList& arguments, const QString& png) {
        const Result run =
            Run(QStringList{u"--year"_s, u"2027"_s} << arguments << u"--png"_s << png);
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        return QImage(png).convertToFormat(QImage::Format_RGB32).copy(PictureBox());
    }
};

TEST_F(ExportFillTest, FramingOutOfRangeIsRefusedWithExitCode2AndNothingWritten) {
    const QString photo = File(u"photo.jpg"_s);
    ASSERT_TRUE(MakeQuarters(photo, 400, 300));
    const std::pair<QStringList, QString> bad[] = {
        {{u"--fill"_s, u"--zoom"_s, u"9"_s},
         u"倍率 '9' は 1 から 4 までの数で指定してください。"_s},
        {{u"--fill"_s, u"--focus"_s, u"-0.1,0.5"_s},
         u"焦点 '-0.1,0.5' は 0 から 1 までの二つの数を「X,Y」の形で指定してください。"_s},
        {{u"--fill"_s, u"--focus=0.5;0.5"_s},
         u"焦点 '0.5;0.5' は 0 から 1 までの二つの数を「X,Y」の形で指定してください。"_s},
        {{u"--zoom"_s, u"2"_s}, u"--zoom は --fill と一緒にだけ使えます。"_s},
    };
    for (const auto& [framing, message] : bad) {
        SCOPED_TRACE(framing.join(u' ').toStdString());
        const QString png = File(u"sheet.png"_s);
        const Result run = Run(QStringList{u"--picture"_s, photo} << framing << u"--png"_s << png);
        EXPECT_EQ(run.code, 2);
        EXPECT_TRUE(run.err.contains(message)) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_FALSE(QFile::exists(png));
    }
}

// A photo with no white in it whose every pixel tells where it lies: red grows to the right,
// green downwards, blue is 40 or 200 in a checker of 50-pixel squares (so that a part moved
// by a pixel differs visibly); a black 40 × 40 square marks the top-left corner.
QImage Ramp(int w, int h) {
    QImage ramp(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ramp.setPixel(x, y,
                          x < 40 && y < 40 ? qRgb(0, 0, 0)
                                           : qRgb(60 + x * 180 / (w - 1), 60 + y * 180 / (h - 1),
                                                  (x / 50 + y / 50) % 2 ? 200 : 40));
    return ramp;
}

/// That photo written by ImageMagick in the format of `file`'s extension.
bool MakePhoto(const QString& file, int w, int h) {
    const QString png = file + u".source.png"_s;
    return Ramp(w, h).save(png) && Convert({png, u"-quality"_s, u"95"_s, file});
}

int WhiteLines(const QImage& box, bool rows) {
    int white = 0;
    const int lines = rows ? box.height() : box.width();
    const int along = rows ? box.width() : box.height();
    for (int i = 0; i < lines; ++i) {
        int light = 0;
        for (int j = 0; j < along; ++j)
            light += qGray(rows ? box.pixel(j, i) : box.pixel(i, j)) > 245;
        white += light == along;
    }
    return white;
}

// Mean difference per channel of two pictures of one size.
double MeanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

// Where blue crosses the middle between its two levels along a row (or a column) of the box,
// to a fraction of a pixel: the edges of the photo's squares. Nothing for a line that runs
// along an edge, where blue stays near the middle.
std::optional<std::vector<double>> Edges(const QImage& box, int line, bool row) {
    const int length = row ? box.width() : box.height();
    const auto blue = [&](int i) {
        return qBlue(row ? box.pixel(i, line) : box.pixel(line, i)) - 120.0;
    };
    int between = 0;
    for (int i = 0; i < length; ++i)
        between += std::abs(blue(i)) < 40;
    if (between > length / 4)
        return std::nullopt;
    std::vector<double> edges;
    for (int i = 0; i + 1 < length; ++i)
        if ((blue(i) < 0) != (blue(i + 1) < 0))
            edges.push_back(i + blue(i) / (blue(i) - blue(i + 1)));
    return edges;
}

// The squares' edges of two boxes lie within `tolerance` pixels of each other, along rows and
// columns a little apart.
void ExpectSameEdges(const QImage& a, const QImage& b, double tolerance) {
    int compared = 0;
    for (bool row : {true, false}) {
        for (int line = 13; line < (row ? a.height() : a.width()); line += 37) {
            const auto ea = Edges(a, line, row), eb = Edges(b, line, row);
            if (!ea || !eb)
                continue;
            ASSERT_EQ(ea->size(), eb->size()) << (row ? "row " : "column ") << line;
            for (std::size_t k = 0; k < ea->size(); ++k)
                EXPECT_NEAR((*ea)[k], (*eb)[k], tolerance) << (row ? "row " : "column ") << line;
            compared += int(ea->size());
        }
    }
    EXPECT_GT(compared, 20);
}

TEST_F(ExportFillTest, ALandscapeAndAPortraitPhotoCoverTheWholeBox) {
    for (const QSize size : {QSize(1500, 1000), QSize(900, 1200)}) {
        SCOPED_TRACE(testing::Message() << size.width() << " x " << size.height());
        const QString photo = File(u"photo-%1.jpg"_s.arg(size.width()));
        ASSERT_TRUE(MakePhoto(photo, size.width(), size.height()));
        // Fitted, as always: white bands beside the photo inside the box.
        const QImage fitted = Box({u"--picture"_s, photo}, File(u"fit.png"_s));
        EXPECT_GT(WhiteLines(fitted, size.width() > size.height()), 50);
        // Filling: not one white row or column.
        const QImage filled = Box({u"--picture"_s, photo, u"--fill"_s}, File(u"fill.png"_s));
        EXPECT_EQ(WhiteLines(filled, true), 0);
        EXPECT_EQ(WhiteLines(filled, false), 0);
        int white = 0;
        for (int y = 0; y < filled.height(); ++y)
            for (int x = 0; x < filled.width(); ++x)
                white += qGray(filled.pixel(x, y)) > 245;
        EXPECT_EQ(white, 0);
    }
}

TEST_F(ExportFillTest, TheBoxShowsImageMagicksCropOfThePhotoForFocusAndZoom) {
    const QString photo = File(u"photo.jpg"_s);
    ASSERT_TRUE(MakePhoto(photo, 1500, 1000));
    struct Case {
        QStringList Arguments;
        const char* Crop; // ImageMagick's geometry of the part that shows
    };
    const Case cases[] = {
        // Focus 0,0: the top-left corner, the full height (1333.3 × 1000).
        {{u"--focus"_s, u"0,0"_s}, "1333x1000+0+0"},
        // Zoom 2 on the centre: 666.7 × 500 around (750, 500).
        {{u"--zoom"_s, u"2"_s}, "667x500+417+250"},
        // Zoom 4 towards the bottom-right corner: 333.3 × 250 from (1166.7, 750).
        {{u"--focus"_s, u"1,1"_s, u"--zoom"_s, u"4"_s}, "333x250+1167+750"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Crop);
        const QImage box =
            Box(QStringList{u"--picture"_s, photo, u"--fill"_s} << c.Arguments, File(u"f.png"_s));
        const QString expected = File(u"expected.png"_s);
        ASSERT_TRUE(Convert({photo, u"-crop"_s, QString::fromLatin1(c.Crop), u"+repage"_s,
                             u"-resize"_s, u"708x531!"_s, expected}));
        const QImage want = QImage(expected).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(want.size(), box.size());
        EXPECT_LT(MeanDifference(box, want), 2.0);
        // ImageMagick's crop is of whole pixels; ours has the part's exact edges.
        ExpectSameEdges(box, want, 1.0);
    }
    // The corner's dark square begins in the box's top-left corner: 40 photo pixels, 21.2
    // units of the box at this scale.
    const QImage corner =
        Box({u"--picture"_s, photo, u"--fill"_s, u"--focus=0,0"_s}, File(u"c.png"_s));
    EXPECT_LT(qGray(corner.pixel(0, 0)), 20);
    EXPECT_LT(qGray(corner.pixel(19, 19)), 20);
    EXPECT_GT(qGray(corner.pixel(24, 24)), 50);
    EXPECT_GT(qGray(corner.pixel(0, 24)), 50);
    EXPECT_GT(qGray(corner.pixel(24, 0)), 50);
}

TEST_F(ExportFillTest, APngAndAHeicPhotoFillTheBoxAsImageMagickCropsThem) {
    // A portrait PNG, and a phone's HEIC photo stored on its side with the rotation that turns
    // it upright (it is seen 1500 × 1000).
    const QString png = File(u"portrait.png"_s);
    ASSERT_TRUE(MakePhoto(png, 900, 1200));
    const QString heic = File(u"IMG_0002.HEIC"_s);
    ASSERT_TRUE(WriteHeic(Ramp(1500, 1000).transformed(QTransform().rotate(-90)), heic, 6, {}, 95));
    for (const QString& photo : {png, heic}) {
        SCOPED_TRACE(photo.toStdString());
        const QImage seen = ReadWithImageMagick(photo, File(u"seen.png"_s));
        ASSERT_FALSE(seen.isNull());
        const TPictureFraming framing{TFrameMode::Fill, 0, 0, 1.5};
        const QRectF crop = FillSource(seen.width(), seen.height(), 708, 531, framing);
        const QImage box =
            Box({u"--picture"_s, photo, u"--fill"_s, u"--focus"_s, u"0,0"_s, u"--zoom"_s, u"1.5"_s},
                File(u"f.png"_s));
        const QString expected = File(u"expected.png"_s);
        ASSERT_TRUE(Convert({File(u"seen.png"_s), u"-crop"_s,
                             u"%1x%2+0+0"_s.arg(qRound(crop.width())).arg(qRound(crop.height())),
                             u"+repage"_s, u"-resize"_s, u"708x531!"_s, expected}));
        const QImage want = QImage(expected).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(want.size(), box.size());
        EXPECT_LT(MeanDifference(box, want), 3.0);
        ExpectSameEdges(box, want, 1.0);
        EXPECT_EQ(WhiteLines(box, true), 0);
        EXPECT_EQ(WhiteLines(box, false), 0);
        // The photo's dark corner square in the box's top-left corner, upright.
        EXPECT_LT(qGray(box.pixel(2, 2)), 30);
        EXPECT_GT(qGray(box.pixel(2, 60)), 50);
        EXPECT_GT(qGray(box.pixel(60, 2)), 50);
    }
}

TEST_F(ExportFillTest, ThePdfShowsTheSameCropAsThePng) {
    // Large enough that the part has more pixels than the box: poppler then reduces the
    // picture, as it does a camera's photo, instead of enlarging it by repeating pixels.
    const QString photo = File(u"portrait.jpg"_s);
    ASSERT_TRUE(MakePhoto(photo, 2400, 3200));
    const QStringList framing = {u"--picture"_s, photo,       u"--fill"_s, u"--focus"_s,
                                 u"0.3,0.8"_s,   u"--zoom"_s, u"1.7"_s};
    const QImage png = Box(framing, File(u"sheet.png"_s));
    const QString pdf = File(u"sheet.pdf"_s);
    const Result run = Run(QStringList{u"--year"_s, u"2027"_s} << framing << u"--pdf"_s << pdf);
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QImage page = RenderPdf(pdf, 96, work.path());
    ASSERT_EQ(page.size(), QSize(PageWidth, PageHeight)) << "pdftoppm (poppler-utils) is needed";
    const QImage box = page.copy(PictureBox());
    // poppler reduces pictures in its own way: the colours agree broadly. The PDF holds the
    // whole photo, cut by its clip, and poppler at 96 per inch puts such a picture's scaled
    // rows on whole or half pixels: the squares' edges agree within one and a half (drawn at
    // 960 per inch, within a tenth).
    EXPECT_LT(MeanDifference(box, png), 3.0);
    ExpectSameEdges(box, png, 1.5);
    EXPECT_EQ(WhiteLines(box, true), 0);
    EXPECT_EQ(WhiteLines(box, false), 0);
}

TEST_F(ExportFillTest, APhotoThatPrintsCoarselyIsReportedAndTheSheetWrittenAllTheSame) {
    const QString small = File(u"small.jpg"_s);
    ASSERT_TRUE(MakeQuarters(small, 320, 240));
    const QString png = File(u"small.png"_s);
    const Result run = Run({u"--picture"_s, small, u"--png"_s, png});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.err, u"写真の解像度が低いため、印刷が粗くなります（約 43 ppi）\n"_s);
    EXPECT_EQ(run.out, QFileInfo(png).absoluteFilePath() + u'\n');
    EXPECT_EQ(QImage(png).size(), QSize(PageWidth, PageHeight));

    // Twelve million pixels print finely, unless zoomed in four times (136 per inch).
    const QString large = File(u"large.jpg"_s);
    ASSERT_TRUE(MakeQuarters(large, 4000, 3000));
    const QString pdf = File(u"large.pdf"_s);
    const Result fine = Run({u"--picture"_s, large, u"--pdf"_s, pdf});
    EXPECT_EQ(fine.code, 0);
    EXPECT_EQ(fine.err, QString());
    const Result filled = Run({u"--picture"_s, large, u"--fill"_s, u"--pdf"_s, pdf});
    EXPECT_EQ(filled.err, QString());
    const Result zoomed =
        Run({u"--picture"_s, large, u"--fill"_s, u"--zoom"_s, u"4"_s, u"--pdf"_s, pdf});
    EXPECT_EQ(zoomed.code, 0);
    EXPECT_EQ(zoomed.err, u"写真の解像度が低いため、印刷が粗くなります（約 136 ppi）\n"_s);
    EXPECT_TRUE(PdfInfo(pdf).has_value());
}

} // namespace
