#include "StartupFixture.h"

#include "convert/ConversionEngine.h"
#include "convert/FileListModel.h"
#include "convert/JobTexts.h"
#include "lang/Language.h"
#include "support/EngineProbe.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

using namespace qvr;
using namespace qvr::test;

using Drop = StartupFixture;

namespace {

QMimeData* urlsOf(const QStringList& paths)
{
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls << QUrl::fromLocalFile(path);
    }
    data->setUrls(urls);
    return data;
}

QStringList listed(const FileListModel& files)
{
    QStringList inputs;
    for (int row = 0; row < files.rowCount(); ++row) {
        inputs << QFileInfo(files.input(row)).fileName();
    }
    inputs.sort();
    return inputs;
}

}  // namespace

// What is dropped on the window is taken as Open File and Open Folder take it.
TEST_F(Drop, FilesAndFoldersFillTheListAsTheOpenButtonsDo)
{
    struct Case {
        const char* name;
        QStringList dropped;
        MessageButton subfolderAnswer;
        QStringList listed;
        bool askedForSubfolders;
        bool refused;
    };
    const QString music = home.path() + "/Music/";
    for (const char* file : {"a.wav", "b.mp3", "album/c.flac", "album/disc 2/d.wav", "notes.txt",
                             "album/.quorvane-1-0.part.wav"}) {
        QDir().mkpath(QFileInfo(music + file).path());
        writeFile(music + file, "x");
    }
    QFile::link(music + "album", music + "album/disc 2/back");
    const Case cases[] = {
        {"two files",
         {music + "a.wav", music + "b.mp3"},
         MessageButton::No,
         {"a.wav", "b.mp3"},
         false,
         false},
        {"a folder with its subfolders",
         {music + "album"},
         MessageButton::Yes,
         {"c.flac", "d.wav"},
         true,
         false},
        {"a folder alone", {music + "album"}, MessageButton::No, {"c.flac"}, true, false},
        {"a file of another kind", {music + "notes.txt"}, MessageButton::No, {}, false, true},
        {"a file and one of another kind",
         {music + "a.wav", music + "notes.txt"},
         MessageButton::No,
         {"a.wav"},
         false,
         true},
        {"a file with its folder, and a link back into it",
         {music + "album/c.flac", music + "album"},
         MessageButton::Yes,
         {"c.flac", "d.wav"},
         true,
         false},
        {"a partial output of a run",
         {music + "album/.quorvane-1-0.part.wav"},
         MessageButton::No,
         {},
         false,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto form = start();
        recorder.messages.clear();
        recorder.answerNext(c.subfolderAnswer);
        std::unique_ptr<QMimeData> data(urlsOf(c.dropped));
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, data.get(), Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(form.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, data.get(), Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(form.get(), &drop);

        EXPECT_EQ(listed(form->files()), c.listed);
        QStringList shown;
        for (const MessageBoxRequest& message : recorder.messages) {
            shown << message.text;
        }
        EXPECT_EQ(shown.contains(texts().text(10000)), c.askedForSubfolders);
        EXPECT_EQ(shown.contains(UnsupportedFileText(texts())), c.refused);
        recorder.answers.clear();
    }
}

TEST_F(Drop, NothingIsTakenWhileARunGoes)
{
    auto form = start();
    writeFile(home.path() + "/a.wav", "x");
    EngineProbe::holdAsRunning(form->engine(), true);
    std::unique_ptr<QMimeData> data(urlsOf({home.path() + "/a.wav"}));
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, data.get(), Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    EngineProbe::holdAsRunning(form->engine(), false);
}
