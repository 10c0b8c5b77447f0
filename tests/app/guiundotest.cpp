// Undo and redo in the real main window on a real X server (Xvfb). Each kind of change is made as
// a user makes it, the keys and the mouse going through the server (xdotool's XTEST events): the
// year buttons, a photo, the frame mode from the sample's menu, a drag and the wheel on the
// sample, the four font dialogs, the eight colour dialogs, the title style's list, a settings
// slot, the colour reset, the sheet's shape in its dialog, the paper and the position in the
// preview window. Then Ctrl+Z is pressed, and Ctrl+Y (or Ctrl+Shift+Z): the sample and the sheet
// composed from the window's calendar, as tamurika-export's --png draws it, must be pixel for
// pixel as before the change, and as after it again.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <optional>

#include <QAbstractItemView>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QThread>
#include <QToolButton>
#include <QUndoStack>
#include <QWindow>

#include "app/fontreadunit.h"
#include "app/mainunit.h"
#include "app/qtprint.h"
#include "app/shapedialog.h"
#include "common/files.h"
#include "common/imagemagick.h"
#include "common/modelprint.h"
#include "modal.h"
#include "model/calendardocument.h"
#include "model/framingmemory.h"
#include "platform/bitmap.h"
#include "platform/tcolor.h"
#include "preview/printlrunit.h"
#include "sheet/sheetcomposition.h"
#include "sheet/sheetlayout.h"
#include "widgets/application.h"
#include "widgets/fontdialog.h"
#include "widgets/image.h"
#include "widgets/panel.h"

namespace {

using namespace Qt::StringLiterals;
using testing_support::ReadBytes;
using testing_support::WhenModal;

// Runs the event loop until `done` holds or ten seconds have passed; whether it holds.
bool EventsUntil(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return done();
}

// The user's hands: keys and mouse events that the X server sends to the window under the
// pointer or with the focus, as from a keyboard and a mouse (xdotool, through XTEST).
namespace hands {

bool Xdotool(const QStringList& args) {
    QProcess xdotool;
    xdotool.start(u"xdotool"_s, args);
    const bool ok = xdotool.waitForFinished(10000) &&
                    xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
    EXPECT_TRUE(ok) << "xdotool " << args.join(u' ').toStdString() << ": "
                    << xdotool.readAllStandardError().toStdString();
    return ok;
}

/// The pointer moved to `at` in the widget, in the server's pixels.
QStringList MoveTo(QWidget* widget, QPoint at) {
    const QPoint global =
        (QPointF(widget->mapToGlobal(at)) * widget->devicePixelRatioF()).toPoint();
    return {u"mousemove"_s, QString::number(global.x()), QString::number(global.y())};
}

/// Presses keys as xdotool names them ("ctrl+z"), one after another where blanks part them.
bool Keys(const QString& keys) {
    return Xdotool(QStringList{u"key"_s} + keys.split(u' '));
}

/// A click of `button` (1 left, 3 right) at `at` in the widget, or in its middle.
bool Click(QWidget* widget, std::optional<QPoint> at = std::nullopt, int button = 1) {
    return Xdotool(MoveTo(widget, at.value_or(widget->rect().center()))
                   << u"click"_s << QString::number(button));
}

/// The left button pressed at the path's first point, moved along it, released at its last.
bool Drag(QWidget* widget, const QList<QPoint>& path) {
    QStringList args = MoveTo(widget, path.front()) << u"mousedown"_s << u"1"_s;
    for (const QPoint& p : path.mid(1))
        args << MoveTo(widget, p);
    args << u"mouseup"_s << u"1"_s;
    return Xdotool(args);
}

/// Notches of the wheel away from the user (zooming in) at `at`.
bool Wheel(QWidget* widget, QPoint at, int notches) {
    return Xdotool(MoveTo(widget, at) << u"click"_s << u"--repeat"_s << QString::number(notches)
                                      << u"--delay"_s << u"20"_s << u"4"_s);
}

/// Picks entry `row` from the open list of a combo box, by the mouse.
bool PickFromList(QComboBox* combo, int row) {
    if (!Click(combo) || !EventsUntil([combo] { return combo->view()->isVisible(); }))
        return false;
    QAbstractItemView* list = combo->view();
    // The entry's rectangle may reach past the list's narrow window.
    const QRect item =
        list->visualRect(combo->model()->index(row, 0)).intersected(list->viewport()->rect());
    return Click(list->viewport(), item.center());
}

/// Chooses `action` from `menu` once it is open.
bool Choose(QMenu* menu, QAction* action) {
    if (!EventsUntil([menu] { return menu->isVisible() && menu->windowHandle()->isExposed(); }))
        return false;
    return Click(menu, menu->actionGeometry(action).center());
}

} // namespace hands

// The sheet composed from a calendar model and drawn as tamurika-export's --png draws it.
QImage SheetOf(const TCalendarModel& model) {
    TSheetLayout sheet;
    ComposeSheet(sheet, model, TSheetUse::Preview);
    return sheet.LightRep1->RenderPreview()->Image();
}

// Where two pictures differ, for a failure's message.
std::string Difference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return "sizes differ";
    int count = 0;
    QPoint first(-1, -1);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y) && count++ == 0)
                first = QPoint(x, y);
    return std::to_string(count) + " pixels differ, the first at " + std::to_string(first.x()) +
           "," + std::to_string(first.y());
}

