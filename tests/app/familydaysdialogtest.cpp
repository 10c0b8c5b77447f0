// The dialog "記念日" through the main window's menu command: days added, changed and removed
// through the editor land in the model and in the days file, sorted, as one step of the history;
// キャンセル changes nothing; an iCalendar file is shown before its days are added; a damaged one
// is refused by name; what the days file could not say is shown.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUndoStack>

#include "app/familydaysdialog.h"
#include "app/mainunit.h"
#include "common/files.h"
#include "days/daysfile.h"
#include "modal.h"
#include "model/calendardocument.h"
#include "windowfixture.h"

using testing_support::AnswerMessage;
using testing_support::ReadBytes;
using testing_support::WhenModal;
using testing_support::WriteBytes;

namespace {

const QByteArray FirstFile = QByteArrayLiteral("# 家族の記念日\n"
                                               "5/5\t太郎\t誕生日\t2015年\n"
                                               "# 二人の日\n"
                                               "6/10\t結婚\t記念日\t2017年\t#CC0066\n");

QStringList Column(const QTreeWidget* list, int column) {
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts << list->topLevelItem(row)->text(column);
    return texts;
}

QStringList Names(const std::vector<TFamilyDay>& days) {
    QStringList names;
    for (const TFamilyDay& day : days)
        names << day.Name;
    return names;
}

void Select(QTreeWidget* list, const QString& name) {
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        if (list->topLevelItem(row)->text(1) == name) {
            list->setCurrentItem(list->topLevelItem(row));
            return;
        }
    ADD_FAILURE() << "no day " << name.toStdString();
}

/// Clicks `button` and works the editor it opens with `edit`, then OK.
void Edit(QWidget* dialog, QPushButton* button,
          const std::function<void(TFamilyDayEditor*)>& edit) {
    auto seen = WhenModal(
        [edit](QWidget* w) {
            auto* editor = qobject_cast<TFamilyDayEditor*>(w);
            ASSERT_NE(editor, nullptr) << w->metaObject()->className();
            edit(editor);
            editor->OkButton->click();
            EXPECT_FALSE(editor->isVisible()) << "the editor refused the day";
        },
        dialog);
    button->click();
    EXPECT_TRUE(*seen);
}

class FamilyDaysDialogTest : public testing_support::WindowTest {
  protected:
    void BeforeStart() override { WriteBytes(DaysFile(), FirstFile); }
    QString DaysFile() const { return dir.filePath(DaysFileName); }

