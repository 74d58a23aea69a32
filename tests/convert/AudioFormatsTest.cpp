#include "convert/AudioFormats.h"
#include "convert/Estimate.h"
#include "convert/Frequencies.h"
#include "convert/OutputCheck.h"
#include "convert/ToolCommands.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

using namespace qvr;

TEST(AudioKind, RecognisesTheSevenKindsByTheirTrimmedExtension)
{
    const std::pair<const char*, AudioKind> cases[] = {
        {"Song.MP3", AudioKind::Mp3},
        {"Song.mp3 ", AudioKind::Mp3},
        {" Song.mp3\t", AudioKind::Mp3},
        {"Song.mp3.bak", AudioKind::None},
        {"a.aif", AudioKind::Aif},
        {"a.aiff", AudioKind::Aiff},
        {"a.Flac", AudioKind::Flac},
        {"x.M4A", AudioKind::M4a},
        {"x.aac", AudioKind::Aac},
        {"x.wav", AudioKind::Wav},
        {"/m/dir.mp3/noext", AudioKind::None},
        {"noext", AudioKind::None},
        {".mp3", AudioKind::Mp3},
        {"x.mp4", AudioKind::None},
        {"Ä.MP3", AudioKind::Mp3},
    };
    for (const auto& [name, kind] : cases) {
        EXPECT_EQ(KindOf(QString::fromUtf8(name), PathStyle::Posix), kind) << name;
    }
    EXPECT_EQ(KindOf("C:\\dir.mp3\\noext", PathStyle::Windows), AudioKind::None);
    EXPECT_EQ(KindOf("C:song.mp3", PathStyle::Windows), AudioKind::Mp3);
    EXPECT_TRUE(IsAifFile("a.aif"));
    EXPECT_FALSE(IsAiffFile("a.aif"));
}

