#include "EngineHarness.h"

#include "platform/FileSystem.h"
#include "support/Audio.h"

using namespace qvr;
using namespace qvr::test;

namespace {

struct KindCase {
    const char* name;
    const char* container;
    const char* codec;
};

// What each kind's output must be: the input's container, the design's codec.
const KindCase kKinds[] = {
    {"tone.mp3", "mp3", "mp3"},
    {"tone.wav", "wav", "pcm_s16le"},
    {"tone.flac", "flac", "flac"},
    {"tone.aiff", "aiff", "pcm_s16be"},
    {"tone.aif", "aiff", "pcm_s16be"},
    {"tone.aac", "aac", "aac"},
    {"tone.m4a", "mov,mp4,m4a,3gp,3g2,mj2", "alac"},
};

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
        ASSERT_TRUE(makeTone(inputs.last(), 440.0, kSeconds)) << k.name;
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
    EXPECT_EQ(cell(0, FileListModel::StatusColumn), "Failed: " + GetLanguageText(511));
    EXPECT_EQ(engine.Outcomes[1], JobOutcome::Converted);
    EXPECT_EQ(readFile(music + "broken.mp3"), before);
    expectPitch(outputFolderFor(music + "fine.wav") + "fine-432 Hz.wav", 432.0);
}
