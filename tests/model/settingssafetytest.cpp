// The settings file under faults, with real second processes: two copies of the program saving
// at once, a save that meets a full disk (a file-size limit), a folder the user may not write.
// Whatever happens the file holds whole slots, and a refused save leaves it byte for byte.
#include <gtest/gtest.h>

#include <grp.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "app/qtprint.h"
#include "model/settingsslots.h"
#include "settings/inifile.h"
#include "slotsaver.h"

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

struct SaverRun {
    int ExitCode = -1;
    QString Errors;
};

// Starts the slot saver; `limit` runs in the child before it starts (a resource limit, another
// user).
std::unique_ptr<QProcess> StartSaver(const QString& file, int slot, int tag, int count, bool sole,
                                     const std::function<void()>& limit = nullptr) {
    auto process = std::make_unique<QProcess>();
    if (limit)
        process->setChildProcessModifier(limit);
    QStringList args{file, QString::number(slot), QString::number(tag), QString::number(count)};
    if (sole)
        args << QStringLiteral("--sole");
    process->start(QStringLiteral(TAMURIKA_SLOTSAVER), args);
    return process;
}

SaverRun Finish(QProcess& process) {
    SaverRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.ExitCode = process.exitCode();
    run.Errors = QString::fromUtf8(process.readAllStandardError()).trimmed();
    return run;
}

// The save a slot came from: every value must name the same writer and save.
std::optional<std::pair<int, int>> WholeSave(const TIniFile& ini, int slot) {
    const QString comment = ReadSlotDirectory(ini).Comments[slot - 1];
    const QStringList parts = comment.mid(2).split(u'-');
    if (!comment.startsWith(QStringLiteral("保存")) || parts.size() != 2)
        return std::nullopt;
    const int tag = parts[0].toInt(), save = parts[1].toInt();
    if (ReadSlot(ini, slot) != slotsaver::Settings(tag, save))
        return std::nullopt;
    return std::pair{tag, save};
}

class SettingsSafety : public ::testing::Test {
  protected:
    QString Path() const { return dir.filePath(QStringLiteral("tamurika.ini")); }
    QTemporaryDir dir;
};

TEST_F(SettingsSafety, TwoCopiesSavingAtOnceLeaveWholeSlotsAndLoseNoSave) {
    constexpr int Saves = 25;
    // Copies 1 and 2 each own a slot and check before every save that their last one is
    // still there; copies 3 and 4 fight over one slot.
    const auto one = StartSaver(Path(), 2, 1, Saves, true);
    const auto two = StartSaver(Path(), 7, 2, Saves, true);
    const auto three = StartSaver(Path(), 5, 3, Saves, false);
    const auto four = StartSaver(Path(), 5, 4, Saves, false);
    for (QProcess* p : {one.get(), two.get(), three.get(), four.get()}) {
        const SaverRun run = Finish(*p);
        EXPECT_EQ(run.ExitCode, 0) << run.Errors.toStdString();
    }
    const TIniFile ini(Path());
    EXPECT_EQ(WholeSave(ini, 2), (std::pair{1, Saves - 1}));
    EXPECT_EQ(WholeSave(ini, 7), (std::pair{2, Saves - 1}));
    const auto shared = WholeSave(ini, 5);
    ASSERT_TRUE(shared.has_value()) << "slot 5 is pieced together from several saves";
    EXPECT_TRUE(shared->first == 3 || shared->first == 4);
    EXPECT_EQ(shared->second, Saves - 1);
    const int last = ReadSlotDirectory(ini).LastSlot;
    EXPECT_TRUE(last == 2 || last == 7 || last == 5) << last;
    // One section per slot: no save added a second copy of one.
    EXPECT_EQ(TIniDocument::Parse(ReadBytes(Path())).Sections().size(), 4);
    EXPECT_EQ(ReadBytes(Path()).count("[settei5]"), 1);
    // No lock or half-written file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("tamurika.ini")});
}

