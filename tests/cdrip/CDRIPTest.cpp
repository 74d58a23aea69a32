// The ripper component against a scripted extraction library.

#include "FakeLibraries.h"
#include "cdrip/CDRIP.h"
#include "support/RecordingHost.h"
#include "support/TempHome.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

#include <functional>
#include <optional>

using namespace qvr;
using qvr::test::FakeCDRipLibrary;
using qvr::test::FakeChunk;
using qvr::test::FakeDrive;
using qvr::test::readFile;
using enum qvr::ReadChunkResult;

namespace {

DriveInfo drive(const char* id, std::int32_t speed, bool correction, TOutputFormat format)
{
    TDriveTableClass table;
    table.DriveType = TDriveType::PLEXTOR;
    table.ReadMethod = TReadMethod::READMMC3;
    table.SetSpeed = TSetSpeed::SPEEDMMC;
    table.Endian = TEndian::LITTLEENDIAN;
    table.EnableMode = TEnableMode::ENABLESTD;
    table.Density = 3;
    table.Atapi = true;
    return DriveInfo{QString::fromLatin1(id), speed, table, DriveSettings{correction, format}};
}

// Tracks given by their first sector and whether they hold audio.
DiscToc disc(std::initializer_list<TocTrack> tracks, std::int32_t leadOut)
{
    return DiscToc{DiscState::Read, tracks, leadOut, {}, {}};
}

QByteArray bytes(int size, char fill)
{
    return QByteArray(size, fill);
}

template <typename T>
std::optional<CdFailure> failureOf(const CdResult<T>& result)
{
    return result ? std::nullopt : std::optional<CdFailure>(result.failure());
}

}  // namespace

class CDRIPTest : public ::testing::Test {
  protected:
    FakeCDRipLibrary library;
    QTemporaryDir dir;
    QString folder = dir.path() + QStringLiteral("/");

    void SetUp() override
    {
        library.active = 1;
        library.drives[0] = FakeDrive{drive("ZERO DRIVE ", 24, false, TOutputFormat::STEREO44100),
                                      disc({{0, true}}, 500)};
        library.drives[1] = FakeDrive{drive("PLEX TOR ", 40, false, TOutputFormat::STEREO22050),
                                      disc({{0, true}, {1000, false}, {2000, false}}, 3000)};
    }

    QString path(const char* name) const { return folder + QString::fromLatin1(name); }
};

TEST_F(CDRIPTest, CreationReadsTheActiveDrive)
{
    TCDRIP ripper(nullptr, library);
    EXPECT_EQ(ripper.Version(), QStringLiteral("111"));
    EXPECT_LT(library.calls.indexOf(QStringLiteral("version")),
              library.calls.indexOf(QStringLiteral("findDrives")));
    EXPECT_EQ(ripper.CDRomID(), QStringLiteral("PLEX TOR "));
    EXPECT_EQ(ripper.CDRomNum(), 1);
    EXPECT_EQ(ripper.Speed(), 40);
    EXPECT_EQ(ripper.OutputFormat(), TOutputFormat::STEREO22050);
    EXPECT_TRUE(ripper.JitterCorrect());
    EXPECT_EQ(ripper.JitterErrors(), 0);
    ASSERT_NE(ripper.DriveTable(), nullptr);
    const TDriveTableClass& table = *ripper.DriveTable();
    EXPECT_EQ(table.DriveType, TDriveType::PLEXTOR);
    EXPECT_EQ(table.ReadMethod, TReadMethod::READMMC3);
    EXPECT_EQ(table.SetSpeed, TSetSpeed::SPEEDMMC);
    EXPECT_EQ(table.Endian, TEndian::LITTLEENDIAN);
    EXPECT_EQ(table.EnableMode, TEnableMode::ENABLESTD);
    EXPECT_EQ(table.Density, 3);
    EXPECT_TRUE(table.Atapi);

    EXPECT_EQ(ripper.NumTracks(), 3);
    const struct {
        const char* text;
        int start, end;
        const char* type;
    } expected[] = {{"Track01", 0, 999, "Audio"},
                    {"Track02", 1000, 1999, "Data"},
                    {"Track03", 2000, 2999, "Data"}};
    ASSERT_EQ(ripper.Tracks().size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const TTrackItem& item = ripper.Tracks()[static_cast<std::size_t>(i)];
        EXPECT_EQ(item.Text, QString::fromLatin1(expected[i].text));
        EXPECT_EQ(item.Track.TrackNum, i + 1);
        EXPECT_EQ(item.Track.StartSector, expected[i].start);
        EXPECT_EQ(item.Track.EndSector, expected[i].end);
        EXPECT_EQ(item.Track.TrackType, QString::fromLatin1(expected[i].type));
    }

    // The settings go back as the library gave them, with correction switched on.
    library.opens = false;
    EXPECT_TRUE(ripper.RipSectors(0, 10, path("x.wav")).ok());
    EXPECT_EQ(library.handedSettings, (DriveSettings{true, TOutputFormat::STEREO22050}));
}

