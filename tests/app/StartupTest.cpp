#include "StartupFixture.h"

#include "convert/ConversionEngine.h"

#include "app/ProgramSetup.h"
#include "convert/FileListModel.h"
#include "platform/IniFile.h"
#include "platform/NativePath.h"
#include "platform/PCSpeed_DVK.h"
#include "support/ShippedTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <map>

#include <sys/stat.h>

using namespace qvr;
using namespace qvr::test;

using Startup = StartupFixture;

TEST_F(Startup, AFirstStartMakesTheFoldersAndLinksTheTools)
{
    auto form = start();
    EXPECT_EQ(form->session().folders().paths.outputRoot(), home.outputFolder());
    EXPECT_EQ(form->session().folders().paths.workFolder(), home.workFolder());
    EXPECT_EQ(form->session().folders().SkinFolder, programFolder + "recom_GR/");
    EXPECT_EQ(form->session().folders().FfmpegPath, home.workFolder() + "ffmpeg.exe");
    EXPECT_TRUE(DirectoryExists(home.outputFolder()));
    for (const char* tool : {"lame.exe", "soundstretch.exe", "ffmpeg.exe"}) {
        EXPECT_EQ(QFileInfo(home.workFolder() + tool).symLinkTarget(),
                  QFileInfo(programFolder + tool).canonicalFilePath());
        EXPECT_EQ(readFile(home.workFolder() + tool), QByteArray("version 1 of ") + tool);
    }
    EXPECT_EQ(probedFolder, home.workFolder());
    EXPECT_EQ(form->engine().settings().pcSpeed, 40);
    EXPECT_TRUE(recorder.messages.empty());
}

// The command-line front end builds the same session without a window.
TEST_F(Startup, TheSessionMakesWhatBothFrontEndsNeedWithoutAWindow)
{
    chooseLanguage("FRANCE");
    settleLanguage();
    session.setProgramFolder(programFolder);
    session.setOutputAndWorkFolders(session.systemInfo());
    session.writeProgramSettings();
    session.linkTools();
    session.linkFfmpeg();

    EXPECT_EQ(session.texts().language(), "FRANCE");
    EXPECT_EQ(session.texts().text(505), shippedTexts("FRANCE").text(505));
    EXPECT_EQ(IniFile(programFolder + "Program.ini").readString("SETTINGS", "Language"), "FRANCE");
    EXPECT_EQ(session.folders().paths.workFolder(), home.workFolder());
    for (const char* tool : {"lame.exe", "soundstretch.exe", "ffmpeg.exe"}) {
        EXPECT_EQ(readFile(home.workFolder() + tool), QByteArray("version 1 of ") + tool);
    }
    EXPECT_TRUE(recorder.messages.empty());

    // Its messages go through its host, titled in the language of the run.
    QFile::remove(programFolder + "Program.ini");
    session.writeProgramSettings();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, programFolder + "Program.ini not found!");
    EXPECT_EQ(recorder.messages[0].title, "Erreur");
}

TEST_F(Startup, AnUpdatedToolIsRunFromItsPlaceWithoutACopy)
{
    start();
    for (const char* tool : {"lame.exe", "soundstretch.exe", "ffmpeg.exe"}) {
        writeFile(programFolder + tool, QByteArray("version 2 of ") + tool);
    }
    start();
    for (const char* tool : {"lame.exe", "soundstretch.exe", "ffmpeg.exe"}) {
        EXPECT_EQ(readFile(home.workFolder() + tool), QByteArray("version 2 of ") + tool);
    }
}

namespace {

// What the work folder holds under a tool's name before the start.
enum class WorkEntry { Nothing, StaleCopy, CorrectLink, LinkElsewhere, DanglingLink };

struct ToolLinkCase {
    const char* name;
    WorkEntry before;
    bool sourceThere;  // the program folder has the tool
};

// The inode of the entry itself, a link not followed.
ino_t ownInode(const QString& path)
{
    struct stat st {};
    return ::lstat(toNativeBytes(path).c_str(), &st) == 0 ? st.st_ino : 0;
}

}  // namespace

