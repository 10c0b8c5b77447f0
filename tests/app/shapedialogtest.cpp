// The dialog "始まりと題名" through the main window's menu command: what OK, キャンセル, undo and
// redo do to the model and to the bytes of the state file; the title lines of its preview as the
// composed sheet prints them; and the sample month with the sheet's shape: weeks from Monday
// with each day and letter in its weekday's colour, the sheet year of a sheet that starts in
// April as the sample moves, and the own title in the year title's panel.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QUndoStack>

#include "app/mainunit.h"
#include "app/sampletitle.h"
#include "app/shapedialog.h"
#include "app/titlepreview.h"
#include "calendar/julius.h"
#include "calex/calex.h"
#include "common/files.h"
#include "modal.h"
#include "model/calendardocument.h"
#include "print/imageprinter.h"
#include "sheet/sheetcomposition.h"
#include "sheet/sheetlayout.h"
#include "widgets/fontdialog.h"
#include "widgets/panel.h"
#include "windowfixture.h"

using testing_support::ReadBytes;
using testing_support::WhenModal;
using testing_support::WriteBytes;

namespace {

using namespace Qt::StringLiterals;

const QString Family = u"山田家のカレンダー"_s;

// The state file as the document writes the shape: UTF-8 with a byte-order mark, CRLF.
QByteArray ShapeSection(const char* month, const char* week, const QString& title,
                        const char* place, const QString& face = DefaultFontFace,
                        const char* bold = "1", const char* italic = "0") {
    return "\xEF\xBB\xBF[sheet]\r\nstartmonth=" + QByteArray(month) +
           "\r\nweekstart=" + QByteArray(week) + "\r\ntitle=" + title.toUtf8() +
           "\r\ntitleface=" + face.toUtf8() + "\r\ntitlebold=" + QByteArray(bold) +
           "\r\ntitleitalic=" + QByteArray(italic) + "\r\ntitleplace=" + QByteArray(place) + "\r\n";
}

QColor TextColor(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

// Whether a pixel is close to `colour`, as antialiased text in it is at its strongest.
bool Near(const QColor& pixel, const QColor& colour) {
    return std::abs(pixel.red() - colour.red()) < 40 &&
           std::abs(pixel.green() - colour.green()) < 40 &&
           std::abs(pixel.blue() - colour.blue()) < 40;
}

// Pixels of `image` within `rect` (logical pixels of the image) near `colour`.
int PixelsNear(const QImage& image, const QRect& rect, const QColor& colour) {
    const double ratio = image.devicePixelRatio();
    const QRect r(
        QPoint(int(rect.left() * ratio), int(rect.top() * ratio)),
        QPoint(int((rect.right() + 1) * ratio) - 1, int((rect.bottom() + 1) * ratio) - 1));
    int n = 0;
    for (int y = std::max(0, r.top()); y <= std::min(image.height() - 1, r.bottom()); ++y)
        for (int x = std::max(0, r.left()); x <= std::min(image.width() - 1, r.right()); ++x)
            if (Near(image.pixelColor(x, y), colour))
                ++n;
    return n;
}

class ShapeDialogTest : public testing_support::WindowTest {
  protected:
    const TSheetShape& Shape() { return Document().Model().Shape; }
    QString StateFile() const { return dir.filePath(u"tamurika-state.ini"_s); }

    /// Runs the menu command; `answer` works the dialog. True when the dialog appeared.
    bool RunDialog(const std::function<void(TShapeDialog*)>& answer) {
        return testing_support::RunMenuDialog<TShapeDialog>(form->MIshape, "始まりと題名", answer);
    }
};

// --- The dialog ------------------------------------------------------------------------------

TEST_F(ShapeDialogTest, OkAppliesTheThreeAsOneStepThatTheStateFileFollows) {
    EXPECT_EQ(form->MIshape->shortcut(), QKeySequence(u"Ctrl+T"_s));
    EXPECT_FALSE(QFile::exists(StateFile()));
    ASSERT_TRUE(RunDialog([](TShapeDialog* d) {
        EXPECT_EQ(d->windowTitle(), u"始まりと題名"_s);
        EXPECT_EQ(d->OkButton->text(), u"OK"_s);
        EXPECT_EQ(d->CancelButton->text(), u"キャンセル"_s);
        // The model's shape: January, Sunday, no title of their own.
        EXPECT_EQ(d->StartMonthBox->count(), 12);
        EXPECT_EQ(d->StartMonthBox->currentText(), u"1月"_s);
        EXPECT_EQ(d->RangeLabel->text(), u"2027年1月〜12月の12か月"_s);
        EXPECT_TRUE(d->SundayFirst->isChecked());
        EXPECT_TRUE(d->TitleEdit->text().isEmpty());
        EXPECT_TRUE(d->PlaceAbove->isChecked());

        d->StartMonthBox->setCurrentIndex(3);
        EXPECT_EQ(d->RangeLabel->text(), u"2027年4月〜2028年3月の12か月"_s);
        d->MondayFirst->click();
        d->TitleEdit->setText(Family);
        d->PlaceReplace->click();
        d->OkButton->click();
    }));
    TSheetShape expected;
    expected.StartMonth = 4;
    expected.WeekStart = TWeekStart::Monday;
    expected.Title.Text = Family;
    expected.Title.Place = TOwnTitlePlace::Replace;
    EXPECT_EQ(Shape(), expected);
    EXPECT_EQ(Document().Model().Year, 2027); // the sheet of 2027, from April
    const QByteArray after = ShapeSection("4", "monday", Family, "replace");
    EXPECT_EQ(ReadBytes(StateFile()), after);
    EXPECT_EQ(Document().UndoStack().count(), 1);
    EXPECT_EQ(form->MIundo->text(), u"元に戻す: 始まりと題名(&U)"_s);
    // No part of a settings slot: closing does not ask to save one.
    EXPECT_FALSE(Document().SettingsChanged);
    EXPECT_EQ(form->nenST->Caption(), Family);
    EXPECT_EQ(form->CalendarEx1->FirstDayOfWeek(), dowMon);

    form->UndoClick();
    EXPECT_EQ(Shape(), TSheetShape());
    EXPECT_EQ(ReadBytes(StateFile()), ShapeSection("1", "sunday", {}, "above"));
    EXPECT_EQ(form->nenST->Caption(), u"2027年"_s);
    EXPECT_EQ(form->CalendarEx1->FirstDayOfWeek(), dowSun);
    EXPECT_EQ(form->lblY[0]->text(), u"日"_s);
    form->RedoClick();
    EXPECT_EQ(Shape(), expected);
    EXPECT_EQ(ReadBytes(StateFile()), after);
    EXPECT_EQ(ReadSheetShape(dir.path()), expected);
    EXPECT_EQ(form->lblY[0]->text(), u"月"_s);
}

TEST_F(ShapeDialogTest, CancelAndAnUnchangedOkLeaveModelHistoryAndFileAlone) {
    ASSERT_TRUE(RunDialog([](TShapeDialog* d) {
        d->StartMonthBox->setCurrentIndex(9);
        d->MondayFirst->click();
        d->TitleEdit->setText(Family);
        d->CancelButton->click();
    }));
    EXPECT_EQ(Shape(), TSheetShape());
    EXPECT_FALSE(QFile::exists(StateFile()));
    EXPECT_EQ(Document().UndoStack().count(), 0);

    // Changed and changed back: nothing to undo, nothing written.
    ASSERT_TRUE(RunDialog([](TShapeDialog* d) {
        d->StartMonthBox->setCurrentIndex(3);
        d->StartMonthBox->setCurrentIndex(0);
        d->TitleEdit->setText(Family);
        d->TitleEdit->clear();
        d->OkButton->click();
    }));
    EXPECT_EQ(Shape(), TSheetShape());
    EXPECT_FALSE(QFile::exists(StateFile()));
    EXPECT_EQ(Document().UndoStack().count(), 0);
}

TEST_F(ShapeDialogTest, OnePartChangedIsAStepNamedForIt) {
    ASSERT_TRUE(RunDialog([](TShapeDialog* d) {
        d->MondayFirst->click();
        d->OkButton->click();
    }));
    EXPECT_EQ(Document().UndoStack().undoText(), u"週の始まり"_s);
    ASSERT_TRUE(RunDialog([](TShapeDialog* d) {
        EXPECT_TRUE(d->MondayFirst->isChecked()); // opens on the model as it is now
        d->TitleEdit->setText(Family);
        d->OkButton->click();
    }));
    EXPECT_EQ(Document().UndoStack().undoText(), u"題名"_s);
    EXPECT_EQ(Document().UndoStack().count(), 2);
}

TEST_F(ShapeDialogTest, ATitleIsOneLineOfSixtyCharactersAtMost) {
    ASSERT_TRUE(RunDialog([](TShapeDialog* d) {
        EXPECT_EQ(d->TitleEdit->maxLength(), OwnTitleMaxLength);
        d->TitleEdit->setText(QString(80, u'長'));
        EXPECT_EQ(d->TitleEdit->text().size(), OwnTitleMaxLength);
        // Pasted from elsewhere with a tab and a line break: one line, trimmed.
        d->TitleEdit->setText(u"  山田家\tの\nカレンダー  "_s);
        EXPECT_EQ(d->Shape().Title.Text, u"山田家 の カレンダー"_s);
        d->OkButton->click();
    }));
    EXPECT_EQ(Shape().Title.Text, u"山田家 の カレンダー"_s);
    EXPECT_EQ(ReadSheetShape(dir.path()).Title.Text, u"山田家 の カレンダー"_s);
}

TEST_F(ShapeDialogTest, TheFaceComesFromTheProgramsFontDialogAndThePreviewFollows) {
    ASSERT_TRUE(RunDialog([](TShapeDialog* d) {
        const QImage empty = d->Preview->grab().toImage();
        d->TitleEdit->setText(Family);
        const QImage above = d->Preview->grab().toImage();
        EXPECT_NE(above, empty);
        // Face and style are offered, as for the sheet's other titles.
        auto font = WhenModal(
            [](QWidget* w) {
                auto* chooser = qobject_cast<TFontChooser*>(w);
                ASSERT_NE(chooser, nullptr) << w->metaObject()->className();
                EXPECT_TRUE(chooser->findChild<QListWidget*>(u"Styles"_s)->isVisible());
                EXPECT_EQ(chooser->Face(), DefaultFontFace);
                EXPECT_EQ(chooser->Style(), fsBold);
                chooser->SetFace(u"IPAMincho"_s);
                chooser->SetStyle(fsItalic);
                chooser->accept();
            },
            d);
        d->FaceButtonClick();
        EXPECT_TRUE(*font);
        EXPECT_TRUE(d->FaceLabel->text().startsWith(u"IPAMincho"_s))
            << d->FaceLabel->text().toStdString();
        EXPECT_NE(d->Preview->grab().toImage(), above);
        d->PlaceReplace->click();
        EXPECT_NE(d->Preview->grab().toImage(), above);
        // Without its text the title is not printed, wherever it would go.
        d->TitleEdit->clear();
        EXPECT_EQ(d->Preview->grab().toImage(), empty);
        d->TitleEdit->setText(Family);
        d->OkButton->click();
    }));
    EXPECT_EQ(Shape().Title.Font, (TSlotFont{u"IPAMincho"_s, fsItalic}));
    EXPECT_EQ(Shape().Title.Place, TOwnTitlePlace::Replace);
    EXPECT_EQ(ReadBytes(StateFile()),
              ShapeSection("1", "sunday", Family, "replace", u"IPAMincho"_s, "0", "1"));
}

TEST(SheetRange, NamesTheFirstAndLastMonthOfTheSheet) {
    EXPECT_EQ(SheetRangeText(2027, 1), u"2027年1月〜12月の12か月"_s);
    EXPECT_EQ(SheetRangeText(2027, 2), u"2027年2月〜2028年1月の12か月"_s);
    EXPECT_EQ(SheetRangeText(2027, 4), u"2027年4月〜2028年3月の12か月"_s);
    EXPECT_EQ(SheetRangeText(2027, 12), u"2027年12月〜2028年11月の12か月"_s);
}

// --- The preview is the sheet ------------------------------------------------------------------

TEST(TitlePreview, DrawsTheTitleLinesPixelForPixelAsTheComposedSheet) {
    struct Case {
        const char* What;
        QString Text;
        TOwnTitlePlace Place;
    };
    const Case cases[] = {
        {"no own title", {}, TOwnTitlePlace::Above},
        {"above", Family, TOwnTitlePlace::Above},
        {"in place", Family, TOwnTitlePlace::Replace},
        // Set smaller to fit the line.
        {"long, above", QString(OwnTitleMaxLength, u'題'), TOwnTitlePlace::Above},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TCalendarModel model;
        model.Year = 2027;
        model.Settings.TitleStyle = 3;
        model.Settings.Fonts[sfYear] = {u"IPAMincho"_s, fsBold};
        model.Settings.Colors[scYear] = FromQColor(QColor(0, 96, 160));
        model.Shape.StartMonth = 10;
        model.Shape.Title = {c.Text, {u"IPAGothic"_s, fsBold}, c.Place};

        TTitlePreview preview;
        preview.ShowTitles(model);
        const QImage lines = preview.Lines(1).convertToFormat(QImage::Format_RGB32);
        const QSize size = preview.DesignSize();
        ASSERT_EQ(lines.size(), size);

        TImagePrinter printer(96);
        TSheetLayout sheet(&printer);
        ComposeSheet(sheet, model, TSheetUse::Preview);
        const QImage page =
            sheet.LightRep1->RenderPreview()->Image().convertToFormat(QImage::Format_RGB32);
        const QRect year = sheet.LRLayoutPanel2->PageRect().ToQRect();
        const int ownHeight = sheet.OwnTitlePanel->Height();
        const QImage yearLine = lines.copy(0, ownHeight, size.width(), size.height() - ownHeight);
        EXPECT_EQ(page.copy(year), yearLine);
        EXPECT_GT(PixelsNear(yearLine, yearLine.rect(), QColor(0, 96, 160)), 20);
        const QImage ownLine = lines.copy(0, 0, size.width(), ownHeight);
        if (c.Place == TOwnTitlePlace::Above && !c.Text.isEmpty()) {
            EXPECT_EQ(page.copy(sheet.OwnTitlePanel->PageRect().ToQRect()), ownLine);
            EXPECT_GT(PixelsNear(ownLine, ownLine.rect(), QColor(0, 96, 160)), 20);
        } else {
            QImage white(ownLine.size(), QImage::Format_RGB32);
            white.fill(Qt::white);
            EXPECT_EQ(ownLine, white);
        }
    }
}

// --- The sample month ------------------------------------------------------------------------

class ShapeSampleTest : public ShapeDialogTest {
  protected:
    /// The client rectangle of the sample's cell of a day of the month shown.
    QRect CellOf(int day) {
        TCalendarEx* c = form->CalendarEx1;
        const int offset = Julius::YMDToJD(c->Year(), c->Month(), day) - c->FirstCellJD();
        return c->CellRect(offset % 7, offset / 7 + 1).ToQRect();
    }
    void Key(int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(form->CalendarEx1, &press);
    }
};

TEST_F(ShapeSampleTest, WeeksFromMondayKeepEveryDayAndLetterInItsWeekdaysColour) {
    const QColor sunday(200, 0, 200);
    const QColor saturday(0, 0, 230);
    Document().SetColor(scSunday, FromQColor(sunday));
    Document().SetColor(scSaturday, FromQColor(saturday));
    Document().SetWeekStart(TWeekStart::Monday);
    TCalendarEx* c = form->CalendarEx1;
    EXPECT_EQ(c->FirstDayOfWeek(), dowMon);

    // June 2027 has no holiday: only its Sundays are in Sunday's colour, in the last column.
    c->SetJuliusDay(Julius::YMDToJD(2027, 6, 2));
    const QImage shown = c->BufferImage().copy();
    for (int day = 1; day <= 30; ++day) {
        SCOPED_TRACE(day);
        const std::int32_t jd = Julius::YMDToJD(2027, 6, day);
        const int weekday = Julius::JDDayOfWeek(jd) - 1; // 0 = Sunday
        const int offset = jd - c->FirstCellJD();
        EXPECT_EQ(WeekdayOfColumn(offset % 7, TWeekStart::Monday), weekday);
        EXPECT_EQ(PixelsNear(shown, CellOf(day), sunday) > 3, weekday == 0);
        EXPECT_EQ(PixelsNear(shown, CellOf(day), saturday) > 3, weekday == 6);
    }
    EXPECT_EQ(WeekdayOfColumn(CellOf(6).center().x() * 7 / c->ClientWidth(), TWeekStart::Monday),
              0);

    // The window's letters over the header: "月" .. "日", each over its column, Sunday's and
    // Saturday's in their colours.
    const char16_t* const letters[] = {u"月", u"火", u"水", u"木", u"金", u"土", u"日"};
    const QImage header = form->pnlYoubi->grab().toImage();
    for (int col = 0; col < 7; ++col) {
        SCOPED_TRACE(col);
        QLabel* label = form->lblY[col];
        EXPECT_EQ(label->text(), QString::fromUtf16(letters[col]));
        const QColor colour = col == 6 ? sunday : col == 5 ? saturday : QColor(Qt::black);
        EXPECT_EQ(TextColor(label), colour);
        EXPECT_EQ(PixelsNear(header, label->geometry(), sunday) > 3, col == 6);
        // Both lie on the sample's panel, the letters above the control.
        const QPoint centre = label->mapTo(form->Panel1, label->rect().center()) - c->pos() -
                              c->contentsRect().topLeft();
        const QRect cell = c->CellRect(col, 0).ToQRect();
        EXPECT_TRUE(centre.x() >= cell.left() && centre.x() <= cell.right())
            << centre.x() << " outside " << cell.left() << ".." << cell.right();
    }
    // A colour changed later follows the day too.
    const QColor other(0, 150, 150);
    Document().SetColor(scSunday, FromQColor(other));
    EXPECT_EQ(TextColor(form->lblY[6]), other);
    EXPECT_EQ(TextColor(form->lblY[0]), QColor(Qt::black));

    // Back to Sunday: undone, the sample and its letters are as they were.
    Document().SetWeekStart(TWeekStart::Sunday);
    EXPECT_EQ(c->FirstDayOfWeek(), dowSun);
    EXPECT_EQ(form->lblY[0]->text(), u"日"_s);
    EXPECT_EQ(TextColor(form->lblY[0]), other);
    form->UndoClick();
    form->UndoClick();
    EXPECT_EQ(c->BufferImage(), shown);
}

TEST_F(ShapeSampleTest, ASheetFromAprilTakesTheYearOfItsFirstMonth) {
    TCalendarEx* c = form->CalendarEx1;
    c->SetJuliusDay(Julius::YMDToJD(2027, 1, 15));
    Document().UndoStack().clear();
    // The sheet of 2027 from April holds January 2028: the sample moves there.
    Document().SetStartMonth(4);
    EXPECT_EQ(Document().Model().Year, 2027);
    EXPECT_EQ(c->Year(), 2028);
    EXPECT_EQ(c->Month(), 1);
    EXPECT_EQ(c->Day(), 15);
    EXPECT_EQ(form->nenST->Caption(), u"2027年4月〜2028年3月"_s);
    EXPECT_EQ(form->tukiST->Caption(), u"1月"_s);
    EXPECT_EQ(Document().UndoStack().count(), 1); // the sample's move is no step of its own

    // March 2028 to April 2028 by the page keys is a new sheet, and back.
    c->SetJuliusDay(Julius::YMDToJD(2028, 3, 31));
    EXPECT_EQ(Document().Model().Year, 2027);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(c->Month(), 4);
    EXPECT_EQ(Document().Model().Year, 2028);
    EXPECT_EQ(form->nenST->Caption(), u"2028年4月〜2029年3月"_s);
    EXPECT_EQ(form->tukiST->Caption(), u"4月"_s);
    EXPECT_EQ(Document().UndoStack().undoText(), u"印刷する年"_s);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(c->Month(), 3);
    EXPECT_EQ(Document().Model().Year, 2027);
    EXPECT_EQ(form->nenST->Caption(), u"2027年4月〜2028年3月"_s);
    // So do the arrow keys across the sheet's edge.
    c->SetJuliusDay(Julius::YMDToJD(2028, 3, 31));
    Key(Qt::Key_Right);
    EXPECT_EQ(Document().Model().Year, 2028);

    // The year buttons keep the month: next year's March is in the next sheet's second year.
    c->SetJuliusDay(Julius::YMDToJD(2028, 3, 10));
    form->Button5Click();
    EXPECT_EQ(Document().Model().Year, 2028);
    EXPECT_EQ(c->Year(), 2029);
    EXPECT_EQ(c->Month(), 3);
    form->Button2Click();
    form->Button2Click();
    EXPECT_EQ(Document().Model().Year, 2026);
    EXPECT_EQ(c->Year(), 2027);

    // An undone start month puts the sample back into the sheet of January.
    Document().UndoStack().clear();
    Document().SetStartMonth(1);
    EXPECT_EQ(c->Year(), 2026);
    EXPECT_EQ(c->Month(), 3);
    form->UndoClick();
    EXPECT_EQ(c->Year(), 2027);
    EXPECT_EQ(Document().Model().Year, 2026);

    // "今年": the sheet that holds today.
    form->Button6Click();
    const QDate today = QDate::currentDate();
    EXPECT_EQ(Document().Model().Year, today.month() >= 4 ? today.year() : today.year() - 1);
    EXPECT_EQ(c->Month(), today.month());
}

TEST_F(ShapeSampleTest, AStartFromAStateFileShowsTheSheetHoldingTodayFromItsFirstMonth) {
    WriteBytes(StateFile(), "[sheet]\r\nstartmonth=4\r\nweekstart=monday\r\n");
    form = std::make_unique<TmainForm>(dir.path());
    form->show();
    const QDate today = QDate::currentDate();
    const int sheetYear = today.month() >= 4 ? today.year() : today.year() - 1;
    EXPECT_EQ(Document().Model().Year, sheetYear);
    EXPECT_EQ(form->CalendarEx1->Year(), sheetYear);
    EXPECT_EQ(form->CalendarEx1->Month(), 4);
    EXPECT_EQ(form->CalendarEx1->Day(), 1);
    EXPECT_EQ(form->CalendarEx1->FirstDayOfWeek(), dowMon);
    EXPECT_EQ(form->lblY[6]->text(), u"日"_s);
    EXPECT_EQ(form->nenST->Caption(), u"%1年4月〜%2年3月"_s.arg(sheetYear).arg(sheetYear + 1));
    EXPECT_EQ(Document().UndoStack().count(), 0);
}

TEST_F(ShapeSampleTest, TheOwnTitleInTheYearTitlesPanel) {
    TOwnTitle title{Family, {u"IPAMincho"_s, fsBold}, TOwnTitlePlace::Replace};
    Document().SetOwnTitle(title);
    // In its place: the own title in its face, the year title in the tool tip.
    EXPECT_EQ(form->nenST->Caption(), Family);
    EXPECT_EQ(form->nenST->font().family(), u"IPAMincho"_s);
    EXPECT_TRUE(form->nenST->toolTip().contains(u"2027年"_s))
        << form->nenST->toolTip().toStdString();
    // Above: the panel has no room for two lines; the year title, the own title in the tool tip.
    title.Place = TOwnTitlePlace::Above;
    Document().SetOwnTitle(title);
    EXPECT_EQ(form->nenST->Caption(), u"2027年"_s);
    EXPECT_TRUE(form->nenST->toolTip().contains(Family));
    // The year colour, both ways.
    EXPECT_EQ(form->nenST->FontColor(), Document().Model().Settings.Colors[scYear]);
    form->UndoClick();
    EXPECT_EQ(form->nenST->Caption(), Family);
    form->UndoClick();
    EXPECT_EQ(form->nenST->Caption(), u"2027年"_s);
    EXPECT_TRUE(form->nenST->toolTip().isEmpty());
}

TEST(SampleTitle, LongTitlesAreSetSmallerAndCutOnlyBelowTheSmallestSize) {
    TCalendarModel model;
    model.Year = 2027;
    const int width = 219;
    const auto fits = [width](const TSampleTitle& t) {
        return QFontMetricsF(t.Font).horizontalAdvance(t.Text) <= width;
    };
    // Every style's longest year title, over the end of an era, fits whole.
    model.Shape.StartMonth = 10;
    for (int style = 0; style < 8; ++style) {
        model.Settings.TitleStyle = style;
        for (int year : {2018, 2027}) {
            model.Year = year;
            const TSampleTitle t = SampleYearTitle(model, width, 13);
            EXPECT_EQ(t.Text, model.YearTitle()) << style << " " << year;
            EXPECT_TRUE(fits(t)) << t.Text.toStdString();
            EXPECT_GE(t.Font.pixelSize(), 10) << t.Text.toStdString();
        }
    }
    // A short title keeps the sample's size.
    model.Settings.TitleStyle = 0;
    model.Shape.StartMonth = 1;
    EXPECT_EQ(SampleYearTitle(model, width, 13).Font.pixelSize(), 13);
    // The longest own title in its place: the smallest size, cut, and whole in the tool tip.
    model.Shape.Title = {QString(OwnTitleMaxLength, u'題'), {}, TOwnTitlePlace::Replace};
    const TSampleTitle cut = SampleYearTitle(model, width, 13);
    EXPECT_EQ(cut.Font.pixelSize(), SampleTitleMinHeight);
    EXPECT_TRUE(cut.Text.endsWith(u'…')) << cut.Text.toStdString();
    EXPECT_TRUE(fits(cut));
    EXPECT_TRUE(cut.ToolTip.contains(model.Shape.Title.Text));
}

} // namespace
