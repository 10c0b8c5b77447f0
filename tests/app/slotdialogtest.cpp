// The settings-slot dialogs through the main window's menu commands: layout, comment rules, a
// save and load round trip with the file's exact bytes, and a file that cannot be written.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "../common/files.h"
#include "app/fontreadunit.h"
#include "app/fontsaveunit1.h"
#include "app/mainunit.h"
#include "calex/calex.h"
#include "modal.h"
#include "model/calendardocument.h"
#include "qtprint.h"
#include "settings/inifile.h"
#include "widgets/panel.h"

using testing_support::AnswerMessage;
using testing_support::WhenModal;

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

const QByteArray SjisNengayou("\x94\x4E\x89\xEA\x97\x70"); // 年賀用
const QByteArray
    SjisMsGothic("\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E"); // ＭＳ ゴシック

class SlotDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form = std::make_unique<TmainForm>(dir.path());
        form->show();
    }
    void TearDown() override { testing_support::CancelPendingAnswers(); }
    QString Ini() const { return dir.filePath(QStringLiteral("tamurika.ini")); }
    TCalendarDocument& Document() { return form->Document(); }
    const TCalendarModel& Model() { return form->Document().Model(); }

    /// Runs the save command; `fill` answers the dialog.
    bool Save(const std::function<void(TFrmfontSave*)>& fill) {
        auto seen = WhenModal([fill](QWidget* w) {
            auto* dialog = qobject_cast<TFrmfontSave*>(w);
            ASSERT_NE(dialog, nullptr);
            fill(dialog);
        });
        form->MIfontWriteClick();
        return *seen;
    }

    QTemporaryDir dir;
    std::unique_ptr<TmainForm> form;
};

TEST_F(SlotDialogTest, RadioButtonsRunDownTheLeftThenUpTheRight) {
    ASSERT_TRUE(Save([](TFrmfontSave* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("設定の保存"));
        EXPECT_EQ(d->size(), QSize(341, 205));
        EXPECT_EQ(d->GroupBox1->title(), QStringLiteral("保存する領域を選択してください。"));
        EXPECT_EQ(d->Edit1->maxLength(), 20);
        // Twenty of the widest characters fit the field without scrolling.
        EXPECT_LE(d->Edit1->fontMetrics().horizontalAdvance(QString(20, u'鬱')) + 8,
                  d->Edit1->width());
        auto pos = [d](int n) { return d->RadioButton[n - 1]->geometry().topLeft(); };
        for (int n = 2; n <= 5; ++n) {
            EXPECT_EQ(pos(n).x(), pos(1).x());
            EXPECT_GT(pos(n).y(), pos(n - 1).y());
        }
        EXPECT_GT(pos(10).x(), pos(1).x());
        EXPECT_EQ(pos(10).y(), pos(1).y()); // slot 10 top right
        EXPECT_EQ(pos(6).y(), pos(5).y());  // slot 6 bottom right
        for (int n = 9; n >= 6; --n)
            EXPECT_GT(pos(n).y(), pos(n + 1).y());
        EXPECT_EQ(d->RadioButton[6]->text(), QStringLiteral("フォント設定7"));
        EXPECT_TRUE(d->RadioButton[0]->isChecked());                  // the current slot
        EXPECT_EQ(d->Edit1->text(), QStringLiteral("フォント設定1")); // and its name
        EXPECT_EQ(d->pos(), d->parentWidget()->pos() + QPoint(100, 100));
        d->Button2->click();
    }));
    EXPECT_FALSE(QFile::exists(Ini())); // cancel writes nothing
}