    /// Runs the menu command; `answer` works the dialog. True when the dialog appeared.
    bool RunDialog(const std::function<void(TFamilyDaysDialog*)>& answer) {
        return testing_support::RunMenuDialog<TFamilyDaysDialog>(form->MIkinen, "記念日", answer);
    }
};

TEST_F(FamilyDaysDialogTest, AddChangeRemoveIsOneStepThatTheFileFollows) {
    EXPECT_EQ(form->MIkinen->shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));
    ASSERT_TRUE(RunDialog([](TFamilyDaysDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("記念日"));
        EXPECT_EQ(d->OkButton->text(), QStringLiteral("OK"));
        EXPECT_EQ(d->CancelButton->text(), QStringLiteral("キャンセル"));
        EXPECT_EQ(Column(d->DayList, 1), QStringList({"太郎", "結婚"}));
        EXPECT_EQ(Column(d->DayList, 4), QStringList({"5月5日（水）", "6月10日（木）"}));
        EXPECT_EQ(Column(d->DayList, 5), QStringList({"太郎 12歳", "結婚10周年"}));

        // A birthday on 29 February: the editor says where it falls in a common year.
        Edit(d, d->AddButton, [](TFamilyDayEditor* e) {
            EXPECT_EQ(e->windowTitle(), QStringLiteral("記念日の追加"));
            EXPECT_EQ(e->CancelButton->text(), QStringLiteral("キャンセル"));
            e->NameEdit->setText(QStringLiteral("花"));
            e->RepeatYearly->setChecked(true);
            e->MonthBox->setValue(2);
            e->DayBox->setValue(28);
            EXPECT_TRUE(e->LeapNote->isHidden());
            e->DayBox->setValue(29);
            EXPECT_FALSE(e->LeapNote->isHidden());
            EXPECT_TRUE(e->LeapNote->text().contains(QStringLiteral("2月28日")));
            e->BeganBox->setValue(2008);
            if (qEnvironmentVariableIsSet("FAMILY_DAYS_DUMP"))
                e->grab().save("/tmp/family-day-editor.png");
        });
        // Mother's day, the second Sunday of May, in the holiday colour.
        Edit(d, d->AddButton, [](TFamilyDayEditor* e) {
            e->NameEdit->setText(QStringLiteral("母の日"));
            e->RepeatWeekday->setChecked(true);
            e->MonthBox->setValue(5);
            e->WeekBox->setCurrentIndex(1);
            e->WeekdayBox->setCurrentIndex(0);
            e->KindBox->setCurrentIndex(e->KindBox->findText(QStringLiteral("その他")));
            e->ColorHoliday->setChecked(true);
        });
        Select(d->DayList, QStringLiteral("結婚"));
        Edit(d, d->ChangeButton, [](TFamilyDayEditor* e) {
            EXPECT_EQ(e->NameEdit->text(), QStringLiteral("結婚"));
            EXPECT_TRUE(e->ColorOwn->isChecked());
            e->MonthBox->setValue(4);
            e->DayBox->setValue(1);
        });
        Select(d->DayList, QStringLiteral("太郎"));
        d->RemoveButton->click();

        EXPECT_EQ(Column(d->DayList, 1), QStringList({"花", "結婚", "母の日"}));
        EXPECT_EQ(Column(d->DayList, 4),
                  QStringList({"2月28日（日）", "4月1日（木）", "5月9日（日）"}));
        EXPECT_EQ(Column(d->DayList, 5), QStringList({"花 19歳", "結婚10周年", "母の日"}));
        if (qEnvironmentVariableIsSet("FAMILY_DAYS_DUMP"))
            d->grab().save("/tmp/family-days-dialog.png");
        d->OkButton->click();
    }));

    EXPECT_EQ(Names(Document().Model().FamilyDays.Days), QStringList({"花", "結婚", "母の日"}));
    // The comment written above a day stays with it; the file's first comment stays first.
    EXPECT_EQ(ReadBytes(DaysFile()), QByteArray("# 家族の記念日\n"
                                                "2/29\t花\t誕生日\t2008年\n"
                                                "# 二人の日\n"
                                                "4/1\t結婚\t記念日\t2017年\t#CC0066\n"
                                                "5月第2日曜\t母の日\t祝日色\n"));
    ASSERT_EQ(Document().UndoStack().count(), 1);
    EXPECT_EQ(Document().UndoStack().undoText(), QStringLiteral("記念日"));

    Document().UndoStack().undo();
    EXPECT_EQ(Names(Document().Model().FamilyDays.Days), QStringList({"太郎", "結婚"}));
    EXPECT_EQ(ReadBytes(DaysFile()), FirstFile);
}

TEST_F(FamilyDaysDialogTest, CancelAndAnUnchangedOkLeaveEverything) {
    ASSERT_TRUE(RunDialog([](TFamilyDaysDialog* d) {
        Select(d->DayList, QStringLiteral("太郎"));
        d->RemoveButton->click();
        EXPECT_EQ(Column(d->DayList, 1), QStringList({"結婚"}));
        d->CancelButton->click();
    }));
    ASSERT_TRUE(RunDialog([](TFamilyDaysDialog* d) { d->OkButton->click(); }));
    EXPECT_EQ(Names(Document().Model().FamilyDays.Days), QStringList({"太郎", "結婚"}));
    EXPECT_EQ(Document().UndoStack().count(), 0);
    EXPECT_EQ(ReadBytes(DaysFile()), FirstFile);
}

