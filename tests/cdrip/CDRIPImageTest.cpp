// The ripper component over the real libraries, on CUE/BIN images made here.

#include "CdImage.h"
#include "cdrip/CDRIP.h"
#include "cdrip/CdioRipLibrary.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QtEndian>

#include <cstring>

using namespace qvr;
using qvr::test::CdImage;
using qvr::test::ImageTrack;
using qvr::test::readFile;

namespace {

constexpr int kSectorSize = 2352;

// The 44-byte header of a complete rip of sectors first..last, both included, in 44.1 kHz stereo.
QByteArray expectedHeader(int first, int last)
{
    const std::uint32_t data = static_cast<std::uint32_t>(last - first + 1) * kSectorSize;
    QByteArray h(44, '\0');
    auto* p = reinterpret_cast<uchar*>(h.data());
    std::memcpy(p, "RIFF", 4);
    qToLittleEndian<std::uint32_t>(data + 36, p + 4);
    std::memcpy(p + 8, "WAVEfmt ", 8);
    const std::uint32_t fmt[] = {16, 0x00020001, 44100, 176400, 0x00100004};
    for (int i = 0; i < 5; ++i) {
        qToLittleEndian(fmt[i], p + 16 + 4 * i);
    }
    std::memcpy(p + 36, "data", 4);
    qToLittleEndian<std::uint32_t>(data, p + 40);
    return h;
}

}  // namespace

class CDRIPImageTest : public ::testing::Test {
  protected:
    test::TempHome home;
    QString folder = home.path() + QStringLiteral("/");
    CdImage disc = test::writeCdImage(
        folder, QStringLiteral("disc"),
        {ImageTrack{true, 150, 440.0}, ImageTrack{true, 188, 660.0}, ImageTrack{false, 100, 0.0}});
    CdImage other = test::writeCdImage(folder, QStringLiteral("other"),
                                       {ImageTrack{true, 80, 330.0}, ImageTrack{true, 60, 550.0}});
    CdioRipLibrary library;

    void SetUp() override
    {
        home.setEnv(CdioRipLibrary::kImagesVariable, (disc.cuePath + ":" + other.cuePath).toUtf8());
    }

    // Drive numbers of the two images: behind whatever drives the system has.
    int driveOf(const CdImage& image) const { return library.drivePaths().indexOf(image.cuePath); }

    // The re-read the ripper dialog does.
    void selectDrive(TCDRIP& ripper, int drive)
    {
        ripper.Tracks().clear();
        EXPECT_TRUE(ripper.ReadDiscAgain(drive).ok());
    }
};

TEST_F(CDRIPImageTest, ListsTheImagesBehindTheSystemDrives)
{
    TCDRIP ripper(nullptr, library);
    const QStringList paths = library.drivePaths();
    ASSERT_GE(paths.size(), 2);
    EXPECT_EQ(paths.mid(paths.size() - 2), (QStringList{disc.cuePath, other.cuePath}));
}

TEST_F(CDRIPImageTest, TableOfContentsGivesNamesSectorsAndKinds)
{
    TCDRIP ripper(nullptr, library);
    selectDrive(ripper, driveOf(disc));

    EXPECT_EQ(ripper.CDRomNum(), driveOf(disc));
    EXPECT_EQ(ripper.NumTracks(), 3);
    EXPECT_TRUE(ripper.CDRomID().startsWith(QStringLiteral("CUE image")))
        << ripper.CDRomID().toStdString();
    ASSERT_NE(ripper.DriveTable(), nullptr);
    EXPECT_EQ(ripper.DriveTable()->Endian, TEndian::LITTLEENDIAN);
    EXPECT_EQ(ripper.OutputFormat(), TOutputFormat::STEREO44100);
    const struct {
        const char* name;
        int start, end;
        const char* type;
    } expected[] = {{"Track01", 0, 149, "Audio"},
                    {"Track02", 150, 337, "Audio"},
                    {"Track03", 338, 437, "Data"}};
    ASSERT_EQ(ripper.Tracks().size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const TTrackItem& item = ripper.Tracks()[static_cast<std::size_t>(i)];
        EXPECT_EQ(item.Text, QString::fromLatin1(expected[i].name));
        EXPECT_EQ(item.Track.TrackNum, i + 1);
        EXPECT_EQ(item.Track.StartSector, expected[i].start);
        EXPECT_EQ(item.Track.EndSector, expected[i].end);
        EXPECT_EQ(item.Track.TrackType, QString::fromLatin1(expected[i].type));
    }
}

