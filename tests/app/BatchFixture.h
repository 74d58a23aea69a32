#pragma once

#include "platform/NativePath.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <map>

#include <sys/stat.h>

namespace qvr::test {

struct BatchRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline bool alive(pid_t pid)
{
    const QByteArray stat = readFile(QString("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(')');
    return close > 0 && close + 2 < stat.size() && stat.at(close + 2) != 'Z';
}

class Batch : public ::testing::Test {
  protected:
    TempHome home;
    QString music = home.path() + "/Music/";
    QString program = QStringLiteral(QUORVANE_PROGRAM_DIR "/quorvane-batch");

    void SetUp() override { QDir().mkpath(music); }

    // A program folder of its own, whose tools are scripts; $REAL in a script names the real
    // tool.
    void useProgramFolderWithTools(const std::map<QString, QByteArray>& scripts)
    {
        const QString folder = home.path() + "/program/";
        QDir().mkpath(folder);
        for (const char* name : {"quorvane-batch", "Language.ini", "ver.ini", "Program.ini"}) {
            QFile::copy(QStringLiteral(QUORVANE_PROGRAM_DIR "/") + name, folder + name);
        }
        for (const char* tool : {"lame.exe", "ffmpeg.exe", "soundstretch.exe"}) {
            const QString real = RealToolPath(tool);
            const auto script = scripts.find(tool);
            if (script == scripts.end()) {
                QFile::link(real, folder + tool);
                continue;
            }
            writeFile(folder + tool, "#!/bin/sh\nREAL='" + real.toUtf8() + "'\n" + script->second);
            ::chmod(toNativeBytes(folder + tool).c_str(), 0755);
        }
        program = folder + "quorvane-batch";
    }

    void start(QProcess& process, const QStringList& arguments, const QString& folder = QString(),
               const QStringList& unset = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString& name : unset) {
            environment.remove(name);
        }
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder.isEmpty() ? music : folder);
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(program, arguments);
    }

    BatchRun run(const QStringList& arguments, const QString& folder = QString())
    {
        QProcess process;
        start(process, arguments, folder);
        EXPECT_TRUE(process.waitForFinished(120000));
        return {process.exitCode(), process.readAllStandardOutput(),
                process.readAllStandardError()};
    }

    QString outputFolder(const char* frequency = "432")
    {
        return home.outputFolder() + frequency + " Hz" + QDir::cleanPath(music) + "/";
    }

    QStringList tree(const QString& folder)
    {
        QStringList found;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            found << it.next();
        }
        return found;
    }

    // Whether a work file of this name is in the work folder or in one of its jobs' folders.
    bool workFileExists(const QString& name)
    {
        const QStringList files = tree(home.workFolder());
        return std::any_of(files.begin(), files.end(),
                           [&](const QString& path) { return path.endsWith(u'/' + name); });
    }
};

}  // namespace qvr::test