// What the window shows of its calendar: the model, the sample and the sheet.
struct TShown {
    TCalendarModel Model;
    QImage Sample;
    QImage Sheet;
};

enum class TInSample { Shown, NotShown };

// A change made, with what was shown before and after it.
struct TStep {
    QString Name;
    int Index = 0; // the history's index after the change
    TShown Before;
    TShown After;
};

class UndoInTheWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        // A slot saved by an earlier run, and the slot the run starts with never saved.
        testing_support::WriteBytes(
            dir.filePath(u"tamurika.ini"_s),
            "[settei2]\r\ncomment=family\r\nfont1=IPAMincho\r\nfs11=1\r\nfs12=0\r\n"
            "YYcolor=32768\r\nMMcolor=8388608\r\nNichicolor=8421376\r\nSucolor=14737632\r\n"
            "Sencolor=8388736\r\nzenkaiym=3\r\n");
        form = std::make_unique<TmainForm>(dir.path());
        form->show();
        ASSERT_TRUE(EventsUntil([this] { return form->windowHandle()->isExposed(); }));
        ASSERT_TRUE(Activate(form.get()));
    }
    void TearDown() override { testing_support::CancelPendingAnswers(); }

    TCalendarDocument& Document() { return form->Document(); }
    QUndoStack& History() { return form->Document().UndoStack(); }
    const TCalendarModel& Model() { return form->Document().Model(); }

    /// Gives `window` the keyboard, as a click on its title would.
    static bool Activate(QWidget* window) {
        window->activateWindow();
        return EventsUntil([window] { return QApplication::activeWindow() == window; });
    }

    TShown Shown() {
        QCoreApplication::processEvents();
        return {Model(), form->Panel1->grab().toImage(), SheetOf(Model())};
    }

    QString LoadPhoto(int w = 1500, int h = 1000) {
        const QString file = dir.filePath(u"photo-%1x%2.jpg"_s.arg(w).arg(h));
        EXPECT_TRUE(testing_support::MakeQuarters(file, w, h));
        form->LoadPictureFile(file);
        return file;
    }

    /// Makes a change by `change`, which returns once it is made: one step named `name`, shown
    /// on the sheet, and in the sample where the sample shows it.
    TStep Change(const QString& name, TInSample inSample, const std::function<void()>& change) {
        TStep step;
        step.Name = name;
        step.Before = Shown();
        const int index = History().index();
        change();
        EXPECT_TRUE(EventsUntil([&] { return History().index() == index + 1; }))
            << "no step was made";
        step.Index = History().index();
        step.After = Shown();
        EXPECT_EQ(History().count(), index + 1) << "one change, one step";
        EXPECT_EQ(History().undoText(), name);
        EXPECT_EQ(form->MIundo->text(), u"元に戻す: "_s + name + u"(&U)"_s);
        EXPECT_TRUE(form->MIundo->isEnabled());
        EXPECT_FALSE(form->MIredo->isEnabled());
        EXPECT_NE(step.After.Model, step.Before.Model);
        EXPECT_FALSE(step.After.Sheet == step.Before.Sheet) << "the sheet does not show it";
        if (inSample == TInSample::Shown)
            EXPECT_FALSE(step.After.Sample == step.Before.Sample) << "the sample does not show it";
        else
            EXPECT_TRUE(step.After.Sample == step.Before.Sample)
                << Difference(step.After.Sample, step.Before.Sample);
        return step;
    }

    /// Ctrl+Z: everything as before the step.
    void Undo(const TStep& step) {
        ASSERT_TRUE(Activate(form.get()));
        ASSERT_TRUE(hands::Keys(u"ctrl+z"_s));
        ASSERT_TRUE(EventsUntil([&] { return History().index() == step.Index - 1; }))
            << "Ctrl+Z undid nothing";
        const TShown undone = Shown();
        EXPECT_EQ(undone.Model, step.Before.Model);
        EXPECT_TRUE(undone.Sheet == step.Before.Sheet)
            << "sheet: " << Difference(undone.Sheet, step.Before.Sheet);
        EXPECT_TRUE(undone.Sample == step.Before.Sample)
            << "sample: " << Difference(undone.Sample, step.Before.Sample);
        EXPECT_EQ(form->MIredo->text(), u"やり直し: "_s + step.Name + u"(&R)"_s);
        EXPECT_TRUE(form->MIredo->isEnabled());
    }

    /// Ctrl+Y, or Ctrl+Shift+Z: everything as after the step.
    void Redo(const TStep& step, const QString& keys = u"ctrl+y"_s) {
        ASSERT_TRUE(Activate(form.get()));
        ASSERT_TRUE(hands::Keys(keys));
        ASSERT_TRUE(EventsUntil([&] { return History().index() == step.Index; }))
            << keys.toStdString() << " did nothing again";
        const TShown redone = Shown();
        EXPECT_EQ(redone.Model, step.After.Model);
        EXPECT_TRUE(redone.Sheet == step.After.Sheet)
            << "sheet: " << Difference(redone.Sheet, step.After.Sheet);
        EXPECT_TRUE(redone.Sample == step.After.Sample)
            << "sample: " << Difference(redone.Sample, step.After.Sample);
        EXPECT_EQ(form->MIundo->text(), u"元に戻す: "_s + step.Name + u"(&U)"_s);
    }

    void ChangeUndoRedo(const QString& name, TInSample inSample,
                        const std::function<void()>& change,
                        const QString& redoKeys = u"ctrl+y"_s) {
        SCOPED_TRACE(name.toStdString());
        const TStep step = Change(name, inSample, change);
        Undo(step);
        Redo(step, redoKeys);
    }

    /// Opens the colour column, as ">>" does.
    void Widen() {
        ASSERT_TRUE(hands::Click(form->SbtnKShow));
        ASSERT_TRUE(EventsUntil([this] {
            return form->centralWidget()->width() == TmainForm::WideClientWidth &&
                   form->width() >= TmainForm::WideClientWidth;
        }));
        // The window's new size goes to the server before any click on the column.
        QCoreApplication::processEvents();
    }

    /// Runs `inPreview` in the preview window that "ﾌﾟﾚﾋﾞｭ-＆印刷" opens, then closes it.
    void InThePreview(const std::function<void(TFrmPrtLR&)>& inPreview) {
        auto seen = WhenModal([&inPreview](QWidget* w) {
            auto* preview = qobject_cast<TFrmPrtLR*>(w);
            ASSERT_NE(preview, nullptr) << w->metaObject()->className();
            EXPECT_TRUE(EventsUntil([preview] { return preview->windowHandle()->isExposed(); }));
            EXPECT_TRUE(Activate(preview));
            inPreview(*preview);
            hands::Click(preview->BtnEnd);
            EventsUntil([preview] { return !preview->isVisible(); });
            if (preview->isVisible())
                preview->reject();
        });
        ASSERT_TRUE(hands::Click(form->Button1));
        ASSERT_TRUE(EventsUntil([&seen] { return *seen; })) << "no preview window";
        EXPECT_TRUE(EventsUntil([] { return QApplication::activeModalWidget() == nullptr; }));
    }

    QTemporaryDir dir; // the program's folder
    std::unique_ptr<TmainForm> form;
};