// Every track, with and without correction, as WAV and as bare PCM: the bytes of the image,
// behind a header that announces every one of them.
TEST_F(CDRIPImageTest, RipsEveryTrackByteForByte)
{
    TCDRIP ripper(nullptr, library);
    selectDrive(ripper, driveOf(disc));
    for (const bool correct : {true, false}) {
        for (const bool wav : {true, false}) {
            ripper.setJitterCorrect(correct);
            ripper.setWriteWAV(wav);
            for (int track = 1; track <= 2; ++track) {
                SCOPED_TRACE(testing::Message()
                             << "track " << track << " correct " << correct << " wav " << wav);
                const QString name =
                    folder + QStringLiteral("t%1.%2").arg(track).arg(wav ? "wav" : "pcm");
                EXPECT_EQ(ripper.RipTrack(track, name), TRipOutcome::Complete);
                const QByteArray file = readFile(name);
                const TTrack& t = ripper.Tracks()[static_cast<std::size_t>(track - 1)].Track;
                const QByteArray header =
                    wav ? expectedHeader(t.StartSector, t.EndSector) : QByteArray();
                ASSERT_EQ(file.size(), header.size() + disc.trackBytes(track).size());
                EXPECT_EQ(file.left(header.size()), header);
                EXPECT_TRUE(file.mid(header.size()) == disc.trackBytes(track));
            }
            EXPECT_EQ(ripper.JitterErrors(), 0);
        }
    }
    EXPECT_TRUE(ripper.JitterLog().isEmpty());
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("t1jitt")));
}

TEST_F(CDRIPImageTest, DataTracksAndSectorsPastTheDiscAreNotRipped)
{
    TCDRIP ripper(nullptr, library);
    selectDrive(ripper, driveOf(disc));
    int ended = 0;
    ripper.OnEndTrack = [&](QObject*, std::uint16_t) { ++ended; };
    EXPECT_EQ(ripper.RipTrack(3, folder + QStringLiteral("data.wav")), TRipOutcome::Unreadable);
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("data.wav")));
    EXPECT_EQ(ended, 1);
    // The lead-out starts at 438.
    EXPECT_EQ(ripper.RipSectors(100, 438, folder + QStringLiteral("past.wav")),
              TRipOutcome::Unreadable);
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("past.wav")));
}

TEST_F(CDRIPImageTest, AbortLeavesNoFile)
{
    TCDRIP ripper(nullptr, library);
    selectDrive(ripper, driveOf(disc));
    ripper.setWriteWAV(true);
    std::vector<int> progress;
    ripper.OnProgress = [&](QObject*, std::uint16_t percent) {
        progress.push_back(percent);
        ripper.Abort();
    };
    int ended = 0;
    ripper.OnEndTrack = [&](QObject*, std::uint16_t) { ++ended; };
    const QString name = folder + QStringLiteral("aborted.wav");
    EXPECT_EQ(ripper.RipTrack(2, name), TRipOutcome::Aborted);

    EXPECT_FALSE(QFile::exists(name));
    EXPECT_FALSE(QFile::exists(PartialRipName(name)));
    EXPECT_EQ(progress, std::vector<int>{26 * 100 / 188});
    EXPECT_EQ(ended, 1);
}

// An image file shorter than its sheet says: the table of contents ends where the file ends,
// and the tracks it cuts cannot be read.
TEST_F(CDRIPImageTest, AShortImageCutsTheTracksBehindItsEnd)
{
    const CdImage cut = test::writeCdImage(
        folder, QStringLiteral("cut"),
        {ImageTrack{true, 40, 440.0}, ImageTrack{true, 40, 550.0}, ImageTrack{true, 40, 660.0}});
    test::writeFile(cut.binPath, cut.bin.left(60 * kSectorSize));
    home.setEnv(CdioRipLibrary::kImagesVariable, cut.cuePath.toUtf8());
    TCDRIP ripper(nullptr, library);
    selectDrive(ripper, driveOf(cut));
    ASSERT_EQ(ripper.Tracks().size(), 3u);

    const TRipOutcome expected[] = {TRipOutcome::Complete, TRipOutcome::Unreadable,
                                    TRipOutcome::Unreadable};
    for (int track = 1; track <= 3; ++track) {
        const QString name = folder + QStringLiteral("cut%1.pcm").arg(track);
        EXPECT_EQ(ripper.RipTrack(track, name), expected[track - 1]) << track;
        EXPECT_EQ(QFile::exists(name), track == 1) << track;
    }
    EXPECT_TRUE(readFile(folder + QStringLiteral("cut1.pcm")) == cut.trackBytes(1));
}

TEST_F(CDRIPImageTest, SwitchingDrivesAppendsAndReadingAgainSeesANewDisc)
{
    TCDRIP ripper(nullptr, library);
    selectDrive(ripper, driveOf(disc));
    EXPECT_TRUE(ripper.setCDRomNum(driveOf(other)).ok());
    ASSERT_EQ(ripper.Tracks().size(), 5u);
    EXPECT_EQ(ripper.Tracks()[3].Text, QStringLiteral("Track01"));
    EXPECT_EQ(ripper.Tracks()[4].Track.EndSector, 139);

    // Another disc in the same drive: selecting the drive it is in does nothing, reading it
    // again sees the new disc.
    test::writeCdImage(
        folder, QStringLiteral("other"),
        {ImageTrack{true, 30, 300.0}, ImageTrack{true, 30, 400.0}, ImageTrack{true, 30, 500.0}});
    ripper.Tracks().clear();
    EXPECT_TRUE(ripper.setCDRomNum(driveOf(other)).ok());
    EXPECT_TRUE(ripper.Tracks().empty());

    EXPECT_TRUE(ripper.ReadDiscAgain(driveOf(other)).ok());
    EXPECT_EQ(ripper.CDRomNum(), driveOf(other));
    ASSERT_EQ(ripper.Tracks().size(), 3u);
    EXPECT_EQ(ripper.Tracks()[2].Track.StartSector, 60);
    EXPECT_EQ(ripper.Tracks()[2].Track.EndSector, 89);
}

