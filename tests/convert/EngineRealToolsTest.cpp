#include "EngineHarness.h"

#include "convert/AudioCheck.h"
#include "platform/FileSystem.h"
#include "support/Audio.h"
#include "support/TaggedFiles.h"

#include <QFileInfo>
#include <QProcess>

#include <algorithm>

using namespace qvr;
using namespace qvr::test;

namespace {

struct KindCase {
    QString name;
    const char* container;
    const char* codec;
};

// What an output of each kind must be, from a 16-bit stereo tone: the input's container and
// codec. Every kind the program knows must be here.
KindCase outputOf(AudioKind kind)
{
    const QString name = "tone" + KindExtension(kind);
    switch (kind) {
        case AudioKind::Mp3: return {name, "mp3", "mp3"};
        case AudioKind::Wav: return {name, "wav", "pcm_s16le"};
        case AudioKind::Flac: return {name, "flac", "flac"};
        case AudioKind::Aiff:
        case AudioKind::Aif: return {name, "aiff", "pcm_s16be"};
        case AudioKind::Aac: return {name, "aac", "aac"};
        // The tone is AAC in M4A, and an M4A keeps its codec family.
        case AudioKind::M4a: return {name, "mov,mp4,m4a,3gp,3g2,mj2", "aac"};
        case AudioKind::None: break;
    }
    ADD_FAILURE() << "no expectation for " << KindLabel(kind).toStdString();
    return {name, "", ""};
}

std::vector<KindCase> everyKind()
{
    std::vector<KindCase> cases;
    for (const KindSpec& kindRow : AllKinds()) {
        cases.push_back(outputOf(kindRow.kind));
    }
    return cases;
}

const std::vector<KindCase> kKinds = everyKind();

constexpr double kSeconds = 2.0;

void expectPitch(const QString& file, double hertz)
{
    const double measured = measurePitch(file);
    EXPECT_NEAR(measured, hertz, hertz * 0.0005) << file.toStdString();
}

}  // namespace

class RealTools : public EngineTest {
  protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        installRealTools();
    }
};

TEST_F(RealTools, EveryKindIsRetunedTo432HzInItsOwnFormat)
{
    QStringList inputs;
    for (const KindCase& k : kKinds) {
        inputs << music + k.name;
        ASSERT_TRUE(makeTone(inputs.last(), 440.0, kSeconds)) << k.name.toStdString();
    }
    convert(inputs);
    ASSERT_EQ(engine.Outcomes.size(), std::size(kKinds));
    for (std::size_t i = 0; i < std::size(kKinds); ++i) {
        const KindCase& k = kKinds[i];
        const QString output =
            outputFolderFor(inputs[int(i)]) + MakeOutputName(k.name, QStringLiteral("432"));
        SCOPED_TRACE(output.toStdString());
        EXPECT_EQ(engine.Outcomes[i], JobOutcome::Converted);
        ASSERT_TRUE(FileExists(output));
        const StreamInfo info = probe(output);
        EXPECT_EQ(info.container, k.container);
        EXPECT_EQ(info.codec, k.codec);
        EXPECT_EQ(info.channels, 2);
        // The rate change makes the music longer by the same share as it lowers the pitch.
        EXPECT_NEAR(info.seconds, kSeconds * 440.0 / 432.0, 0.1);
        expectPitch(output, 432.0);
        EXPECT_EQ(cell(int(i), FileListModel::StatusColumn), "Done");
    }
    // The outputs of kinds that can be read while written were decoded beside their encoder.
    const auto followed = std::count_if(AllKinds().begin(), AllKinds().end(),
                                        [](const auto& row) { return *row.streamDemuxer != '\0'; });
    EXPECT_EQ(engine.counters().outputsDecodedAsWritten, followed);
}

// A lossless source deeper than CD audio keeps its depth; sources of 16 bits stay 16 (above).
TEST_F(RealTools, ADeepLosslessSourceKeepsItsDepth)
{
    const char* const names[] = {"deep.wav", "deep.flac", "deep.aiff", "deep.aif", "deep.m4a"};
    const QString wav24 = home.path() + "/deep24.wav";
    ASSERT_TRUE(runTool("sox", {"-n", "-r", "44100", "-c", "2", "-b", "24", wav24, "synth",
                                QString::number(kSeconds), "sine", "440"}));
    QStringList inputs;
    for (const char* name : names) {
        inputs << music + name;
        const QString codec = inputs.last().endsWith(".m4a")    ? "alac"
                              : inputs.last().endsWith(".flac") ? "flac"
                              : inputs.last().endsWith(".wav")  ? "pcm_s24le"
                                                                : "pcm_s24be";
        ASSERT_TRUE(runTool("ffmpeg", {"-v", "error", "-i", wav24, "-c:a", codec, "-sample_fmt",
                                       codec == "alac" ? "s32p" : "s32", inputs.last()}));
        ASSERT_EQ(ProbeAudio(inputs.last()).bits, 24) << name;
    }
    convert(inputs);
    for (int i = 0; i < inputs.size(); ++i) {
        const QString output =
            outputFolderFor(inputs[i]) + MakeOutputName(names[i], QStringLiteral("432"));
        SCOPED_TRACE(output.toStdString());
        EXPECT_EQ(engine.Outcomes[std::size_t(i)], JobOutcome::Converted);
        EXPECT_EQ(ProbeAudio(output).bits, 24);
        expectPitch(output, 432.0);
    }
}

