// Where the open dialog starts: the chosen file's folder, the folder given, the nearest parent
// of one that is gone, else the user's pictures or home folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "widgets/opendialog.h"

namespace {

class OpenDialogStart : public ::testing::Test {
  protected:
    void SetUp() override {
        // A home of the test's own, without a user-dirs file that names the pictures folder.
        oldHome = qgetenv("HOME");
        oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(".config")));
    }
    void TearDown() override {
        qputenv("HOME", oldHome);
        if (oldConfig.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", oldConfig);
    }

    QTemporaryDir home;
    QTemporaryDir photos;
    QByteArray oldHome;
    QByteArray oldConfig;
};

TEST_F(OpenDialogStart, FileFolderThenInitialDirThenNearestParentThenPicturesOrHome) {
    const QString trip = photos.filePath(QStringLiteral("写真/2026 旅行"));
    ASSERT_TRUE(QDir().mkpath(trip));
    TOpenDialog dialog;
    EXPECT_EQ(dialog.StartFolder(), home.path()); // nothing known, no pictures folder
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("Pictures")));
    EXPECT_EQ(dialog.StartFolder(), home.filePath(QStringLiteral("Pictures")));

    dialog.InitialDir = trip;
    EXPECT_EQ(dialog.StartFolder(), trip);
    dialog.InitialDir = trip + QStringLiteral("/"); // however it is spelled
    EXPECT_EQ(dialog.StartFolder(), trip);
    dialog.FileName = photos.filePath(QStringLiteral("写真/a.jpg")); // the file need not exist
    EXPECT_EQ(dialog.StartFolder(), photos.filePath(QStringLiteral("写真")));

    // Gone: a removed folder gives way to its nearest parent that is still there.
    dialog.FileName.clear();
    dialog.InitialDir = trip + QStringLiteral("/消えた/もっと奥");
    EXPECT_EQ(dialog.StartFolder(), trip);
    ASSERT_TRUE(QDir(photos.filePath(QStringLiteral("写真"))).removeRecursively());
    EXPECT_EQ(dialog.StartFolder(), photos.path());
    // Nothing left but the root, or a name that is not absolute: the pictures folder.
    for (const QString& gone :
         {QStringLiteral("/no such folder/anywhere"), QStringLiteral("relative/folder")}) {
        dialog.InitialDir = gone;
        EXPECT_EQ(dialog.StartFolder(), home.filePath(QStringLiteral("Pictures")))
            << gone.toStdString();
    }
    // A file where the folder was: the folder it lies in.
    QFile file(photos.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    dialog.InitialDir = file.fileName();
    EXPECT_EQ(dialog.StartFolder(), photos.path());
}

} // namespace
