// Qt's own dialogs, opened from the real main window on a real X server (Xvfb) by the program's
// own application object, read from inside: the picture dialog, the colour dialog, the
// program's questions and the printer set-up of the preview say everything in Japanese,
// whatever locale the session has (CTest runs this under LANG=C and under an English locale).
#include <gtest/gtest.h>

#include <QColorDialog>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QWindow>

#include "app/mainunit.h"
#include "modal.h"
#include "model/calendardocument.h"
#include "preview/printlrunit.h"
#include "qtprint.h"
#include "widgets/application.h"

using testing_support::WhenModal;

namespace {

bool HasJapanese(const QString& text) {
    for (const QChar c : text)
        if ((c.unicode() >= 0x3000 && c.unicode() <= 0x9FFF) ||
            (c.unicode() >= 0xFF00 && c.unicode() <= 0xFFEF))
            return true;
    return false;
}

bool HasLatinLetters(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() < 0x100 && c.isLetter())
            return true;
    return false;
}

// Names a Japanese desktop writes in Latin letters as well: the button "OK" and the colour
// notation "HTML" (of the colour dialog's "#rrggbb" field).
bool IsLatinName(QString text) {
    text.remove(u'&');
    text.remove(u':');
    return text == u"OK" || text == u"HTML";
}

// What a user reads on the dialog's buttons, check boxes, group boxes and tabs, wherever a
// text says something in words: each must be Japanese, or one of the names above. Texts
// without letters ("...", ">>") say nothing in any language.
QStringList ForeignTexts(QWidget* dialog) {
    QStringList texts;
    for (auto* b : dialog->findChildren<QAbstractButton*>())
        if (b->isVisibleTo(dialog))
            texts << b->text();
    for (auto* g : dialog->findChildren<QGroupBox*>())
        if (g->isVisibleTo(dialog))
            texts << g->title();
    for (auto* t : dialog->findChildren<QTabWidget*>())
        if (t->isVisibleTo(dialog))
            for (int i = 0; i < t->count(); ++i)
                texts << t->tabText(i);
    texts << dialog->windowTitle();
    QStringList foreign;
    for (const QString& text : texts)
        if (HasLatinLetters(text) && !HasJapanese(text) && !IsLatinName(text))
            foreign << text;
    return foreign;
}

QString ButtonText(QWidget* dialog, QDialogButtonBox::StandardButton which) {
    for (auto* box : dialog->findChildren<QDialogButtonBox*>())
        if (QPushButton* b = box->button(which); b != nullptr && b->isVisibleTo(dialog))
            return b->text();
    return QStringLiteral("(no such button)");
}

class JapaneseDialogs : public ::testing::Test {
  protected:
    void SetUp() override {
        form = std::make_unique<TmainForm>(dir.path());
        form->show();
        ASSERT_TRUE(WaitExposed());
    }
    void TearDown() override { testing_support::CancelPendingAnswers(); }

    // The X server maps the window when it gets round to it, later on a busy machine.
    bool WaitExposed() {
        const QDeadlineTimer deadline(20000);
        while (!form->windowHandle()->isExposed() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(5);
        }
        return form->windowHandle()->isExposed();
    }

    QTemporaryDir dir; // the program's folder
    std::unique_ptr<TmainForm> form;
};

TEST(JapaneseApplication, RunsOnARealDisplayWithQtsCatalogueAndTheJapaneseLocale) {
    EXPECT_EQ(QGuiApplication::platformName(), "xcb");
    EXPECT_EQ(QLocale().language(), QLocale::Japanese);
    // The catalogue speaks for all of Qt's dialogs.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "キャンセル");
}

TEST_F(JapaneseDialogs, ThePictureDialog) {
    QString title, open, cancel, fileName, lookIn;
    QStringList foreign;
    auto seen = WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        EXPECT_NE(dialog, nullptr) << w->metaObject()->className();
        if (dialog != nullptr) {
            title = dialog->windowTitle();
            open = ButtonText(dialog, QDialogButtonBox::Open);
            cancel = ButtonText(dialog, QDialogButtonBox::Cancel);
            if (auto* l = dialog->findChild<QLabel*>(QStringLiteral("fileNameLabel")))
                fileName = l->text();
            if (auto* l = dialog->findChild<QLabel*>(QStringLiteral("lookInLabel")))
                lookIn = l->text();
            foreign = ForeignTexts(dialog);
        }
        w->close();
    });
    form->Button9->click();
    ASSERT_TRUE(*seen);
    EXPECT_EQ(title, "画像の読み込み");
    EXPECT_TRUE(open.startsWith(u"開く")) << open.toStdString();
    EXPECT_EQ(cancel, "キャンセル");
    EXPECT_TRUE(HasJapanese(fileName)) << fileName.toStdString(); // "File name:"
    EXPECT_TRUE(HasJapanese(lookIn)) << lookIn.toStdString();     // "Look in:"
    EXPECT_TRUE(foreign.isEmpty()) << foreign.join(u" | ").toStdString();
}