TEST_F(SettingsSafety, AFullDiskRefusesTheSaveAndKeepsTheOldFile) {
    {
        TIniFile ini(Path());
        const TSlotSettings first = slotsaver::Settings(1, 0);
        SaveSlotSettings(ini, 1, QStringLiteral("年賀用"), first, first.TitleStyle);
    }
    const QByteArray before = ReadBytes(Path());
    // A file-size limit of the old file's size: the new file, a slot longer, cannot be written
    // whole, as on a disk with that much room left.
    const rlim_t room = rlim_t(before.size());
    const auto saver = StartSaver(Path(), 3, 9, 1, false, [room] {
        const rlimit limit{room, room};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    const SaverRun run = Finish(*saver);
    EXPECT_EQ(run.ExitCode, 3);
    EXPECT_EQ(run.Errors,
              QFileInfo(Path()).absoluteFilePath() + QStringLiteral(" に書き込めません"));
    EXPECT_EQ(ReadBytes(Path()), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("tamurika.ini")});
    // With room again the same save goes through.
    EXPECT_EQ(Finish(*StartSaver(Path(), 3, 9, 1, false)).ExitCode, 0);
    EXPECT_EQ(WholeSave(TIniFile(Path()), 3), (std::pair{9, 0}));
}

TEST_F(SettingsSafety, AFolderTheUserMayNotWriteRefusesTheSaveAndKeepsTheFile) {
    const QString folder = dir.filePath(QStringLiteral("program"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + QStringLiteral("/tamurika.ini");
    {
        TIniFile ini(file);
        const TSlotSettings first = slotsaver::Settings(1, 0);
        SaveSlotSettings(ini, 1, QStringLiteral("年賀用"), first, first.TitleStyle);
    }
    const QByteArray before = ReadBytes(file);
    // The file itself may be written; the folder, where the new file and the lock go, not.
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                      QFileDevice::ReadOther | QFileDevice::ExeOther);
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ReadOther | QFileDevice::WriteOther);
    // The superuser may write anywhere; the saver then runs as the unprivileged user nobody.
    const bool root = ::geteuid() == 0;
    const auto saver = StartSaver(file, 3, 9, 1, false, [root] {
        if (root) {
            const gid_t group = 65534;
            ::setgroups(1, &group);
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(99);
        }
    });
    const SaverRun run = Finish(*saver);
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_NE(run.ExitCode, 99) << "cannot become the user nobody";
    EXPECT_EQ(run.ExitCode, 3) << run.Errors.toStdString();
    EXPECT_EQ(run.Errors, file + QStringLiteral(" に書き込めません"));
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("tamurika.ini")});
}

TEST_F(SettingsSafety, AGroupOfWritesReachesTheFileTogetherOrNotAtAll) {
    TIniFile ini(Path());
    ini.WriteString(QStringLiteral("s"), QStringLiteral("a"), QStringLiteral("old"));
    const QByteArray before = ReadBytes(Path());
    {
        TIniFileUpdate update(ini);
        ini.WriteString(QStringLiteral("s"), QStringLiteral("a"), QStringLiteral("new"));
        ini.WriteInteger(QStringLiteral("t"), QStringLiteral("n"), 5);
        // Reads inside the group see its writes; the file does not yet.
        EXPECT_EQ(ini.ReadString(QStringLiteral("s"), QStringLiteral("a"), {}),
                  QStringLiteral("new"));
        EXPECT_EQ(ReadBytes(Path()), before);
        EXPECT_TRUE(QFileInfo::exists(Path() + QStringLiteral(".lock")));
        // Left without Commit, as when a later write raises.
    }
    EXPECT_EQ(ReadBytes(Path()), before);
    EXPECT_FALSE(QFileInfo::exists(Path() + QStringLiteral(".lock")));
    {
        TIniFileUpdate update(ini);
        ini.WriteString(QStringLiteral("s"), QStringLiteral("a"), QStringLiteral("new"));
        ini.WriteInteger(QStringLiteral("t"), QStringLiteral("n"), 5);
        update.Commit();
    }
    EXPECT_EQ(ReadBytes(Path()), QByteArray("[s]\r\na=new\r\n\r\n[t]\r\nn=5\r\n"));
    EXPECT_FALSE(QFileInfo::exists(Path() + QStringLiteral(".lock")));
}

} // namespace