// --- The year, the photo and its framing -------------------------------------------------------

TEST_F(UndoInTheWindow, NextAndPreviousYearWithCtrlYAndCtrlShiftZ) {
    EXPECT_EQ(form->MIundo->text(), u"元に戻す(&U)"_s);
    EXPECT_FALSE(form->MIundo->isEnabled());
    EXPECT_EQ(form->MIredo->text(), u"やり直し(&R)"_s);
    const int year = Model().Year;
    ChangeUndoRedo(u"印刷する年"_s, TInSample::Shown, [this] { hands::Click(form->Button5); });
    EXPECT_EQ(Model().Year, year + 1);
    ChangeUndoRedo(
        u"印刷する年"_s, TInSample::Shown, [this] { hands::Click(form->Button2); },
        u"ctrl+shift+z"_s);
    EXPECT_EQ(Model().Year, year);
    // Both undone, nothing is left to undo.
    hands::Keys(u"ctrl+z"_s);
    hands::Keys(u"ctrl+z"_s);
    EXPECT_TRUE(EventsUntil([this] { return History().index() == 0; }));
    EXPECT_EQ(Model().Year, year);
    EXPECT_EQ(form->MIundo->text(), u"元に戻す(&U)"_s);
    EXPECT_FALSE(form->MIundo->isEnabled());
}