TEST_F(CDRIPTest, TrackNamesHaveAtLeastTwoDigits)
{
    library.drives[1].disc = disc({}, 1000);
    for (int i = 0; i < 100; ++i) {
        library.drives[1].disc.tracks.push_back(TocTrack{i * 10, true});
    }
    TCDRIP ripper(nullptr, library);
    ASSERT_EQ(ripper.Tracks().size(), 100u);
    EXPECT_EQ(ripper.Tracks()[8].Text, QStringLiteral("Track09"));
    EXPECT_EQ(ripper.Tracks()[99].Text, QStringLiteral("Track100"));
    EXPECT_EQ(ripper.Tracks()[99].Track.EndSector, 999);
}

TEST_F(CDRIPTest, CreationWithoutDriveData)
{
    {
        library.startsUp = false;
        TCDRIP ripper(nullptr, library);
        EXPECT_TRUE(ripper.Tracks().empty());
        EXPECT_EQ(ripper.DriveTable(), nullptr);
        EXPECT_EQ(ripper.CDRomNum(), 0);
        EXPECT_FALSE(ripper.JitterCorrect());
    }
    {
        library.startsUp = true;
        library.drives[1].info.reset();
        TCDRIP ripper(nullptr, library);
        EXPECT_EQ(ripper.Tracks().size(), 3u);  // the table of contents is still read
        EXPECT_EQ(ripper.DriveTable(), nullptr);
        EXPECT_EQ(ripper.CDRomNum(), 0);
        EXPECT_EQ(ripper.CDRomID(), QString());  // nothing is taken of a drive not described
        EXPECT_FALSE(ripper.JitterCorrect());
    }
}

TEST_F(CDRIPTest, FailuresInsideCreationAreAnInitializationFailureNamingTheCall)
{
    for (const char* function : {"version", "findDrives", "describeActiveDrive", "readToc"}) {
        SCOPED_TRACE(function);
        library.throwing = {function};
        const TCDRIP ripper(nullptr, library);
        ASSERT_TRUE(ripper.startFailure().has_value());
        EXPECT_EQ(ripper.startFailure()->kind, CdError::Initialization);
        EXPECT_EQ(ripper.startFailure()->message,
                  QStringLiteral("Initialization failure: ") + QString::fromLatin1(function));
    }
    library.throwing.clear();
    EXPECT_FALSE(TCDRIP(nullptr, library).startFailure().has_value());
}

TEST_F(CDRIPTest, SelectingADriveReadsItOnlyWhenTheNumberChanges)
{
    TCDRIP ripper(nullptr, library);
    library.calls.clear();
    EXPECT_TRUE(ripper.setCDRomNum(1).ok());
    EXPECT_TRUE(library.calls.isEmpty());

    EXPECT_TRUE(ripper.setCDRomNum(0).ok());
    EXPECT_EQ(ripper.CDRomNum(), 0);
    EXPECT_EQ(ripper.CDRomID(), QStringLiteral("ZERO DRIVE "));
    EXPECT_EQ(ripper.Speed(), 24);
    EXPECT_EQ(ripper.OutputFormat(), TOutputFormat::STEREO44100);
    ASSERT_EQ(ripper.Tracks().size(), 4u);  // appended behind the first drive's tracks
    EXPECT_EQ(ripper.Tracks()[3].Text, QStringLiteral("Track01"));
    EXPECT_EQ(ripper.Tracks()[3].Track.EndSector, 499);

    // The settings now carry this drive's own correction; the property keeps its value.
    EXPECT_TRUE(ripper.JitterCorrect());
    library.opens = false;
    EXPECT_TRUE(ripper.RipSectors(0, 1, path("x.wav")).ok());
    EXPECT_FALSE(library.handedSettings->jitterCorrection);
}

TEST_F(CDRIPTest, ARefusedSelectionKeepsTheCopiesButStillReadsTheActiveDrive)
{
    TCDRIP ripper(nullptr, library);
    EXPECT_TRUE(ripper.setCDRomNum(5).ok());  // no such drive: refused quietly
    EXPECT_EQ(ripper.CDRomNum(), 1);
    EXPECT_EQ(ripper.CDRomID(), QStringLiteral("PLEX TOR "));
    EXPECT_EQ(ripper.Tracks().size(), 6u);

    library.drives[0].info.reset();
    EXPECT_TRUE(ripper.setCDRomNum(0).ok());
    EXPECT_EQ(ripper.CDRomNum(), 1);
    EXPECT_EQ(ripper.Speed(), 40);
    EXPECT_EQ(ripper.Tracks().size(), 7u);  // drive 0 is active in the library now

    library.throwing = {"selectDrive"};
    EXPECT_EQ(failureOf(ripper.setCDRomNum(2))->kind, CdError::Initialization);
}

