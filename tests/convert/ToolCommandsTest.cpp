#include "convert/ToolCommands.h"

#include <gtest/gtest.h>

using namespace qvr;

TEST(ToolCommands, RenderExactlyTheToolsCommandLines)
{
    const QString w = "/home/anna/.local/share/Dornevik/Quorvane/";
    const QString s = "/m/My Song.flac";
    const QString t = "/d/Quorvane/432 Hz/m/My Song-432 Hz.flac";
    struct Case {
        CommandLine line;
        QString expected;
    };
    const Case cases[] = {
        {Mp3DecodeArguments("/m/a b.mp3", w), "\"/m/a b.mp3\" \"" + w + "input.wav\" --decode"},
        {Mp3EncodeArguments(w, "/d/a b-432 Hz.mp3"),
         "-b 192 \"" + w + "output.wav\" \"/d/a b-432 Hz.mp3\""},
        {ConverterDecodeArguments(s, w + "input.wav"),
         "-i \"" + s + "\" -ac 2 \"" + w + "input.wav\""},
        {ConverterEncodeArguments(AudioKind::M4a, w + "output.wav", t),
         "-i \"" + w + "output.wav\" -ac 2 -c:a alac \"" + t + "\""},
        {ConverterEncodeArguments(AudioKind::Flac, "S", "T"), "-i \"S\" -ac 2 -c:a flac \"T\""},
        {ConverterEncodeArguments(AudioKind::Aiff, "S", "T"),
         "-i \"S\" -ac 2 -c:a pcm_s16be \"T\""},
        {ConverterEncodeArguments(AudioKind::Aif, "S", "T"), "-i \"S\" -ac 2 -c:a pcm_s16be \"T\""},
        {ConverterEncodeArguments(AudioKind::Aac, "S", "T"), "-i \"S\" -ac 2 -c:a aac \"T\""},
        // A source deeper than 16 bits keeps 24 bits through the work files.
        {ConverterDecodeArguments("S", "T", 24), "-i \"S\" -ac 2 -c:a pcm_s24le \"T\""},
        {ConverterEncodeArguments(AudioKind::Flac, "S", "T", 24),
         "-i \"S\" -ac 2 -c:a flac -sample_fmt s32 \"T\""},
        {ConverterEncodeArguments(AudioKind::M4a, "S", "T", 24),
         "-i \"S\" -ac 2 -c:a alac -sample_fmt s32p \"T\""},
        {ConverterEncodeArguments(AudioKind::Aif, "S", "T", 24),
         "-i \"S\" -ac 2 -c:a pcm_s24be \"T\""},
        {ConverterEncodeArguments(AudioKind::Aac, "S", "T", 24), "-i \"S\" -ac 2 -c:a aac \"T\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.line.text(), c.expected);
    }
    EXPECT_EQ(Mp3DecodeArguments("/m/a b.mp3", w).arguments(),
              QStringList({"/m/a b.mp3", w + "input.wav", "--decode"}));
}

TEST(ToolCommands, OnlyALosslessSourceDeeperThanSixteenBitsMakesADeepWorkFile)
{
    const std::pair<int, int> cases[] = {{0, 16}, {8, 16}, {16, 16}, {24, 24}, {32, 24}};
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
