#include "convert/ToolCommands.h"

#include <gtest/gtest.h>

using namespace qvr;

namespace {

AudioFacts sourceOf(const char* codec, int kbits = 0, bool variable = false, int bits = 0)
{
    AudioFacts facts;
    facts.codec = codec;
    facts.bitRate = std::int64_t(kbits) * 1000;
    facts.variableBitRate = variable;
    facts.bits = bits;
    return facts;
}

AudioFacts layoutOf(const char* codec, const char* layout)
{
    AudioFacts facts = sourceOf(codec);
    facts.layout = layout;
    return facts;
}

CommandLine encode(AudioKind kind, const AudioFacts& source, int bits = 16, int channels = 2)
{
    return ConverterEncodeArguments("S", "T", PlanEncode(kind, source, bits, channels));
}

}  // namespace

// Sources of 16 bits in two channels keep the design's command lines to the letter.
TEST(ToolCommands, RenderExactlyTheToolsCommandLines)
{
    const QString w = "/home/anna/.local/share/Dornevik/Quorvane/";
    const QString s = "/m/My Song.flac";
    const QString t = "/d/Quorvane/432 Hz/m/My Song-432 Hz.flac";
    const AudioFacts mp3 = sourceOf("mp3", 128);
    struct Case {
        CommandLine line;
        QString expected;
    };
    const Case cases[] = {
        {Mp3DecodeArguments("/m/a b.mp3", w), "\"/m/a b.mp3\" \"" + w + "input.wav\" --decode"},
        {Mp3EncodeArguments(w, "/d/a b-432 Hz.mp3", PlanEncode(AudioKind::Mp3, mp3, 16, 2)),
         "-b 192 \"" + w + "output.wav\" \"/d/a b-432 Hz.mp3\""},
        {ConverterDecodeArguments(s, w + "input.wav"),
         "-i \"" + s + "\" -ac 2 \"" + w + "input.wav\""},
        {ConverterEncodeArguments(
             w + "output.wav", t,
             PlanEncode(AudioKind::M4a, sourceOf("alac", 0, false, 16), 16, 2)),
         "-i \"" + w + "output.wav\" -ac 2 -c:a alac \"" + t + "\""},
        {encode(AudioKind::Flac, sourceOf("flac")), "-i \"S\" -ac 2 -c:a flac \"T\""},
        {encode(AudioKind::Aiff, sourceOf("pcm_s16be")), "-i \"S\" -ac 2 -c:a pcm_s16be \"T\""},
        {encode(AudioKind::Aif, sourceOf("pcm_s16be")), "-i \"S\" -ac 2 -c:a pcm_s16be \"T\""},
        {encode(AudioKind::Aac, sourceOf("aac", 128)), "-i \"S\" -ac 2 -c:a aac \"T\""},
        // A source deeper than 16 bits keeps its depth through the work files.
        {ConverterDecodeArguments("S", "T", 24), "-i \"S\" -ac 2 -c:a pcm_s24le \"T\""},
        {encode(AudioKind::Flac, sourceOf("flac"), 24),
         "-i \"S\" -ac 2 -c:a flac -sample_fmt s32 \"T\""},
        {encode(AudioKind::M4a, sourceOf("alac"), 24),
         "-i \"S\" -ac 2 -c:a alac -sample_fmt s32p \"T\""},
        {encode(AudioKind::Aif, sourceOf("pcm_s24be"), 24), "-i \"S\" -ac 2 -c:a pcm_s24be \"T\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.line.text(), c.expected);
    }
    EXPECT_EQ(Mp3DecodeArguments("/m/a b.mp3", w).arguments(),
              QStringList({"/m/a b.mp3", w + "input.wav", "--decode"}));
}

// What is not tuning stays: the channels, a float source's width, the codec family of an M4A and
// a quality no lower than the source's.
TEST(ToolCommands, TheCopyKeepsWhatIsNotTuning)
{
    struct Case {
        const char* what;
        CommandLine line;
        QString expected;
    };
    const Case cases[] = {
        {"mono decode", ConverterDecodeArguments("S", "T", 16, 1), "-i \"S\" -ac 1 \"T\""},
        {"float decode", ConverterDecodeArguments("S", "T", 32, 2),
         "-i \"S\" -ac 2 -c:a pcm_s32le \"T\""},
        {"6 channels FLAC", encode(AudioKind::Flac, sourceOf("flac"), 16, 6),
         "-i \"S\" -ac 6 -c:a flac \"T\""},
        {"5.1 WAV", encode(AudioKind::Wav, layoutOf("pcm_s16le", "5.1"), 16, 6),
         "-i \"S\" -ac 6 -c:a pcm_s16le -af channelmap=channel_layout=5.1 \"T\""},
        {"mono AIFF", encode(AudioKind::Aiff, sourceOf("pcm_s16be"), 16, 1),
         "-i \"S\" -ac 1 -c:a pcm_s16be \"T\""},
        {"32-bit AIF", encode(AudioKind::Aif, sourceOf("pcm_f32be"), 32, 2),
         "-i \"S\" -ac 2 -c:a pcm_s32be \"T\""},
        {"AAC in M4A", encode(AudioKind::M4a, sourceOf("aac", 256)),
         "-i \"S\" -ac 2 -c:a aac -b:a 256k \"T\""},
        {"AC-3 in M4A", encode(AudioKind::M4a, sourceOf("ac3", 448), 16, 6),
         "-i \"S\" -ac 6 -c:a aac -b:a 448k \"T\""},
        {"FLAC in M4A", encode(AudioKind::M4a, sourceOf("flac")), "-i \"S\" -ac 2 -c:a alac \"T\""},
        {"AAC of 250", encode(AudioKind::Aac, sourceOf("aac", 250)),
         "-i \"S\" -ac 2 -c:a aac -b:a 256k \"T\""},
        {"MP3 320",
         Mp3EncodeArguments("/w/", "T", PlanEncode(AudioKind::Mp3, sourceOf("mp3", 320), 16, 2)),
         "-b 320 \"/w/output.wav\" \"T\""},
        {"MP3 V0",
         Mp3EncodeArguments("/w/", "T",
                            PlanEncode(AudioKind::Mp3, sourceOf("mp3", 245, true), 16, 2)),
         "-V 0 \"/w/output.wav\" \"T\""},
        {"MP3 128 VBR",
         Mp3EncodeArguments("/w/", "T",
                            PlanEncode(AudioKind::Mp3, sourceOf("mp3", 128, true), 16, 2)),
         "-b 192 \"/w/output.wav\" \"T\""},
        {"WAV to MP3 (CD)",
         Mp3EncodeArguments("/w/", "T",
                            PlanEncode(AudioKind::Mp3, sourceOf("pcm_s16le", 1411), 16, 2)),
         "-b 192 \"/w/output.wav\" \"T\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.line.text(), c.expected) << c.what;
    }
}

TEST(ToolCommands, OnlyALosslessSourceDeeperThanSixteenBitsMakesADeepWorkFile)
{
    const std::pair<int, int> cases[] = {{0, 16}, {8, 16}, {16, 16}, {24, 24}, {32, 32}, {64, 32}};
    for (const auto& [source, work] : cases) {
        EXPECT_EQ(WorkBits(source), work) << source;
    }
}

TEST(ToolCommands, TheBatchFileChangesTheRateInTheWorkFolder)
{
    EXPECT_EQ(BatchFileText("/w/Quorvane/", "-1.81818181818182"),
              "cd /d \"/w/Quorvane/\"\r\nsoundstretch.exe input.wav output.wav "
              "-rate=-1.81818181818182\r\n");
}
