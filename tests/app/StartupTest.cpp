#include "StartupFixture.h"

#include "convert/ConversionEngine.h"

#include "convert/FileListModel.h"
#include "platform/PCSpeed_DVK.h"

#include <QCoreApplication>

using namespace qvr;
using namespace qvr::test;

using Startup = StartupFixture;

TEST_F(Startup, AFirstStartMakesTheFoldersAndCopiesTheTools)
{
    auto form = start();
    EXPECT_EQ(form->Folders.ProgramOutputFolder, home.outputFolder());
    EXPECT_EQ(form->Folders.WorkFolder, home.workFolder());
    EXPECT_EQ(form->Folders.SkinFolder, programFolder + "recom_GR/");
    EXPECT_EQ(form->Folders.FfmpegPath, home.workFolder() + "ffmpeg.exe");
    EXPECT_TRUE(DirectoryExists(home.outputFolder()));
    for (const char* tool : {"lame.exe", "soundstretch.exe", "ffmpeg.exe"}) {
        EXPECT_EQ(readFile(home.workFolder() + tool), QByteArray("version 1 of ") + tool);
    }
    EXPECT_EQ(SpeedProbeFolder, home.workFolder());
    EXPECT_EQ(form->Engine->State.PcSpeed, 40);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(Startup, OnlyTheTimeStretchToolIsCopiedAgain)
{
    start();
    for (const char* tool : {"lame.exe", "soundstretch.exe", "ffmpeg.exe"}) {
        writeFile(programFolder + tool, QByteArray("version 2 of ") + tool);
    }
    start();
    EXPECT_EQ(readFile(home.workFolder() + "lame.exe"), "version 1 of lame.exe");
    EXPECT_EQ(readFile(home.workFolder() + "ffmpeg.exe"), "version 1 of ffmpeg.exe");
    EXPECT_EQ(readFile(home.workFolder() + "soundstretch.exe"), "version 2 of soundstretch.exe");
}

TEST_F(Startup, TheLanguageIsRecordedInProgramIni)
{
    start();
    EXPECT_EQ(readFile(programFolder + "Program.ini"), "[SETTINGS]\r\nLanguage=ENGLISH\r\n");
    chooseLanguage("ITALIAN");
    start();
    EXPECT_EQ(readFile(programFolder + "Program.ini"), "[SETTINGS]\r\nLanguage=ITALIAN\r\n");
}

TEST_F(Startup, AMissingProgramIniIsReportedOnceAndNotCreated)
{
    QFile::remove(programFolder + "Program.ini");
    auto form = start();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, programFolder + "Program.ini not found!");
    EXPECT_EQ(recorder.messages[0].kind, MessageKind::Error);
    EXPECT_FALSE(FileExists(programFolder + "Program.ini"));
    EXPECT_TRUE(form->Engine->State.Idle);
}

TEST_F(Startup, AMissingTextFileLeavesTheColumnsWithoutCaptions)
{
    QFile::remove(programFolder + "Language.ini");
    auto form = start();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, programFolder + "Language.ini not found!");
    for (int column = 0; column < FileListModel::kColumnCount; ++column) {
        EXPECT_EQ(form->Files->columnCaption(column), "");
    }
    EXPECT_TRUE(form->Engine->State.Idle);
}

TEST_F(Startup, ColumnCaptionsAndDoneTextFollowTheLanguage)
{
    struct Case {
        const char* code;
        QStringList captions;
        const char* done;
    };
    const Case cases[] = {
        {"GERMAN", {"Eingabe", "Zeit", "Ausgabe", "Fortschritt", "Konvertiert"}, "Fertig"},
        {"ENGLISH", {"Input", "Time", "Output", "Progress", "Converted"}, "Done"},
        {"SPAIN", {"Entrada", "Tiempo", "Salida", "Progreso", "Convertido"}, "Hecho"},
        {"FRANCE", {"Entrée", "Temps", "Sortie", "Progression", "Converti"}, "Terminé"},
        {"ITALIAN", {"Ingresso", "Tempo", "Uscita", "Avanzamento", "Convertito"}, "Fatto"},
    };
    for (const Case& c : cases) {
        chooseLanguage(c.code);
        auto form = start();
        QStringList captions;
        for (int column = 0; column < FileListModel::kColumnCount; ++column) {
            captions << form->Files->columnCaption(column);
        }
        EXPECT_EQ(captions, c.captions) << c.code;
        EXPECT_EQ(form->Engine->State.DoneStatusText, QString::fromUtf8(c.done));
        EXPECT_EQ(form->windowTitle(), "Quorvane 2.5.1");
    }
}

TEST_F(Startup, WithoutAVersionFileTheCaptionStillNamesAVersion)
{
    QFile::remove(programFolder + "ver.ini");
    auto form = start();
    EXPECT_EQ(form->windowTitle(), "Quorvane " + QCoreApplication::applicationVersion());
}

TEST_F(Startup, AStaleRipResultIsRemoved)
{
    writeFile(home.outputFolder() + "RIPPERRESULT.txt", "mrOK\r\n");
    start();
    EXPECT_FALSE(FileExists(home.outputFolder() + "RIPPERRESULT.txt"));
}
