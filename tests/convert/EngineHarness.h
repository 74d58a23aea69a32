#pragma once

#include "convert/ConversionEngine.h"
#include "convert/FileListModel.h"
#include "lang/MessageBoxes.h"
#include "lang/ProgramTexts.h"
#include "platform/NativePath.h"
#include "support/FakeClock.h"
#include "support/RecordingHost.h"
#include "support/ShippedTexts.h"
#include "support/TempHome.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>

#include <sys/stat.h>

namespace qvr::test {

// A run view that writes down what the run showed.
class RecordingRunView : public RunView {
  public:
    bool chosen = true;
    bool locked = false;
    QStringList runCounts;
    QString errorText;
    bool errorVisible = false;
    bool noteVisible = false;
    std::vector<std::pair<int, JobResult>> ended;
    std::function<void()> onErrorShown;

    bool frequencyChosen() const override { return chosen; }
    void lockControls(bool running) override { locked = running; }
    void showRunCount(const QString& text) override { runCounts << text; }
    void hideRunCount() override {}
    void toggleConvertingNote() override { noteVisible = !noteVisible; }
    void hideConvertingNote() override { noteVisible = false; }
    void showErrorText(const QString& text, bool visible) override
    {
        errorText = text;
        errorVisible = visible;
        if (visible && onErrorShown) {
            onErrorShown();
        }
    }
    void showCurrentRow(int) override {}
    void jobEnded(int row, const JobResult& result) override { ended.emplace_back(row, result); }
};

// The engine in a fresh home, with a clock the test drives and texts of its own.
class EngineTest : public ::testing::Test {
  protected:
    TempHome home;
    RecordingHost recorder;
    MessageBoxes messages{recorder, 1};
    ProgramTexts texts = shippedTexts();
    FileListModel files;
    RecordingRunView view;
    FakeClock clock;
    ConversionEngine engine{files, view, messages, texts, clock};
    QString work = home.workFolder();
    QString music = home.path() + "/Music/";

    void SetUp() override
    {
        QDir().mkpath(work);
        QDir().mkpath(music);
        engine.configure(StartingSettings(ProgramPaths::forUser(home.documents(), home.dataHome()),
                                          RunStyle::Window));
        engine.setStatusWords("Done", "Failed");
    }

    // A tool in the work folder: a shell script run in the work folder. In its body, $REAL
    // names the real tool of that name, so a script can misbehave around the real work.
    void installTool(const QString& name, const QByteArray& body)
    {
        const QString real = RealToolPath(name.toLatin1().constData());
        QFile::remove(work + name);
        writeFile(work + name, "#!/bin/sh\nREAL='" + real.toUtf8() + "'\n" + body);
        ::chmod(toNativeBytes(work + name).c_str(), 0755);
    }

    void installRealTools() { test::installRealTools(work); }

    void convert(const QStringList& inputs, int frequencyIndex = 4)
    {
        engine.fillList(inputs);
        engine.applyFrequency(frequencyIndex);
        runToTheEnd();
    }

    // Starts a run and handles events until it is over.
    void runToTheEnd()
    {
        bool finished = false;
        const auto connection = QObject::connect(&engine, &ConversionEngine::runFinished,
                                                 [&finished] { finished = true; });
        engine.run();
        const bool ended = waitForEvents([&] { return finished; }, 120'000);
        QObject::disconnect(connection);
        ASSERT_TRUE(ended) << "the run did not end";
    }

    QString outputFolderFor(const QString& input, const char* frequency = "432")
    {
        return home.documents() + "Quorvane/" + frequency + " Hz" +
               QFileInfo(input).absolutePath() + "/";
    }

    QString cell(int row, int column) { return files.cellText(row, column); }

    // The files left in the work folder, tools and the batch file aside.
    QStringList workFilesLeft()
    {
        QStringList left = QDir(work).entryList(QDir::Files | QDir::Hidden);
        for (const char* kept :
             {"lame.exe", "ffmpeg.exe", "soundstretch.exe", "conv.bat", "quorvane.lock", "tried"}) {
            left.removeAll(kept);
        }
        return left;
    }

    // Every file below the output tree, hidden ones included.
    QStringList outputTree()
    {
        QStringList found;
        QDirIterator it(home.outputFolder(), QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            found << it.next();
        }
        return found;
    }
};

}  // namespace qvr::test
