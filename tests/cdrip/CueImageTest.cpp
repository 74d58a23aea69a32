// CUE images as people store them, through the real extraction library and the ripper
// component: the data file the FILE line names (never one named like the sheet), album rips in
// one FLAC or WAV file, one file per track, and images that are refused at once with the file
// they concern. The sheet and its data files are never changed.

#include "CdImage.h"
#include "cdrip/CDRIP.h"
#include "cdrip/CdioRipLibrary.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <future>
#include <map>

using namespace qvr;
using qvr::test::readFile;
using qvr::test::stereoTone;
using qvr::test::writeFile;

namespace {

constexpr int kSectorSize = 2352;
constexpr int kFramesPerSector = 588;

QByteArray tone(int sectors, double frequency, int extraFrames = 0)
{
    return stereoTone(sectors * kFramesPerSector + extraFrames, frequency);
}

// The bytes a rip of a range gives: what the data holds there, silence behind its end.
QByteArray padded(const QByteArray& bytes, int sectors)
{
    return bytes.leftJustified(qsizetype{sectors} * kSectorSize, '\0', true);
}

// Every file of the folder with its bytes, to show that nothing was changed; a huge sparse file
// by its size and time of change instead.
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

class CueImages : public ::testing::Test {
  protected:
    test::TempHome home;
    QString folder = home.path() + QStringLiteral("/discs/");

    void SetUp() override
    {
        QDir().mkpath(folder);
        home.setEnv(CdioRipLibrary::kImagesVariable, QByteArray());
    }

    // The sheet read as the ripper dialog reads a drive, by a component of its own.
    struct Reading {
        std::unique_ptr<CdioRipLibrary> library;
        std::unique_ptr<TCDRIP> ripper;
    };
    Reading read(const QString& sheet)
    {
        Reading reading{std::make_unique<CdioRipLibrary>(QStringList{sheet}), nullptr};
        reading.ripper = std::make_unique<TCDRIP>(nullptr, *reading.library);
        reading.ripper->Tracks().clear();
        EXPECT_TRUE(
            reading.ripper->ReadDiscAgain(reading.library->drivePaths().indexOf(sheet)).ok());
        return reading;
    }

