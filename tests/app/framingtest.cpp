// Framing the photo in the main window, driven as the user drives it: "枠に合わせる" and
// "枠いっぱい" from the menu, dragging, the wheel and a double click sent to the sample as the
// mouse sends them; the preview's page against tamurika-export's with the same framing, pixel
// for pixel; what the state file keeps; the warning for a photo that prints coarsely.
#include <gtest/gtest.h>

#include <cmath>

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTransform>
#include <QWheelEvent>

#include "app/mainunit.h"
#include "calex/calex.h"
#include "common/heicwriter.h"
#include "common/imagemagick.h"
#include "common/sheetpage.h"
#include "export/runexport.h"
#include "modal.h"
#include "model/calendardocument.h"
#include "model/framingmemory.h"
#include "preview/previewdocument.h"
#include "preview/printlrunit.h"
#include "settings/inifile.h"
#include "settings/statefile.h"
#include "statusbar/statusbarp.h"
#include "widgets/image.h"

using namespace Qt::StringLiterals;
using namespace testing_support;

namespace {

const QString Coarse43 = u"写真の解像度が低いため、印刷が粗くなります（約 43 ppi）"_s;

void Mouse(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, widget->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void Drag(QWidget* widget, QPointF from, QPointF to) {
    Mouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton);
    Mouse(widget, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    Mouse(widget, QEvent::MouseMove, to, Qt::LeftButton);
    Mouse(widget, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

void Wheel(QWidget* widget, QPointF at, int angle) {
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

// A photo with no white in it whose every pixel tells where it lies (red across, green down),
// with a blue checker of 50-pixel squares; written as a JPEG by ImageMagick.
bool MakePhoto(const QString& jpeg, int w, int h) {
    QImage ramp(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ramp.setPixel(x, y,
                          qRgb(60 + x * 180 / (w - 1), 60 + y * 180 / (h - 1),
                               (x / 50 + y / 50) % 2 ? 200 : 40));
    const QString png = jpeg + u".png"_s;
    return ramp.save(png) && Convert({png, u"-quality"_s, u"92"_s, jpeg});
}

int DifferentPixels(const QImage& a, const QImage& b) {
    int different = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            different += a.pixel(x, y) != b.pixel(x, y);
    return different;
}

class FramingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        KeepZoomAt100(dir.path()); // the preview's page is compared at 100 %
        form = std::make_unique<TmainForm>(dir.path());
        form->show();
    }
    void TearDown() override { CancelPendingAnswers(); }
    QString Photo(int w, int h) {
        const QString path = photos.filePath(u"photo-%1x%2.jpg"_s.arg(w).arg(h));
        if (!QFile::exists(path)) {
            EXPECT_TRUE(MakePhoto(path, w, h));
        }
        return path;
    }
    /// The picture box of the page "ﾌﾟﾚﾋﾞｭ-＆印刷" shows.
    QImage PreviewBox() {
        QImage page;
        auto seen = WhenModal([&page](QWidget* w) {
            auto* preview = qobject_cast<TFrmPrtLR*>(w);
            ASSERT_NE(preview, nullptr);
            page = preview->Image1->Picture().Graphic()->ToImage();
            preview->BtnEnd->click();
        });
        form->Button1->click();
        EXPECT_TRUE(*seen);
        EXPECT_EQ(page.size(), QSize(PageWidth, PageHeight));
        return page.convertToFormat(QImage::Format_RGB32).copy(PictureBox());
    }
    /// The picture box of tamurika-export's PNG of `photo` with the window's framing, its values
    /// written out in full.
    QImage ExportBox(const QString& photo) {
        QTemporaryDir program;
        EXPECT_TRUE(QFile::copy(QStringLiteral(TAMURIKA_EXPORT_PROGRAM),
                                program.filePath(u"tamurika-export"_s)));
        const QString png = photos.filePath(u"export.png"_s);
        QFile::remove(png);
        const auto number = [](double v) { return QString::number(v, 'g', 17); };
        const testing_support::ExportResult run = testing_support::RunExport(
            program.filePath(u"tamurika-export"_s),
            {u"--year"_s, QString::number(form->CalendarEx1->Year()), u"--picture"_s, photo,
             u"--fill"_s, u"--focus"_s, number(Framing().FocusX) + u',' + number(Framing().FocusY),
             u"--zoom"_s, number(Framing().Zoom), u"--png"_s, png},
            {}, {}, 120000);
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        return QImage(png).convertToFormat(QImage::Format_RGB32).copy(PictureBox());
    }
    /// The framing of the window's calendar.
    const TPictureFraming& Framing() const { return form->Document().Model().Framing; }
    /// The part of the photo the framing shows in a box of that shape.
    QRectF Crop(QSize box = QSize(224, 168)) const {
        const QSize photo = form->Document().Model().Photo.Size();
        return FillSource(photo.width(), photo.height(), box.width(), box.height(), Framing());
    }

    QTemporaryDir dir;    // the program's folder
    QTemporaryDir photos; // the user's photos
    std::unique_ptr<TmainForm> form;
};

TEST_F(FramingTest, TheTwoModesAreCheckedInTheMenuAndTheSamplesContextMenu) {
    EXPECT_TRUE(form->MIframeFit->isChecked());
    EXPECT_FALSE(form->MIframeFill->isChecked());
    EXPECT_FALSE(form->MIframeCentre->isEnabled()); // nothing to centre yet
    QMenu* sheetMenu = nullptr;
    for (QAction* a : form->menuBar()->actions())
        if (a->text() == u"画像、フォント(&S)"_s)
            sheetMenu = a->menu();
    ASSERT_NE(sheetMenu, nullptr);
    EXPECT_TRUE(sheetMenu->actions().contains(form->MIframeFit));
    EXPECT_TRUE(sheetMenu->actions().contains(form->MIframeFill));
    EXPECT_EQ(form->MIframeFit->text(), u"枠に合わせる"_s);
    EXPECT_EQ(form->MIframeFill->text(), u"枠いっぱい"_s);

    // The sample's own menu, on the photo and on the box around it.
    form->LoadPictureFile(Photo(1500, 1000));
    EXPECT_EQ(form->Image1->geometry(), QRect(0, 9, 224, 149)); // fitted: white above, below
    for (QWidget* target : {static_cast<QWidget*>(form->Image1), form->PictureBox}) {
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(3, 3),
                               target->mapToGlobal(QPoint(3, 3)));
        QApplication::sendEvent(target, &menu);
        EXPECT_TRUE(form->PictureMenu->isVisible());
        form->PictureMenu->hide();
    }
    EXPECT_TRUE(form->PictureMenu->actions().contains(form->MIframeFill));

    form->MIframeFill->trigger();
    EXPECT_TRUE(form->MIframeFill->isChecked());
    EXPECT_FALSE(form->MIframeFit->isChecked());
    EXPECT_TRUE(form->MIframeCentre->isEnabled());
    EXPECT_EQ(form->Image1->geometry(), QRect(0, 0, 224, 168)); // the whole box
    EXPECT_EQ(form->Image1->SourceRect(), Crop());
    // A hint says what the mouse does; the menu entries have theirs.
    Mouse(form->Image1, QEvent::MouseMove, QPointF(20, 20), Qt::NoButton);
    EXPECT_TRUE(form->StBar->Text().contains(u"ドラッグ"_s)) << form->StBar->Text().toStdString();
    emit sheetMenu->hovered(form->MIframeFit);
    EXPECT_EQ(form->StBar->Text(), u"写真全体を枠の中に収めます"_s);

    form->MIframeFit->trigger();
    EXPECT_EQ(form->Image1->geometry(), QRect(0, 9, 224, 149));
    EXPECT_TRUE(form->Image1->SourceRect().isEmpty());
}

TEST_F(FramingTest, DragWheelAndDoubleClickChooseThePartThePreviewAndTheExportShow) {
    const QString photo = Photo(1500, 1000);
    form->LoadPictureFile(photo);
    form->MIframeFill->trigger();
    TImage* sample = form->Image1;

    // Dragging left by 10 pixels shows what lay to the right: 10 × 1000 / 168 photo pixels;
    // further, it stops at the photo's right edge.
    const QRectF before = Crop();
    Drag(sample, {150, 90}, {140, 90});
    EXPECT_NEAR(Crop().left() - before.left(), 10 * 1000.0 / 168, 1e-6);
    EXPECT_NEAR(Crop().top(), 0, 1e-9);
    Drag(sample, {150, 90}, {50, 90});
    EXPECT_NEAR(Crop().right(), 1500, 1e-6);
    // Two notches of the wheel zoom in by 2^(2/3) about the point under the mouse.
    const QPointF at(60, 40);
    const QPointF under = Crop().topLeft() + at * (Crop().width() / 224);
    Wheel(sample, at, 120);
    Wheel(sample, at, 120);
    EXPECT_NEAR(Framing().Zoom, std::cbrt(4.0), 1e-12);
    const QPointF still = Crop().topLeft() + at * (Crop().width() / 224);
    EXPECT_NEAR(still.x(), under.x(), 1e-6);
    EXPECT_NEAR(still.y(), under.y(), 1e-6);
    Drag(sample, {100, 100}, {120, 60});
    EXPECT_EQ(sample->SourceRect(), Crop());

    // The sample shows that part: its squares' edges where ImageMagick's crop has them.
    const QRectF crop = Crop();
    const QString expected = photos.filePath(u"sample.png"_s);
    ASSERT_TRUE(Convert({photo, u"-crop"_s,
                         u"%1x%2+%3+%4"_s.arg(qRound(crop.width()))
                             .arg(qRound(crop.height()))
                             .arg(qRound(crop.left()))
                             .arg(qRound(crop.top())),
                         u"+repage"_s, u"-resize"_s, u"224x168!"_s, expected}));
    const QImage want = QImage(expected).convertToFormat(QImage::Format_RGB32);
    const QImage shown = sample->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(224, 168));
    int far = 0;
    for (int y = 2; y < 166; y += 3)
        for (int x = 2; x < 222; x += 3)
            far += std::abs(qBlue(shown.pixel(x, y)) - qBlue(want.pixel(x, y))) > 100;
    EXPECT_LT(far, 40); // only where an edge falls between the two pictures' pixels

    // "ﾌﾟﾚﾋﾞｭ-＆印刷" and tamurika-export with the same framing: the same picture box.
    const QImage windowBox = PreviewBox();
    const QImage exportBox = ExportBox(photo);
    ASSERT_EQ(windowBox.size(), exportBox.size());
    EXPECT_EQ(DifferentPixels(windowBox, exportBox), 0);
    // And that part, not the middle of the photo: the box differs from the plain --fill one.
    EXPECT_NE(Framing(), TPictureFraming{TFrameMode::Fill});

    // A double click centres the photo at 1 × again.
    Mouse(sample, QEvent::MouseButtonPress, {30, 30}, Qt::LeftButton);
    Mouse(sample, QEvent::MouseButtonRelease, {30, 30}, Qt::NoButton);
    Mouse(sample, QEvent::MouseButtonDblClick, {30, 30}, Qt::LeftButton);
    Mouse(sample, QEvent::MouseButtonRelease, {30, 30}, Qt::NoButton);
    EXPECT_EQ(Framing().FocusX, 0.5);
    EXPECT_EQ(Framing().FocusY, 0.5);
    EXPECT_EQ(Framing().Zoom, 1);
    EXPECT_EQ(sample->SourceRect(), QRectF(1500 / 2.0 - 1000 * 2.0 / 3, 0, 1000 * 4.0 / 3, 1000));
}

TEST_F(FramingTest, APngAndAHeicPhotoFramedInTheWindowPrintAsTheExportDoes) {
    // A portrait PNG written by ImageMagick, and a phone's HEIC photo stored on its side.
    QImage ramp(1500, 2000, QImage::Format_RGB32);
    for (int y = 0; y < ramp.height(); ++y)
        for (int x = 0; x < ramp.width(); ++x)
            ramp.setPixel(
                x, y,
                qRgb(60 + x * 180 / 1499, 60 + y * 180 / 1999, (x / 50 + y / 50) % 2 ? 200 : 40));
    const QString png = photos.filePath(u"portrait.png"_s);
    ASSERT_TRUE(ramp.save(png + u".qt.png"_s));
    ASSERT_TRUE(Convert({png + u".qt.png"_s, png}));
    const QString heic = photos.filePath(u"IMG_0003.HEIC"_s);
    ASSERT_TRUE(WriteHeic(ramp.transformed(QTransform().rotate(-90)), heic, 6));
    for (const QString& photo : {png, heic}) {
        SCOPED_TRACE(photo.toStdString());
        form->LoadPictureFile(photo);
        ASSERT_EQ(form->Document().Model().Photo.Size(), QSize(1500, 2000)); // upright
        form->MIframeFill->trigger();
        TImage* sample = form->Image1;
        // Zoomed in to 4 × and previewed, which decodes the whole photo; then out to 1 × and
        // dragged down the photo: the part now needs fewer pixels than were decoded on the way,
        // and must come out as the export, which decodes afresh, makes it.
        Wheel(sample, {60, 40}, 360);
        Wheel(sample, {60, 40}, 360);
        EXPECT_EQ(Framing().Zoom, 4);
        (void)PreviewBox();
        Wheel(sample, {150, 120}, -720);
        Drag(sample, {100, 100}, {120, 55});
        EXPECT_NEAR(Framing().Zoom, 1, 1e-9);
        EXPECT_GT(Framing().FocusY, 0.4);
        EXPECT_LT(Framing().FocusY, 0.5);
        EXPECT_EQ(sample->SourceRect(), Crop());

        const QImage windowBox = PreviewBox();
        const QImage exportBox = ExportBox(photo);
        ASSERT_EQ(windowBox.size(), exportBox.size());
        EXPECT_EQ(DifferentPixels(windowBox, exportBox), 0);
        int white = 0;
        for (int y = 0; y < windowBox.height(); ++y)
            for (int x = 0; x < windowBox.width(); ++x)
                white += qGray(windowBox.pixel(x, y)) > 245;
        EXPECT_EQ(white, 0);
        form->MIframeFit->trigger();
    }
}

TEST_F(FramingTest, FittedTheMouseChangesNothing) {
    form->LoadPictureFile(Photo(1500, 1000));
    const QRect fitted = form->Image1->geometry();
    Drag(form->Image1, {100, 50}, {20, 50});
    Wheel(form->Image1, {50, 50}, 360);
    EXPECT_EQ(Framing(), TPictureFraming{});
    EXPECT_EQ(form->Image1->geometry(), fitted);
    EXPECT_TRUE(form->Image1->SourceRect().isEmpty());
}

TEST_F(FramingTest, TheModeAndEachPhotosPartAreRememberedInTheStateFile) {
    const QString first = Photo(1500, 1000);
    const QString second = Photo(900, 1200);
    form->LoadPictureFile(first);
    form->MIframeFill->trigger();
    Drag(form->Image1, {150, 90}, {100, 90});
    Wheel(form->Image1, {100, 80}, 120);
    const TPictureFraming chosen = Framing();
    form->LoadPictureFile(second); // the wheel's zoom is written before the photo changes
    EXPECT_EQ(Framing().FocusX, 0.5);
    EXPECT_EQ(Framing().Zoom, 1);
    EXPECT_EQ(Framing().Mode, TFrameMode::Fill);
    form->close();

    // The next run: "枠いっぱい" again, and the first photo as it was left.
    form = std::make_unique<TmainForm>(dir.path());
    form->show();
    EXPECT_TRUE(form->MIframeFill->isChecked());
    form->LoadPictureFile(first);
    EXPECT_NEAR(Framing().FocusX, chosen.FocusX, 1e-9);
    EXPECT_NEAR(Framing().FocusY, chosen.FocusY, 1e-9);
    EXPECT_NEAR(Framing().Zoom, chosen.Zoom, 1e-9);
    form->LoadPictureFile(second);
    EXPECT_EQ(Framing().Zoom, 1);

    // All of it in the program's own state file, UTF-8 with a byte-order mark; tamurika.ini
    // is never written for it.
    QFile state(StateFileName(dir.path() + u'/'));
    ASSERT_TRUE(state.open(QIODevice::ReadOnly));
    const QByteArray bytes = state.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.contains("[framing]"));
    EXPECT_TRUE(bytes.contains("Mode=fill"));
    EXPECT_TRUE(bytes.contains(QFileInfo(first).fileName().toUtf8()));
    EXPECT_FALSE(QFile::exists(dir.filePath(u"tamurika.ini"_s)));
}

TEST(FramingMemory, RemembersTheLastPhotosAndForgetsNonsense) {
    QTemporaryDir dir;
    const QString app = dir.path() + u'/';
    TFramingMemory memory(app);
    EXPECT_EQ(memory.Mode(), TFrameMode::Fit);
    EXPECT_FALSE(memory.Recall(u"/a.jpg"_s, {10, 10}).has_value());
    TPictureFraming f{TFrameMode::Fill, 0.25, 0.75, 3};
    for (int n = 0; n <= TFramingMemory::MaxPhotos; ++n)
        memory.Remember(u"/photos/%1,.jpg"_s.arg(n), {4000, 3000}, f);
    // The first one gave way to the eleventh; the others are there, commas in names and all.
    EXPECT_FALSE(memory.Recall(u"/photos/0,.jpg"_s, {4000, 3000}).has_value());
    const auto last = memory.Recall(u"/photos/10,.jpg"_s, {4000, 3000});
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->FocusX, 0.25);
    EXPECT_EQ(last->FocusY, 0.75);
    EXPECT_EQ(last->Zoom, 3);
    // The same name at another size is another photo.
    EXPECT_FALSE(memory.Recall(u"/photos/10,.jpg"_s, {3000, 4000}).has_value());
    // Remembering one again moves it to the front without a second entry.
    memory.Remember(u"/photos/1,.jpg"_s, {4000, 3000}, {TFrameMode::Fill, 0.5, 0.5, 2});
    memory.Remember(u"/photos/11,.jpg"_s, {4000, 3000}, f);
    EXPECT_EQ(memory.Recall(u"/photos/1,.jpg"_s, {4000, 3000})->Zoom, 2);
    EXPECT_FALSE(memory.Recall(u"/photos/2,.jpg"_s, {4000, 3000}).has_value()); // the oldest