TEST_F(FamilyDaysDialogTest, ImportShowsWhatTheFileHoldsAndAddsWhatIsChecked) {
    const QString ics = QStringLiteral(TAMURIKA_DAYS_TEST_DATA "/family.ics");
    ASSERT_TRUE(RunDialog([ics](TFamilyDaysDialog* d) {
        auto preview = WhenModal(
            [](QWidget* w) {
                auto* p = qobject_cast<TFamilyImportDialog*>(w);
                ASSERT_NE(p, nullptr) << w->metaObject()->className();
                EXPECT_EQ(p->CancelButton->text(), QStringLiteral("キャンセル"));
                const QStringList names = Column(p->DayList, 1);
                EXPECT_EQ(names, QStringList({"Hana", "引っ越し", "おばあちゃんに電話", "太郎",
                                              "母の日", "結婚"}));
                // What each would show on the sheet of 2027; 29 February on the 28th.
                EXPECT_EQ(Column(p->DayList, 3).at(0), QStringLiteral("2月28日（日）"));
                EXPECT_EQ(Column(p->DayList, 4).at(3), QStringLiteral("太郎 12歳"));
                // The day the list already has is not taken twice; the others are checked.
                for (int row = 0; row < p->DayList->topLevelItemCount(); ++row) {
                    QTreeWidgetItem* item = p->DayList->topLevelItem(row);
                    const bool known = item->text(1) == QStringLiteral("太郎") ||
                                       item->text(1) == QStringLiteral("結婚");
                    EXPECT_EQ(item->checkState(0), known ? Qt::Unchecked : Qt::Checked)
                        << item->text(1).toStdString();
                }
                const QStringList left = Column(p->LeftList, 0);
                ASSERT_EQ(left.size(), 2);
                EXPECT_TRUE(left.join(u'\n').contains(QStringLiteral("燃えるごみ")));
                EXPECT_TRUE(left.join(u'\n').contains(QStringLiteral("クリスマス")));
                p->DayList->topLevelItem(static_cast<int>(names.indexOf(QStringLiteral("母の日"))))
                    ->setCheckState(0, Qt::Unchecked);
                if (qEnvironmentVariableIsSet("FAMILY_DAYS_DUMP"))
                    p->grab().save("/tmp/family-import-dialog.png");
                p->OkButton->click();
            },
            d);
        d->ImportFile(ics);
        EXPECT_TRUE(*preview);
        EXPECT_EQ(Column(d->DayList, 1),
                  QStringList({"Hana", "引っ越し", "おばあちゃんに電話", "太郎", "結婚"}));
        d->OkButton->click();
    }));
    EXPECT_EQ(Names(Document().Model().FamilyDays.Days),
              QStringList({"Hana", "引っ越し", "おばあちゃんに電話", "太郎", "結婚"}));
    EXPECT_EQ(Document().UndoStack().count(), 1);
    EXPECT_TRUE(ReadBytes(DaysFile()).contains("2027/3/14\t引っ越し\n"));
}

TEST_F(FamilyDaysDialogTest, ADamagedCalendarFileIsRefusedByNameAndChangesNothing) {
    const QString broken = dir.filePath(QStringLiteral("壊れた予定.ics"));
    WriteBytes(broken, "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nSUMMARY:途中で");
    ASSERT_TRUE(RunDialog([broken](TFamilyDaysDialog* d) {
        QString message;
        auto seen = AnswerMessage(QMessageBox::Ok, &message, d);
        d->ImportFile(broken);
        EXPECT_TRUE(*seen);
        EXPECT_TRUE(message.contains(QStringLiteral("壊れた予定.ics"))) << message.toStdString();
        EXPECT_EQ(Column(d->DayList, 1), QStringList({"太郎", "結婚"}));
        EXPECT_FALSE(d->Changed());
        d->OkButton->click();
    }));
    EXPECT_EQ(Document().UndoStack().count(), 0);
    EXPECT_EQ(ReadBytes(DaysFile()), FirstFile);
}