// A disc changed in the active drive: selecting the same number again reads nothing, reading
// it again asks the drive and appends the new disc's tracks.
TEST_F(CDRIPTest, ReadDiscAgainSeesANewDiscInTheActiveDrive)
{
    TCDRIP ripper(nullptr, library);
    library.drives[1].disc = disc({{0, true}}, 700);
    ripper.Tracks().clear();
    EXPECT_TRUE(ripper.setCDRomNum(1).ok());
    EXPECT_TRUE(ripper.Tracks().empty());

    EXPECT_TRUE(ripper.ReadDiscAgain(1).ok());
    EXPECT_EQ(ripper.CDRomNum(), 1);
    ASSERT_EQ(ripper.Tracks().size(), 1u);
    EXPECT_EQ(ripper.Tracks()[0].Track.EndSector, 699);

    EXPECT_TRUE(ripper.ReadDiscAgain(0).ok());
    EXPECT_EQ(ripper.CDRomNum(), 0);
    EXPECT_EQ(ripper.CDRomID(), QStringLiteral("ZERO DRIVE "));
    EXPECT_EQ(ripper.Tracks().size(), 2u);

    library.throwing = {"readToc"};
    EXPECT_EQ(failureOf(ripper.ReadDiscAgain(0))->kind, CdError::Initialization);
}

TEST_F(CDRIPTest, JitterCorrectChangesTheSettingsOnlyOnAChange)
{
    TCDRIP ripper(nullptr, library);
    EXPECT_TRUE(ripper.setCDRomNum(0).ok());  // the library keeps correction off for this drive
    library.opens = false;
    const auto handedCorrection = [&] {
        EXPECT_TRUE(ripper.RipSectors(0, 1, path("x.wav")).ok());
        return library.handedSettings->jitterCorrection;
    };
    ripper.setJitterCorrect(true);  // already on in the component
    EXPECT_FALSE(handedCorrection());
    ripper.setJitterCorrect(false);
    EXPECT_FALSE(handedCorrection());
    ripper.setJitterCorrect(true);
    EXPECT_TRUE(handedCorrection());
}

TEST_F(CDRIPTest, OutputFormatReachesTheSettings)
{
    TCDRIP ripper(nullptr, library);
    ripper.setOutputFormat(TOutputFormat::MONO22050);
    library.opens = false;
    EXPECT_TRUE(ripper.RipSectors(0, 1, path("x.wav")).ok());
    EXPECT_EQ(library.handedSettings->outputFormat, TOutputFormat::MONO22050);
}

// The header is written before anything is read; once the last chunk is in, it announces the
// bytes the file holds, whatever the range promised.
TEST_F(CDRIPTest, WavHeaderAnnouncesTheBytesTheFileHolds)
{
    const struct {
        TOutputFormat format;
        std::uint32_t rate;
        std::uint16_t channels;
        std::vector<int> chunks;  // bytes delivered per chunk
    } cases[] = {{TOutputFormat::STEREO44100, 44100, 2, {2352, 2352, 2352}},
                 {TOutputFormat::STEREO44100, 44100, 2, {100}},
                 {TOutputFormat::MONO44100, 44100, 1, {1176, 60}},
                 {TOutputFormat::STEREO22050, 22050, 2, {1176}},
                 {TOutputFormat::MONO11025, 11025, 1, {294, 0, 294}}};
    TCDRIP ripper(nullptr, library);
    ripper.setWriteWAV(true);
    for (const auto& c : cases) {
        library.chunks.clear();
        QByteArray data;
        for (std::size_t i = 0; i < c.chunks.size(); ++i) {
            const QByteArray chunk = bytes(c.chunks[i], static_cast<char>('a' + i));
            data += chunk;
            library.chunks.push_back(FakeChunk{
                i + 1 == c.chunks.size() ? ReadChunkResult::LastChunk : ReadChunkResult::Chunk,
                chunk});
        }
        ripper.setOutputFormat(c.format);
        ASSERT_EQ(ripper.RipSectors(0, 2, path("h.wav")), TRipOutcome::Complete);
        const QByteArray file = readFile(path("h.wav"));
        ASSERT_EQ(file.size(), 44 + data.size());
        const auto* h = reinterpret_cast<const uchar*>(file.constData());
        const auto dataLength = static_cast<std::uint32_t>(data.size());
        EXPECT_EQ(file.left(4), "RIFF");
        EXPECT_EQ(qFromLittleEndian<std::uint32_t>(h + 4), dataLength + 36);
        EXPECT_EQ(file.mid(8, 8), "WAVEfmt ");
        EXPECT_EQ(qFromLittleEndian<std::uint32_t>(h + 16), 16u);
        EXPECT_EQ(qFromLittleEndian<std::uint16_t>(h + 20), 1);
        EXPECT_EQ(qFromLittleEndian<std::uint16_t>(h + 22), c.channels);
        EXPECT_EQ(qFromLittleEndian<std::uint32_t>(h + 24), c.rate);
        EXPECT_EQ(qFromLittleEndian<std::uint32_t>(h + 28), c.rate * c.channels * 2);
        EXPECT_EQ(qFromLittleEndian<std::uint16_t>(h + 32), c.channels * 2);
        EXPECT_EQ(qFromLittleEndian<std::uint16_t>(h + 34), 16);
        EXPECT_EQ(file.mid(36, 4), "data");
        EXPECT_EQ(qFromLittleEndian<std::uint32_t>(h + 40), dataLength);
        EXPECT_EQ(file.mid(44), data);
    }
}

