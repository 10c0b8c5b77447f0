// The dialog "暦の表示" through the main window's menu command, and the 暦 of the sample month:
// what OK, キャンセル, undo and redo do to the model and the state file, the preview following the
// choices, and the sample's cells and tool tips by the engine's own values.
#include <gtest/gtest.h>

#include "days/daysfile.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolTip>
#include <QUndoStack>

#include "app/koyomidialog.h"
#include "app/mainunit.h"
#include "calendar/holidaymodel.h"
#include "calendar/holidays.h"
#include "calendar/julius.h"
#include "calendar/koyomi.h"
#include "calex/calex.h"
#include "common/files.h"
#include "modal.h"
#include "model/calendardocument.h"
#include "widgets/fontdialog.h"
#include "windowfixture.h"

using testing_support::ReadBytes;
using testing_support::WhenModal;

namespace {

class KoyomiDialogTest : public testing_support::WindowTest {
  protected:
    const TKoyomiOptions& Options() { return Document().Model().Koyomi; }
    QString StateFile() const { return dir.filePath(QStringLiteral("tamurika-state.ini")); }

    /// Runs the menu command; `answer` works the dialog. True when the dialog appeared.
    bool RunDialog(const std::function<void(TKoyomiDialog*)>& answer) {
        return testing_support::RunMenuDialog<TKoyomiDialog>(form->MIkoyomi, "暦", answer);
    }
};

TEST_F(KoyomiDialogTest, OkAppliesEveryChoiceAsOneStepKeptInTheStateFile) {
    EXPECT_EQ(form->MIkoyomi->shortcut(), QKeySequence(QStringLiteral("Ctrl+K")));
    ASSERT_TRUE(RunDialog([](TKoyomiDialog* d) {
        if (qEnvironmentVariableIsSet("KOYOMI_DUMP"))
            d->grab().save("/tmp/koyomi-dialog-before.png");
        EXPECT_EQ(d->windowTitle(), QStringLiteral("暦の表示"));
        EXPECT_EQ(d->OkButton->text(), QStringLiteral("OK"));
        EXPECT_EQ(d->CancelButton->text(), QStringLiteral("キャンセル"));
        EXPECT_TRUE(d->KyurekiOff->isChecked());
        const QImage before = d->Preview->grab().toImage();
        d->CheckRokuyo->setChecked(true);
        d->CheckSekki->setChecked(true);
        d->CheckHolidays->setChecked(true);
        d->KyurekiDaily->setChecked(true);
        // The preview follows the choices at once, and back again.
        const QImage shown = d->Preview->grab().toImage();
        EXPECT_NE(shown, before);
        d->CheckRokuyo->setChecked(false);
        EXPECT_NE(d->Preview->grab().toImage(), shown);
        d->CheckRokuyo->setChecked(true);
        EXPECT_EQ(d->Preview->grab().toImage(), shown);
        if (qEnvironmentVariableIsSet("KOYOMI_DUMP"))
            d->grab().save("/tmp/koyomi-dialog.png");
        d->OkButton->click();
    }));
    TKoyomiOptions expected;
    expected.Rokuyo = expected.SolarTerms = expected.HolidayNames = true;
    expected.Kyureki = TKyurekiMode::EveryDay;
    EXPECT_EQ(Options(), expected);
    EXPECT_EQ(ReadKoyomiOptions(dir.path()), expected);
    const QByteArray state = ReadBytes(StateFile());
    EXPECT_TRUE(state.contains("rokuyo=1") && state.contains("kyureki=daily")) << state.data();
    EXPECT_EQ(Document().UndoStack().count(), 1);
    EXPECT_EQ(form->MIundo->text(), QStringLiteral("元に戻す: 暦の表示(&U)"));
    // The 暦 is no part of a settings slot: closing does not ask to save one.
    EXPECT_FALSE(Document().SettingsChanged);

    form->UndoClick();
    EXPECT_EQ(Options(), TKoyomiOptions());
    EXPECT_EQ(ReadKoyomiOptions(dir.path()), TKoyomiOptions());
    form->RedoClick();
    EXPECT_EQ(Options(), expected);
    EXPECT_EQ(ReadKoyomiOptions(dir.path()), expected);
}

TEST_F(KoyomiDialogTest, CancelAndAnUnchangedOkLeaveModelHistoryAndFileAlone) {
    TKoyomiOptions kept;
    kept.Taian = true;
    Document().SetKoyomiOptions(kept);
    const QByteArray state = ReadBytes(StateFile());
    const int steps = Document().UndoStack().count();

    ASSERT_TRUE(RunDialog([](TKoyomiDialog* d) {
        EXPECT_TRUE(d->CheckTaian->isChecked());
        d->CheckRokuyo->setChecked(true);
        d->CheckTaian->setChecked(false);
        d->KyurekiFirst->setChecked(true);
        d->CancelButton->click();
    }));
    EXPECT_EQ(Options(), kept);
    EXPECT_EQ(ReadBytes(StateFile()), state);
    EXPECT_EQ(Document().UndoStack().count(), steps);

    // Changed and changed back: nothing to undo.
    ASSERT_TRUE(RunDialog([](TKoyomiDialog* d) {
        d->CheckMoon->setChecked(true);
        d->CheckMoon->setChecked(false);
        d->OkButton->click();
    }));
    EXPECT_EQ(Options(), kept);
    EXPECT_EQ(Document().UndoStack().count(), steps);
}

TEST_F(KoyomiDialogTest, FaceAndColourComeFromTheProgramsOwnDialogs) {
    ASSERT_TRUE(RunDialog([](TKoyomiDialog* d) {
        const QImage before = d->Preview->grab().toImage();
        // The face alone is offered: the style and size follow from the cell.
        auto font = WhenModal(
            [](QWidget* w) {
                auto* chooser = qobject_cast<TFontChooser*>(w);
                ASSERT_NE(chooser, nullptr);
                EXPECT_FALSE(
                    chooser->findChild<QListWidget*>(QStringLiteral("Styles"))->isVisible());
                chooser->SetFace(QStringLiteral("ＭＳ 明朝"));
                chooser->accept();
            },
            d);
        d->FaceButtonClick();
        EXPECT_TRUE(*font);
        EXPECT_EQ(d->FaceLabel->text(), QStringLiteral("ＭＳ 明朝"));
        auto color = WhenModal(
            [](QWidget* w) {
                auto* dialog = qobject_cast<QColorDialog*>(w);
                ASSERT_NE(dialog, nullptr);
                dialog->setCurrentColor(QColor(0x12, 0x34, 0x56));
                dialog->accept();
            },
            d);
        d->ColorButtonClick();
        EXPECT_TRUE(*color);
        // Nothing shown yet: the face and colour alone leave the cell as it was.
        EXPECT_EQ(d->Preview->grab().toImage(), before);
        d->CheckRokuyo->setChecked(true);
        EXPECT_NE(d->Preview->grab().toImage(), before);
        d->OkButton->click();
    }));
    EXPECT_EQ(Options().Face, QStringLiteral("ＭＳ 明朝"));
    EXPECT_EQ(Options().Color, FromQColor(QColor(0x12, 0x34, 0x56)));
    EXPECT_TRUE(Options().Rokuyo);
    EXPECT_EQ(ReadKoyomiOptions(dir.path()), Options());
}

TEST(KoyomiTellingDay, IsAHolidayOnASolarTermInEveryYearTheEngineKnows) {
    THolidayModel holidays;
    ApplyProgramHolidays(holidays);
    // Before the holidays of 1948 there is none to choose; a solar term on 大安 is taken.
    const QDate early = TellingKoyomiDay(1900);
    ASSERT_TRUE(early.isValid());
    EXPECT_GE(Koyomi::TKoyomiYear(1900).Day(early.month(), early.day()).SolarTerm, 0);
    for (int year : {1990, 2027, 2033, 2100}) {
        const QDate day = TellingKoyomiDay(year);
        ASSERT_TRUE(day.isValid()) << year;
        EXPECT_EQ(day.year(), year);
        const Koyomi::TKoyomiYear koyomi(year);
        EXPECT_GE(koyomi.Day(day.month(), day.day()).SolarTerm, 0) << year;
        EXPECT_FALSE(holidays
                         .GetDayNames(year, static_cast<std::uint8_t>(day.month()),
                                      static_cast<std::uint8_t>(day.day()))
                         .isEmpty())
            << year;
    }
}

// --- The sample month ------------------------------------------------------------------------

class KoyomiSampleTest : public KoyomiDialogTest {
  protected:
    /// The client rectangle of the sample's cell of a day of the month shown.
    QRect CellOf(int month, int day) {
        TCalendarEx* c = form->CalendarEx1;
        const int offset = Julius::YMDToJD(c->Year(), month, day) - c->FirstCellJD();
        return c->CellRect(offset % 7, offset / 7 + 1).ToQRect();
    }
    /// Pixels of `image` within `rect` (client pixels; the buffer may have more per pixel) in
    /// which green stands out: the small text's colour below, blended with the background.
    static int GreenPixels(const QImage& image, const QRect& rect) {
        const double ratio = image.devicePixelRatio();
        const QRect r(QPoint(int(rect.left() * ratio), int(rect.top() * ratio)),
                      QPoint(int(rect.right() * ratio), int(rect.bottom() * ratio)));
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor p = image.pixelColor(x, y);
                if (p.green() > p.red() + 40 && p.green() > p.blue() + 40)
                    ++n;
            }
        return n;
    }
};

