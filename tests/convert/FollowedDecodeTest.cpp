#include "convert/AudioCheck.h"
#include "convert/FollowedDecode.h"
#include "support/Audio.h"
#include "support/TaggedFiles.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include <functional>
#include <ostream>

using namespace qvr;

namespace {

constexpr double kSeconds = 8.0;

struct Writer {
    const char* name;
    const char* program;
    QStringList arguments;  // before the output's path
    const char* extension;
    const char* demuxer;
};

void PrintTo(const Writer& writer, std::ostream* out)
{
    *out << writer.program << " writing " << writer.extension;
}

const Writer kLame{"LameConstantRate", "lame", {"--quiet", "-b", "192"}, ".mp3", "mp3"};
const Writer kLameVbr{"LameVariableRate", "lame", {"--quiet", "-V", "2"}, ".mp3", "mp3"};
const Writer kFlac{
    "ConverterFlac", "ffmpeg", {"-v", "error", "-y", "-c:a", "flac"}, ".flac", "flac"};
const Writer kAac{"ConverterAac", "ffmpeg", {"-v", "error", "-y", "-c:a", "aac"}, ".aac", "aac"};

QStringList argumentsOf(const Writer& writer, const QString& output)
{
    QStringList arguments = writer.arguments;
    if (QLatin1String(writer.program) == QLatin1String("ffmpeg")) {
        arguments.insert(2, QStringLiteral("-i"));
        arguments.insert(3, test::scratchToneWav(kSeconds));
    } else {
        arguments << test::scratchToneWav(kSeconds);
    }
    return arguments << output;
}

// Follows `path` while `write` writes it, tells the end of the writer, lets `change` change the
// file as the tags would and waits for the judgement.
void followWhile(FollowedDecode& decode, const std::function<void()>& write,
                 const std::function<void()>& change)
{
    write();
    decode.writerEnded();
    ASSERT_TRUE(test::waitUntil([&] { return decode.followed(); }));
    change();
    decode.confirm();
    ASSERT_TRUE(test::waitUntil([&] { return decode.ready(); }));
}

void expectSameFacts(const AudioFacts& judged, const AudioFacts& decoded)
{
    EXPECT_EQ(judged.readable, decoded.readable);
    EXPECT_EQ(judged.complete, decoded.complete);
    EXPECT_EQ(judged.codec, decoded.codec);
    EXPECT_EQ(judged.channels, decoded.channels);
    EXPECT_EQ(judged.sampleRate, decoded.sampleRate);
    EXPECT_EQ(judged.bits, decoded.bits);
    EXPECT_NEAR(judged.seconds, decoded.seconds, 1e-6);
    EXPECT_NEAR(judged.levelDb(), decoded.levelDb(), 0.01);
    EXPECT_NEAR(double(judged.bitRate), double(decoded.bitRate), decoded.bitRate * 0.001);
    EXPECT_EQ(judged.variableBitRate, decoded.variableBitRate);
}

class FollowedDecodeOfTool : public testing::TestWithParam<Writer> {};

// The encoder writes its file while it is decoded, then the tags and a cover go in: the facts are
// those of a whole decode of the tagged file, found without decoding it again.
TEST_P(FollowedDecodeOfTool, JudgesTheTaggedFileFromThePacketsDecodedWhileWritten)
{
    const Writer& writer = GetParam();
    const QString path =
        test::scratchFolder() + QStringLiteral("written") + QLatin1String(writer.extension);
    QFile::remove(path);
    FollowedDecode decode(path, writer.demuxer);
    followWhile(
        decode,
        [&] {
            QProcess tool;
            tool.start(QLatin1String(writer.program), argumentsOf(writer, path));
            ASSERT_TRUE(tool.waitForFinished(60000));
            ASSERT_EQ(tool.exitCode(), 0);
        },
        [&] { test::tagFile(path, test::sourceFields(), test::coverJpeg()); });
    EXPECT_TRUE(decode.decodedAsWritten());
    const AudioFacts whole = DecodeAudio(path);
    ASSERT_TRUE(whole.complete);
    expectSameFacts(decode.facts(), whole);
}

INSTANTIATE_TEST_SUITE_P(Encoders, FollowedDecodeOfTool,
                         testing::Values(kLame, kLameVbr, kFlac, kAac),
                         [](const auto& info) { return std::string(info.param.name); });

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QString madeBy(const Writer& writer)
{
    const QString path =
        test::scratchFolder() + QStringLiteral("made") + QLatin1String(writer.extension);
    if (!QFile::exists(path) &&
        !test::runTool(QLatin1String(writer.program), argumentsOf(writer, path))) {
        ADD_FAILURE() << "could not make " << path.toStdString();
    }
    return path;
}

// The finished MP3 with its first frame as the encoder reserves it until it ends: the frame's
// header and nothing but zeros.
QByteArray withPlaceholderHeaderFrame(QByteArray mp3)
{
    const qsizetype second = mp3.indexOf(QByteArray("\xff\xfb", 2), 4);
    if (second < 0) {
        ADD_FAILURE() << "no second frame";
        return mp3;
    }
    return mp3.replace(4, second - 4, QByteArray(second - 4, '\0'));
}

// What was decoded while the file was written stands for the finished file only when the finished
// file holds the same packets; any other is decoded whole and judged as such.
TEST(FollowedDecode, StandsForTheFinishedFileOnlyWhenItHoldsThePacketsDecoded)
{
    const QByteArray flac = bytesOf(madeBy(kFlac));
    const QByteArray mp3 = bytesOf(madeBy(kLame));
    const qsizetype middle = flac.size() / 2;
    struct Case {
        const char* name;
        const Writer& writer;
        QByteArray written;                                // what the encoder leaves
        std::function<QByteArray(QByteArray)> afterwards;  // what the file then becomes
        bool decodedAsWritten;
        bool readable;
        bool complete;
    };
    const auto same = [](QByteArray file) { return file; };
    const QByteArray damaged = QByteArray(flac).replace(middle, 64, QByteArray(64, '\x55'));
    const Case cases[] = {
        {"the header frame written last", kLame, withPlaceholderHeaderFrame(mp3),
         [&](const QByteArray&) { return mp3; }, true, true, true},
        {"a byte of the music changed afterwards", kFlac, flac,
         [&](QByteArray file) {
             file[middle] = char(file[middle] ^ 0x01);
             return file;
         },
         false, true, false},
        {"cut short afterwards", kFlac, flac, [&](QByteArray file) { return file.left(middle); },
         false, true, false},
        {"damaged by the encoder", kFlac, damaged, same, false, true, false},
        {"nothing written", kFlac, QByteArray(), same, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path =
            test::scratchFolder() + QStringLiteral("changed") + QLatin1String(c.writer.extension);
        QFile::remove(path);
        FollowedDecode decode(path, c.writer.demuxer);
        followWhile(
            decode,
            [&] {
                if (!c.written.isEmpty()) {
                    writeBytes(path, c.written);
                }
            },
            [&] {
                if (!c.written.isEmpty()) {
                    writeBytes(path, c.afterwards(c.written));
                }
            });
        EXPECT_EQ(decode.decodedAsWritten(), c.decodedAsWritten);
        EXPECT_EQ(decode.facts().readable, c.readable);
        EXPECT_EQ(decode.facts().complete, c.complete);
        expectSameFacts(decode.facts(), DecodeAudio(path));
    }
}

}  // namespace