TEST_F(CDRIPTest, JitterErrorsAreLoggedAndRepeatedByTheNextRip)
{
    TCDRIP ripper(nullptr, library);
    library.chunks = {FakeChunk{Chunk, bytes(10, 'a')},
                      FakeChunk{ChunkWithJitter, bytes(10, 'b'), {10, 12}},
                      FakeChunk{ChunkWithJitter, bytes(10, 'c'), {4000000000u, 41}},
                      FakeChunk{LastChunk, bytes(5, 'd')}};
    EXPECT_TRUE(ripper.RipTrack(1, path("Song.wav")).ok());
    EXPECT_EQ(readFile(path("Song.wav")), "aaaaaaaaaabbbbbbbbbbccccccccccddddd");
    EXPECT_EQ(ripper.JitterErrors(), 2);
    EXPECT_EQ(ripper.JitterLog(), (QStringList{"10 12", "4000000000 41"}));
    EXPECT_EQ(readFile(path("Songjitt")), "10 12\r\n4000000000 41\r\n");

    library.chunks = {FakeChunk{ChunkWithJitter, bytes(4, 'e'), {7, 8}}, FakeChunk{LastChunk, {}}};
    EXPECT_TRUE(ripper.RipTrack(2, path("Other.pcm")).ok());
    EXPECT_EQ(ripper.JitterErrors(), 1);
    EXPECT_EQ(readFile(path("Otherjitt")), "10 12\r\n4000000000 41\r\n7 8\r\n");
}

