// The window program's command line: "tamurika PHOTO" as a file manager's "open with" starts
// it, "--help" and "--version"; and the window of an installed copy, which reads its help page
// from the data folder and keeps its settings in the user's configuration folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>

#include "../common/files.h"
#include "../common/imagemagick.h"
#include "app/mainunit.h"
#include "app/startoptions.h"
#include "app/verunit.h"
#include "modal.h"
#include "model/calendardocument.h"
#include "platform/version.h"
#include "settings/settingsfolder.h"
#include "widgets/image.h"

using namespace Qt::StringLiterals;
using testing_support::AnswerMessage;

namespace {

using TMode = TStartOptions::TMode;

TEST(ParseStartArguments, NoneOnePhotoHelpOrVersion) {
    EXPECT_EQ(ParseStartArguments({}).Mode, TMode::Window);
    EXPECT_TRUE(ParseStartArguments({}).PictureFile.isEmpty());
    const TStartOptions photo = ParseStartArguments({u"/home/hanako/写真/富士山.jpg"_s});
    EXPECT_EQ(photo.Mode, TMode::Window);
    EXPECT_EQ(photo.PictureFile, u"/home/hanako/写真/富士山.jpg"_s);
    // A name relative to the current folder becomes a full one; "--" lets a name start with "-".
    EXPECT_EQ(ParseStartArguments({u"a.jpg"_s}).PictureFile, QDir::current().filePath("a.jpg"));
    EXPECT_EQ(ParseStartArguments({u"--"_s, u"-a.jpg"_s}).PictureFile,
              QDir::current().filePath("-a.jpg"));
    EXPECT_EQ(ParseStartArguments({u"--help"_s}).Mode, TMode::Help);
    EXPECT_EQ(ParseStartArguments({u"-h"_s}).Mode, TMode::Help);
    EXPECT_EQ(ParseStartArguments({u"--version"_s}).Mode, TMode::Version);
}

TEST(ParseStartArguments, RefusesWhatItDoesNotTake) {
    const QList<QStringList> bad = {
        {u"--photo"_s},
        {u"-x"_s},
        {u"a.jpg"_s, u"b.jpg"_s},
        {u""_s},
        {u"--"_s, u"a.jpg"_s, u"b.jpg"_s},
    };
    for (const QStringList& arguments : bad)
        EXPECT_THROW(ParseStartArguments(arguments), EStartUsage)
            << arguments.join(u' ').toStdString();
    try {
        ParseStartArguments({u"a.jpg"_s, u"b.jpg"_s});
        FAIL();
    } catch (const EStartUsage& e) {
        EXPECT_EQ(e.Message(), u"画像ファイルは一つだけ指定してください: b.jpg"_s);
    }
}

TEST(ProgramVersion, IsThatOfTheProjectAndTheAboutBoxShowsIt) {
    EXPECT_EQ(ProgramVersion(), QStringLiteral(TAMURIKA_PROJECT_VERSION));
    TverForm about;
    QStringList texts;
    for (const QLabel* label : about.findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains(u"バージョン "_s + QStringLiteral(TAMURIKA_PROJECT_VERSION)))
        << texts.join(u'|').toStdString();
}

TEST(StartUsage, NamesTheVersionOfTheProject) {
    EXPECT_EQ(VersionText(u"tamurika"_s), u"tamurika (たむりか) "_s + ProgramVersion() + u'\n');
    EXPECT_FALSE(ProgramVersion().isEmpty());
    EXPECT_TRUE(StartUsage().startsWith(u"使い方: tamurika [画像ファイル]\n"_s));
}

TEST(StartUsage, ArgumentsAQtOptionCouldBeAreLeftToTheWindow) {
    char program[] = "tamurika";
    char platform[] = "-platform";
    char offscreen[] = "offscreen";
    char* qt[] = {program, platform, offscreen, nullptr};
    EXPECT_EQ(AnswerWithoutWindow(3, qt), std::nullopt);
    char photo[] = "photo.jpg";
    char* window[] = {program, photo, nullptr};
    EXPECT_EQ(AnswerWithoutWindow(2, window), std::nullopt);
    QString picture;
    EXPECT_EQ(AnswerStartArguments({u"photo.jpg"_s}, picture), std::nullopt);
    EXPECT_EQ(picture, QDir::current().filePath("photo.jpg"));
}

class StartPictureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form = std::make_unique<TmainForm>(dir.path());
        form->show();
    }
    void TearDown() override { testing_support::CancelPendingAnswers(); }
    /// Lets the event loop run until the picture queued at start was loaded.
    static void RunQueued() {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }

    QTemporaryDir dir;
    std::unique_ptr<TmainForm> form;
};

TEST_F(StartPictureTest, ThePhotoIsLoadedOnceTheWindowRuns) {
    const QString file = dir.filePath(u"写真 1.jpg"_s);
    ASSERT_TRUE(testing_support::MakeQuarters(file, 800, 600));
    LoadPictureAtStart(*form, file);
    EXPECT_TRUE(form->OpenDialog1.FileName.isEmpty()); // not yet: the window shows first
    RunQueued();
    EXPECT_EQ(form->OpenDialog1.FileName, file);
    EXPECT_EQ(form->Document().Model().Photo.FileName, file);
    EXPECT_EQ(form->Document().Model().Photo.Size(), QSize(800, 600));
    EXPECT_EQ(form->Image1->geometry(), QRect(0, 0, 224, 168));
}

TEST_F(StartPictureTest, AFileThatCannotBeReadIsShownAndTheWindowStays) {
    const QString file = dir.filePath(u"broken.jpg"_s);
    testing_support::WriteBytes(file, "\xFF\xD8\xFF\xE0 this is not a JPEG stream");
    const QRect sample = form->Image1->geometry();
    QString message;
    auto seen = AnswerMessage(QMessageBox::Ok, &message);
    LoadPictureAtStart(*form, file);
    for (int i = 0; i < 200 && !*seen; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(*seen);
    EXPECT_FALSE(message.isEmpty());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->OpenDialog1.FileName.isEmpty());
    EXPECT_TRUE(form->Document().Model().Photo.Empty());
    EXPECT_EQ(form->Image1->geometry(), sample); // the sample as it was
}

TEST_F(StartPictureTest, NoNameNothingToLoad) {
    LoadPictureAtStart(*form, QString());
    RunQueued();
    EXPECT_TRUE(form->OpenDialog1.FileName.isEmpty());
}

TEST(InstalledWindow, ReadsTheHelpPageFromTheDataFolderAndWritesTheUsersConfiguration) {
    QTemporaryDir prefix;
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    const QString bin = prefix.filePath("bin");
    const QString data = QDir::cleanPath(bin + "/" + InstalledDataPath());
    ASSERT_TRUE(QDir().mkpath(bin));
    ASSERT_TRUE(QDir().mkpath(data));
    testing_support::WriteBytes(data + "/tamurika.html", "<html></html>");
    {
        TmainForm form(bin);
        form.show();
        QList<QUrl> opened;
        form.OpenUrl = [&opened](const QUrl& url) {
            opened << url;
            return true;
        };
        form.N1Click();
        EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(data + "/tamurika.html")});
        EXPECT_EQ(form.Document().SettingsFileName(), home.path() + "/tamurika/tamurika.ini");
    }
    qunsetenv("XDG_CONFIG_HOME");
}

} // namespace
