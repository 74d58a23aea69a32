// Files as real libraries hold them, made here with the common tools: each is re-tuned as a
// faithful copy (length, channels, level, codec family, quality) or refused with a true reason.

#include "EngineHarness.h"

#include "convert/AudioCheck.h"
#include "convert/JobTexts.h"
#include "platform/FileSystem.h"
#include "support/Audio.h"

#include <QFileInfo>
#include <QProcess>
#include <QtEndian>

#include <cmath>

using namespace qvr;
using namespace qvr::test;

namespace {

QByteArray digest(const QString& path)
{
    return ReadFileBytes(path).value_or(QByteArray());
}

// A two-tone chord (so that levels and lengths mean something), `seconds` long.
QStringList chord(double seconds, int rate = 44100, int channels = 2)
{
    return {"-v", "error", "-y", "-f", "lavfi", "-i",
            // A little noise, so that variable-rate encoders spend bits as on music.
            QString("aevalsrc=0.3*sin(2*PI*440*t)+0.2*sin(2*PI*660*t)+0.05*(random(0)-0.5):"
                    "s=%1:d=%2")
                .arg(rate)
                .arg(seconds),
            "-ac", QString::number(channels)};
}

bool ffmpeg(const QString& target, const QStringList& options, double seconds = 2.0,
            int rate = 44100, int channels = 2)
{
    return runTool("ffmpeg", chord(seconds, rate, channels) + options + QStringList{target});
}

// An MP3 made by the MP3 tool from a chord WAV, with its options.
bool lame(const QString& target, const QStringList& options, int rate = 44100, int channels = 2)
{
    const QString wav = target + ".source.wav";
    const bool made = ffmpeg(wav, {}, 3.0, rate, channels) &&
                      runTool("lame", QStringList{"--quiet"} + options + QStringList{wav, target});
    QFile::remove(wav);
    return made;
}

// An APEv2 tag of one binary item of `bytes` bytes, as some taggers leave at a file's end.
QByteArray apeTag(int bytes)
{
    QByteArray item(8, '\0');
    qToLittleEndian<quint32>(quint32(bytes), item.data());
    qToLittleEndian<quint32>(quint32(1) << 1, item.data() + 4);  // binary
    item += QByteArray("Cover Art (Front)") + '\0' + QByteArray(bytes, 'x');
    const auto field = [](quint32 size, quint32 count, quint32 flags) {
        QByteArray block("APETAGEX");
        QByteArray numbers(24, '\0');
        qToLittleEndian<quint32>(2000, numbers.data());
        qToLittleEndian<quint32>(size, numbers.data() + 4);
        qToLittleEndian<quint32>(count, numbers.data() + 8);
        qToLittleEndian<quint32>(flags, numbers.data() + 12);
        return block + numbers;
    };
    const quint32 size = quint32(item.size() + 32);
    return field(size, 1, 0xA0000000u) + item + field(size, 1, 0x80000000u);
}

struct Expected {
    const char* codec;  // of the output
    int channels;
    // A lossy output keeps the source's bit rate (or more).
    bool keepsRate = false;
    bool variable = false;  // an MP3 output of variable rate
    int leastBits = 0;      // depth of a lossless output, at least
};

struct RealCase {
    const char* name;
    std::function<bool(const QString&)> make;
    Expected expected;
};

std::vector<RealCase> realCases()
{
    return {
        {"float.wav",
         [](const QString& p) {
             return ffmpeg(p, {"-c:a", "pcm_f32le"});
         },
         {"pcm_s32le", 2, 0, false, 32}},
        {"double.wav",
         [](const QString& p) {
             return ffmpeg(p, {"-c:a", "pcm_f64le"});
         },
         {"pcm_s32le", 2, 0, false, 32}},
        {"alaw.wav",
         [](const QString& p) {
             return ffmpeg(p, {"-c:a", "pcm_alaw", "-ar", "8000"});
         },
         {"pcm_s16le", 2}},
        {"mulaw.wav",
         [](const QString& p) {
             return ffmpeg(p, {"-c:a", "pcm_mulaw", "-ar", "8000"});
         },
         {"pcm_s16le", 2}},
        {"adpcm.wav",
         [](const QString& p) {
             return ffmpeg(p, {"-c:a", "adpcm_ms"});
         },
         {"pcm_s16le", 2}},
        {"extensible.wav",
         [](const QString& p) {
             return ffmpeg(p, {"-c:a", "pcm_s16le"}, 2.0, 44100, 6);
         },
         {"pcm_s16le", 6}},
        {"rf64.wav",
         [](const QString& p) {
             return ffmpeg(p, {"-c:a", "pcm_s16le", "-rf64", "always"});
         },
         {"pcm_s16le", 2}},
        {"mpeg2.mp3",
         [](const QString& p) {
             return lame(p, {"-b", "64"}, 22050);
         },
         {"mp3", 2}},
        {"mpeg25.mp3",
         [](const QString& p) {
             return lame(p, {"-b", "32"}, 11025, 1);
         },
         {"mp3", 1}},
        {"vbr-no-xing.mp3",
         [](const QString& p) {
             return lame(p, {"-V", "2", "-t"});
         },
         {"mp3", 2}},
        {"ape-tag.mp3",
         [](const QString& p) {
             if (!lame(p, {"-b", "128"})) {
                 return false;
             }
             QFile file(p);
             return file.open(QIODevice::Append) && file.write(apeTag(400'000)) > 0;
         },
         {"mp3", 2}},
        {"cbr320.mp3",
         [](const QString& p) {
             return lame(p, {"-b", "320"});
         },
         {"mp3", 2, true}},
        {"v0.mp3",
         [](const QString& p) {
             return lame(p, {"-V", "0"});
         },
         {"mp3", 2, true, true}},
        {"vbr.aac",
         [](const QString& p) {
             return ffmpeg(p, {"-c:a", "aac", "-q:a", "2"});
         },
         {"aac", 2}},
        {"96k.aac",
         [](const QString& p) {
             return ffmpeg(p, {"-c:a", "aac"}, 2.0, 96000);
         },
         {"aac", 2}},
        {"short-mono.aac",
         [](const QString& p) {
             return ffmpeg(p, {"-c:a", "aac"}, 1.0, 11025, 1);
         },
         {"aac", 1}},
        {"256k.aac",
         [](const QString& p) {
             return ffmpeg(p, {"-c:a", "aac", "-b:a", "256k"});
         },
         {"aac", 2, true}},
        {"mono.flac", [](const QString& p) { return ffmpeg(p, {}, 2.0, 44100, 1); }, {"flac", 1}},
        {"six.flac", [](const QString& p) { return ffmpeg(p, {}, 2.0, 44100, 6); }, {"flac", 6}},
        {"mono.aiff",
         [](const QString& p) { return ffmpeg(p, {}, 2.0, 44100, 1); },
         {"pcm_s16be", 1}},
        {"four.aif",
         [](const QString& p) { return ffmpeg(p, {}, 2.0, 44100, 4); },
         {"pcm_s16be", 4}},
        {"mono.m4a",
         [](const QString& p) {
             return ffmpeg(p, {"-c:a", "aac"}, 2.0, 44100, 1);
         },
         {"aac", 1}},
        {"six.m4a",
         [](const QString& p) {
             return ffmpeg(p, {"-c:a", "aac"}, 2.0, 44100, 6);
         },
         {"aac", 6}},
        {"alac.m4a",
         [](const QString& p) {
             return ffmpeg(p, {"-c:a", "alac"});
         },
         {"alac", 2}},
        {"ac3.m4a",
         [](const QString& p) {
             return ffmpeg(p, {"-c:a", "ac3", "-b:a", "384k"});
         },
         {"aac", 2, true}},
    };
}

}  // namespace

class RealFiles : public EngineTest {
  protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        installRealTools();
        // Side by side and without the window's pauses: the same jobs, checks and tools.
        engine.configure(StartingSettings(ProgramPaths::forUser(home.documents(), home.dataHome()),
                                          RunStyle::Batch, 2));
    }
};

TEST_F(RealFiles, EveryFileThatPlaysIsRetunedFaithfully)
{
    const std::vector<RealCase> cases = realCases();
    QStringList inputs;
    for (const RealCase& c : cases) {
        inputs << music + c.name;
        ASSERT_TRUE(c.make(inputs.last())) << c.name;
    }
    QMap<QString, QByteArray> before;
    for (const QString& input : inputs) {
        before[input] = digest(input);
    }
    convert(inputs);
    ASSERT_EQ(engine.Results.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const RealCase& c = cases[i];
        SCOPED_TRACE(c.name);
        const JobResult& result = engine.Results[i];
        ASSERT_EQ(result.outcome, JobOutcome::Converted)
            << ReasonWords(result.reason).toStdString();
        const AudioFacts source = DecodeAudio(inputs[int(i)]);
        const AudioFacts output = DecodeAudio(result.output);
        EXPECT_TRUE(output.complete);
        EXPECT_EQ(output.codec, c.expected.codec);
        EXPECT_EQ(output.channels, c.expected.channels);
        if (source.channels > 2) {
            EXPECT_EQ(output.layout, source.layout);
        }
        // The rate change makes the music longer by the share it lowers the pitch; an AAC's
        // priming and padding may add up to two frames.
        const double padding = 2048.0 / std::max(1, output.sampleRate);
        EXPECT_NEAR(output.seconds, source.seconds * 440.0 / 432.0, std::max(0.06, padding + 0.02));
        EXPECT_NEAR(output.levelDb(), source.levelDb(), 1.0);
        if (c.expected.keepsRate) {
            // Not the design's 129 kbit/s AAC or 192 kbit/s MP3 for a richer source; the AAC
            // encoder spends less than asked on simple music.
            EXPECT_GE(output.bitRate, std::min<std::int64_t>(source.bitRate * 9 / 10, 200'000));
        }
        EXPECT_EQ(output.variableBitRate && c.expected.codec == QString("mp3"),
                  c.expected.variable);
        EXPECT_GE(output.bits, c.expected.leastBits);
        EXPECT_EQ(digest(inputs[int(i)]), before[inputs[int(i)]]);
    }
}

// Damage inside a file is named for what it is; a file cut short plays as far as it goes and says
// so.
TEST_F(RealFiles, BadSourcesGetTrueWords)
{
    const QString damaged = music + "damaged.flac";
    const QString cut = music + "cut.wav";
    ASSERT_TRUE(ffmpeg(damaged, {}, 3.0));
    ASSERT_TRUE(ffmpeg(cut, {"-c:a", "pcm_s16le"}, 3.0));
    QByteArray bytes = digest(damaged);
    for (qsizetype at = bytes.size() / 3; at < bytes.size() / 3 + 2000; at += 7) {
        bytes[at] = char(~bytes[at]);
    }
    ASSERT_TRUE(WriteFileBytes(damaged, bytes));
    const QByteArray whole = digest(cut);
    ASSERT_TRUE(WriteFileBytes(cut, whole.first(whole.size() / 2)));

    convert({damaged, cut});
    ASSERT_EQ(engine.Results.size(), 2u);
    EXPECT_EQ(engine.Results[0].outcome, JobOutcome::Failed);
    EXPECT_EQ(engine.Results[0].reason, FailureReason::SourceDamaged);
    EXPECT_EQ(cell(0, FileListModel::StatusColumn), "Failed: source damaged");
    ASSERT_EQ(engine.Results[1].outcome, JobOutcome::Converted);
    EXPECT_TRUE(engine.Results[1].sourceIncomplete);
    EXPECT_EQ(cell(1, FileListModel::StatusColumn), "Done (source shorter than its header)");
    EXPECT_EQ(NoteWords(engine.Results[1]), "source incomplete");
    EXPECT_NEAR(DecodeAudio(engine.Results[1].output).seconds, 1.5 * 440.0 / 432.0, 0.06);
}
