// quorvane-batch --cd on CUE images as people store them, with the real tools: the data file
// the sheet names, album rips in one FLAC file and in one WAV file per track, and images that
// are refused at once. The sheet and its data files are never changed.

#include "BatchFixture.h"
#include "cdrip/CdImage.h"
#include "convert/AudioCheck.h"
#include "support/Audio.h"
#include "support/TaggedFiles.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <map>

#include <sys/stat.h>

using namespace qvr;
using namespace qvr::test;

namespace {

constexpr int kFramesPerSecond = 44100;

// A pure tone in both channels, so that its pitch can be measured after the conversion.
QByteArray pureTone(double seconds, double hertz)
{
    return stereoTone(static_cast<int>(seconds * kFramesPerSecond), hertz, kFramesPerSecond, 1.0);
}

// The files of the folder by name with their bytes (a huge sparse one by size and time).
std::map<QString, QByteArray> contents(const QString& folder)
{
    std::map<QString, QByteArray> files;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files | QDir::System)) {
        files[info.fileName()] =
            info.size() > (qint64{16} << 20) || !info.isFile()
                ? QByteArray::number(info.size()) + ' ' +
                      QByteArray::number(info.lastModified().toMSecsSinceEpoch())
                : readFile(info.filePath());
    }
    return files;
}

}  // namespace

class BatchCdImage : public Batch {
  protected:
    QString cdFolder(const QString& album)
    {
        return home.outputFolder() + "CD-ROM-Input/" + album + "/";
    }

    QStringList mp3s(const QString& folder)
    {
        QStringList found = tree(folder).filter(QStringLiteral(".mp3"));
        found.sort();
        return found;
    }
};

// The sheet names "Album (disc 1).bin"; an "album.bin" of other music lies beside it.
TEST_F(BatchCdImage, TheDataFileTheSheetNamesIsConvertedNotTheOneNamedLikeIt)
{
    writeFile(music + "Album (disc 1).bin", pureTone(3.0, 440.0));
    writeFile(music + "album.bin", pureTone(3.0, 660.0));
    writeFile(music + "album.cue",
              "TITLE \"Album\"\nFILE \"Album (disc 1).bin\" BINARY\n"
              "  TRACK 01 AUDIO\n    TITLE \"Song\"\n    INDEX 01 00:00:00\n");
    const auto before = contents(music);
    const BatchRun cd = run({"--frequency", "432", "--cd", "album.cue"});

    EXPECT_EQ(cd.exitCode, 0) << cd.err.toStdString();
    const QStringList outputs = mp3s(cdFolder("Album"));
    ASSERT_EQ(outputs, QStringList{cdFolder("Album") + "432 Hz/Song-432 Hz.mp3"});
    EXPECT_NEAR(measurePitch(outputs[0]), 432.0, 2.0);
    EXPECT_TRUE(contents(music) == before);
}

