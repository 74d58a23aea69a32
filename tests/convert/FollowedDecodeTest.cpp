#include "convert/AudioCheck.h"
#include "convert/FollowedDecode.h"
#include "support/Audio.h"
#include "support/TaggedFiles.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>

using namespace qvr;

namespace {

constexpr double kSeconds = 8.0;

QString folder()
{
    static const QTemporaryDir dir;
    return dir.path() + u'/';
}

QString sourceWav()
{
    const QString path = folder() + QStringLiteral("source.wav");
    if (!QFile::exists(path)) {
        test::writeToneWav(path, 440, kSeconds);
    }
    return path;
}

struct Writer {
    const char* program;
    QStringList arguments;  // before the output's path
    const char* extension;
    const char* demuxer;
};

const Writer kLame{"lame", {"--quiet", "-b", "192"}, ".mp3", "mp3"};
const Writer kFlac{"ffmpeg", {"-v", "error", "-y", "-c:a", "flac"}, ".flac", "flac"};
const Writer kAac{"ffmpeg", {"-v", "error", "-y", "-c:a", "aac"}, ".aac", "aac"};

QStringList argumentsOf(const Writer& writer, const QString& output)
{
    QStringList arguments = writer.arguments;
    if (QLatin1String(writer.program) == QLatin1String("ffmpeg")) {
        arguments.insert(2, QStringLiteral("-i"));
        arguments.insert(3, sourceWav());
    } else {
        arguments << sourceWav();
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
    const QString path = folder() + QStringLiteral("written") + QLatin1String(writer.extension);
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

INSTANTIATE_TEST_SUITE_P(Encoders, FollowedDecodeOfTool, testing::Values(kLame, kFlac, kAac),
                         [](const auto& info) { return std::string(info.param.demuxer); });

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

// A file that is not what was decoded while it was written is decoded whole, and judged as such.
TEST(FollowedDecode, AFileThatIsNotWhatWasDecodedIsDecodedWhole)
{
    const QString made = folder() + QStringLiteral("made.flac");
    ASSERT_TRUE(test::runTool(QStringLiteral("ffmpeg"), argumentsOf(kFlac, made)));
    const QByteArray bytes = bytesOf(made);
    const qsizetype middle = bytes.size() / 2;
    struct Case {
        const char* name;
        QByteArray written;                                // what the encoder leaves
        std::function<QByteArray(QByteArray)> afterwards;  // what the file then becomes
        bool readable;
        bool complete;
    };
    const auto same = [](QByteArray file) { return file; };
    const QByteArray damaged = QByteArray(bytes).replace(middle, 64, QByteArray(64, '\x55'));
    const Case cases[] = {
        {"a byte of the music changed afterwards", bytes,
         [&](QByteArray file) {
             file[middle] = char(file[middle] ^ 0x01);
             return file;
         },
         true, false},
        {"cut short afterwards", bytes, [&](QByteArray file) { return file.left(middle); }, true,
         false},
        {"damaged by the encoder", damaged, same, true, false},
        {"nothing written", QByteArray(), same, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = folder() + QStringLiteral("changed.flac");
        QFile::remove(path);
        FollowedDecode decode(path, kFlac.demuxer);
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
        EXPECT_FALSE(decode.decodedAsWritten());
        EXPECT_EQ(decode.facts().readable, c.readable);
        EXPECT_EQ(decode.facts().complete, c.complete);
        expectSameFacts(decode.facts(), DecodeAudio(path));
    }
}

}  // namespace