    // Values a hand could write: out of range, not numbers, too few fields.
    TStateFile state(app);
    state.WriteString(FramingSection, u"Photo1"_s, u"0.5,0.5,9,10,10,/x.jpg"_s);
    state.WriteString(FramingSection, u"Photo2"_s, u"nan,0.5,1,10,10,/y.jpg"_s);
    state.WriteString(FramingSection, u"Photo3"_s, u"0.5,0.5,/z.jpg"_s);
    state.WriteString(FramingSection, u"Mode"_s, u"huge"_s);
    EXPECT_FALSE(memory.Recall(u"/x.jpg"_s, {10, 10}).has_value());
    EXPECT_FALSE(memory.Recall(u"/y.jpg"_s, {10, 10}).has_value());
    EXPECT_FALSE(memory.Recall(u"/z.jpg"_s, {10, 10}).has_value());
    EXPECT_EQ(memory.Mode(), TFrameMode::Fit);
    state.WriteString(FramingSection, u"Mode"_s, u" Fill "_s);
    EXPECT_EQ(memory.Mode(), TFrameMode::Fill);
}

TEST_F(FramingTest, AHandEditedStateFileWithNonsenseGivesTheDefaults) {
    const QString photo = Photo(1500, 1000);
    form.reset();
    QFile state(StateFileName(dir.path() + u'/'));
    ASSERT_TRUE(state.open(QIODevice::WriteOnly));
    const QString text = u"[framing]\nMode=枠いっぱい\n"
                         u"Photo1=0.5,abc,2,1500,1000,%1\n"
                         u"Photo2=-3,0.5,2,1500,1000,%1\n"
                         u"Photo3=0.5,0.5,1e400,1500,1000,%1\n"
                         u"Photo4=0.5,0.5,2,1500\n"
                         u"Photo5=\x01\x02,,,,,\n"_s.arg(photo);
    state.write("\xEF\xBB\xBF" + text.toUtf8() + QByteArray(3000, '\xFF') + "\n");
    state.close();

    form = std::make_unique<TmainForm>(dir.path());
    form->show();
    EXPECT_TRUE(form->MIframeFit->isChecked());
    form->LoadPictureFile(photo);
    EXPECT_EQ(Framing(), TPictureFraming{});
    EXPECT_EQ(form->Image1->geometry(), QRect(0, 9, 224, 149));
    form->MIframeFill->trigger();
    EXPECT_EQ(Framing(), (TPictureFraming{TFrameMode::Fill, 0.5, 0.5, 1}));
    EXPECT_EQ(form->Image1->SourceRect(), Crop());
}