// A track is either read to its end or it leaves nothing, and the outcome says why.
TEST_F(CDRIPTest, ARipThatCannotBeReadToItsEndLeavesNoFile)
{
    const FakeChunk a{Chunk, bytes(3, 'a')};
    const FakeChunk done{LastChunk, bytes(3, 'b')};
    const FakeChunk failed{Failed, {}};
    FakeChunk ejected = a;
    ejected.ejects = true;
    const struct {
        const char* situation;
        std::vector<FakeChunk> chunks;
        bool opens;
        bool discIn;
        TRipOutcome outcome;
        int chunksAsked;
    } cases[] = {
        {"read to the end", {a, done}, true, true, TRipOutcome::Complete, 2},
        {"a chunk in the middle fails", {a, failed, done}, true, true, TRipOutcome::ReadError, 2},
        {"the first chunk fails", {failed, done}, true, true, TRipOutcome::ReadError, 1},
        {"the disc is taken out", {a, ejected, done}, true, true, TRipOutcome::DiscRemoved, 2},
        {"the range does not open", {a, done}, false, true, TRipOutcome::Unreadable, 0},
        {"no disc to open", {a, done}, true, false, TRipOutcome::DiscRemoved, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        library.chunks = c.chunks;
        library.opens = c.opens;
        library.discIn = c.discIn;
        library.calls.clear();
        TCDRIP ripper(nullptr, library);
        ripper.setWriteWAV(true);
        int ended = 0;
        ripper.OnEndTrack = [&](QObject*, std::uint16_t) { ++ended; };
        const QString name = path("Track01.wav");
        QFile::remove(name);

        EXPECT_EQ(ripper.RipTrack(1, name), c.outcome);
        EXPECT_EQ(library.calls.count(QStringLiteral("readChunk")), c.chunksAsked);
        EXPECT_EQ(QFile::exists(name), c.outcome == TRipOutcome::Complete);
        EXPECT_FALSE(QFile::exists(PartialRipName(name)));
        EXPECT_EQ(ended, 1);
    }
}

TEST_F(CDRIPTest, TheFileTakesItsNameOnlyWhenTheLastChunkIsIn)
{
    TCDRIP ripper(nullptr, library);
    const QString name = path("Song.pcm");
    test::writeFile(name, "earlier");
    QStringList seen;
    ripper.OnProgress = [&](QObject*, std::uint16_t) {
        seen << QString::fromLatin1(readFile(name)) + u'|' +
                    QString::fromLatin1(readFile(PartialRipName(name)));
    };
    library.chunks = {FakeChunk{Chunk, bytes(2, 'a')}, FakeChunk{LastChunk, bytes(2, 'b')}};
    EXPECT_EQ(ripper.RipSectors(0, 1, name), TRipOutcome::Complete);
    EXPECT_EQ(seen, (QStringList{"earlier|aa", "earlier|aabb"}));
    EXPECT_EQ(readFile(name), "aabb");
    EXPECT_FALSE(QFile::exists(PartialRipName(name)));
    EXPECT_EQ(PartialRipName(QStringLiteral("/cd/Track01.wav")),
              QStringLiteral("/cd/.Track01.wav.part"));

    // A rip that fails leaves the earlier file as it was.
    library.chunks = {FakeChunk{Chunk, bytes(2, 'c')}, FakeChunk{Failed, {}}};
    EXPECT_EQ(ripper.RipSectors(0, 1, name), TRipOutcome::ReadError);
    EXPECT_EQ(readFile(name), "aabb");
}

TEST_F(CDRIPTest, AbortFromAHandlerEndsTheRipAndKeepsTheLog)
{
    TCDRIP ripper(nullptr, library);
    ripper.setWriteWAV(true);
    library.chunks = {FakeChunk{ChunkWithJitter, bytes(8, 'a'), {1, 2}},
                      FakeChunk{Chunk, bytes(8, 'b')}, FakeChunk{LastChunk, bytes(8, 'c')}};
    // A click on the dialog's abort button, handled between chunks.
    ripper.OnProgress = [&](QObject*, std::uint16_t) { ripper.Abort(); };
    EXPECT_EQ(ripper.RipSectors(0, 100, path("a.wav")), TRipOutcome::Aborted);
    EXPECT_FALSE(QFile::exists(path("a.wav")));
    EXPECT_FALSE(QFile::exists(PartialRipName(path("a.wav"))));
    EXPECT_EQ(library.calls.count(QStringLiteral("readChunk")), 1);
    EXPECT_EQ(readFile(path("ajitt")), "1 2\r\n");

    // The next rip starts with the flag cleared.
    ripper.OnProgress = nullptr;
    library.chunks = {FakeChunk{LastChunk, bytes(8, 'd')}};
    EXPECT_EQ(ripper.RipSectors(0, 100, path("b.wav")), TRipOutcome::Complete);
    EXPECT_EQ(readFile(path("b.wav")).size(), 44 + 8);
}

TEST_F(CDRIPTest, AShortWriteIsAWriteErrorAfterTheCleanUp)
{
    for (const bool wav : {true, false}) {
        SCOPED_TRACE(wav);
        TCDRIP ripper(nullptr, library);
        ripper.setWriteWAV(wav);
        int ended = 0;
        ripper.OnEndTrack = [&](QObject*, std::uint16_t) { ++ended; };
        const QString name = path(wav ? "full.wav" : "full.pcm");
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), PartialRipName(name)));
        library.calls.clear();
        library.chunks = {FakeChunk{ChunkWithJitter, bytes(8, 'a'), {1, 2}},
                          FakeChunk{LastChunk, {}}};
        const std::optional<CdFailure> failure = failureOf(ripper.RipTrack(1, name));
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->kind, CdError::Write);
        EXPECT_TRUE(
            failure->message.startsWith(QStringLiteral("Write error: \"") + PartialRipName(name)))
            << failure->message.toStdString();
        EXPECT_EQ(ended, 0);
        EXPECT_EQ(library.calls.last(), QStringLiteral("closeRipper"));
        EXPECT_TRUE(library.calls.contains(QStringLiteral("jitterErrorCount")));
        EXPECT_FALSE(QFile::exists(path("fulljitt")));
        EXPECT_FALSE(QFile::exists(name));
        EXPECT_FALSE(QFileInfo(PartialRipName(name)).isSymLink());
    }
}