TEST_F(UndoInTheWindow, APhotoAndItsFrameMode) {
    ChangeUndoRedo(u"画像の読み込み"_s, TInSample::Shown, [this] { LoadPhoto(); });
    // "枠いっぱい" and back from the sample's own menu.
    const auto frame = [this](QAction* mode) {
        hands::Click(form->Image1, QPoint(100, 80), 3);
        hands::Choose(form->PictureMenu, mode);
    };
    ChangeUndoRedo(u"枠いっぱい"_s, TInSample::Shown, [&] { frame(form->MIframeFill); });
    EXPECT_EQ(Model().Framing.Mode, TFrameMode::Fill);
    EXPECT_TRUE(form->MIframeFill->isChecked());
    ChangeUndoRedo(u"枠に合わせる"_s, TInSample::Shown, [&] { frame(form->MIframeFit); });
    EXPECT_TRUE(form->MIframeFit->isChecked());
}

TEST_F(UndoInTheWindow, ADragOnTheSampleIsOneStep) {
    const QString photo = LoadPhoto();
    const QSize size(1500, 1000);
    Document().SetFrameMode(TFrameMode::Fill);
    // Zoomed in, so that the photo reaches past the box every way.
    Document().BeginFramingRun();
    Document().SetFraming({TFrameMode::Fill, 0.5, 0.5, 2});
    Document().EndFramingRun();
    const TPictureFraming start = Model().Framing;
    const TFramingMemory memory(Document().AppPath);
    // The memory keeps ten digits of each value.
    const auto kept = [&](const TPictureFraming& f) {
        const std::optional<TPictureFraming> r = memory.Recall(photo, size);
        return r && r->Mode == f.Mode && std::abs(r->FocusX - f.FocusX) < 1e-9 &&
               std::abs(r->FocusY - f.FocusY) < 1e-9 && std::abs(r->Zoom - f.Zoom) < 1e-9;
    };
    ChangeUndoRedo(u"写真の位置と大きさ"_s, TInSample::Shown, [&] {
        hands::Drag(form->Image1, {{150, 90}, {140, 85}, {130, 78}, {120, 70}});
        // The drag is over when the part it chose is kept for the photo.
        EXPECT_TRUE(EventsUntil([&] { return Model().Framing != start && kept(Model().Framing); }));
    });
    // Dragged left by 30 and up by 20 pixels: the part to the right and below shows.
    EXPECT_EQ(Model().Framing, DragFraming(start, 1500, 1000, 224, 168, -30, -20));
    // Undone, the part kept for the photo is the one shown again.
    hands::Keys(u"ctrl+z"_s);
    EXPECT_TRUE(EventsUntil([&] { return Model().Framing == start; }));
    EXPECT_TRUE(kept(start));
}