TEST_F(SlotDialogTest, SaveThenLoadRoundTripWithTheExactBytes) {
    Document().SetFont(sfMonth, {QStringLiteral("IPAMincho"), fsBold | fsItalic});
    Document().SetFont(sfYear, {QStringLiteral("ＭＳ ゴシック"), fsBold});
    Document().SetColor(scSaturday, clGreen);
    Document().SetTitleStyle(5);
    ASSERT_TRUE(Document().SettingsChanged);

    ASSERT_TRUE(Save([](TFrmfontSave* d) {
        d->RadioButton[2]->setChecked(true);
        d->Edit1->setText(QStringLiteral("年賀用"));
        d->Button1->click();
    }));
    EXPECT_FALSE(Document().SettingsChanged);
    EXPECT_EQ(Document().CurrentSlot, 3);
    EXPECT_EQ(Document().SlotComments[2], QStringLiteral("年賀用"));
    EXPECT_TRUE(Document().SlotSaved[2]);
    const QByteArray expected = "[settei3]\r\n"
                                "comment=" +
                                SjisNengayou +
                                "\r\n"
                                "font1=" +
                                SjisMsGothic +
                                "\r\nfs11=1\r\nfs12=0\r\n"
                                "font2=IPAMincho\r\nfs21=1\r\nfs22=1\r\n"
                                "font3=" +
                                SjisMsGothic +
                                "\r\nfs31=0\r\nfs32=0\r\n"
                                "font4=" +
                                SjisMsGothic +
                                "\r\nfs41=0\r\nfs42=0\r\n"
                                "YYcolor=0\r\nMMcolor=0\r\nHeicolor=0\r\nNichicolor=255\r\n"
                                "Docolor=32768\r\nYoubicolor=16777215\r\nSucolor=16777215\r\n"
                                "Sencolor=0\r\nzenkaiym=5\r\n"
                                "\r\n[tamurika]\r\nzenkai=3\r\n";
    EXPECT_EQ(ReadBytes(Ini()), expected);

    // Change everything, then load slot 3 back through the menu.
    const TSlotSettings saved = Model().Settings;
    Document().SetFont(sfMonth, {QStringLiteral("IPAGothic"), 0});
    Document().SetFont(sfYear, {});
    Document().SetColor(scSaturday, clBlue);
    Document().SetTitleStyle(0);
    ASSERT_TRUE(Document().SettingsChanged);

    QString question;
    auto loadSeen = std::make_shared<bool>(false);
    WhenModal([&question, loadSeen](QWidget* box) {
        question = qobject_cast<QMessageBox*>(box)->text();
        WhenModal(
            [loadSeen](QWidget* w) {
                auto* d = qobject_cast<TFrmfontRead*>(w);
                ASSERT_NE(d, nullptr);
                *loadSeen = true;
                EXPECT_EQ(d->windowTitle(), QStringLiteral("設定の読み込み"));
                // The columns widen for the slots marked "（未保存）".
                EXPECT_EQ(d->height(), 182);
                EXPECT_GE(d->width(), TSlotDialog::DesignWidth);
                for (const QRadioButton* b : d->RadioButton)
                    EXPECT_GE(b->width(), b->sizeHint().width());
                EXPECT_TRUE(d->RadioButton[2]->isChecked());
                EXPECT_EQ(d->RadioButton[2]->text(), QStringLiteral("年賀用"));
                d->Button1->click();
            },
            box);
        qobject_cast<QMessageBox*>(box)->button(QMessageBox::No)->click();
    });
    form->MIfontReadClick();
    EXPECT_EQ(question, QStringLiteral("設定が変更されています。保存しますか？"));
    EXPECT_TRUE(*loadSeen);
    EXPECT_EQ(Model().Settings, saved);
    EXPECT_EQ(Model().Settings.Fonts[sfMonth].Name, QStringLiteral("IPAMincho"));
    EXPECT_EQ(Model().Settings.Fonts[sfMonth].Style, fsBold | fsItalic);
    EXPECT_EQ(Model().Settings.Fonts[sfYear].Style, fsBold);
    EXPECT_EQ(Model().Settings.Colors[scSaturday], clGreen);
    EXPECT_EQ(Document().CurrentSlot, 3);
    EXPECT_EQ(form->CalendarEx1->SaturdayColor(), clGreen);
    EXPECT_EQ(form->ComboBox3->currentIndex(), 5);
    EXPECT_TRUE(form->nenST->Caption().startsWith(QStringLiteral("令和 ")));
    // The recolouring after a menu load counts as a change.
    EXPECT_TRUE(Document().SettingsChanged);
    EXPECT_EQ(ReadBytes(Ini()), expected); // loading never writes
}

TEST_F(SlotDialogTest, CancelledLoadStillRecoloursAndSetsTheFlag) {
    Document().SetColor(scLine, clRed);
    Document().SettingsChanged = false;
    auto seen = WhenModal([](QWidget* w) { qobject_cast<TFrmfontRead*>(w)->Button2->click(); });
    form->MIfontReadClick();
    EXPECT_TRUE(*seen);
    EXPECT_EQ(form->y[0]->Color(), clRed);
    EXPECT_EQ(Model().Settings.Colors[scLine], clRed);
    EXPECT_TRUE(Document().SettingsChanged);
}