TEST(FamilyDayEditor, RefusesAnEmptyNameAndDatesThatDoNotExist) {
    TFamilyDayEditor editor(TFamilyDay(), QStringLiteral("記念日の追加"), nullptr);
    editor.show();
    QString message;
    auto seen = AnswerMessage(QMessageBox::Ok, &message, &editor);
    editor.OkButton->click();
    EXPECT_TRUE(*seen);
    EXPECT_EQ(message, QStringLiteral("名前を入力してください。"));
    EXPECT_TRUE(editor.isVisible());

    editor.NameEdit->setText(QStringLiteral("  "));
    EXPECT_EQ(editor.Refusal(), QStringLiteral("名前を入力してください。"));
    editor.NameEdit->setText(QStringLiteral("花"));
    editor.MonthBox->setValue(4);
    editor.DayBox->setValue(31);
    EXPECT_EQ(editor.Refusal(), QStringLiteral("4月31日という日はありません。"));
    editor.MonthBox->setValue(2);
    editor.DayBox->setValue(29);
    EXPECT_EQ(editor.Refusal(), QString());
    // A day of one year: 29 February only in a leap year, and no note then.
    editor.RepeatOnce->setChecked(true);
    editor.YearBox->setValue(2027);
    EXPECT_EQ(editor.Refusal(), QStringLiteral("2027年2月29日という日はありません。"));
    EXPECT_TRUE(editor.LeapNote->isHidden());
    editor.YearBox->setValue(2028);
    EXPECT_EQ(editor.Refusal(), QString());
    const TFamilyDay day = editor.Day();
    EXPECT_EQ(day.Repeat, TFamilyDay::TRepeat::Once);
    EXPECT_EQ(OccurrenceIn(day, 2028), QDate(2028, 2, 29));
    EXPECT_FALSE(OccurrenceIn(day, 2027));
    testing_support::CancelPendingAnswers();
}

// On a sheet from April the list says the date of each day on it, with its year, and the age
// of that year.
TEST(FamilyDaysDialog, ASheetFromAprilShowsTheDaysOfBothYears) {
    const TDaysFile file = ParseDaysFile(
        QByteArray("2/29\t花\t誕生日\t2008年\n5/5\t太郎\t誕生日\t2015年\n2027/3/14\t引っ越し\n"));
    TFamilyDaysDialog dialog(file, 2027, clRed, nullptr, 4);
    EXPECT_EQ(dialog.DayList->headerItem()->text(4), QStringLiteral("2027年4月〜2028年3月の日"));
    EXPECT_EQ(Column(dialog.DayList, 4),
              (QStringList{QStringLiteral("2028年2月29日（火）"),
                           QStringLiteral("（2027年4月〜2028年3月にはありません）"),
                           QStringLiteral("2027年5月5日（水）")}));
    EXPECT_EQ(Column(dialog.DayList, 5),
              (QStringList{QStringLiteral("花 20歳"), QString(), QStringLiteral("太郎 12歳")}));
}

TEST(FamilyDaysDialog, SaysWhatTheFileCouldNotSayAndKeepsAnUnreadableFileAsItIs) {
    const TDaysFile file =
        ParseDaysFile(QByteArray("5/5\t太郎\t誕生日\n13/40\t変な日\n6/10\t結婚\t記念日\n"));
    ASSERT_EQ(file.Problems.size(), 1u);
    TFamilyDaysDialog dialog(file, 2027, clRed, nullptr);
    EXPECT_FALSE(dialog.ProblemLabel->isHidden());
    EXPECT_TRUE(dialog.ProblemLabel->text().contains(QStringLiteral("2行目")));
    EXPECT_TRUE(dialog.AddButton->isEnabled());

    // The unread line stays in the file above the day now after it when its day goes.
    Select(dialog.DayList, QStringLiteral("結婚"));
    dialog.RemoveButton->click();
    ASSERT_EQ(dialog.Days().size(), 1u);
    TDaysFile written = file;
    written.Days = dialog.Days();
    EXPECT_TRUE(FormatDaysFile(written).contains("13/40\t変な日\n"));

    TDaysFile unreadable;
    unreadable.Unreadable = true;
    unreadable.Problems.push_back(
        {0, QString(), QStringLiteral("「tamurika-days.txt」は UTF-8 のテキストではありません。")});
    TFamilyDaysDialog locked(unreadable, 2027, clRed, nullptr);
    EXPECT_TRUE(locked.ProblemLabel->text().contains(QStringLiteral("UTF-8")));
    for (QPushButton* button :
         {locked.AddButton, locked.ChangeButton, locked.RemoveButton, locked.ImportButton})
        EXPECT_FALSE(button->isEnabled()) << button->text().toStdString();
}

} // namespace