TEST_F(Startup, TheWorkFoldersToolsAreLinksToTheRealPrograms)
{
    const ToolLinkCase cases[] = {
        {"nothing yet", WorkEntry::Nothing, true},
        {"a copy left by an older version", WorkEntry::StaleCopy, true},
        {"the right link", WorkEntry::CorrectLink, true},
        {"a link to another place", WorkEntry::LinkElsewhere, true},
        {"a dangling link", WorkEntry::DanglingLink, true},
        {"no tool to link to, nothing there", WorkEntry::Nothing, false},
        {"no tool to link to, a copy there", WorkEntry::StaleCopy, false},
        {"no tool to link to, a link there", WorkEntry::LinkElsewhere, false},
    };
    // The program folder's entries lead, through a link, to the programs in a system folder.
    const QString system = home.path() + "/system/bin/";
    writeFile(home.path() + "/elsewhere", "elsewhere");
    for (const char* tool : {"lame.exe", "soundstretch.exe", "ffmpeg.exe"}) {
        writeFile(system + tool, QByteArray("system ") + tool);
        QFile::remove(programFolder + tool);
        ASSERT_TRUE(QFile::link(system + tool, programFolder + tool));
    }
    ProgramFolders folders;
    folders.ProgramFolder = programFolder;
    folders.paths.setWorkFolder(home.workFolder());
    ASSERT_TRUE(ForceDirectories(folders.paths.workFolder()));

    for (const ToolLinkCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* tool : {"lame.exe", "soundstretch.exe", "ffmpeg.exe"}) {
            const QString entry = folders.paths.workFolder() + tool;
            QFile::remove(entry);
            switch (c.before) {
                case WorkEntry::Nothing: break;
                case WorkEntry::StaleCopy: writeFile(entry, "old copy"); break;
                case WorkEntry::CorrectLink:
                    QFile::link(QFileInfo(system + tool).canonicalFilePath(), entry);
                    break;
                case WorkEntry::LinkElsewhere:
                    QFile::link(home.path() + "/elsewhere", entry);
                    break;
                case WorkEntry::DanglingLink: QFile::link(home.path() + "/gone", entry); break;
            }
            QFile::remove(programFolder + tool);
            if (c.sourceThere) {
                QFile::link(system + tool, programFolder + tool);
            }
        }
        std::map<QString, ino_t> inodesBefore;
        for (const char* tool : {"lame.exe", "soundstretch.exe", "ffmpeg.exe"}) {
            inodesBefore[tool] = ownInode(folders.paths.workFolder() + tool);
        }

        CopyTools(folders);
        CopyFfmpeg(folders);

        EXPECT_EQ(folders.FfmpegPath, folders.paths.workFolder() + "ffmpeg.exe");
        for (const char* tool : {"lame.exe", "soundstretch.exe", "ffmpeg.exe"}) {
            SCOPED_TRACE(tool);
            const QString entry = folders.paths.workFolder() + tool;
            const QFileInfo info(entry);
            if (!c.sourceThere) {  // left exactly as it was
                EXPECT_EQ(ownInode(entry), inodesBefore[tool]);
                if (c.before == WorkEntry::StaleCopy) {
                    EXPECT_EQ(readFile(entry), "old copy");
                }
                if (c.before == WorkEntry::LinkElsewhere) {
                    EXPECT_EQ(info.symLinkTarget(), home.path() + "/elsewhere");
                }
                continue;
            }
            EXPECT_TRUE(info.isSymLink());
            EXPECT_EQ(info.symLinkTarget(), QFileInfo(system + tool).canonicalFilePath());
            EXPECT_EQ(readFile(entry), QByteArray("system ") + tool);
            if (c.before == WorkEntry::CorrectLink) {
                EXPECT_EQ(ownInode(entry), inodesBefore[tool]);  // not made again
            }
        }
        EXPECT_EQ(readFile(home.path() + "/elsewhere"), "elsewhere");
        // Nothing is left behind under a temporary name.
        QStringList left =
            QDir(folders.paths.workFolder())
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const char* tool : {"lame.exe", "soundstretch.exe", "ffmpeg.exe"}) {
            left.removeAll(tool);
        }
        EXPECT_TRUE(left.isEmpty()) << left.join(", ").toStdString();
    }
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
    EXPECT_FALSE(form->engine().running());
}

TEST_F(Startup, AMissingTextFileLeavesTheColumnsWithoutCaptions)
{
    QFile::remove(programFolder + "Language.ini");
    auto form = start();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, programFolder + "Language.ini not found!");
    for (int column = 0; column < FileListModel::kColumnCount; ++column) {
        EXPECT_EQ(form->files().columnCaption(column), "");
    }
    EXPECT_FALSE(form->engine().running());
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
            captions << form->files().columnCaption(column);
        }
        EXPECT_EQ(captions, c.captions) << c.code;
        // A converted row says so in the language of the run.
        form->files().addRow("/m/a.mp3");
        form->files().setEnded(0, JobResult(JobOutcome::Converted));
        const QModelIndex status = form->files().index(0, FileListModel::StatusColumn);
        EXPECT_EQ(form->files().data(status).toString(), QString::fromUtf8(c.done));
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