// A sheet whose data file is missing names it and converts nothing, even with a file named like
// the sheet beside it.
TEST_F(BatchCdImage, AMissingDataFileIsNamedAndNothingIsConverted)
{
    writeFile(music + "album.bin", pureTone(3.0, 660.0));
    writeFile(music + "album.cue",
              "FILE \"Album (disc 1).bin\" BINARY\n"
              "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
    const auto before = contents(music);
    const BatchRun cd = run({"--frequency", "432", "--cd", "album.cue"});

    EXPECT_NE(cd.exitCode, 0);
    EXPECT_TRUE(cd.err.contains("The data file " + music.toUtf8() +
                                "Album (disc 1).bin that the CUE sheet names does not exist."))
        << cd.err.toStdString();
    EXPECT_TRUE(mp3s(home.outputFolder()).isEmpty());
    EXPECT_TRUE(contents(music) == before);
}

// An album rip in one FLAC file and one in a WAV file per track: every track is cut at its
// INDEX 01, converted to its length and tagged with the sheet's TITLE and PERFORMER.
TEST_F(BatchCdImage, AlbumRipsInOneFlacOrInAFilePerTrackAreConvertedAndTagged)
{
    const QByteArray first = pureTone(2.0, 440.0);
    const QByteArray second = pureTone(3.0, 550.0);
    const QByteArray disc = "TITLE \"Live\"\nPERFORMER \"The Band\"\n";
    const QByteArray tracks[] = {"  TRACK 01 AUDIO\n    TITLE \"Opening\"\n    INDEX 01 00:00:00\n",
                                 "  TRACK 02 AUDIO\n    TITLE \"Encore\"\n    INDEX 01 00:02:00\n",
                                 "  TRACK 02 AUDIO\n    TITLE \"Encore\"\n    INDEX 01 00:00:00\n"};
    const struct {
        const char* what;
        std::function<void()> make;
    } cases[] = {
        {"one FLAC",
         [&] {
             ASSERT_TRUE(writeFlac(music + "Live.flac", first + second));
             writeFile(music + "Live.cue",
                       disc + "FILE \"Live.flac\" WAVE\n" + tracks[0] + tracks[1]);
         }},
        {"a WAV file per track",
         [&] {
             writeFile(music + "01 Opening.wav", wavFile(first));
             writeFile(music + "02 Encore.wav", wavFile(second));
             writeFile(music + "Live.cue", disc + "FILE \"01 Opening.wav\" WAVE\n" + tracks[0] +
                                               "FILE \"02 Encore.wav\" WAVE\n" + tracks[2]);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(music).removeRecursively();
        QDir(home.outputFolder()).removeRecursively();
        QDir().mkpath(music);
        c.make();
        const auto before = contents(music);
        const BatchRun cd = run({"--frequency", "432", "--cd", "Live.cue"});

        EXPECT_EQ(cd.exitCode, 0) << cd.err.toStdString();
        const QString folder = cdFolder("Live") + "432 Hz/";
        ASSERT_EQ(mp3s(cdFolder("Live")),
                  QStringList({folder + "Encore-432 Hz.mp3", folder + "Opening-432 Hz.mp3"}));
        const struct {
            const char* title;
            double seconds, hertz;
            const char* number;
        } expected[] = {{"Opening", 2.0, 440.0, "1/2"}, {"Encore", 3.0, 550.0, "2/2"}};
        for (const auto& e : expected) {
            const QString mp3 = folder + e.title + "-432 Hz.mp3";
            const AudioFacts facts = DecodeAudio(mp3);
            EXPECT_TRUE(facts.complete) << e.title;
            EXPECT_NEAR(facts.seconds, e.seconds * 440.0 / 432.0, 0.05) << e.title;
            EXPECT_NEAR(measurePitch(mp3), e.hertz * 432.0 / 440.0, 2.0) << e.title;
            const Tags tags = readTags(mp3);
            EXPECT_EQ(tags.fields.value("TITLE"), QStringList{e.title});
            EXPECT_EQ(tags.fields.value("ARTIST"), QStringList{"The Band"});
            EXPECT_EQ(tags.fields.value("ALBUM"), QStringList{"Live"});
            EXPECT_EQ(tags.fields.value("TRACKNUMBER"), QStringList{e.number});
        }
        EXPECT_TRUE(contents(music) == before);
    }
}

// A sheet that is a named pipe, and a sheet over a 4 GB sparse BIN: refused with the file's name
// before anything is read; the harness lets the run take no longer than its bound.
TEST_F(BatchCdImage, APipeOrAHugeSparseFileIsRefusedAtOnce)
{
    const struct {
        const char* what;
        const char* sheet;
        std::function<void()> make;
        QByteArray said;
    } cases[] = {
        {"a pipe as the sheet", "pipe.cue",
         [&] { ASSERT_EQ(::mkfifo(QFile::encodeName(music + "pipe.cue").constData(), 0600), 0); },
         music.toUtf8() + "pipe.cue is not a regular file"},
        {"a 4 GB sparse BIN", "huge.cue",
         [&] {
             writeFile(music + "huge.cue",
                       "FILE \"huge.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
             QFile bin(music + "huge.bin");
             ASSERT_TRUE(bin.open(QIODevice::WriteOnly));
             ASSERT_TRUE(bin.resize(qint64{4} << 30));
         },
         music.toUtf8() + "huge.bin holds more than a CD can"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.make();
        const auto before = contents(music);
        QProcess process;
        start(process, {"--frequency", "432", "--cd", c.sheet});
        if (!process.waitForFinished(20000)) {
            ADD_FAILURE() << "still running";
            process.kill();
            process.waitForFinished(5000);
            continue;
        }
        EXPECT_NE(process.exitCode(), 0);
        const QByteArray err = process.readAllStandardError();
        EXPECT_TRUE(err.contains(c.said)) << err.toStdString();
        EXPECT_TRUE(mp3s(home.outputFolder()).isEmpty());
        EXPECT_TRUE(contents(music) == before);
    }
}
