// What the tests of tamurika-export share: a copy of the program in a folder of its own (the
// settings files beside it are the test's), run as a user would run it, and the check that
// argument lists are refused with their messages.
#pragma once

#include <initializer_list>
#include <utility>

#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "export/exportcommand.h"
#include "runexport.h"

namespace testing_support {

/// A copy of tamurika-export in `program`, run in `work` in Japan's time zone.
class ExportProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QFile::copy(QStringLiteral(TAMURIKA_EXPORT_PROGRAM), Program()));
    }
    QString Program() const { return program.filePath(QStringLiteral("tamurika-export")); }
    QString Path(const QString& name) const { return work.filePath(name); }
    /// Writes a settings file (tamurika.ini, senoruta.ini) beside the program.
    void WriteSetting(const QString& name, const QByteArray& text) {
        QFile f(program.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    ExportResult Run(const QStringList& arguments) {
        return RunExport(Program(), arguments, work.path(), QStringLiteral("Asia/Tokyo"), 120000);
    }

    QTemporaryDir program;
    QTemporaryDir work;
};

/// Each argument list of `bad`, after `common`, is refused with its message.
inline void ExpectRefused(std::initializer_list<std::pair<QStringList, QString>> bad,
                          const QStringList& common = {}) {
    for (const auto& [rest, message] : bad) {
        const QStringList arguments = common + rest;
        try {
            ParseExportArguments(arguments);
            ADD_FAILURE() << "accepted: " << arguments.join(u' ').toStdString();
        } catch (const EExportUsage& e) {
            EXPECT_EQ(e.Message(), message) << arguments.join(u' ').toStdString();
        }
    }
}

} // namespace testing_support
