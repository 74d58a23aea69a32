#include "convert/AudioCheck.h"
#include "platform/NativePath.h"
#include "support/Audio.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <optional>
#include <random>

using namespace qvr;
using test::runTool;

namespace {

constexpr double kToneSeconds = 2.0;
constexpr double kTempo = -1.81818181818182;  // 440 Hz to 432 Hz, as the engine stretches
constexpr int kWavHeaderBytes = 44;           // the header writeToneWav writes
constexpr int kWavFrameBytes = 4;             // 16-bit stereo

// The files of all cases, made once with the real tools and shared by the tests.
QString folder()
{
    static const QTemporaryDir dir;
    return dir.path() + u'/';
}

bool make(const QString& name)
{
    const QString path = folder() + name;
    const QString wav = path + QStringLiteral(".source.wav");
    if (name == QStringLiteral("tone.m4a")) {  // ALAC, as the engine writes M4A
        test::writeToneWav(wav, 440, kToneSeconds);
        return runTool(QStringLiteral("ffmpeg"),
                       {"-v", "error", "-y", "-i", wav, "-c:a", "alac", path});
    }
    if (name == QStringLiteral("stretched.wav")) {
        test::writeToneWav(wav, 440, kToneSeconds);
        return runTool(QStringLiteral("soundstretch"),
                       {wav, path, QStringLiteral("-rate=%1").arg(kTempo, 0, 'g', 15)});
    }
    if (name == QStringLiteral("lame-decoded.wav")) {
        const QString mp3 = folder() + QStringLiteral("tone.mp3");
        return test::makeTone(mp3, 440, kToneSeconds) &&
               runTool(QStringLiteral("lame"), {"--quiet", "--decode", mp3, path});
    }
    if (name == QStringLiteral("ffmpeg-decoded.wav")) {
        const QString flac = folder() + QStringLiteral("tone.flac");
        return test::makeTone(flac, 440, kToneSeconds) &&
               runTool(QStringLiteral("ffmpeg"),
                       {"-v", "error", "-y", "-i", flac, "-ac", "2", path});
    }
    return test::makeTone(path, 440, kToneSeconds);
}

// A 2 s stereo tone of the kind the name gives, made on first use.
QString tone(const QString& name)
{
    const QString path = folder() + name;
    if (!QFile::exists(path) && !make(name)) {
        ADD_FAILURE() << "could not make " << name.toStdString();
    }
    return path;
}

QByteArray randomBytes(qsizetype size, unsigned seed)
{
    std::mt19937 generator(seed);
    QByteArray bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

QString written(const QString& name, const QByteArray& bytes)
{
    const QString path = folder() + name;
    test::writeFile(path, bytes);
    return path;
}

QByteArray toneBytes(const QString& name)
{
    return test::readFile(tone(name));
}

QByteArray firstHalf(const QByteArray& bytes)
{
    return bytes.first(bytes.size() / 2);
}

// 500 bytes in the middle overwritten with noise.
QByteArray damagedInTheMiddle(QByteArray bytes)
{
    return bytes.replace(bytes.size() / 2, 500, randomBytes(500, 7));
}

// The last bit flipped: in FLAC, a bit of the last frame's checksum.
QByteArray lastBitFlipped(QByteArray bytes)
{
    bytes.back() ^= 0x01;
    return bytes;
}

}  // namespace

TEST(AudioCheck, GoodFilesOfEveryKindDecodeCompletely)
{
    struct Case {
        const char* name;
        const char* codec;
        double least;  // the decoded length, in seconds
        double most;
        bool lengthEstimated;
    };
    const Case cases[] = {
        // lame's gapless information is honoured: exactly the samples that went in.
        {"tone.mp3", "mp3", 1.999, 2.001, false},
        {"tone.wav", "pcm_s16le", 1.9999, 2.0001, false},
        {"tone.flac", "flac", 1.9999, 2.0001, false},
        {"tone.aiff", "pcm_s16be", 1.9999, 2.0001, false},
        {"tone.aif", "pcm_s16be", 1.9999, 2.0001, false},
        // ADTS holds no gapless information: the encoder's priming and padding are counted.
        {"tone.aac", "aac", 2.0, 2.05, true},
        {"tone.m4a", "alac", 1.9999, 2.0001, false},
        // What the tools leave in the work folder.
        {"lame-decoded.wav", "pcm_s16le", 1.9999, 2.0001, false},
        {"ffmpeg-decoded.wav", "pcm_s16le", 1.9999, 2.0001, false},
        {"stretched.wav", "pcm_s16le", 2.03, 2.045, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = tone(QString::fromLatin1(c.name));

        const AudioFacts decoded = DecodeAudio(path);
        EXPECT_TRUE(decoded.readable);
        EXPECT_TRUE(decoded.complete);
        EXPECT_EQ(decoded.codec, c.codec);
        EXPECT_EQ(decoded.channels, 2);
        EXPECT_EQ(decoded.sampleRate, 44100);
        EXPECT_GE(decoded.seconds, c.least);
        EXPECT_LE(decoded.seconds, c.most);
        EXPECT_FALSE(decoded.lengthEstimated);

        const AudioFacts probed = ProbeAudio(path);
        EXPECT_TRUE(probed.readable);
        EXPECT_FALSE(probed.complete);  // only decoding tells
        EXPECT_EQ(probed.codec, c.codec);
        EXPECT_EQ(probed.channels, 2);
        EXPECT_EQ(probed.sampleRate, 44100);
        EXPECT_EQ(probed.lengthEstimated, c.lengthEstimated);
        // The header's length: MP3 counts whole frames, with the encoder's delay and padding.
        EXPECT_NEAR(probed.seconds, decoded.seconds, c.lengthEstimated ? 0.2 : 0.05);
    }
}

TEST(AudioCheck, DamagedFilesAreCaughtByCompletenessOrLength)
{
    constexpr qsizetype halfSecondOfWav = kWavHeaderBytes + 22050 * kWavFrameBytes;
    struct Case {
        const char* label;
        std::function<QString()> make;
        bool readable;
        std::optional<bool> complete;  // empty: not what catches it
        double least;
        double most;
    };
    const Case cases[] = {
        // The MP3 decoder drops the broken last frame without a word: only the length tells.
        {"mp3 cut to half its bytes",
         [] { return written("half.mp3", firstHalf(toneBytes("tone.mp3"))); }, true, std::nullopt,
         0.9, 1.05},
        // FLAC's first 8 kB are metadata, so half the bytes hold less than half the length.
        {"flac cut to half its bytes",
         [] { return written("half.flac", firstHalf(toneBytes("tone.flac"))); }, true, false, 0.5,
         1.0},
        {"wav cut after half a second",
         [] { return written("half.wav", toneBytes("tone.wav").first(halfSecondOfWav)); }, true,
         false, 0.499, 0.501},
        {"wav cut inside a sample",
         [] { return written("odd.wav", toneBytes("tone.wav").first(halfSecondOfWav + 3)); }, true,
         false, 0.499, 0.501},
        {"mp3 damaged in the middle",
         [] { return written("mid.mp3", damagedInTheMiddle(toneBytes("tone.mp3"))); }, true, false,
         0.0, 2.05},
        {"flac damaged in the middle",
         [] { return written("mid.flac", damagedInTheMiddle(toneBytes("tone.flac"))); }, true,
         false, 0.0, 2.05},
        {"aac damaged in the middle",
         [] { return written("mid.aac", damagedInTheMiddle(toneBytes("tone.aac"))); }, true, false,
         0.0, 2.05},
        {"m4a damaged in the middle",
         [] { return written("mid.m4a", damagedInTheMiddle(toneBytes("tone.m4a"))); }, true, false,
         0.0, 2.05},
        // The frame itself decodes without complaint: only its checksum tells.
        {"flac whose last checksum is wrong",
         [] { return written("checksum.flac", lastBitFlipped(toneBytes("tone.flac"))); }, true,
         false, 1.85, 1.9999},
        {"mp3 going on as noise",
         [] {
             return written("noisy.mp3",
                            toneBytes("tone.mp3").first(3000) + randomBytes(100000, 3));
         },
         true, false, 0.0, 0.2},
        {"200 kB of noise named mp3", [] { return written("noise.mp3", randomBytes(200000, 1)); },
         false, false, 0.0, 0.0},
        {"empty file", [] { return written("empty.wav", QByteArray()); }, false, false, 0.0, 0.0},
        {"missing file", [] { return folder() + QStringLiteral("missing.wav"); }, false, false, 0.0,
         0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const AudioFacts facts = DecodeAudio(c.make());
        EXPECT_EQ(facts.readable, c.readable);
        if (c.complete) {
            EXPECT_EQ(facts.complete, *c.complete);
        }
        EXPECT_GE(facts.seconds, c.least);
        EXPECT_LE(facts.seconds, c.most);
        // Whatever the decoder says, the damage must not pass as a complete 2 s file.
        EXPECT_TRUE(!facts.complete || facts.seconds < 0.9 * kToneSeconds);
        // Damage inside is read past, and is not taken for a file that only ends early.
        if (QString(c.label).contains("middle")) {
            EXPECT_GT(facts.errors, 0);
            EXPECT_FALSE(facts.endCutShort);
        }
    }
}

TEST(AudioCheck, ReadsNoFifoDeviceOrFolderAndReturnsAtOnce)
{
    const QString fifo = folder() + QStringLiteral("pipe.wav");
    ::unlink(toNativeBytes(fifo).c_str());
    ASSERT_EQ(::mkfifo(toNativeBytes(fifo).c_str(), 0600), 0);
    const QString paths[] = {fifo, QStringLiteral("/dev/zero"), folder()};
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        // A check that blocks never returns; the bound only keeps the test from hanging.
        auto checks = std::async(std::launch::async, [path] {
            return std::make_pair(ProbeAudio(path), DecodeAudio(path));
        });
        if (checks.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            ADD_FAILURE() << "the check blocked";
            // A reader blocked on the FIFO: a writer coming and going lets it go.
            do {
                ::close(::open(toNativeBytes(fifo).c_str(), O_WRONLY | O_NONBLOCK));
            } while (checks.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready);
        }
        const auto [probed, decoded] = checks.get();
        EXPECT_FALSE(probed.readable);
        EXPECT_FALSE(decoded.readable);
        EXPECT_FALSE(decoded.complete);
    }
}

TEST(AudioCheck, OpensNamesThatAreNotUtf8)
{
    const std::string bytes = toNativeBytes(folder()) + "Chor \xE9t\xE9 \xFF.wav";
    const QString path = fromNativeBytes(bytes);
    ::unlink(bytes.c_str());
    ASSERT_EQ(::link(toNativeBytes(tone("tone.wav")).c_str(), bytes.c_str()), 0);
    const AudioFacts decoded = DecodeAudio(path);
    const AudioFacts probed = ProbeAudio(path);
    ::unlink(bytes.c_str());  // a name the folder's own clean-up cannot spell
    EXPECT_TRUE(decoded.complete);
    EXPECT_NEAR(decoded.seconds, kToneSeconds, 1e-4);
    EXPECT_EQ(probed.codec, "pcm_s16le");
}

TEST(AudioCheck, StopsWhenCancelled)
{
    const QString path = tone("tone.flac");
    std::atomic<bool> cancel{true};
    const AudioFacts cancelled = DecodeAudio(path, &cancel);
    EXPECT_FALSE(cancelled.complete);
    EXPECT_LT(cancelled.seconds, kToneSeconds);

    cancel = false;
    const AudioFacts whole = DecodeAudio(path, &cancel);
    EXPECT_TRUE(whole.complete);
    EXPECT_NEAR(whole.seconds, kToneSeconds, 1e-4);
}