// Every failure comes back as its reason with a message that names what failed; none leaves a
// file under the output's name or a partial one, and none goes on as an exception.
TEST_F(CDRIPTest, EachFailureArrivesAsItsReasonNamingWhatFailed)
{
    const struct {
        const char* situation;
        std::function<void(FakeCDRipLibrary&, const QString& name)> arrange;
        std::function<CdResult<TRipOutcome>(TCDRIP&, const QString& name)> act;
        CdError kind;
        QStringList named;  // what the message names
        bool opensRipper;
    } cases[] = {
        {"the drive refuses the settings",
         [](FakeCDRipLibrary& l, const QString&) { l.acceptsSettings = false; },
         [](TCDRIP& r, const QString& name) { return r.RipTrack(1, name); },
         CdError::InvalidParameters,
         {"Invalid CD-ROM parameters"},
         false},
        {"handing the settings fails",
         [](FakeCDRipLibrary& l, const QString&) { l.throwing = {"applySettings"}; },
         [](TCDRIP& r, const QString& name) { return r.RipTrack(1, name); },
         CdError::SettingParameters,
         {"Error setting parameters: applySettings"},
         false},
        {"the drive's output format is unknown",
         [](FakeCDRipLibrary& l, const QString&) {
             l.drives[1].info = drive("ODD", 1, false, static_cast<TOutputFormat>(9));
         },
         [](TCDRIP& r, const QString& name) { return r.RipTrack(1, name); },
         CdError::UnknownOutputFormat,
         {"Unknown output format"},
         false},
        {"a track outside the list",
         [](FakeCDRipLibrary&, const QString&) {},
         [](TCDRIP& r, const QString& name) { return r.RipTrack(7, name); },
         CdError::NoSuchTrack,
         {"Track 7", "3"},
         false},
        {"a rip from a handler during a rip",
         [](FakeCDRipLibrary& l, const QString&) {
             l.chunks = {FakeChunk{Chunk, bytes(4, 'a')}};
         },
         [](TCDRIP& r, const QString& name) {
             std::optional<CdResult<TRipOutcome>> inner;
             r.OnProgress = [&](QObject*, std::uint16_t) {
                 if (!inner) {
                     inner = r.RipTrack(1, name);
                 }
             };
             const CdResult<TRipOutcome> outer = r.RipTrack(1, name + QStringLiteral(".outer"));
             EXPECT_EQ(*outer, TRipOutcome::Complete);
             return *inner;
         },
         CdError::RipRunning,
         {"A rip is already running"},
         true},
        {"the output file cannot be created",
         [](FakeCDRipLibrary&, const QString&) {},
         [](TCDRIP& r, const QString& name) {
             return r.RipTrack(1, QFileInfo(name).path() + QStringLiteral("/missing/x.wav"));
         },
         CdError::CannotCreateFile,
         {"Cannot create file", "/missing/.x.wav.part"},
         true},
        {"the disk is full",
         [](FakeCDRipLibrary& l, const QString& name) {
             l.chunks = {FakeChunk{LastChunk, bytes(4, 'a')}};
             ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), PartialRipName(name)));
         },
         [](TCDRIP& r, const QString& name) { return r.RipTrack(1, name); },
         CdError::Write,
         {"Write error", ".Track01.wav.part"},
         true},
        {"the library fails in the middle of a rip",
         [](FakeCDRipLibrary& l, const QString&) { l.throwing = {"readChunk"}; },
         [](TCDRIP& r, const QString& name) { return r.RipTrack(1, name); },
         CdError::LibraryFault,
         {"The extraction library failed: readChunk"},
         true},
        {"the drive cannot be selected",
         [](FakeCDRipLibrary&, const QString&) {},
         [this](TCDRIP& r, const QString&) -> CdResult<TRipOutcome> {
             library.throwing = {"selectDrive"};
             const CdResult<void> selected = r.setCDRomNum(0);
             return selected ? CdResult<TRipOutcome>(TRipOutcome::Complete) : selected.failure();
         },
         CdError::Initialization,
         {"Initialization failure: selectDrive"},
         false},
    };
    const FakeCDRipLibrary pristine = library;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        library = pristine;
        const QString name = path("Track01.wav");
        c.arrange(library, name);
        library.calls.clear();
        TCDRIP ripper(nullptr, library);
        ripper.setWriteWAV(true);
        ASSERT_FALSE(ripper.startFailure().has_value());

        const std::optional<CdFailure> failure = failureOf(c.act(ripper, name));
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->kind, c.kind);
        for (const QString& part : c.named) {
            EXPECT_TRUE(failure->message.contains(part)) << failure->message.toStdString();
        }
        EXPECT_EQ(library.calls.contains(QStringLiteral("openRipper")), c.opensRipper);
        EXPECT_FALSE(QFile::exists(name));
        EXPECT_FALSE(QFileInfo(PartialRipName(name)).exists());
        EXPECT_FALSE(QFileInfo(PartialRipName(name)).isSymLink());
        QFile::remove(PartialRipName(name));
        QFile::remove(name + QStringLiteral(".outer"));
    }
}

TEST_F(CDRIPTest, AnUnopenedRipperGivesNoFileButTheTrackEnds)
{
    TCDRIP ripper(nullptr, library);
    std::vector<std::pair<char, int>> events;
    ripper.OnBeginTrack = [&](QObject*, std::uint16_t n) { events.push_back({'b', n}); };
    ripper.OnEndTrack = [&](QObject*, std::uint16_t n) { events.push_back({'e', n}); };
    library.opens = false;
    EXPECT_EQ(ripper.RipTrack(2, path("none.wav")), TRipOutcome::Unreadable);
    EXPECT_FALSE(QFile::exists(path("none.wav")));
    EXPECT_EQ(events, (std::vector<std::pair<char, int>>{{'b', 2}, {'e', 2}}));
    EXPECT_EQ(library.openedRange, (std::pair<std::int32_t, std::int32_t>{1000, 1999}));
    EXPECT_FALSE(library.calls.contains(QStringLiteral("closeRipper")));
}