TEST(MakeOutputName, KeepsTheKindAndNamesTheFrequency)
{
    struct Case {
        const char* name;
        const char* frequency;
        const char* expected;
    };
    const Case cases[] = {
        {"Song.MP3", "432", "Song-432 Hz.mp3"},
        {"TRACK.Mp3", "528", "TRACK-528 Hz.mp3"},
        {"Live.mp3.Mix.mp3", "432", "Live-432 Hz.mp3.Mix-432 Hz.mp3"},
        {"a.aiff", "432", "a-432 Hz.aiff"},
        {"a.aif", "174", "a-174 Hz.aif"},
        {"b.FLAC", "963", "b-963 Hz.flac"},
        {"Track.wav", "432", "Track-432 Hz.wav"},
        {"notes.txt", "432", "notes.txt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MakeOutputName(c.name, c.frequency), c.expected) << c.name;
    }
}

TEST(MakeOutputFolder, MirrorsTheSourceFolderInBothPathStyles)
{
    struct Case {
        PathStyle style;
        const char* input;
        const char* outputRoot;
        const char* frequency;
        const char* expected;
    };
    const Case cases[] = {
        {PathStyle::Windows, "C:\\Music\\Album\\Song.mp3", "D:\\Docs\\Quorvane\\", "432",
         "D:\\Docs\\Quorvane\\432 Hz\\Music\\Album\\"},
        {PathStyle::Windows, "C:\\Song.mp3", "D:\\Docs\\Quorvane\\", "963",
         "D:\\Docs\\Quorvane\\963 Hz\\"},
        {PathStyle::Windows, "\\\\server\\share\\dir\\Song.mp3", "D:\\Docs\\Quorvane\\", "432",
         "D:\\Docs\\Quorvane\\432 Hz\\"},
        {PathStyle::Posix, "/home/anna/Music/Album/Song.mp3", "/home/anna/Documents/Quorvane/",
         "432", "/home/anna/Documents/Quorvane/432 Hz/home/anna/Music/Album/"},
        {PathStyle::Posix, "/Song.mp3", "/home/anna/Documents/Quorvane/", "963",
         "/home/anna/Documents/Quorvane/963 Hz/"},
        {PathStyle::Posix, "/a//b/Song.mp3", "/d/Quorvane/", "528", "/d/Quorvane/528 Hz/a/b/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MakeOutputFolder(c.input, c.frequency, false, QString(), c.outputRoot, c.style),
                  c.expected)
            << c.input;
    }
}

TEST(MakeOutputFolder, CdModeWritesIntoTheCdFoldersFrequencySubfolder)
{
    EXPECT_EQ(MakeOutputFolder("/x/Track.wav", "432", true, "/d/Quorvane/CD-ROM-Input/Best//",
                               "/d/Quorvane/"),
              "/d/Quorvane/CD-ROM-Input/Best/432 Hz/");
    EXPECT_EQ(MakeOutputFolder("C:\\x\\Track.wav", "432", true, "D:\\Docs\\Quorvane\\CD\\",
                               "D:\\Docs\\", PathStyle::Windows),
              "D:\\Docs\\Quorvane\\CD\\432 Hz\\");
    EXPECT_EQ(WithMp3Extension("Track-432 Hz.wav"), "Track-432 Hz.mp3");
    EXPECT_EQ(WithMp3Extension("Track"), "Track.mp3");
}

TEST(Frequencies, TheShippedTargetsHaveTheirExactTempoTexts)
{
    struct Case {
        const char* item;
        const char* text;
        double reference;
        const char* tempo;
    };
    const Case cases[] = {
        {"174Hz", "174", 174.614, "-0.351632744224406"},
        {"285Hz", "285", 277.183, "2.82015852343037"},
        {"396Hz", "396", 391.995, "1.02169670531512"},
        {"417Hz", "417", 415.305, "0.40813378119695"},
        {"432Hz", "432", 440.0, "-1.81818181818182"},
        {"528Hz", "528", 523.251, "0.907595016540823"},
        {"639Hz", "639", 622.254, "2.69118398596071"},
        {"741Hz", "741", 739.989, "0.136623652513749"},
        {"852Hz", "852", 830.609, "2.57533929923706"},
        {"963Hz", "963", 987.767, "-2.50737269011822"},
    };
    for (const Case& c : cases) {
        const int index = FrequencyItems().indexOf(c.item);
        ASSERT_GE(index, 0) << c.item;
        const FrequencyState state = FrequencyForIndex(index);
        EXPECT_EQ(TargetTexts()[index], c.text);
        EXPECT_EQ(state.FrequencyText, c.text);
        EXPECT_EQ(state.ReferencePitch, c.reference);
        EXPECT_EQ(TempoText(TempoPercent(state.TargetFrequency, state.ReferencePitch)), c.tempo)
            << c.item;
    }
}

// Whatever targets the list holds, each one is its own item and text, and is tuned from the
// equal-tempered note nearest to it: no other note lies closer.
TEST(Frequencies, EveryTargetIsTunedFromItsNearestNote)
{
    ASSERT_EQ(FrequencyItems().size(), FrequencyCount());
    ASSERT_EQ(TargetTexts().size(), FrequencyCount());
    for (int index = 0; index < FrequencyCount(); ++index) {
        const FrequencyState state = FrequencyForIndex(index);
        EXPECT_EQ(FrequencyItems()[index], state.FrequencyText + "Hz");
        const double semitone = std::pow(2.0, 1.0 / 12.0);
        const double distance = std::abs(std::log2(state.TargetFrequency / state.ReferencePitch));
        EXPECT_LE(distance, std::log2(semitone) / 2 + 1e-6) << state.FrequencyText.toStdString();
        const double steps = 12.0 * std::log2(state.ReferencePitch / 440.0);
        EXPECT_NEAR(steps, std::round(steps), 1e-4);
    }
}

TEST(Frequencies, AnIndexOutsideTheListGivesTheDefault)
{
    for (int index : {-1, FrequencyCount(), FrequencyCount() + 89}) {
        const FrequencyState state = FrequencyForIndex(index);
        EXPECT_EQ(state.TargetFrequency, 432.0);
        EXPECT_EQ(state.ReferencePitch, 440.0);
        EXPECT_EQ(state.FrequencyText, "432");
    }
}

// A German locale of our own, compiled into a temporary folder: most machines have none
// installed, and the point must stay a point under a comma locale.
TEST(Frequencies, TheTempoTextKeepsAPointUnderACommaLocale)
{
    const QTemporaryDir locales;
    QProcess compile;
    compile.start("localedef", {"-i", "de_DE", "-f", "UTF-8", locales.path() + "/de_DE.UTF-8"});
    ASSERT_TRUE(compile.waitForFinished(60000));
    ASSERT_EQ(compile.exitCode(), 0) << compile.readAllStandardError().toStdString();
    const QByteArray previousPath = qgetenv("LOCPATH");
    qputenv("LOCPATH", QFile::encodeName(locales.path()));
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
    char probe[8];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    EXPECT_STREQ(probe, "0,5");  // the locale really writes a comma
    EXPECT_EQ(TempoText(-1.81818181818182), "-1.81818181818182");
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (previousPath.isNull()) {
        qunsetenv("LOCPATH");
    } else {
        qputenv("LOCPATH", previousPath);
    }
}

// A kind is one row of the table; every step of a conversion must know what to do with it.
TEST(KindTable, EveryKindIsHandledByEveryStep)
{
    QStringList extensions;
    for (const KindSpec& kindRow : AllKinds()) {
        const QString extension = QLatin1String(kindRow.extension);
        SCOPED_TRACE(extension.toStdString());
        ASSERT_TRUE(extension.startsWith(u'.') && extension == extension.toLower());
        EXPECT_FALSE(extensions.contains(extension));
        extensions << extension;
        EXPECT_EQ(KindOf("Song" + extension.toUpper(), PathStyle::Posix), kindRow.kind);
        EXPECT_EQ(&KindRowOf(kindRow.kind), &kindRow);
        EXPECT_FALSE(QString(kindRow.label).isEmpty());
        EXPECT_TRUE(KindLabels().contains(kindRow.label));
        EXPECT_NE(kindRow.tags, TagFamily::None);
        EXPECT_GT(RawEstimateSeconds(100'000'000, kindRow.kind, kReferenceSpeed), 0);
        EXPECT_EQ(MakeOutputName("a" + extension, "432", PathStyle::Posix), "a-432 Hz" + extension);
        const EncodePlan plan = PlanEncode(kindRow.kind, AudioFacts{}, 16, 2);
        EXPECT_EQ(plan.tool, kindRow.encoder);
        const Expectation output = ExpectedOutput(plan, AudioFacts{});
        if (kindRow.encoder != KindTool::Copy) {
            EXPECT_FALSE(output.codec.isEmpty());
        }
        if (kindRow.encoder == KindTool::Converter) {
            EXPECT_TRUE(
                ConverterEncodeArguments("S", "T", plan).arguments().contains(output.codec));
        }
    }
    EXPECT_EQ(KindRowOf(AudioKind::None).kind, AudioKind::None);
}