TEST_F(SlotDialogTest, CommentRules) {
    // A blank comment becomes the slot's default name.
    ASSERT_TRUE(Save([](TFrmfontSave* d) {
        d->RadioButton[6]->setChecked(true);
        d->Edit1->setText(QStringLiteral("   "));
        d->Button1->click();
    }));
    EXPECT_EQ(Document().SlotComments[6], QStringLiteral("フォント設定7"));
    EXPECT_TRUE(ReadBytes(Ini()).contains(
        "[settei7]\r\ncomment=\x83\x74\x83\x48\x83\x93\x83\x67\x90\xDD\x92\xE8"
        "7\r\n"));

    // Blanks around a comment are kept; pressing a slot copies its comment.
    ASSERT_TRUE(Save([](TFrmfontSave* d) {
        EXPECT_TRUE(d->RadioButton[6]->isChecked()); // the slot saved last
        d->RadioButton[1]->setChecked(true);
        d->Edit1->setText(QStringLiteral(" A&B "));
        d->Button1->click();
    }));
    EXPECT_EQ(Document().SlotComments[1], QStringLiteral(" A&B "));
    EXPECT_TRUE(ReadBytes(Ini()).contains("comment= A&B \r\n"));

    ASSERT_TRUE(Save([](TFrmfontSave* d) {
        EXPECT_EQ(d->SlotCaption(2), QStringLiteral(" A&B "));
        QRadioButton* button = d->RadioButton[1];
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5),
                          button->mapToGlobal(QPointF(5, 5)), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(button, &press);
        EXPECT_EQ(d->Edit1->text(), QStringLiteral(" A&B "));
        d->Button2->click();
    }));
}

// OK on a named slot keeps its name, byte for byte in the file, also after a restart: the
// comment field shows the chosen slot's name, whether chosen with the mouse or the keys.
TEST_F(SlotDialogTest, ASlotReSavedWithOkKeepsItsName) {
    ASSERT_TRUE(Save([](TFrmfontSave* d) {
        d->RadioButton[2]->setChecked(true);
        d->Edit1->setText(QStringLiteral("年賀用"));
        d->Button1->click();
    }));
    // "ﾃｽ" is C3 BD in Shift-JIS, which UTF-8 reads as "ý".
    ASSERT_TRUE(Save([](TFrmfontSave* d) {
        d->RadioButton[0]->setChecked(true);
        d->Edit1->setText(QStringLiteral("ﾃｽ"));
        d->Button1->click();
    }));
    const QByteArray saved = ReadBytes(Ini());
    ASSERT_TRUE(saved.contains("[settei1]\r\ncomment=\xC3\xBD\r\n"));
    ASSERT_TRUE(saved.contains("[settei3]\r\ncomment=" + SjisNengayou + "\r\n"));

    form = std::make_unique<TmainForm>(dir.path()); // a restart
    form->show();
    EXPECT_EQ(Document().SlotComments[0], QStringLiteral("ﾃｽ"));
    ASSERT_TRUE(Save([](TFrmfontSave* d) {
        EXPECT_TRUE(d->RadioButton[0]->isChecked());
        EXPECT_EQ(d->Edit1->text(), QStringLiteral("ﾃｽ"));
        d->Button1->click();
    }));
    EXPECT_EQ(ReadBytes(Ini()), saved); // the same slot, the same settings: not a byte changed
    EXPECT_EQ(Document().SlotComments[0], QStringLiteral("ﾃｽ"));

    ASSERT_TRUE(Save([](TFrmfontSave* d) {
        d->RadioButton[3]->setChecked(true); // as the arrow keys choose it
        EXPECT_EQ(d->Edit1->text(), QStringLiteral("フォント設定4"));
        d->RadioButton[2]->click(); // as the mouse chooses it
        EXPECT_EQ(d->Edit1->text(), QStringLiteral("年賀用"));
        d->Button1->click();
    }));
    EXPECT_EQ(Document().SlotComments[2], QStringLiteral("年賀用"));
    EXPECT_EQ(Document().CurrentSlot, 3);
    EXPECT_TRUE(ReadBytes(Ini()).contains("[settei3]\r\ncomment=" + SjisNengayou + "\r\n"));
}