TEST_F(KoyomiSampleTest, ToolTipOfADayNamesItsLunarDateRokuyoAndHolidays) {
    TCalendarEx* c = form->CalendarEx1;
    c->SetJuliusDay(Julius::YMDToJD(2027, 1, 1));
    const Koyomi::TKoyomiDay day = Koyomi::TKoyomiYear(2027).Day(1, 1);
    ASSERT_TRUE(day.Known());
    const QPoint at = CellOf(1, 1).center() + c->contentsRect().topLeft();
    QHelpEvent help(QEvent::ToolTip, at, c->mapToGlobal(at));
    QApplication::sendEvent(c, &help);
    const QString tip = QToolTip::text();
    for (const QString& part : {QStringLiteral("2027年1月1日"), Koyomi::LunarDateText(day),
                                Koyomi::RokuyoName(day.Rokuyo), QStringLiteral("元日")})
        EXPECT_TRUE(tip.contains(part)) << tip.toStdString() << " lacks " << part.toStdString();
    // A day that is no holiday names none.
    const QPoint plain = CellOf(1, 6).center() + c->contentsRect().topLeft();
    QHelpEvent help6(QEvent::ToolTip, plain, c->mapToGlobal(plain));
    QApplication::sendEvent(c, &help6);
    EXPECT_TRUE(QToolTip::text().startsWith(QStringLiteral("2027年1月6日")))
        << QToolTip::text().toStdString();
    EXPECT_FALSE(QToolTip::text().contains(QStringLiteral("元日")));
}