TEST_F(JapaneseDialogs, TheColourDialog) {
    QString ok, cancel;
    QStringList foreign, labels;
    auto seen = WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QColorDialog*>(w);
        EXPECT_NE(dialog, nullptr) << w->metaObject()->className();
        if (dialog != nullptr) {
            ok = ButtonText(dialog, QDialogButtonBox::Ok);
            cancel = ButtonText(dialog, QDialogButtonBox::Cancel);
            for (auto* l : dialog->findChildren<QLabel*>())
                if (l->isVisibleTo(dialog) && HasLatinLetters(l->text()) &&
                    !HasJapanese(l->text()) && !IsLatinName(l->text()))
                    labels << l->text(); // "Basic colors", "&Hue:", ...
            foreign = ForeignTexts(dialog);
        }
        w->close();
    });
    form->N4Click();
    ASSERT_TRUE(*seen);
    EXPECT_EQ(ok, "OK");
    EXPECT_EQ(cancel, "キャンセル");
    EXPECT_TRUE(labels.isEmpty()) << labels.join(u" | ").toStdString();
    EXPECT_TRUE(foreign.isEmpty()) << foreign.join(u" | ").toStdString();
}

TEST_F(JapaneseDialogs, AQuestionOfTheProgram) {
    QStringList buttons, foreign;
    auto seen = WhenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        EXPECT_NE(box, nullptr) << w->metaObject()->className();
        if (box != nullptr) {
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            foreign = ForeignTexts(box);
            box->button(QMessageBox::No)->click();
        } else {
            w->close();
        }
    });
    form->N16Click(); // "色の設定を初期値に戻しますか？"
    ASSERT_TRUE(*seen);
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({QStringLiteral("いいえ"), QStringLiteral("はい")}));
    EXPECT_TRUE(foreign.isEmpty()) << foreign.join(u" | ").toStdString();
}

TEST_F(JapaneseDialogs, TheQuestionOnClosingWithChangedSettings) {
    form->Document().MarkSettingsChanged();
    QString question;
    QStringList buttons, foreign;
    auto seen = WhenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        EXPECT_NE(box, nullptr) << w->metaObject()->className();
        if (box != nullptr) {
            question = box->text();
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            foreign = ForeignTexts(box);
            box->button(QMessageBox::Cancel)->click();
        } else {
            w->close();
        }
    });
    EXPECT_FALSE(form->close()); // "キャンセル" keeps the window
    ASSERT_TRUE(*seen);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(question, QStringLiteral("設定が変更されています。保存しますか？"));
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({QStringLiteral("いいえ"), QStringLiteral("はい"),
                                    QStringLiteral("キャンセル")}));
    EXPECT_TRUE(foreign.isEmpty()) << foreign.join(u" | ").toStdString();
}

TEST_F(JapaneseDialogs, ThePrinterSetUpOfThePreview) {
    QString title, ok, cancel;
    QStringList foreign, expanded;
    bool setUpSeen = false;
    auto seen = WhenModal([&](QWidget* w) {
        auto* preview = qobject_cast<TFrmPrtLR*>(w);
        EXPECT_NE(preview, nullptr) << w->metaObject()->className();
        if (preview == nullptr) {
            w->close();
            return;
        }
        auto setUp = WhenModal(
            [&](QWidget* d) {
                auto* dialog = qobject_cast<QPrintDialog*>(d);
                EXPECT_NE(dialog, nullptr) << d->metaObject()->className();
                if (dialog != nullptr) {
                    title = dialog->windowTitle();
                    ok = ButtonText(dialog, QDialogButtonBox::Ok);
                    cancel = ButtonText(dialog, QDialogButtonBox::Cancel);
                    foreign = ForeignTexts(dialog);
                    // The options pane, opened by the dialog's third button.
                    for (auto* box : dialog->findChildren<QDialogButtonBox*>())
                        for (QAbstractButton* b : box->buttons())
                            if (box->buttonRole(b) == QDialogButtonBox::ResetRole)
                                b->click();
                    expanded = ForeignTexts(dialog);
                }
                d->close();
            },
            preview);
        preview->BtnSettei->click();
        setUpSeen = *setUp;
        preview->BtnEnd->click();
    });
    form->Button1->click(); // ﾌﾟﾚﾋﾞｭ-＆印刷
    ASSERT_TRUE(*seen);
    ASSERT_TRUE(setUpSeen);
    EXPECT_EQ(title, "プリンタの設定");
    // It sets the printer up; "印刷(&P)" of the preview prints.
    EXPECT_EQ(ok, "OK");
    EXPECT_EQ(cancel, "キャンセル");
    EXPECT_TRUE(foreign.isEmpty()) << foreign.join(u" | ").toStdString();
    EXPECT_TRUE(expanded.isEmpty()) << expanded.join(u" | ").toStdString();
}

} // namespace

// On a real X server Qt's platform plugin asks for the session bus, and libdbus keeps a block
// it never frees when there is none; LeakSanitizer is told so, and nothing else.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // The program's own application object: Qt's Japanese catalogue and the Japanese locale.
    TApplication app(argc, argv);
    TApplication::setApplicationDisplayName(QStringLiteral("たむりか"));
    return RUN_ALL_TESTS();
}