// Names of up to the 20 characters the comment field takes show whole in both dialogs (the
// dialogs widen for them); a longer one, from a file edited by hand, shows its first 20 and is
// kept whole by OK.
TEST_F(SlotDialogTest, NamesShowWholeInBothDialogsAndLongerOnesAreKept) {
    const QString twenty = QStringLiteral("年賀状と暑中見舞いに使う明朝体の設定です");
    ASSERT_EQ(twenty.size(), 20);
    const QString longer = QStringLiteral("手で書き足した、二十文字を超えるとても長い名前の設定");
    ASSERT_GT(longer.size(), 20);
    testing_support::WriteBytes(Ini(), QStringLiteral("[settei10]\r\ncomment=%1\r\n"
                                                      "[settei6]\r\ncomment=%2\r\n"
                                                      "[tamurika]\r\nzenkai=6\r\n")
                                           .arg(twenty, longer)
                                           .toUtf8()
                                           .prepend("\xEF\xBB\xBF"));
    form = std::make_unique<TmainForm>(dir.path());
    form->show();

    auto shownWhole = [](TSlotDialog* d, int slot) {
        QRadioButton* b = d->RadioButton[slot - 1];
        EXPECT_GE(b->width(), b->sizeHint().width()) << slot;
        EXPECT_TRUE(
            d->GroupBox1->geometry().contains(b->geometry().translated(d->GroupBox1->pos())))
            << slot;
        EXPECT_LE(d->GroupBox1->geometry().right(), d->width()) << slot;
    };
    auto check = [&](TSlotDialog* d) {
        EXPECT_GT(d->width(), TSlotDialog::DesignWidth);
        for (int n = 1; n <= SlotCount; ++n)
            shownWhole(d, n);
        EXPECT_EQ(d->RadioButton[9]->text(), twenty);
        EXPECT_EQ(d->RadioButton[5]->text(), longer.left(20) + QStringLiteral("…"));
        EXPECT_EQ(d->RadioButton[5]->toolTip(), longer);
        EXPECT_GE(d->Button2->geometry().right(), d->GroupBox1->geometry().right() - 1);
    };
    ASSERT_TRUE(Save([&](TFrmfontSave* d) {
        check(d);
        EXPECT_TRUE(d->RadioButton[5]->isChecked());
        EXPECT_EQ(d->Edit1->text(), longer.left(20));
        d->RadioButton[9]->click();
        EXPECT_EQ(d->Edit1->text(), twenty);
        const int needed = d->Edit1->fontMetrics().horizontalAdvance(twenty);
        EXPECT_LE(needed + 8, d->Edit1->width());
        d->RadioButton[5]->click();
        d->Button1->click();
    }));
    EXPECT_EQ(Document().SlotComments[5], longer);
    EXPECT_EQ(TIniFile(Ini()).ReadString("settei6", "comment", {}), longer);

    auto seen = WhenModal([&](QWidget* w) {
        auto* d = qobject_cast<TFrmfontRead*>(w);
        ASSERT_NE(d, nullptr);
        check(d);
        d->Button2->click();
    });
    form->MIfontReadClick();
    EXPECT_TRUE(*seen);
}

