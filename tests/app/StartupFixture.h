#pragma once

#include "app/AppSession.h"
#include "app/fMainQVR.h"
#include "platform/FileSystem.h"
#include "support/RecordingHost.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QFile>

#include <memory>

namespace qvr::test {

// A program folder with the shipped texts and small stand-ins for the tools, in a fresh home.
class StartupFixture : public ::testing::Test {
  protected:
    TempHome home;
    RecordingHost recorder;
    AppSession session{recorder, 1};
    QString programFolder = home.path() + "/program/";

    void SetUp() override
    {
        writeFile(programFolder + "Language.ini",
                  readFile(QStringLiteral(QUORVANE_SOURCE_DIR "/data/Language.ini")));
        writeFile(programFolder + "ver.ini", "2.5.1\r\n");
        writeFile(programFolder + "Program.ini", "[SETTINGS]\r\nLanguage=GERMAN\r\n");
        for (const char* tool : {"lame.exe", "soundstretch.exe", "ffmpeg.exe"}) {
            writeFile(programFolder + tool, QByteArray("version 1 of ") + tool);
        }
    }

    QString probedFolder;  // where the start-up ran its speed probe

    void chooseLanguage(const QByteArray& code)
    {
        writeFile(home.workFolder() + "LanguageIsSet.ini", code + "\r\n");
    }

    // The language of the run and its texts, settled as the program does before its window.
    void settleLanguage() { session.settleLanguage(home.dataHome(), programFolder); }
    const ProgramTexts& texts() const { return session.texts(); }

    std::unique_ptr<TMainFormQVR> start(QStringList arguments = {}, int screenHeight = 768)
    {
        settleLanguage();
        MainFormEnvironment environment;
        environment.programFolder = programFolder;
        environment.arguments = arguments;
        environment.screenHeight = screenHeight;
        environment.measureSpeed = [this](const QString& folder) {
            probedFolder = folder;
            return 40;
        };
        return std::make_unique<TMainFormQVR>(session, environment);
    }
};

}  // namespace qvr::test