TEST_F(UndoInTheWindow, ARunOfWheelNotchesIsOneStep) {
    LoadPhoto();
    Document().SetFrameMode(TFrameMode::Fill);
    ChangeUndoRedo(u"写真の位置と大きさ"_s, TInSample::Shown, [this] {
        hands::Wheel(form->Image1, QPoint(60, 40), 3);
        // Three notches double the zoom.
        EXPECT_TRUE(EventsUntil([this] { return std::abs(Model().Framing.Zoom - 2) < 1e-9; }))
            << Model().Framing.Zoom;
    });
}

// --- Fonts, colours, title style, slots ------------------------------------------------------

TEST_F(UndoInTheWindow, TheFourFonts) {
    QPushButton* const buttons[] = {form->Button11, form->Button3, form->Button10, form->Button12};
    const char16_t* const names[] = {u"年のフォント", u"月のフォント", u"日のフォント",
                                     u"曜日のフォント"};
    for (int k = 0; k < SheetFontCount; ++k) {
        // The sample keeps its own fonts: only the sheet shows them.
        ChangeUndoRedo(QString::fromUtf16(names[k]), TInSample::NotShown, [&] {
            auto seen = WhenModal([](QWidget* w) {
                auto* chooser = qobject_cast<TFontChooser*>(w);
                ASSERT_NE(chooser, nullptr) << w->metaObject()->className();
                chooser->SetFace(u"IPAMincho"_s);
                chooser->SetStyle(fsBold);
                chooser->accept();
            });
            hands::Click(buttons[k]);
            EXPECT_TRUE(EventsUntil([&seen] { return *seen; })) << "no font dialog";
        });
        EXPECT_EQ(Model().Settings.Fonts[k], (TSlotFont{u"IPAMincho"_s, fsBold}));
    }
}

TEST_F(UndoInTheWindow, TheEightColours) {
    Widen();
    const char16_t* const names[] = {u"年のフォントの色",     u"月のフォントの色",
                                     u"平日のフォントの色",   u"日曜日、休日のフォントの色",
                                     u"土曜日のフォントの色", u"日付の背景の色",
                                     u"曜日の背景の色",       u"線の色"};
    for (int c = 0; c < SheetColorCount; ++c) {
        const QColor colour(40 + 20 * c, 160 - 10 * c, 90 + 15 * c);
        ChangeUndoRedo(QString::fromUtf16(names[c]), TInSample::Shown, [&] {
            auto seen = WhenModal([colour](QWidget* w) {
                auto* dialog = qobject_cast<QColorDialog*>(w);
                ASSERT_NE(dialog, nullptr) << w->metaObject()->className();
                dialog->setCurrentColor(colour);
                dialog->accept();
            });
            hands::Click(form->ColorButtons[c]);
            EXPECT_TRUE(EventsUntil([&seen] { return *seen; })) << "no colour dialog";
        });
        EXPECT_EQ(ToQColor(Model().Settings.Colors[c]), colour);
        // The column's swatch too, after the undo and the redo.
        EXPECT_EQ(form->Swatches[c]->Color(), Model().Settings.Colors[c]);
    }
}

TEST_F(UndoInTheWindow, TheTitleStyleChosenFromItsList) {
    ChangeUndoRedo(u"年月の表示"_s, TInSample::Shown,
                   [this] { hands::PickFromList(form->ComboBox3, 3); });
    EXPECT_EQ(Model().Settings.TitleStyle, 3);
    EXPECT_EQ(form->ComboBox3->currentIndex(), 3);
    hands::Keys(u"ctrl+z"_s);
    EXPECT_TRUE(EventsUntil([this] { return form->ComboBox3->currentIndex() == 0; }));
}