TEST_F(CDRIPImageTest, TheLibraryRefusesUnknownDrivesAndEndsLoopsWithoutARipper)
{
    ASSERT_TRUE(library.findDrives());
    ASSERT_TRUE(library.selectDrive(driveOf(other)));
    for (const std::int32_t unknown :
         {-1, static_cast<std::int32_t>(library.drivePaths().size()), std::int32_t{256}}) {
        EXPECT_FALSE(library.selectDrive(unknown)) << unknown;
    }
    EXPECT_EQ(library.activeDrive(), driveOf(other));
    const DiscToc toc = library.readToc();
    EXPECT_EQ(toc.state, DiscState::Read);
    EXPECT_EQ(toc.tracks.size(), 2u);
    EXPECT_EQ(toc.leadOutSector, 140);

    std::uint8_t buffer[16];
    const ChunkRead chunk = library.readChunk(buffer);
    EXPECT_EQ(chunk.result, ReadChunkResult::LastChunk);
    EXPECT_EQ(chunk.bytes, 0);

    // The drive keeps the settings the component hands over, for the next rips.
    ASSERT_TRUE(library.selectDrive(driveOf(disc)));
    ASSERT_TRUE(library.describeActiveDrive());
    EXPECT_TRUE(library.describeActiveDrive()->settings.jitterCorrection);
    const DriveSettings off{false, TOutputFormat::STEREO44100};
    ASSERT_TRUE(library.applySettings(off));
    EXPECT_EQ(library.describeActiveDrive()->settings, off);
    EXPECT_FALSE(library.applySettings(DriveSettings{true, static_cast<TOutputFormat>(6)}));

    // A chunk is read only into room enough for it.
    ASSERT_EQ(library.openRipper(0, 10), CdioRipLibrary::kSectorsPerChunk * 2352);
    EXPECT_EQ(library.readChunk(buffer).result, ReadChunkResult::Failed);
    EXPECT_EQ(library.percentCompleted(), 0);
    library.closeRipper();
}

// The sheet's TITLE and PERFORMER lines as the disc's and the tracks' CD-TEXT, whether the
// sheet is written in UTF-8 or in Latin-1.
TEST_F(CDRIPImageTest, CdTextComesFromTheSheetInEitherEncoding)
{
    const test::ImageText album{QStringLiteral("Caf\u00E9 \u00DCber"),
                                QStringLiteral(" The Band ")};
    const std::vector<ImageTrack> tracks = {
        {true, 30, 440.0, 1.5, {QStringLiteral("Stra\u00DFe \u00DC"), QStringLiteral("Solo")}},
        {true, 30, 440.0, 1.5, {QStringLiteral("Second"), QString()}},
        {false, 20, 0.0, 1.5, {}}};
    for (const bool latin1 : {false, true}) {
        SCOPED_TRACE(latin1 ? "Latin-1" : "UTF-8");
        const CdImage named = test::writeCdImage(folder, QStringLiteral("named"), tracks, album);
        if (latin1) {
            test::writeFile(named.cuePath, QString::fromUtf8(readFile(named.cuePath)).toLatin1());
        }
        home.setEnv(CdioRipLibrary::kImagesVariable, named.cuePath.toUtf8());
        TCDRIP ripper(nullptr, library);
        selectDrive(ripper, driveOf(named));

        EXPECT_EQ(ripper.DiscText().title, album.title);
        EXPECT_EQ(ripper.DiscText().performer, QStringLiteral("The Band"));
        const QString titles[] = {tracks[0].text.title, QStringLiteral("Second"), QString()};
        const QString performers[] = {QStringLiteral("Solo"), QString(), QString()};
        ASSERT_EQ(ripper.Tracks().size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(ripper.Tracks()[i].Track.Title, titles[i]) << i;
            EXPECT_EQ(ripper.Tracks()[i].Track.Performer, performers[i]) << i;
        }
    }
}

TEST_F(CDRIPImageTest, ASheetWithoutCdTextNamesNothing)
{
    TCDRIP ripper(nullptr, library);
    selectDrive(ripper, driveOf(disc));
    ASSERT_EQ(ripper.Tracks().size(), 3u);
    EXPECT_EQ(ripper.DiscText().title, QString());
    EXPECT_EQ(ripper.DiscText().performer, QString());
    for (const TTrackItem& item : ripper.Tracks()) {
        EXPECT_EQ(item.Track.Title, QString());
        EXPECT_EQ(item.Track.Performer, QString());
    }
}
