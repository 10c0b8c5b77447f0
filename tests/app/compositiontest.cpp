// "ﾌﾟﾚﾋﾞｭ-＆印刷" through the main window's own handler on the offscreen platform: the
// progress it reports, the preview window it opens and releases, the sheet's items written
// from the window's choices, the day table, and the way back when something fails.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include "../common/imagemagick.h"
#include "../common/sheetpage.h"
#include "app/mainunit.h"
#include "calex/calex.h"
#include "modal.h"
#include "model/calendardocument.h"
#include "platform/bitmap.h"
#include "preview/previewdocument.h"
#include "preview/printlrunit.h"
#include "qtprint.h"
#include "settings/inifile.h"
#include "sheet/sheetcomposition.h"
#include "statusbar/statusbarp.h"
#include "widgets/image.h"
#include "widgets/panel.h"

using testing_support::AnswerMessage;
using testing_support::WhenModal;

namespace {

// A picture that cannot be decoded when the sheet asks for its pixels (the sample shows
// nothing for it: painting never fails).
class TBrokenGraphic : public TBitmap {
  public:
    TBrokenGraphic() : TBitmap(400, 300) {}
    QImage ToImage() const override { throw EInvalidGraphic(QStringLiteral("壊れた画像です")); }
    QImage ToImageForSize(const QSize&) const override { return ToImage(); }
    std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TBrokenGraphic>(); }
};

class CompositionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The preview's page is looked at as it opens, at 100 %.
        testing_support::KeepZoomAt100(dir.path());
        form = std::make_unique<TmainForm>(dir.path());
        form->show();
        QObject::connect(form->StBar->ProgressBar(), &QProgressBar::valueChanged,
                         [this](int value) { progress.push_back(value); });
    }
    void TearDown() override { testing_support::CancelPendingAnswers(); }

    void ChooseYear(int year) {
        while (form->CalendarEx1->Year() < year)
            form->Button5Click();
        while (form->CalendarEx1->Year() > year)
            form->Button2Click();
    }
    void ChooseStyle(int style) {
        form->ComboBox3->setCurrentIndex(style);
        form->ComboBox3Change();
    }
    /// Runs the command; `inside` looks at the open preview window, which is then closed.
    bool Compose(const std::function<void(TFrmPrtLR&)>& inside = {}) {
        auto seen = WhenModal([inside](QWidget* w) {
            auto* preview = qobject_cast<TFrmPrtLR*>(w);
            ASSERT_NE(preview, nullptr);
            EXPECT_EQ(preview, FrmPrtLR);
            if (inside)
                inside(*preview);
            preview->BtnEnd->click();
        });
        form->Button1->click();
        return *seen;
    }

    QTemporaryDir dir; // the program's folder
    std::unique_ptr<TmainForm> form;
    std::vector<int> progress;
};

