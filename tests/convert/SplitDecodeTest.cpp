#include "convert/AudioCheck.h"
#include "support/Audio.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include <atomic>
#include <random>

using namespace qvr;
using test::runTool;

namespace {

// Long enough to be split, short enough to be made and decoded quickly.
constexpr double kSeconds = 12.0;

// Makes a tone file of the kind with the real encoders: lame for MP3, ffmpeg for the rest.
QString made(const QString& name, const QStringList& ffmpegCodec, bool lame = false)
{
    const QString path = test::scratchFolder() + name;
    if (QFile::exists(path)) {
        return path;
    }
    const bool ok =
        lame ? runTool(QStringLiteral("lame"),
                       {"--quiet", "-b", "192", test::scratchToneWav(kSeconds), path})
             : runTool(QStringLiteral("ffmpeg"),
                       QStringList{"-v", "error", "-y", "-i", test::scratchToneWav(kSeconds)} +
                           ffmpegCodec + QStringList{path});
    if (!ok) {
        ADD_FAILURE() << "could not make " << name.toStdString();
    }
    return path;
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString writtenAs(const QString& name, const QByteArray& bytes)
{
    const QString path = test::scratchFolder() + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        ADD_FAILURE() << "could not write " << name.toStdString();
    }
    return path;
}

// 400 bytes of noise at `share` of the file.
QByteArray damagedAt(QByteArray bytes, double share)
{
    std::mt19937 noise(11);
    const auto at = qsizetype(double(bytes.size()) * share);
    for (qsizetype i = at; i < at + 400 && i < bytes.size(); ++i) {
        bytes[i] = char(noise() & 0xFF);
    }
    return bytes;
}

struct Kind {
    const char* name;
    QStringList ffmpegCodec;
    bool lame = false;
};

struct Damage {
    const char* name;
    QByteArray (*apply)(const QByteArray&);
    bool split;  // the halves still meet
};

const Kind kKinds[] = {
    {"tone.mp3", {}, true},
    {"tone.flac", {"-c:a", "flac"}},
    {"tone.wav", {"-c:a", "pcm_s16le"}},
    {"tone24.wav", {"-c:a", "pcm_s24le"}},
    // The index first, so a file cut short still opens.
    {"alac.m4a", {"-c:a", "alac", "-movflags", "+faststart"}},
    {"aac.m4a", {"-c:a", "aac", "-movflags", "+faststart"}},
};

const Damage kDamages[] = {
    {"intact", [](const QByteArray& bytes) { return bytes; }, true},
    {"cut at 70 %", [](const QByteArray& bytes) { return bytes.first(bytes.size() * 7 / 10); },
     true},
    {"damaged in the middle", [](const QByteArray& bytes) { return damagedAt(bytes, 0.5); }, true},
    {"damaged in each half",
     [](const QByteArray& bytes) { return damagedAt(damagedAt(bytes, 0.3), 0.8); }, true},
};

}  // namespace

TEST(SplitDecode, HalvesGiveTheFactsOfAWholeDecode)
{
    for (const Kind& kind : kKinds) {
        const QString intact = made(QString::fromLatin1(kind.name), kind.ffmpegCodec, kind.lame);
        for (const Damage& damage : kDamages) {
            SCOPED_TRACE(std::string(kind.name) + ", " + damage.name);
            const QString path =
                writtenAs(QString::fromLatin1(kind.name) + u'.' + QString::fromLatin1(damage.name) +
                              u'.' + intact.section(u'.', -1),
                          damage.apply(bytesOf(intact)));
            const AudioFacts whole = DecodeAudio(path);
            bool split = false;
            const AudioFacts halves = DecodeAudioInHalves(path, nullptr, &split);

            EXPECT_EQ(split, damage.split);
            EXPECT_EQ(halves.readable, whole.readable);
            EXPECT_EQ(halves.codec, whole.codec);
            EXPECT_EQ(halves.channels, whole.channels);
            EXPECT_EQ(halves.bits, whole.bits);
            EXPECT_EQ(halves.sampleRate, whole.sampleRate);
            // The same samples: the length to the sample, the level to rounding.
            EXPECT_EQ(std::llround(halves.seconds * whole.sampleRate),
                      std::llround(whole.seconds * whole.sampleRate));
            EXPECT_NEAR(halves.meanSquare, whole.meanSquare, 1e-9);
            EXPECT_EQ(halves.complete, whole.complete);
            EXPECT_EQ(halves.errors, whole.errors);
            EXPECT_EQ(halves.endCutShort, whole.endCutShort);
            EXPECT_EQ(halves.variableBitRate, whole.variableBitRate);
            EXPECT_NEAR(double(halves.bitRate), double(whole.bitRate), 2.0);
        }
    }
}

TEST(SplitDecode, ShortFilesAndWhatCannotBeReadAreDecodedWhole)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        bool readable;
    };
    const QString shortWav = test::scratchFolder() + QStringLiteral("short.wav");
    test::writeToneWav(shortWav, 440, 1.0);
    const Case cases[] = {
        {"short.wav", bytesOf(shortWav), true},
        {"noise.mp3", QByteArray(20000, '\x5a'), false},
        {"empty.flac", QByteArray(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = writtenAs(QString::fromLatin1(c.name), c.bytes);
        bool split = true;
        const AudioFacts halves = DecodeAudioInHalves(path, nullptr, &split);
        const AudioFacts whole = DecodeAudio(path);
        EXPECT_FALSE(split);
        EXPECT_EQ(halves.readable, c.readable);
        EXPECT_EQ(halves.complete, whole.complete);
        EXPECT_EQ(halves.seconds, whole.seconds);
    }
}

TEST(SplitDecode, StopsBothHalvesWhenCancelled)
{
    const QString path = made(QStringLiteral("tone.flac"), {"-c:a", "flac"});
    const std::atomic<bool> cancelled{true};
    bool split = true;
    const AudioFacts facts = DecodeAudioInHalves(path, &cancelled, &split);
    EXPECT_FALSE(facts.complete);
    EXPECT_FALSE(split);
}