TEST_F(FramingTest, AStateFileThatCannotBeWrittenIsSaidAndTheFramingStays) {
    ASSERT_TRUE(QFile::remove(dir.filePath(StateIniName))); // the zoom kept by SetUp
    ASSERT_TRUE(QDir(dir.path()).mkdir(StateIniName));      // a folder where the file would be
    form->LoadPictureFile(Photo(1500, 1000));
    form->MIframeFill->trigger();
    EXPECT_TRUE(form->StBar->Text().contains(u"書き込めません"_s))
        << form->StBar->Text().toStdString();
    EXPECT_EQ(Framing().Mode, TFrameMode::Fill);
    Drag(form->Image1, {150, 90}, {100, 90});
    EXPECT_NE(Framing().FocusX, 0.5);
    EXPECT_TRUE(QFileInfo(dir.filePath(StateIniName)).isDir());
}

TEST_F(FramingTest, ThePhotoThatPrintsCoarselyIsSaidInAPanelOfItsOwn) {
    TStatusBarP& bar = *form->StBar;
    const int panel = TmainForm::WarningPanel;
    const auto warning = [&] { return bar.Panel(panel).Text; };
    const QString small = photos.filePath(u"small.jpg"_s);
    ASSERT_TRUE(MakeQuarters(small, 320, 240));
    form->LoadPictureFile(small);
    EXPECT_EQ(warning(), u"解像度不足 約43ppi"_s);
    EXPECT_EQ(bar.PanelToolTip(panel), Coarse43);
    // The short text fits its panel with three digits, and the percentage its own.
    const QFontMetrics metrics = bar.fontMetrics();
    EXPECT_LE(metrics.horizontalAdvance(u"解像度不足 約149ppi"_s) + 4,
              bar.PanelRect(panel).width());
    EXPECT_LE(metrics.horizontalAdvance(u"100%"_s) + 4, bar.PanelRect(2).width());
    EXPECT_LE(bar.PanelRect(panel).right(), bar.width());

    // Hints take the messages' panel; the warning stays.
    Mouse(form->Button11, QEvent::MouseMove, QPointF(5, 5), Qt::NoButton);
    EXPECT_TRUE(bar.Text().startsWith(u"選択されているフォント："_s)) << bar.Text().toStdString();
    EXPECT_EQ(warning(), u"解像度不足 約43ppi"_s);
    form->GroupBox2MouseMove();
    EXPECT_EQ(bar.Text(), QString());
    EXPECT_EQ(warning(), u"解像度不足 約43ppi"_s);
    // Over the photo a hint says it in words that fit the messages' panel.
    Mouse(form->Image1, QEvent::MouseMove, QPointF(20, 20), Qt::NoButton);
    EXPECT_EQ(bar.Text(), u"印刷が粗くなります（約 43 ppi）"_s);
    EXPECT_LE(metrics.horizontalAdvance(bar.Text()) + 4, bar.PanelRect(0).width());
    // The progress of a composition clears the messages, not the warning.
    (void)PreviewBox();
    EXPECT_EQ(warning(), u"解像度不足 約43ppi"_s);
    // The wide window gives the messages more room and keeps the warning as it was, at the
    // right edge.
    const QRect narrow = bar.PanelRect(panel);
    form->SbtnKShow->click();
    EXPECT_EQ(bar.width(), TmainForm::WideClientWidth);
    EXPECT_EQ(bar.PanelRect(panel).width(), narrow.width());
    EXPECT_EQ(bar.PanelRect(panel).right() - narrow.right(),
              TmainForm::WideClientWidth - TmainForm::NarrowClientWidth);
    EXPECT_GT(bar.PanelRect(0).width(), 400);
    form->SbtnKShow->click();

    // Twelve million pixels print finely: the warning goes.
    const QString large = photos.filePath(u"large.jpg"_s);
    ASSERT_TRUE(MakeQuarters(large, 4000, 3000));
    Mouse(form->Image1, QEvent::MouseMove, QPointF(20, 20), Qt::NoButton);
    form->LoadPictureFile(large);
    EXPECT_EQ(warning(), QString());
    EXPECT_EQ(bar.PanelToolTip(panel), QString());
    EXPECT_EQ(bar.Text(), QString()); // the hint went with the small photo
    // Zoomed in, the part has fewer pixels: at 2 ×, 4000 / 2 over 7.375 inches.
    form->MIframeFill->trigger();
    Wheel(form->Image1, {112, 84}, 360);
    EXPECT_EQ(warning(), QString());     // 271 per inch
    Wheel(form->Image1, {112, 84}, 360); // 4 ×: 136 per inch
    EXPECT_EQ(warning(), u"解像度不足 約136ppi"_s);
    EXPECT_EQ(bar.PanelToolTip(panel),
              u"写真の解像度が低いため、印刷が粗くなります（約 136 ppi）"_s);
    Mouse(form->Image1, QEvent::MouseMove, QPointF(20, 20), Qt::NoButton);
    EXPECT_EQ(bar.Text(), u"印刷が粗くなります（約 136 ppi）"_s);
    Wheel(form->Image1, {112, 84}, -720);
    EXPECT_EQ(warning(), QString());
    EXPECT_EQ(bar.Text(), QString());
}

} // namespace