TEST_F(UndoInTheWindow, ASlotLoadedFromTheFileMenu) {
    QMenu* file = nullptr;
    for (QAction* a : form->menuBar()->actions())
        if (a->text() == u"ﾌｧｲﾙ(&F)"_s)
            file = a->menu();
    ASSERT_NE(file, nullptr);
    ChangeUndoRedo(u"設定の読み込み"_s, TInSample::Shown, [&] {
        auto seen = WhenModal([](QWidget* w) {
            auto* dialog = qobject_cast<TFrmfontRead*>(w);
            ASSERT_NE(dialog, nullptr) << w->metaObject()->className();
            dialog->RadioButton[1]->click();
            dialog->Button1->click();
        });
        hands::Click(form->menuBar(), form->menuBar()->actionGeometry(file->menuAction()).center());
        hands::Choose(file, form->MIfontRead);
        EXPECT_TRUE(EventsUntil([&seen] { return *seen; })) << "no load dialog";
    });
    EXPECT_EQ(Document().CurrentSlot, 2);
    EXPECT_EQ(Model().Settings.Fonts[sfYear], (TSlotFont{u"IPAMincho"_s, fsBold}));
    EXPECT_EQ(Model().Settings.Colors[scYear], clGreen);
    EXPECT_EQ(Model().Settings.TitleStyle, 3);
}

TEST_F(UndoInTheWindow, TheColoursResetAfterTheQuestion) {
    Document().LoadSlot(2);
    Widen();
    ChangeUndoRedo(u"色を初期値に戻す"_s, TInSample::Shown, [this] {
        auto seen = testing_support::AnswerMessage(QMessageBox::Yes);
        hands::Click(form->Button21);
        EXPECT_TRUE(EventsUntil([&seen] { return *seen; })) << "no question";
    });
    EXPECT_EQ(Model().Settings.Colors, TSlotSettings().Colors);
}

// --- The sheet's shape, chosen by keys in its dialog ---------------------------------------------

TEST_F(UndoInTheWindow, TheSheetsShapeChosenByKeysInTheDialogThatCtrlTOpens) {
    ChangeUndoRedo(u"始まりと題名"_s, TInSample::Shown, [this] {
        auto seen = WhenModal([](QWidget* w) {
            auto* d = qobject_cast<TShapeDialog*>(w);
            ASSERT_NE(d, nullptr) << w->metaObject()->className();
            EXPECT_TRUE(EventsUntil([d] { return d->windowHandle()->isExposed(); }));
            EXPECT_TRUE(Activate(d));
            // The title's field has the focus; the rest is reached by the mnemonics.
            hands::Xdotool({u"type"_s, u"--delay"_s, u"30"_s, u"Yamada"_s});
            EXPECT_TRUE(EventsUntil([d] { return d->TitleEdit->text() == u"Yamada"_s; }))
                << d->TitleEdit->text().toStdString();
            hands::Keys(u"alt+r alt+m alt+s Down Down Down"_s);
            EXPECT_TRUE(EventsUntil([d] {
                return d->PlaceReplace->isChecked() && d->MondayFirst->isChecked() &&
                       d->StartMonthBox->currentIndex() == 3;
            }));
            hands::Click(d->OkButton);
            EventsUntil([d] { return !d->isVisible(); });
            if (d->isVisible())
                d->reject();
        });
        ASSERT_TRUE(Activate(form.get()));
        ASSERT_TRUE(hands::Keys(u"ctrl+t"_s));
        EXPECT_TRUE(EventsUntil([&seen] { return *seen; })) << "Ctrl+T opened no dialog";
    });
    EXPECT_EQ(Model().Shape.StartMonth, 4);
    EXPECT_EQ(Model().Shape.WeekStart, TWeekStart::Monday);
    EXPECT_EQ(Model().Shape.Title.Text, u"Yamada"_s);
    EXPECT_EQ(Model().Shape.Title.Place, TOwnTitlePlace::Replace);
    EXPECT_EQ(form->nenST->Caption(), u"Yamada"_s);
}

// --- Paper and position, chosen in the preview window --------------------------------------------