TEST_F(CompositionTest, ProgressGoesUpInItsStepsAndBackToZero) {
    ChooseYear(2027);
    bool enabledInside = false;
    int positionInside = -1;
    EXPECT_TRUE(Compose([&](TFrmPrtLR&) {
        enabledInside =
            form->Button1->isEnabled() && form->menuBar()->isEnabled() && !form->InputBlocked();
        positionInside = form->StBar->Position();
    }));
    const std::vector<int> expected = {5,  10, 15, 20, 25, 30, 35, 40, 45,  50,
                                       55, 60, 65, 70, 75, 80, 85, 90, 100, 0};
    EXPECT_EQ(progress, expected);
    EXPECT_TRUE(enabledInside);
    EXPECT_EQ(positionInside, 100);
    EXPECT_EQ(form->StBar->Position(), 0);
    EXPECT_EQ(FrmPrtLR, nullptr); // released
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(CompositionTest, WhileTheSheetIsComposedInputIsBlockedAndTheProgressReadable) {
    ChooseYear(2027);
    form->CalendarEx1->setFocus();
    struct {
        bool Seen = false;
        bool StatusBar = false, ProgressBar = false; // enabled
        bool Commands = true, Sample = true, Menu = true, Drops = true;
        QImage Status; // the status bar as drawn
    } during;
    const auto look = [&] {
        during.Seen = true;
        during.StatusBar = form->StBar->isEnabled();
        during.ProgressBar = form->StBar->ProgressBar()->isEnabled();
        during.Commands = form->Button1->isEnabled() || form->Button5->isEnabled() ||
                          form->ComboBox3->isEnabled();
        during.Sample = form->CalendarEx1->isEnabled();
        during.Menu = form->menuBar()->isEnabled();
        during.Drops = form->acceptDrops();
        // A click on "次年" now would change the year under the composition.
        const QPointF centre = QRectF(form->Button5->rect()).center();
        QMouseEvent press(QEvent::MouseButtonPress, centre, form->Button5->mapToGlobal(centre),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, centre, form->Button5->mapToGlobal(centre),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(form->Button5, &press);
        QApplication::sendEvent(form->Button5, &release);
        form->close(); // refused as well
        during.Status = form->StBar->grab().toImage();
    };
    // Looked at when the composition lets the bar repaint after setting 50 %.
    QObject::connect(form->StBar->ProgressBar(), &QProgressBar::valueChanged, form.get(),
                     [&](int value) {
                         if (value == 50)
                             QTimer::singleShot(0, form.get(), look);
                     });
    EXPECT_TRUE(Compose([&](TFrmPrtLR& preview) {
        // The composition is over; the modal preview blocks the window now.
        EXPECT_EQ(preview.Sheet().LRItemNen->Text(), form->nenST->Caption());
        EXPECT_TRUE(form->Button5->isEnabled());
    }));
    ASSERT_TRUE(during.Seen);
    EXPECT_TRUE(during.StatusBar);
    EXPECT_TRUE(during.ProgressBar);
    EXPECT_FALSE(during.Commands);
    EXPECT_FALSE(during.Sample);
    EXPECT_FALSE(during.Menu);
    EXPECT_FALSE(during.Drops);
    EXPECT_EQ(form->CalendarEx1->Year(), 2027);
    EXPECT_TRUE(form->isVisible());

    // Everything back, the focus included.
    EXPECT_FALSE(form->InputBlocked());
    for (QWidget* w :
         {static_cast<QWidget*>(form->Button1), static_cast<QWidget*>(form->Button5),
          static_cast<QWidget*>(form->ComboBox3), static_cast<QWidget*>(form->CalendarEx1),
          static_cast<QWidget*>(form->menuBar())})
        EXPECT_TRUE(w->isEnabled()) << w->metaObject()->className();
    EXPECT_TRUE(form->acceptDrops());
    EXPECT_EQ(form->focusWidget(), form->CalendarEx1);

    // The status bar looked then exactly as it looks at 50 % in a window that takes input:
    // "処理中", the bar and "50%" drawn in the colours of an enabled bar, not greyed out.
    form->StBar->SetPosition(50);
    const QImage enabled = form->StBar->grab().toImage();
    EXPECT_EQ(during.Status.size(), enabled.size());
    EXPECT_TRUE(during.Status == enabled);
    form->StBar->SetPosition(0);
}

TEST_F(CompositionTest, ThePreviewOpensAt100PercentWithTheComposedSheet) {
    ChooseYear(2003);
    ChooseStyle(3);
    TCalendarDocument& document = form->Document();
    document.SetFont(sfMonth, {QStringLiteral("IPAMincho"), fsItalic});
    document.SetColor(scLine, clGreen);
    document.SetColor(scHeaderBack, clSilver);
    document.SetColor(scDayBack, 0xF0FFFF);
    document.SetColor(scYear, clNavy);
    document.SetColor(scSunday, clFuchsia);
    document.SetColor(scSaturday, clTeal);

    EXPECT_TRUE(Compose([](TFrmPrtLR& preview) {
        EXPECT_EQ(preview.Zoom(), 4);
        EXPECT_EQ(preview.Image1->size(), QSize(794, 1123));
        EXPECT_TRUE(preview.isModal());
        TSheetLayout& sheet = preview.Sheet();
        EXPECT_EQ(sheet.LightRep1->Title(), "たむりか平成 15 年 ");
        EXPECT_EQ(sheet.LRItemNen->Text(), "平成 15 年 ");
        EXPECT_EQ(sheet.LRItemNen->Font().Color(), clNavy);
        EXPECT_EQ(sheet.LRItemNen->Font().Height(), -32); // the sheet's size, never written
        EXPECT_EQ(sheet.Month(1).LRItemTuki->Text(), "１月");
        EXPECT_EQ(sheet.Month(12).LRItemTuki->Text(), "１２月");
        for (int n = 1; n <= 12; ++n) {
            const TMonthBlock& m = sheet.Month(n);
            EXPECT_EQ(m.LRItemTuki->Font().Name(), "IPAMincho");
            EXPECT_EQ(m.LRItemTuki->Font().Style(), fsItalic);
            EXPECT_EQ(m.LRItemTuki->Font().Height(), -15);
            EXPECT_EQ(m.LRItemYoubi->LineColor(), clGreen);
            EXPECT_EQ(m.LRItemCol->LineColor(), clGreen);
            EXPECT_EQ(m.LRItemYoubi->Color(), clSilver);
            EXPECT_EQ(m.LRItemCol->Color(), TColor(0xF0FFFF));
            EXPECT_EQ(m.LRItemHi->Font().Name(), "ＭＳ ゴシック");
            EXPECT_EQ(m.LRItemHi->Font().Style(), 0);
            EXPECT_EQ(m.LRItemYoubiMoji->Font().Height(), -11);
        }
        // The day table of 2003 and the colours of its numbers: 1 January a Wednesday,
        // 1 March a Saturday, 31 March a Monday in the sixth row.
        EXPECT_EQ(sheet.Year, 2003);
        EXPECT_EQ(sheet.DayCells(1, 3, 0).DayText, "1");
        EXPECT_EQ(sheet.DayCells(1, 3, 0).Holiday, 1); // 元日
        EXPECT_EQ(sheet.DayCells(1, 0, 1).DayText, "5");
        EXPECT_EQ(sheet.DayCells(1, 2, 0).DayText, "");
        EXPECT_EQ(sheet.DayCells(3, 6, 0).DayText, "1");
        EXPECT_EQ(sheet.DayCells(3, 1, 5).DayText, "31");
        EXPECT_EQ(sheet.WeekdayColor, clBlack);
        EXPECT_EQ(sheet.SundayColor, clFuchsia);
        EXPECT_EQ(sheet.SaturdayColor, clTeal);
        // The rendered page shows the green lattice: March's header line; and Sunday 5 and
        // Saturday 4 January in their colours.
        const QImage page = preview.Image1->Picture().Graphic()->ToImage();
        EXPECT_EQ(page.pixel(45 + 2 * 178 + 10, 620 + 24 - 1), qRgb(0, 128, 0));
        const auto count = [&page](const QRect& area, auto&& inked) {
            int n = 0;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    n += inked(page.pixel(x, y)) ? 1 : 0;
            return n;
        };
        const auto fuchsia = [](QRgb c) {
            return qRed(c) > 180 && qBlue(c) > 180 && qGreen(c) < 120;
        };
        const auto teal = [](QRgb c) {
            return qRed(c) < 90 && qGreen(c) > 90 && qBlue(c) > 90 &&
                   std::abs(qGreen(c) - qBlue(c)) < 40;
        };
        const QRect sunday = testing_support::Inside(testing_support::DayCell(1, 0, 1));
        const QRect saturday = testing_support::Inside(testing_support::DayCell(1, 6, 0));
        EXPECT_GE(count(sunday, fuchsia), 6);
        EXPECT_EQ(count(sunday, teal), 0);
        EXPECT_GE(count(saturday, teal), 6);
        EXPECT_EQ(count(saturday, fuchsia), 0);
        // Down to 25 % and back, each step at its size, the buttons stopping at the ends.
        const QSize sizes[] = {{596, 842}, {397, 562}, {198, 281}};
        for (const QSize& size : sizes) {
            preview.BtnSyukusho->click();
            EXPECT_EQ(preview.Image1->size(), size);
        }
        EXPECT_FALSE(preview.BtnSyukusho->isEnabled());
        for (int k = 0; k < 3; ++k)
            preview.BtnKakudai->click();
        EXPECT_EQ(preview.Image1->size(), QSize(794, 1123));
        EXPECT_FALSE(preview.BtnKakudai->isEnabled());
        EXPECT_TRUE(preview.BtnSyukusho->isEnabled());
    }));
}

TEST_F(CompositionTest, MonthTitlesFollowTheStyle) {
    ChooseYear(2026);
    ChooseStyle(7);
    EXPECT_TRUE(Compose([](TFrmPrtLR& preview) {
        const char* abbreviations[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        for (int n = 1; n <= 12; ++n)
            EXPECT_EQ(preview.Sheet().Month(n).LRItemTuki->Text(), abbreviations[n - 1]);
        EXPECT_EQ(preview.Sheet().LRItemNen->Text(), "2026");
    }));
    ChooseStyle(4);
    EXPECT_TRUE(Compose([](TFrmPrtLR& preview) {
        EXPECT_EQ(preview.Sheet().Month(1).LRItemTuki->Text(), "１月 (睦月)");
        EXPECT_EQ(preview.Sheet().Month(12).LRItemTuki->Text(), "１２月 (師走)");
    }));
}

TEST_F(CompositionTest, ThePictureIsFittedAndPreparedAs708By531) {
    EXPECT_TRUE(Compose([](TFrmPrtLR& preview) {
        // No picture: the 105 × 105 design size counts as taller than 4:3.
        const TLRImage& image = *preview.Sheet().LRImage1;
        EXPECT_EQ(image.BoundsRect(), Bounds(91, 2, 531, 531));
        ASSERT_NE(image.Picture().Graphic(), nullptr);
        const QImage pixels = image.Picture().Graphic()->ToImage();
        EXPECT_EQ(pixels.size(), QSize(708, 531));
        EXPECT_EQ(pixels.pixel(300, 300), qRgb(255, 255, 255));
    }));

    const QString file = dir.filePath(QStringLiteral("wide.jpg"));
    ASSERT_TRUE(testing_support::MakeQuarters(file, 1000, 500));
    form->LoadPictureFile(file);
    EXPECT_TRUE(Compose([](TFrmPrtLR& preview) {
        const TLRImage& image = *preview.Sheet().LRImage1;
        EXPECT_EQ(image.BoundsRect(), Bounds(3, 90, 708, 354));
        const QImage pixels = image.Picture().Graphic()->ToImage();
        ASSERT_EQ(pixels.size(), QSize(708, 531));
        // Stretched to 4:3: blue top left, green bottom right, red elsewhere.
        EXPECT_TRUE(testing_support::Near(pixels.pixel(100, 100), qRgb(0, 0, 255)));
        EXPECT_TRUE(testing_support::Near(pixels.pixel(600, 450), qRgb(0, 255, 0)));
        EXPECT_TRUE(testing_support::Near(pixels.pixel(600, 100), qRgb(255, 0, 0)));
        // On the page the picture keeps its own shape, white above and below it.
        const QImage page = preview.Image1->Picture().Graphic()->ToImage();
        EXPECT_TRUE(testing_support::Near(page.pixel(43 + 100, 127 + 50), qRgb(0, 0, 255)));
        EXPECT_EQ(page.pixel(400, 120), qRgb(255, 255, 255));
        EXPECT_EQ(page.pixel(400, 490), qRgb(255, 255, 255));
    }));
}

TEST_F(CompositionTest, TheSampleAndTheSheetShowThePhotoFromOneDecoding) {
    const QString file = dir.filePath(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(testing_support::MakeQuarters(file, 3200, 2400));
    form->LoadPictureFile(file);
    const std::shared_ptr<const TGraphic> loaded = form->Document().Model().Photo.Picture;
    ASSERT_NE(loaded, nullptr);
    const QSize decodeSize = SheetPreviewDecodeSize({3200, 2400});
    const QImage decoded = loaded->ToImageForSize(decodeSize);
    // Decoded at a reduced scale, still with two pixels for each one the sheet draws.
    EXPECT_EQ(decoded.width(), 1600); // at 1/2
    EXPECT_GE(decoded.width(), decodeSize.width());
    EXPECT_GE(decoded.height(), decodeSize.height());
    // The sample's copy of the photo shares that decoding.
    const TGraphic* shown = form->Image1->Picture().Graphic();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->ToImageForSize(decodeSize).cacheKey(), decoded.cacheKey());

    const QImage sample = form->Image1->grab().toImage();
    ASSERT_EQ(sample.size(), QSize(224, 168));
    EXPECT_TRUE(testing_support::Near(sample.pixel(56, 42), qRgb(0, 0, 255)));
    EXPECT_TRUE(testing_support::Near(sample.pixel(168, 126), qRgb(0, 255, 0)));
    EXPECT_TRUE(Compose([](TFrmPrtLR& preview) {
        const QImage pixels = preview.Sheet().LRImage1->Picture().Graphic()->ToImage();
        EXPECT_TRUE(testing_support::Near(pixels.pixel(177, 133), qRgb(0, 0, 255)));
        EXPECT_TRUE(testing_support::Near(pixels.pixel(531, 133), qRgb(255, 0, 0)));
        EXPECT_TRUE(testing_support::Near(pixels.pixel(531, 398), qRgb(0, 255, 0)));
    }));
    // The composition drew the sheet's picture from those same pixels.
    EXPECT_EQ(loaded->ToImageForSize(decodeSize).cacheKey(), decoded.cacheKey());
    EXPECT_EQ(form->Document().Model().Photo.Picture, loaded);
}

// Before 1582 the dates are Julian: the sample moved to 1500 gives the preview a February of
// 29 days, from Saturday the 1st to Saturday the 29th, and a March that starts on a Sunday.
TEST_F(CompositionTest, TheSheetOf1500HasTheJulian29February) {
    form->CalendarEx1->SetYear(1500);
    ASSERT_EQ(form->Document().Model().Year, 1500);
    EXPECT_TRUE(Compose([](TFrmPrtLR& preview) {
        const TSheetLayout& sheet = preview.Sheet();
        EXPECT_EQ(sheet.LRItemNen->Text(), "1500年");
        EXPECT_EQ(sheet.DayCells(2, 6, 0).DayText, "1");
        EXPECT_EQ(sheet.DayCells(2, 0, 1).DayText, "2");
        EXPECT_EQ(sheet.DayCells(2, 6, 4).DayText, "29");
        EXPECT_EQ(sheet.DayCells(2, 0, 5).DayText, "");
        EXPECT_EQ(sheet.DayCells(3, 0, 0).DayText, "1");
    }));
}

TEST_F(CompositionTest, ThePositionConfirmedInThePreviewIsStoredForTheNextOne) {
    EXPECT_TRUE(Compose([](TFrmPrtLR& preview) {
        preview.TrackBar1->setValue(4);
        preview.SpeedButton1->click();
    }));
    const TIniFile ini(dir.filePath(QStringLiteral("senoruta.ini")));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("senoruta"), QStringLiteral("LRichi"), 0), 4);
    EXPECT_TRUE(Compose([](TFrmPrtLR& preview) {
        EXPECT_EQ(preview.TrackBar1->value(), 4);
        EXPECT_EQ(preview.LightRep1()->MarginLeft(), 43);
    }));
}

TEST_F(CompositionTest, AFailureLeavesTheWindowUsableAndNoPreviewBehind) {
    form->Document().SetPhoto(
        {dir.filePath(QStringLiteral("broken.bmp")), std::make_shared<TBrokenGraphic>()});
    QString message;
    auto seen = AnswerMessage(QMessageBox::Ok, &message);
    form->Button1->click();
    EXPECT_TRUE(*seen);
    EXPECT_EQ(message, "壊れた画像です");
    EXPECT_TRUE(form->isEnabled());
    EXPECT_FALSE(form->InputBlocked());
    EXPECT_TRUE(form->Button1->isEnabled());
    EXPECT_TRUE(form->menuBar()->isEnabled());
    EXPECT_TRUE(form->acceptDrops());
    EXPECT_EQ(form->StBar->Position(), 0);
    EXPECT_EQ(FrmPrtLR, nullptr);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<TFrmPrtLR*>(w), nullptr);
    // With a photo that can be read the command works again.
    const QString file = dir.filePath(QStringLiteral("good.jpg"));
    ASSERT_TRUE(testing_support::MakeQuarters(file, 400, 300));
    form->LoadPictureFile(file);
    progress.clear();
    EXPECT_TRUE(Compose([](TFrmPrtLR& preview) {
        const QImage pixels = preview.Sheet().LRImage1->Picture().Graphic()->ToImage();
        EXPECT_TRUE(testing_support::Near(pixels.pixel(177, 133), qRgb(0, 0, 255)));
    }));
    EXPECT_EQ(progress.back(), 0);
    EXPECT_EQ(FrmPrtLR, nullptr);
}

} // namespace
