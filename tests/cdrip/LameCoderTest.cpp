// The encoder component: its settings, the settings a stream is opened with, the file naming.

#include "FakeLibraries.h"
#include "cdrip/LameCoder.h"
#include "cdrip/Mp3LameLibrary.h"

#include <gtest/gtest.h>

using namespace qvr;
using qvr::test::FakeLameEncLibrary;

class LameCoderTest : public ::testing::Test {
  protected:
    FakeLameEncLibrary library;
    TLameCoder coder{nullptr, library};
};

TEST_F(LameCoderTest, Defaults)
{
    EXPECT_EQ(coder.SampleRate(), 44100u);
    EXPECT_EQ(coder.Bitrate(), 128u);
    EXPECT_EQ(coder.MaxBitrate(), 320u);
    EXPECT_EQ(coder.Quality(), MPEG_QUALITY::NORMAL_QUALITY);
    EXPECT_EQ(coder.Mode(), TLameMode::STEREO);
    EXPECT_TRUE(coder.CRC());
    EXPECT_EQ(coder.VBRQuality(), 4);
    EXPECT_FALSE(coder.Private() || coder.Copyright() || coder.Original() ||
                 coder.WriteVBRHeader() || coder.EnableVBR());
    EXPECT_EQ(coder.DefaultExt(), QStringLiteral(".mp3"));
    EXPECT_TRUE(coder.InputFiles().isEmpty() && coder.OutputFiles().isEmpty());
    EXPECT_EQ(coder.LameVersion().DLLMajorVersion(), 1);
    EXPECT_EQ(coder.LameVersion().DLLMinorVersion(), 32);
    EXPECT_EQ(coder.LameVersion().MajorVersion(), 3);
    EXPECT_EQ(coder.LameVersion().MinorVersion(), 100);
}

TEST_F(LameCoderTest, StreamOpensWithTheDefaults)
{
    ASSERT_EQ(coder.InitStream(), kBeOk);
    ASSERT_TRUE(library.settings);
    const Mp3Settings expected{.sampleRate = 44100,
                               .mode = TLameMode::STEREO,
                               .bitrate = 128,
                               .maxBitrate = 320,
                               .quality = MPEG_QUALITY::NORMAL_QUALITY,
                               .privateBit = false,
                               .crc = true,
                               .copyright = false,
                               .original = false,
                               .writeVbrHeader = false,
                               .enableVbr = false,
                               .vbrQuality = 4};
    EXPECT_EQ(*library.settings, expected);
    EXPECT_EQ(coder.SamplesPerChunk(), 2304u);
    EXPECT_EQ(coder.OutputBufferSize(), 8640u);
    EXPECT_EQ(coder.StreamHandle(), 7u);
}

TEST_F(LameCoderTest, StreamOpensWithTheSettings)
{
    coder.setSampleRate(22050);
    coder.setMode(TLameMode::MONO);
    coder.setBitrate(96);
    coder.setMaxBitrate(192);
    coder.setQuality(MPEG_QUALITY::VOICE_QUALITY);
    coder.setPrivate(true);
    coder.setCRC(false);
    coder.setCopyright(true);
    coder.setOriginal(true);
    coder.setEnableVBR(true);
    coder.setVBRQuality(2);
    coder.InitStream();
    const Mp3Settings expected{.sampleRate = 22050,
                               .mode = TLameMode::MONO,
                               .bitrate = 96,
                               .maxBitrate = 192,
                               .quality = MPEG_QUALITY::VOICE_QUALITY,
                               .privateBit = true,
                               .crc = false,
                               .copyright = true,
                               .original = true,
                               .writeVbrHeader = true,
                               .enableVbr = true,
                               .vbrQuality = 2};
    EXPECT_EQ(*library.settings, expected);
}

TEST_F(LameCoderTest, EnableVbrSwitchesTheHeaderAlong)
{
    coder.setEnableVBR(true);
    EXPECT_TRUE(coder.EnableVBR() && coder.WriteVBRHeader());
    coder.setEnableVBR(false);
    EXPECT_FALSE(coder.EnableVBR() || coder.WriteVBRHeader());
    coder.setWriteVBRHeader(true);
    EXPECT_TRUE(coder.WriteVBRHeader());
    EXPECT_FALSE(coder.EnableVBR());
}

TEST_F(LameCoderTest, ModeOutsideTheFourIsIgnored)
{
    coder.setMode(TLameMode::JSTEREO);
    coder.setMode(static_cast<TLameMode>(4));
    coder.setMode(static_cast<TLameMode>(-1));
    EXPECT_EQ(coder.Mode(), TLameMode::JSTEREO);
}