TEST_F(UndoInTheWindow, ThePaperChosenInThePreview) {
    const QString state = dir.filePath(u"tamurika-state.ini"_s);
    const TStep step = Change(u"用紙"_s, TInSample::NotShown, [&] {
        InThePreview([&](TFrmPrtLR& preview) {
            hands::PickFromList(preview.CmbPaper, 1); // A3
            EXPECT_TRUE(EventsUntil([this] { return Model().Paper == psA3; }));
            EXPECT_EQ(preview.CmbPaper->currentText(), u"A3"_s);
        });
    });
    EXPECT_EQ(ReadBytes(state), "\xEF\xBB\xBF[paper]\r\nsize=A3\r\n");
    Undo(step);
    EXPECT_EQ(Model().Paper, psA4);
    EXPECT_EQ(ReadBytes(state), "\xEF\xBB\xBF[paper]\r\nsize=A4\r\n");
    Redo(step);
    EXPECT_EQ(ReadBytes(state), "\xEF\xBB\xBF[paper]\r\nsize=A3\r\n");
}

TEST_F(UndoInTheWindow, ThePositionAppliedInThePreview) {
    const QString senoruta = dir.filePath(u"senoruta.ini"_s);
    int chosen = 0;
    const TStep step = Change(u"左右の位置"_s, TInSample::NotShown, [&] {
        InThePreview([&](TFrmPrtLR& preview) {
            // The slider moved by its keys, then "位置決定".
            preview.TrackBar1->setFocus();
            hands::Keys(u"Right Right Right"_s);
            EXPECT_TRUE(EventsUntil([&] { return preview.TrackBar1->value() == 3; }));
            EXPECT_EQ(Model().Position, 0); // not before it is applied
            hands::Click(preview.SpeedButton1);
            EXPECT_TRUE(EventsUntil([this] { return Model().Position == 3; }));
            chosen = Model().Position;
        });
    });
    EXPECT_EQ(chosen, 3);
    EXPECT_EQ(ReadBytes(senoruta), "[senoruta]\r\nLRichi=3\r\n");
    Undo(step);
    EXPECT_EQ(ReadBytes(senoruta), "[senoruta]\r\nLRichi=0\r\n");
    Redo(step);
    EXPECT_EQ(ReadBytes(senoruta), "[senoruta]\r\nLRichi=3\r\n");
}

// --- The other shortcuts
// ---------------------------------------------------------------------------

TEST_F(UndoInTheWindow, CtrlOOpensThePictureDialogAndCtrlPThePreview) {
    const TCalendarModel before = Model();
    auto seen = WhenModal([](QWidget* w) {
        EXPECT_NE(qobject_cast<QFileDialog*>(w), nullptr) << w->metaObject()->className();
        EXPECT_EQ(w->windowTitle(), u"画像の読み込み"_s);
        qobject_cast<QDialog*>(w)->reject();
    });
    ASSERT_TRUE(hands::Keys(u"ctrl+o"_s));
    EXPECT_TRUE(EventsUntil([&seen] { return *seen; })) << "Ctrl+O opened no dialog";

    ASSERT_TRUE(Activate(form.get()));
    seen = WhenModal([](QWidget* w) {
        auto* preview = qobject_cast<TFrmPrtLR*>(w);
        EXPECT_NE(preview, nullptr) << w->metaObject()->className();
        qobject_cast<QDialog*>(w)->close();
    });
    ASSERT_TRUE(hands::Keys(u"ctrl+p"_s));
    EXPECT_TRUE(EventsUntil([&seen] { return *seen; })) << "Ctrl+P opened no preview";
    EXPECT_EQ(Model(), before);
    EXPECT_EQ(History().count(), 0);
}

} // namespace

// On a real X server Qt's platform plugin asks for the session bus, and libdbus keeps a block
// it never frees when there is none; LeakSanitizer is told so, and nothing else.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\nleak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Qt's own dialogs keep their state in the user's configuration folder; not the tester's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    TApplication app(argc, argv);
    TApplication::setApplicationDisplayName(u"たむりか"_s);
    return RUN_ALL_TESTS();
}