TEST_F(KoyomiSampleTest, CellsShowTheRokuyoInItsColourAndNothingWhenAllIsOff) {
    TCalendarEx* c = form->CalendarEx1;
    c->SetJuliusDay(Julius::YMDToJD(2027, 3, 10));
    const QImage plain = c->BufferImage().copy();
    // A colour nothing else of the sample is drawn in.
    const QColor green(0, 170, 0);
    for (int d = 1; d <= 31; ++d)
        ASSERT_EQ(GreenPixels(plain, CellOf(3, d)), 0) << d;

    TKoyomiOptions rokuyo;
    rokuyo.Rokuyo = true;
    rokuyo.Color = FromQColor(green);
    Document().SetKoyomiOptions(rokuyo);
    const QImage shown = c->BufferImage().copy();
    EXPECT_NE(shown, plain);
    // Every day of the month carries its 六曜 in the chosen colour (the current date is
    // inverted, its text drawn in the background colour).
    for (int d = 1; d <= 31; ++d) {
        if (d == 10)
            continue;
        EXPECT_GT(GreenPixels(shown, CellOf(3, d)), 3) << "2027-03-" << d;
    }

    Document().SetKoyomiOptions(TKoyomiOptions());
    EXPECT_EQ(c->BufferImage(), plain);
    // Undo and redo repaint the sample too.
    form->UndoClick();
    EXPECT_EQ(c->BufferImage(), shown);
    form->RedoClick();
    EXPECT_EQ(c->BufferImage(), plain);
}

TEST_F(KoyomiSampleTest, TheFamilysDaysAreNamedInTheirCellsAndTooltips) {
    TCalendarEx* c = form->CalendarEx1;
    c->SetJuliusDay(Julius::YMDToJD(2027, 5, 10));
    const QImage plain = c->BufferImage().copy();
    // A birthday in a green of its own: the name in the cell, the number in green.
    Document().SetFamilyDays(
        ParseDaysFile(QStringLiteral("5/12 太郎 誕生日 2015 #00AA00\n").toUtf8()).Days);
    const QImage shown = c->BufferImage().copy();
    EXPECT_GT(GreenPixels(shown, CellOf(5, 12)), 3);
    EXPECT_EQ(GreenPixels(shown, CellOf(5, 13)), 0);
    EXPECT_NE(shown.copy(CellOf(5, 12)), plain.copy(CellOf(5, 12)));
    const QPoint at = CellOf(5, 12).center() + c->contentsRect().topLeft();
    QHelpEvent help(QEvent::ToolTip, at, c->mapToGlobal(at));
    QApplication::sendEvent(c, &help);
    EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("太郎 12歳")))
        << QToolTip::text().toStdString();
    // One step undoes it, and the sample is as before.
    form->UndoClick();
    EXPECT_EQ(c->BufferImage(), plain);
}

} // namespace