// The re-tuned copy is the same record: every field, the cover's very bytes and ReplayGain come
// along, with a marker of the tuning; the pitch is still right.
TEST_F(RealTools, EveryKindKeepsItsTagsAndCoverAndIsMarked)
{
    const QByteArray cover = coverJpeg();
    QStringList inputs;
    for (const KindCase& k : kKinds) {
        inputs << music + "tagged-" + k.name;
        ASSERT_TRUE(makeTone(inputs.last(), 440.0, kSeconds)) << k.name.toStdString();
        tagFile(inputs.last(), sourceFields(), cover);
    }
    inputs << music + "plain.flac";
    ASSERT_TRUE(makeTone(inputs.last(), 440.0, kSeconds));
    convert(inputs);
    for (int i = 0; i < inputs.size(); ++i) {
        const QString output =
            outputFolderFor(inputs[i]) +
            MakeOutputName(QFileInfo(inputs[i]).fileName(), QStringLiteral("432"));
        SCOPED_TRACE(output.toStdString());
        ASSERT_EQ(engine.Outcomes[std::size_t(i)], JobOutcome::Converted);
        EXPECT_EQ(cell(i, FileListModel::StatusColumn), "Done");
        const Tags tags = readTags(output);
        Fields expected = readTags(inputs[i]).fields;
        if (!inputs[i].endsWith("plain.flac")) {
            ASSERT_EQ(tags.pictures.size(), 1u);
            EXPECT_EQ(tags.pictures.front().data, cover);
        }
        expected["TUNING"] = QStringList{"432 Hz (from 440 Hz)"};
        EXPECT_EQ(tags.fields, expected);
        expectPitch(output, 432.0);
    }
}

// Tags are never a reason to fail a file; the row says when they could not be copied.
TEST_F(RealTools, AFileWhoseTagsCannotBeReadIsConvertedWithANote)
{
    // A FLAC the decoders play, with an empty application block after its stream information
    // that the tag library takes for damage.
    const QString input = music + "odd.flac";
    ASSERT_TRUE(makeTone(input, 440.0, kSeconds));
    constexpr int kAfterStreamInfo = 4 + 4 + 34;
    writeFile(input, readFile(input).insert(kAfterStreamInfo, QByteArray("\x02\0\0\0", 4)));
    convert({input});
    ASSERT_EQ(engine.Outcomes, std::vector<JobOutcome>{JobOutcome::Converted});
    EXPECT_EQ(cell(0, FileListModel::StatusColumn), "Done (tags not copied)");
    EXPECT_FALSE(view.ended.front().second.tagsCopied);
}

TEST_F(RealTools, A528HzRunTunesFromItsOwnReferencePitch)
{
    ASSERT_TRUE(makeTone(music + "tone.flac", 440.0, kSeconds));
    convert({music + "tone.flac"}, 5);
    expectPitch(outputFolderFor(music + "tone.flac", "528") + "tone-528 Hz.flac",
                440.0 * 528.0 / 523.251);
}

TEST_F(RealTools, AwkwardNamesAreHandedToTheToolsSafely)
{
    const QString folder = music + "Bj\xC3\xB6rk & \"Friends\" $HOME; -x/";
    QDir().mkpath(folder);
    const QString input = folder + QString::fromUtf8("-Jóga 'live'.mp3");
    ASSERT_TRUE(makeTone(input, 440.0, kSeconds));
    convert({input});
    const QString output = outputFolderFor(input) + QString::fromUtf8("-Jóga 'live'-432 Hz.mp3");
    ASSERT_TRUE(FileExists(output));
    expectPitch(output, 432.0);
}

TEST_F(RealTools, AFileThatIsNotAudioFailsAndTheRunGoesOn)
{
    writeFile(music + "broken.mp3", QByteArray(200'000, 'x'));
    ASSERT_TRUE(makeTone(music + "fine.wav", 440.0, kSeconds));
    const QByteArray before = readFile(music + "broken.mp3");
    convert({music + "broken.mp3", music + "fine.wav"});
    EXPECT_NE(engine.Outcomes[0], JobOutcome::Converted);
    EXPECT_EQ(cell(0, FileListModel::StatusColumn), "Failed: " + texts.text(511));
    EXPECT_EQ(engine.Outcomes[1], JobOutcome::Converted);
    EXPECT_EQ(readFile(music + "broken.mp3"), before);
    expectPitch(outputFolderFor(music + "fine.wav") + "fine-432 Hz.wav", 432.0);
}

// The window's run is one job: it too works in a job folder the run made and marked, so files
// that happen to lie in the work folder under the work files' names stay as they are.
TEST_F(RealTools, TheWindowsSingleJobLeavesFilesInTheWorkFolderAlone)
{
    ASSERT_EQ(engine.settings().jobs, 1);
    const std::map<QString, QByteArray> mine = {{"input.wav", "my first recording"},
                                                {"output.wav", "my second recording"},
                                                {"error.txt", "my notes"},
                                                {"progress_zum_lesen.txt", "my reading"}};
    for (const auto& [name, bytes] : mine) {
        writeFile(work + name, bytes);
    }
    writeToneWav(music + "a.wav", 440.0, 0.5);
    const QByteArray source = readFile(music + "a.wav");
    convert({music + "a.wav"});
    ASSERT_EQ(engine.Outcomes, std::vector<JobOutcome>{JobOutcome::Converted});
    for (const auto& [name, bytes] : mine) {
        EXPECT_EQ(readFile(work + name), bytes) << name.toStdString();
    }
    EXPECT_TRUE(QFileInfo::exists(work + "job1/.quorvane-work"));
    EXPECT_NEAR(measurePitch(outputFolderFor(music + "a.wav") + "a-432 Hz.wav"), 432.0, 0.5);
    EXPECT_EQ(readFile(music + "a.wav"), source);
}
