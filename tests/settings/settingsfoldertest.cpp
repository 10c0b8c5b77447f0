// Where the program reads its own files and keeps the user's settings: beside itself in the
// build folder or a copy unpacked by hand, in <prefix>/share/tamurika and ~/.config/tamurika
// when installed (even where it could write into its own folder, as the superuser can).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "settings/settingsfolder.h"

namespace {

class SettingsFolderTest : public ::testing::Test {
  protected:
    void SetUp() override { qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path())); }
    void TearDown() override { qunsetenv("XDG_CONFIG_HOME"); }

    QString Config() const { return home.path() + "/tamurika/"; }
    /// Where the install rules put the data of the program in `bin`: "<prefix>/share/tamurika".
    static QString Data(const QString& bin) {
        return QDir::cleanPath(bin + "/" + InstalledDataPath());
    }

    QTemporaryDir home;   // the user's configuration folder
    QTemporaryDir prefix; // where the program lies
};

TEST_F(SettingsFolderTest, AProgramWithoutADataFolderKeepsEverythingBesideItself) {
    const QString bin = prefix.filePath("bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_FALSE(IsInstalledCopy(bin));
    EXPECT_EQ(DataFolder(bin), bin + "/");
    EXPECT_EQ(DataFolder(bin + "/"), bin + "/");
    EXPECT_EQ(SettingsFolder(bin), bin + "/");
}

TEST_F(SettingsFolderTest, AnInstalledCopyReadsItsDataFolderAndWritesTheUsersConfiguration) {
    const QString bin = prefix.filePath("bin");
    const QString data = Data(bin);
    ASSERT_TRUE(QDir().mkpath(bin));
    ASSERT_TRUE(QDir().mkpath(data));
    EXPECT_TRUE(IsInstalledCopy(bin));
    EXPECT_TRUE(IsInstalledCopy(bin + "/"));
    EXPECT_EQ(DataFolder(bin), data + "/");
    // The program's folder is writable here, as /usr/bin is for the superuser: the settings
    // still go to the user's configuration folder.
    EXPECT_EQ(SettingsFolder(bin), Config());
    EXPECT_EQ(SettingsFolder(bin + "/"), Config());
}

TEST_F(SettingsFolderTest, AFileWhereTheDataFolderWouldBeIsNoInstallation) {
    const QString bin = prefix.filePath("bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(Data(bin)).path()));
    QFile file(Data(bin));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(IsInstalledCopy(bin));
    EXPECT_EQ(SettingsFolder(bin), bin + "/");
}

TEST_F(SettingsFolderTest, NoProgramFolderMeansTheUsersConfiguration) {
    EXPECT_FALSE(IsInstalledCopy(QString()));
    EXPECT_EQ(SettingsFolder(QString()), Config());
}

} // namespace