TEST_F(CDRIPTest, CdTextComesWithTheTableOfContents)
{
    // Fewer CD-TEXT entries than tracks: the last track has no names.
    library.drives[1].disc.cdText = CdText{
        {QStringLiteral("Album"), QStringLiteral("Band")},
        {{QStringLiteral("One"), QStringLiteral("Solo")}, {QStringLiteral("Two"), QString()}}};
    TCDRIP ripper(nullptr, library);
    EXPECT_EQ(ripper.DiscText().title, QStringLiteral("Album"));
    EXPECT_EQ(ripper.DiscText().performer, QStringLiteral("Band"));
    const struct {
        const char* title;
        const char* performer;
    } expected[] = {{"One", "Solo"}, {"Two", ""}, {"", ""}};
    ASSERT_EQ(ripper.Tracks().size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const TTrackItem& item = ripper.Tracks()[i];
        EXPECT_EQ(item.Text, QStringLiteral("Track%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        EXPECT_EQ(item.Track.Title, QString::fromLatin1(expected[i].title)) << i;
        EXPECT_EQ(item.Track.Performer, QString::fromLatin1(expected[i].performer)) << i;
    }

    // A drive that cannot be read leaves no disc text of the previous one behind.
    library.drives[0].disc = DiscToc{DiscState::NoDisc, {}, 0, {}, {}};
    EXPECT_TRUE(ripper.setCDRomNum(0).ok());
    EXPECT_EQ(ripper.DiscText().title, QString());
    EXPECT_EQ(ripper.DiscText().performer, QString());
}

TEST_F(CDRIPTest, TheFirstDrivesCdTextIsReadWhateverDriveIsActive)
{
    const struct {
        const char* situation;
        std::function<void(FakeCDRipLibrary&)> arrange;
        const char* title;
    } cases[] = {
        {"readable", [](FakeCDRipLibrary&) {}, "Zero Album"},
        {"library refuses to start", [](FakeCDRipLibrary& l) { l.startsUp = false; }, ""},
        {"no table of contents",
         [](FakeCDRipLibrary& l) { l.drives[0].disc.state = DiscState::NoDisc; }, ""},
        {"unreadable disc",
         [](FakeCDRipLibrary& l) { l.drives[0].disc.state = DiscState::Unreadable; }, ""},
        {"no drive at all", [](FakeCDRipLibrary& l) { l.drives.clear(); }, ""},
    };
    for (const auto& c : cases) {
        FakeCDRipLibrary fresh = library;
        fresh.drives[0].disc.cdText.disc.title = QStringLiteral("Zero Album");
        fresh.drives[1].disc.cdText.disc.title = QStringLiteral("One Album");
        c.arrange(fresh);
        EXPECT_EQ(FirstDriveCdText(fresh).disc.title, QString::fromLatin1(c.title)) << c.situation;
    }
}

TEST_F(CDRIPTest, AnUnreadableDiscIsToldFromAMissingOne)
{
    TCDRIP ripper(nullptr, library);
    EXPECT_FALSE(ripper.DiscUnreadable());
    library.drives[0].disc.state = DiscState::Unreadable;
    EXPECT_TRUE(ripper.setCDRomNum(0).ok());
    EXPECT_TRUE(ripper.DiscUnreadable());
    EXPECT_EQ(ripper.Tracks().size(), 3u);  // the earlier drive's, as the caller left them

    library.drives[1].disc.state = DiscState::NoDisc;
    EXPECT_TRUE(ripper.setCDRomNum(1).ok());
    EXPECT_FALSE(ripper.DiscUnreadable());
}

// How a rip of StartRipTrack ends: it returns at once, the event loop reads the chunks, and the
// end comes as a signal after the clean-up.
TEST_F(CDRIPTest, ATrackStartedInTheEventLoopEndsWithASignal)
{
    const FakeChunk a{Chunk, bytes(3, 'a')};
    const FakeChunk done{LastChunk, bytes(3, 'b')};
    const struct {
        const char* situation;
        std::vector<FakeChunk> chunks;
        bool opens;
        bool fullDisk;
        std::optional<TRipOutcome> outcome;  // nothing: ripFailed
        const char* failure;
        int chunksAsked;
    } cases[] = {
        {"read to the end", {a, a, done}, true, false, TRipOutcome::Complete, "", 3},
        {"a chunk fails",
         {a, FakeChunk{Failed, {}}, done},
         true,
         false,
         TRipOutcome::ReadError,
         "",
         2},
        {"the range does not open", {a, done}, false, false, TRipOutcome::Unreadable, "", 0},
        {"the file takes nothing", {a, done}, true, true, std::nullopt, "Write error", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        library.chunks = c.chunks;
        library.opens = c.opens;
        library.calls.clear();
        TCDRIP ripper(nullptr, library);
        const QString name = path("Track01.pcm");
        QFile::remove(name);
        QFile::remove(PartialRipName(name));
        if (c.fullDisk) {
            ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), PartialRipName(name)));
        }
        QStringList events;
        ripper.OnEndTrack = [&](QObject*, std::uint16_t n) {
            events << QStringLiteral("end %1").arg(n);
        };
        QObject::connect(&ripper, &TCDRIP::trackRipped, [&](std::int32_t n, TRipOutcome outcome) {
            events << QStringLiteral("ripped %1 %2").arg(n).arg(static_cast<int>(outcome));
        });
        QObject::connect(&ripper, &TCDRIP::ripFailed, [&](const CdFailure& failure) {
            events << QStringLiteral("failed ") + failure.message.section(u':', 0, 0);
        });

        ASSERT_TRUE(ripper.StartRipTrack(1, name).ok());
        EXPECT_EQ(library.calls.count(QStringLiteral("readChunk")), 0);
        EXPECT_TRUE(ripper.TrackInProgress());
        ASSERT_TRUE(test::waitForEvents([&] { return !ripper.TrackInProgress(); }));

        const QStringList expected =
            c.outcome ? QStringList{QStringLiteral("end 1"),
                                    QStringLiteral("ripped 1 %1").arg(static_cast<int>(*c.outcome))}
                      : QStringList{QStringLiteral("failed ") + QString::fromLatin1(c.failure)};
        EXPECT_EQ(events, expected);
        EXPECT_EQ(library.calls.count(QStringLiteral("readChunk")), c.chunksAsked);
        EXPECT_EQ(readFile(name), c.outcome == TRipOutcome::Complete ? "aaaaaabbb" : "");
        EXPECT_FALSE(QFileInfo::exists(PartialRipName(name)));
        EXPECT_EQ(library.calls.contains(QStringLiteral("closeRipper")), c.opens);
    }
}