TEST_F(LameCoderTest, AssignCopiesTheEncoderSettingsOnly)
{
    FakeLameEncLibrary otherLibrary;
    TLameCoder source(nullptr, otherLibrary);
    source.setSampleRate(11025);
    source.setMode(TLameMode::DUALCHANNEL);
    source.setBitrate(64);
    source.setMaxBitrate(160);
    source.setQuality(MPEG_QUALITY::HIGH_QUALITY);
    source.setPrivate(true);
    source.setCRC(false);
    source.setCopyright(true);
    source.setOriginal(true);
    source.setEnableVBR(true);
    source.setVBRQuality(7);
    source.setDefaultExt(QStringLiteral(".ogg"));
    source.setInputFiles({QStringLiteral("a.wav")});
    coder.setMp3FileName(QStringLiteral("keep"));

    coder.Assign(&source);
    coder.InitStream();
    source.InitStream();
    EXPECT_EQ(*library.settings, *otherLibrary.settings);
    EXPECT_EQ(coder.DefaultExt(), QStringLiteral(".mp3"));
    EXPECT_TRUE(coder.InputFiles().isEmpty() && coder.OutputFiles().isEmpty());
    EXPECT_EQ(coder.Mp3FileName(), QStringLiteral("keep"));

    QObject stranger;
    EXPECT_THROW(coder.Assign(&stranger), EConvertError);
    try {
        coder.Assign(nullptr);
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a nil to a TLameCoder");
    }
}

TEST_F(LameCoderTest, VersionAssignCopiesTheFourNumbers)
{
    struct ZeroLibrary : FakeLameEncLibrary {
        LameVersionNumbers version() override { return {}; }
    } zero;
    TLameVersion target(zero, nullptr);
    target.Assign(&coder.LameVersion());
    EXPECT_EQ(target.DLLMinorVersion(), 32);
    EXPECT_EQ(target.MinorVersion(), 100);
    EXPECT_THROW(target.Assign(&coder), EConvertError);
}

TEST_F(LameCoderTest, InputFilesGiveOutputFilesWithTheDefaultExtension)
{
    const QStringList input = {QStringLiteral("/music/a.wav"), QStringLiteral("/music.d/b")};
    coder.setInputFiles(input);
    EXPECT_EQ(coder.InputFiles(), input);
    EXPECT_EQ(coder.OutputFiles(), (QStringList{"/music/a.mp3", "/music.d/b.mp3"}));
    coder.setDefaultExt(QStringLiteral(".ogg"));
    coder.setInputFiles(input);
    EXPECT_EQ(coder.OutputFiles(), (QStringList{"/music/a.ogg", "/music.d/b.ogg"}));
    coder.setOutputFiles({QStringLiteral("x")});
    EXPECT_EQ(coder.OutputFiles(), QStringList{"x"});
}

// Over libmp3lame: chunk sizes per channel count, the version, a refused configuration.
TEST(Mp3LameLibraryTest, OpensStreamsOfOneFramePerChunk)
{
    Mp3LameLibrary library;
    TLameCoder coder(nullptr, library);
    EXPECT_EQ(coder.LameVersion().DLLMajorVersion(), Mp3LameLibrary::kLayerMajorVersion);
    EXPECT_EQ(coder.LameVersion().MajorVersion(), 3);

    for (const auto& [mode, samples] :
         {std::pair{TLameMode::STEREO, 2304u}, {TLameMode::MONO, 1152u}}) {
        coder.setMode(mode);
        ASSERT_EQ(coder.InitStream(), kBeOk);
        EXPECT_EQ(coder.SamplesPerChunk(), samples);
        EXPECT_GE(coder.OutputBufferSize(), 1152u * 5 / 4 + 7200);
        std::vector<std::int16_t> pcm(samples, 0);
        std::vector<std::uint8_t> out(coder.OutputBufferSize());
        std::uint32_t produced = 0;
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(coder.EncodeChunk(pcm.data(), out.data(), &produced), kBeOk);
        }
        EXPECT_EQ(coder.DeinitStream(out.data(), &produced), kBeOk);
        EXPECT_GT(produced, 0u);
        EXPECT_EQ(coder.CloseStream(), kBeOk);
        EXPECT_EQ(coder.CloseStream(), kBeInvalidHandle);
    }

    Mp3Stream opened;
    EXPECT_EQ(library.initStream(Mp3Settings{.sampleRate = 0}, &opened), kBeInvalidFormat);
    EXPECT_EQ(library.initStream(Mp3Settings{.mode = static_cast<TLameMode>(4)}, &opened),
              kBeInvalidFormat);
}
