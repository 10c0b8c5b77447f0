// The help page and the about box say what the program does now: the page names every command
// of the main window's menus (and the window's shortcuts), the about box the paper sizes,
// "PDFに保存", the framing, the 暦, the family's days and the sheet's shape.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "app/mainunit.h"
#include "app/verunit.h"

namespace {

// The page as a reader sees it: tags out, entities read.
QString PageText() {
    QFile file(QStringLiteral(TAMURIKA_HELP_PAGE));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(file.readAll());
    text.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    return text;
}

// A command as the page names it: without its mnemonic ("(&U)", "&") or the dots of a dialog.
QString Named(QString text) {
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    text.remove(u'&');
    text.remove(QStringLiteral("…"));
    text.remove(QStringLiteral("..."));
    return text.trimmed();
}

void Collect(const QMenu* menu, QStringList& commands) {
    commands << Named(menu->title());
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator())
            continue;
        if (action->menu() != nullptr) {
            Collect(action->menu(), commands);
            continue;
        }
        commands << Named(action->text());
        if (!action->shortcut().isEmpty())
            commands << action->shortcut().toString(QKeySequence::PortableText);
    }
}

TEST(HelpPage, NamesEveryCommandOfTheWindowsMenusAndItsShortcuts) {
    QTemporaryDir folder;
    TmainForm form(folder.path());
    QStringList commands;
    for (const QMenu* menu : form.menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        Collect(menu, commands);
    ASSERT_GE(commands.size(), 30) << commands.join(u'|').toStdString();
    const QString page = PageText();
    for (const QString& command : commands) {
        // "元に戻す: 年のフォント" names the step to be undone: the page names the command.
        const QString name = command.section(u':', 0, 0);
        EXPECT_TRUE(page.contains(name)) << name.toStdString();
    }
    // And what the preview offers: every paper, the framing, the PDF for a print shop.
    for (const char16_t* said : {u"A4", u"A3", u"B4", u"B5", u"A5", u"レター", u"枠に合わせる",
                                 u"枠いっぱい", u"PDFに保存", u"印刷所"})
        EXPECT_TRUE(page.contains(QString::fromUtf16(said)))
            << QString::fromUtf16(said).toStdString();
}

TEST(AboutBox, SaysWhatTheProgramDoesNow) {
    TverForm about;
    QString text;
    for (const QLabel* label : about.findChildren<QLabel*>())
        text += label->text();
    for (const char16_t* said : {u"A4", u"A3", u"B4", u"B5", u"A5", u"レター", u"PDFに保存",
                                 u"枠に合わせる", u"枠いっぱい", u"六曜", u"二十四節気", u"旧暦",
                                 u"記念日", u"4月始まり", u"月曜始まり", u"題名"})
        EXPECT_TRUE(text.contains(QString::fromUtf16(said)))
            << QString::fromUtf16(said).toStdString();
    // Every word of it shows: the box is large enough for the text at the window's font.
    const auto* purpose = about.findChild<QLabel*>(QStringLiteral("Purpose"));
    ASSERT_NE(purpose, nullptr);
    EXPECT_LE(purpose->heightForWidth(purpose->width()), purpose->height());
}

} // namespace