// A click between two chunks: the rip is over and cleaned up when Abort returns.
TEST_F(CDRIPTest, AbortBetweenTheChunksOfAStartedTrackEndsItAtOnce)
{
    TCDRIP ripper(nullptr, library);
    library.chunks = {FakeChunk{ChunkWithJitter, bytes(4, 'a'), {5, 6}}};
    library.chunks.resize(20, FakeChunk{Chunk, bytes(4, 'b')});
    std::optional<TRipOutcome> ended;
    QObject::connect(&ripper, &TCDRIP::trackRipped,
                     [&](std::int32_t, TRipOutcome outcome) { ended = outcome; });
    qsizetype readsAtAbort = -1;
    bool endedWithAbort = false;
    ripper.OnProgress = [&](QObject*, std::uint16_t) {
        QTimer::singleShot(0, &ripper, [&] {
            if (readsAtAbort < 0) {
                readsAtAbort = library.calls.count(QStringLiteral("readChunk"));
                ripper.Abort();
                endedWithAbort = ended.has_value() && !ripper.TrackInProgress() &&
                                 !QFileInfo::exists(PartialRipName(path("a.wav")));
            }
        });
    };
    EXPECT_TRUE(ripper.StartRipTrack(1, path("a.wav")).ok());
    ASSERT_TRUE(test::waitForEvents([&] { return !ripper.TrackInProgress(); }));
    test::waitForEvents([] { return false; }, 50);

    EXPECT_TRUE(endedWithAbort);
    EXPECT_EQ(ended, TRipOutcome::Aborted);
    EXPECT_LT(readsAtAbort, 20);
    EXPECT_EQ(library.calls.count(QStringLiteral("readChunk")), readsAtAbort);
    EXPECT_FALSE(QFileInfo::exists(path("a.wav")));
    EXPECT_EQ(readFile(path("ajitt")), "5 6\r\n");
}

// What cannot begin is answered at once, and nothing is left running.
TEST_F(CDRIPTest, AStartedTrackRefusesWhatRipTrackRefuses)
{
    TCDRIP ripper(nullptr, library);
    EXPECT_EQ(failureOf(ripper.StartRipTrack(4, path("x.wav")))->kind, CdError::NoSuchTrack);
    library.acceptsSettings = false;
    EXPECT_EQ(failureOf(ripper.StartRipTrack(1, path("x.wav")))->kind, CdError::InvalidParameters);
    EXPECT_FALSE(ripper.TrackInProgress());

    library.acceptsSettings = true;
    library.chunks = {FakeChunk{Chunk, bytes(4, 'a')}, FakeChunk{LastChunk, bytes(4, 'b')}};
    ASSERT_TRUE(ripper.StartRipTrack(1, path("first.wav")).ok());
    const std::optional<CdFailure> refusals[] = {
        failureOf(ripper.StartRipTrack(2, path("second.wav"))),
        failureOf(ripper.RipTrack(2, path("second.wav")))};
    for (const std::optional<CdFailure>& refusal : refusals) {
        ASSERT_TRUE(refusal.has_value());
        EXPECT_EQ(refusal->kind, CdError::RipRunning);
        EXPECT_EQ(refusal->message, QStringLiteral("A rip is already running"));
    }
    ASSERT_TRUE(test::waitForEvents([&] { return !ripper.TrackInProgress(); }));
    EXPECT_EQ(readFile(path("first.wav")), "aaaabbbb");
    EXPECT_EQ(library.calls.count(QStringLiteral("openRipper")), 1);
}