    // The tracks ripped as bare PCM, in the order given.
    std::map<int, QByteArray> rip(TCDRIP& ripper, const std::vector<int>& tracks)
    {
        std::map<int, QByteArray> ripped;
        for (const int track : tracks) {
            const QString name = home.path() + QStringLiteral("/track%1.pcm").arg(track);
            EXPECT_EQ(ripper.RipTrack(track, name), TRipOutcome::Complete) << track;
            ripped[track] = readFile(name);
        }
        return ripped;
    }
};

// A sheet whose BIN has another name than the sheet, beside a BIN of other music that is named
// like the sheet: the named one is ripped, wherever the FILE line puts it.
TEST_F(CueImages, TheFileLineDecidesTheDataFile)
{
    const QByteArray music = tone(100, 440.0) + tone(80, 660.0);
    const QByteArray decoy = tone(100, 330.0) + tone(80, 550.0);
    const struct {
        const char* name;
    } cases[] = {{"Album (disc 1).bin"}, {"Bins/Caf\u00E9 \u00DCber [2].BIN"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString::fromUtf8(c.name);
        QDir(folder).mkpath(QFileInfo(folder + name).path());
        writeFile(folder + name, music);
        writeFile(folder + QStringLiteral("album.bin"), decoy);
        const QString sheet = folder + QStringLiteral("album.cue");
        writeFile(sheet, "FILE \"" + name.toUtf8() +
                             "\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                             "  TRACK 02 AUDIO\n    INDEX 01 00:01:25\n");
        const auto before = contents(folder);

        Reading reading = read(sheet);
        ASSERT_EQ(reading.ripper->Tracks().size(), 2u);
        EXPECT_FALSE(reading.ripper->DiscUnreadable());
        const auto ripped = rip(*reading.ripper, {1, 2});
        EXPECT_TRUE(ripped.at(1) == music.left(100 * kSectorSize));
        EXPECT_TRUE(ripped.at(2) == music.mid(100 * kSectorSize));
        EXPECT_TRUE(contents(folder) == before);
    }
}

// An album rip in one audio file: each track is cut at its INDEX 01 (the pause of INDEX 00 ends
// the track before), the last sector filled with silence, and the sheet's texts are the tracks'.
// Ripped out of order, so that the decoder has to go back and forth.
TEST_F(CueImages, AnAlbumInOneFlacOrWavFileIsCutAtIndexOne)
{
    const QByteArray music = tone(120, 440.0) + tone(90, 550.0) + tone(60, 660.0, 100);
    const QByteArray sheetText =
        "TITLE \"Live\"\nPERFORMER \"The Band\"\n"
        "FILE \"The Album.%1\" WAVE\n"
        "  TRACK 01 AUDIO\n    TITLE \"One\"\n    INDEX 01 00:00:00\n"
        "  TRACK 02 AUDIO\n    TITLE \"Two\"\n    PERFORMER \"Guest\"\n"
        "    INDEX 00 00:01:40\n    INDEX 01 00:01:45\n"
        "  TRACK 03 AUDIO\n    TITLE \"Three\"\n    INDEX 01 00:02:60\n";
    for (const QString& kind : {QStringLiteral("flac"), QStringLiteral("wav")}) {
        SCOPED_TRACE(kind.toStdString());
        const QString data = folder + QStringLiteral("The Album.") + kind;
        if (kind == QStringLiteral("flac")) {
            ASSERT_TRUE(test::writeFlac(data, music));
        } else {
            writeFile(data, test::wavFile(music));
        }
        const QString sheet = folder + QStringLiteral("The Album.cue");
        writeFile(sheet, QString::fromUtf8(sheetText).arg(kind).toUtf8());
        const auto before = contents(folder);

        Reading reading = read(sheet);
        const TCDRIP& ripper = *reading.ripper;
        ASSERT_EQ(ripper.Tracks().size(), 3u);
        EXPECT_EQ(ripper.DiscText().title, QStringLiteral("Live"));
        EXPECT_EQ(ripper.DiscText().performer, QStringLiteral("The Band"));
        const struct {
            int start, end;
            const char* title;
            const char* performer;
        } expected[] = {{0, 119, "One", ""}, {120, 209, "Two", "Guest"}, {210, 270, "Three", ""}};
        for (std::size_t i = 0; i < 3; ++i) {
            const TTrack& track = ripper.Tracks()[i].Track;
            EXPECT_EQ(track.StartSector, expected[i].start) << i;
            EXPECT_EQ(track.EndSector, expected[i].end) << i;
            EXPECT_EQ(track.TrackType, QStringLiteral("Audio")) << i;
            EXPECT_EQ(track.Title, QString::fromUtf8(expected[i].title)) << i;
            EXPECT_EQ(track.Performer, QString::fromUtf8(expected[i].performer)) << i;
        }
        const auto ripped = rip(*reading.ripper, {3, 1, 2});
        EXPECT_TRUE(ripped.at(1) == music.left(120 * kSectorSize));
        EXPECT_TRUE(ripped.at(2) == music.mid(120 * kSectorSize, 90 * kSectorSize));
        EXPECT_TRUE(ripped.at(3) == padded(music.mid(210 * kSectorSize), 61));
        EXPECT_TRUE(contents(folder) == before);
        QFile::remove(data);
    }
}

// One WAV file per track, the second with a pause before its INDEX 01: the pause ends the first
// track, as on a CD; each file takes whole sectors.
TEST_F(CueImages, OneFilePerTrackIsOneDisc)
{
    const QByteArray first = tone(100, 440.0, 37);
    const QByteArray second = tone(80, 550.0);
    const QByteArray third = tone(60, 660.0);
    writeFile(folder + QStringLiteral("01 - One.wav"), test::wavFile(first));
    writeFile(folder + QStringLiteral("02 - Two.wav"), test::wavFile(second));
    writeFile(folder + QStringLiteral("03 - Three.wav"), test::wavFile(third));
    const QString sheet = folder + QStringLiteral("disc.cue");
    writeFile(sheet,
              "PERFORMER \"The Band\"\n"
              "FILE \"01 - One.wav\" WAVE\n"
              "  TRACK 01 AUDIO\n    TITLE \"One\"\n    INDEX 01 00:00:00\n"
              "FILE \"02 - Two.wav\" WAVE\n"
              "  TRACK 02 AUDIO\n    TITLE \"Two\"\n"
              "    INDEX 00 00:00:00\n    INDEX 01 00:00:10\n"
              "FILE \"03 - Three.wav\" WAVE\n"
              "  TRACK 03 AUDIO\n    TITLE \"Three\"\n    INDEX 01 00:00:00\n");
    const auto before = contents(folder);

    Reading reading = read(sheet);
    ASSERT_EQ(reading.ripper->Tracks().size(), 3u);
    const int starts[] = {0, 111, 181};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(reading.ripper->Tracks()[i].Track.StartSector, starts[i]) << i;
    }
    EXPECT_EQ(reading.ripper->Tracks()[2].Track.EndSector, 240);
    const auto ripped = rip(*reading.ripper, {1, 2, 3});
    EXPECT_TRUE(ripped.at(1) == padded(first, 101) + second.left(10 * kSectorSize));
    EXPECT_TRUE(ripped.at(2) == second.mid(10 * kSectorSize));
    EXPECT_TRUE(ripped.at(3) == third);
    EXPECT_EQ(reading.ripper->Tracks()[1].Track.Title, QStringLiteral("Two"));
    EXPECT_TRUE(contents(folder) == before);
}

// What cannot be an image is refused when the disc is read, before anything is ripped, and the
// refusal names the file. A pipe is never opened: the reading ends on its own, within a bound the
// test keeps (and should it wait for a writer, the test lets it go).
TEST_F(CueImages, AFaultyImageNamesItsFileAndIsRefusedAtOnce)
{
    const QByteArray track = "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
    const QString sheet = folder + QStringLiteral("album.cue");
    const QString data = folder + QStringLiteral("Album (disc 1).bin");
    const QString pipe = folder + QStringLiteral("pipe");
    const auto sheetFor = [&](const QString& name, const char* type = "BINARY") {
        writeFile(sheet, "FILE \"" + name.toUtf8() + "\" " + type + "\n" + track);
    };
    const struct {
        const char* what;
        std::function<void()> make;
        ImageFault fault;
        QString path;
    } cases[] = {
        {"a missing data file beside one named like the sheet",
         [&] {
             sheetFor(QStringLiteral("Album (disc 1).bin"));
             writeFile(folder + QStringLiteral("album.bin"), tone(50, 330.0));
         },
         ImageFault::MissingFile, data},
        {"a data file that is a folder",
         [&] {
             sheetFor(QStringLiteral("Album (disc 1).bin"));
             QDir().mkpath(data);
         },
         ImageFault::NotRegularFile, data},
        {"a data file that is a pipe",
         [&] {
             sheetFor(QStringLiteral("pipe"));
             ::mkfifo(QFile::encodeName(pipe).constData(), 0600);
         },
         ImageFault::NotRegularFile, pipe},
        {"a sheet that is a pipe", [&] { ::mkfifo(QFile::encodeName(sheet).constData(), 0600); },
         ImageFault::NotRegularFile, sheet},
        {"a sparse 4 GB data file",
         [&] {
             sheetFor(QStringLiteral("Album (disc 1).bin"));
             QFile file(data);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             ASSERT_TRUE(file.resize(qint64{4} << 30));
         },
         ImageFault::TooLarge, data},
        {"a WAV file that announces more than 100 minutes",
         [&] {
             sheetFor(QStringLiteral("long.wav"), "WAVE");
             // Sparse: 101 minutes of silence take no room.
             const qint64 bytes = qint64{101} * 60 * 44100 * 4;
             writeFile(folder + QStringLiteral("long.wav"), test::wavFile(QByteArray()));
             QFile file(folder + QStringLiteral("long.wav"));
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             ASSERT_TRUE(file.resize(44 + bytes));
             const auto announced = static_cast<std::uint32_t>(bytes);
             const auto riff = static_cast<std::uint32_t>(bytes + 36);
             file.seek(4);
             file.write(reinterpret_cast<const char*>(&riff), 4);
             file.seek(40);
             file.write(reinterpret_cast<const char*>(&announced), 4);
         },
         ImageFault::TooLarge, folder + QStringLiteral("long.wav")},
        {"an audio file that is no audio",
         [&] {
             sheetFor(QStringLiteral("noise.flac"), "WAVE");
             writeFile(folder + QStringLiteral("noise.flac"), QByteArray(5000, 'x'));
         },
         ImageFault::Unreadable, folder + QStringLiteral("noise.flac")},
        {"a sheet that cannot be followed", [&] { writeFile(sheet, "FILE \"a.bin\" BINARY\n"); },
         ImageFault::BadSheet, sheet},
        {"no sheet at all", [] {}, ImageFault::MissingFile, sheet},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        c.make();
        const auto before = contents(folder);

        auto reading = std::async(std::launch::async, [&] { return read(sheet); });
        if (reading.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            ADD_FAILURE() << "the reading waits";
            for (const QString& fifo : {pipe, sheet}) {
                const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    ::close(fd);
                }
            }
        }
        const Reading result = reading.get();
        EXPECT_TRUE(result.ripper->Tracks().empty());
        EXPECT_TRUE(result.ripper->DiscUnreadable());
        EXPECT_EQ(result.ripper->DiscProblem(), (ImageProblem{c.fault, c.path}));
        EXPECT_TRUE(contents(folder) == before);
    }
}