TEST_F(SlotDialogTest, ReadOnlyFileGivesTheMessageKeepsTheDialogOpenAndTheFileIntact) {
    const QByteArray before = "[settei2]\r\ncomment=old\r\n";
    {
        QFile f(Ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(before);
    }
    ASSERT_EQ(::chmod(QFile::encodeName(Ini()).constData(), 0444), 0);
    Document().SettingsChanged = true;
    const int slotBefore = Document().CurrentSlot;

    QString message;
    bool stayedOpen = false;
    ASSERT_TRUE(Save([&](TFrmfontSave* d) {
        d->RadioButton[1]->setChecked(true);
        d->Edit1->setText(QStringLiteral("new"));
        AnswerMessage(QMessageBox::Ok, &message, d);
        d->Button1->click();
        stayedOpen = d->isVisible();
        d->Button2->click();
    }));
    EXPECT_EQ(message, dir.filePath("tamurika.ini") + QStringLiteral(" に書き込めません"));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(ReadBytes(Ini()), before);
    EXPECT_EQ(Document().SlotComments[1], QStringLiteral("new"));
    EXPECT_TRUE(Document().SettingsChanged);
    EXPECT_EQ(Document().CurrentSlot, slotBefore);

    // Closing: "はい", the save fails, the save dialog is cancelled: the window stays open with
    // the settings that could not be saved.
    QString closingMessage;
    auto saveSeen = std::make_shared<bool>(false);
    WhenModal([&closingMessage, saveSeen](QWidget* box) {
        WhenModal(
            [&closingMessage, saveSeen](QWidget* w) {
                auto* d = qobject_cast<TFrmfontSave*>(w);
                ASSERT_NE(d, nullptr);
                *saveSeen = true;
                AnswerMessage(QMessageBox::Ok, &closingMessage, d);
                d->Button1->click();
                d->Button2->click();
            },
            box);
        qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
    });
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(*saveSeen);
    EXPECT_EQ(closingMessage, message);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(Document().SettingsChanged);
    EXPECT_EQ(ReadBytes(Ini()), before);
}

// A slot never saved holds nothing to load: the load dialog shows it with "（未保存）" and it
// cannot be chosen; with no slot saved at all, OK does nothing. The save dialog offers them all.
TEST_F(SlotDialogTest, NeverSavedSlotsCannotBeLoaded) {
    Document().SetFont(sfDay, {QStringLiteral("IPAMincho"), fsBold});
    Document().SetColor(scSunday, clGreen);
    Document().SettingsChanged = false; // no question before the dialog
    const TSlotSettings mine = Model().Settings;
    const int steps = Document().UndoStack().count();

    bool stayedOpen = false;
    auto seen = WhenModal([&stayedOpen](QWidget* w) {
        auto* d = qobject_cast<TFrmfontRead*>(w);
        ASSERT_NE(d, nullptr);
        for (int n = 1; n <= SlotCount; ++n) {
            EXPECT_EQ(d->RadioButton[n - 1]->text(),
                      QStringLiteral("フォント設定%1（未保存）").arg(n));
            EXPECT_FALSE(d->RadioButton[n - 1]->isEnabled()) << n;
        }
        EXPECT_FALSE(d->Button1->isEnabled());
        // OK by the mouse and by its handler itself: nothing is loaded.
        d->Button1->click();
        d->Button1Click();
        stayedOpen = d->isVisible();
        d->Button2->click();
    });
    form->MIfontReadClick();
    EXPECT_TRUE(*seen);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(Model().Settings, mine);
    EXPECT_EQ(Document().UndoStack().count(), steps);
    EXPECT_EQ(Document().CurrentSlot, 1);
    EXPECT_FALSE(QFile::exists(Ini())); // nothing written either

    // Slot 4 saved by hand, slot 1 the last one: slot 4 is offered and checked, and loads.
    testing_support::WriteBytes(Ini(), "[settei4]\r\ncomment=" + SjisNengayou +
                                           "\r\nfont3=IPAGothic\r\nDocolor=255\r\nzenkaiym=2\r\n"
                                           "[tamurika]\r\nzenkai=1\r\n");
    form = std::make_unique<TmainForm>(dir.path());
    form->show();
    ASSERT_EQ(Document().CurrentSlot, 1);
    ASSERT_EQ(Model().Settings, TSlotSettings());
    seen = WhenModal([](QWidget* w) {
        auto* d = qobject_cast<TFrmfontRead*>(w);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->RadioButton[0]->text(), QStringLiteral("フォント設定1（未保存）"));
        EXPECT_FALSE(d->RadioButton[0]->isEnabled());
        EXPECT_EQ(d->RadioButton[3]->text(), QStringLiteral("年賀用"));
        EXPECT_TRUE(d->RadioButton[3]->isEnabled());
        EXPECT_TRUE(d->RadioButton[3]->isChecked());
        EXPECT_TRUE(d->Button1->isEnabled());
        d->RadioButton[0]->click(); // refused: it stays on slot 4
        EXPECT_TRUE(d->RadioButton[3]->isChecked());
        d->Button1->click();
    });
    form->MIfontReadClick();
    EXPECT_TRUE(*seen);
    EXPECT_EQ(Document().CurrentSlot, 4);
    EXPECT_EQ(Model().Settings.Fonts[sfDay].Name, QStringLiteral("IPAGothic"));
    EXPECT_EQ(Model().Settings.Colors[scSaturday], clRed);
    EXPECT_EQ(Model().Settings.TitleStyle, 2);
    EXPECT_EQ(form->ComboBox3->currentIndex(), 2);

    // The save dialog offers every slot, saved or not, by its comment alone.
    ASSERT_TRUE(Save([](TFrmfontSave* d) {
        for (int n = 1; n <= SlotCount; ++n)
            EXPECT_TRUE(d->RadioButton[n - 1]->isEnabled()) << n;
        EXPECT_EQ(d->RadioButton[0]->text(), QStringLiteral("フォント設定1"));
        EXPECT_TRUE(d->RadioButton[3]->isChecked());
        d->Button2->click();
    }));
}

TEST(SettingsFolderOfTheWindow, UserConfigurationWhenTheProgramFolderIsNotWritable) {
    QTemporaryDir home;
    QTemporaryDir program;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    {
        // A folder the program cannot write to (it does not even exist, which also holds for
        // the superuser, unlike a folder without write permission).
        TmainForm form(program.filePath("readonly"));
        form.show();
        EXPECT_EQ(form.Document().SettingsFileName(), home.path() + "/tamurika/tamurika.ini");
        auto seen = WhenModal([](QWidget* w) { qobject_cast<TFrmfontSave*>(w)->Button1->click(); });
        form.MIfontWriteClick();
        EXPECT_TRUE(*seen);
        EXPECT_TRUE(QFile::exists(home.path() + "/tamurika/tamurika.ini"));
    }
    qunsetenv("XDG_CONFIG_HOME");
}

} // namespace
