#include "convert/TagCopy.h"

#include "convert/AudioCheck.h"
#include "platform/FileSystem.h"
#include "platform/NativePath.h"
#include "support/Audio.h"
#include "support/TaggedFiles.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <taglib/aifffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mp4tag.h>
#include <taglib/mpegfile.h>
#include <taglib/privateframe.h>
#include <taglib/synchronizedlyricsframe.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>

#include <ostream>
#include <string>
#include <vector>

using namespace qvr;
using namespace qvr::test;
namespace ID3v2 = TagLib::ID3v2;

namespace {

const QString kTuning = QStringLiteral("432 Hz (from 440 Hz)");
const TagLib::String kFreeForm = "----:com.apple.iTunes:";

// --- The cases -----------------------------------------------------------------------------

struct Kind {
    const char* extension;
    bool picturesHaveDetails;  // an MP4 cover has neither type nor description
};

void PrintTo(const Kind& kind, std::ostream* out)
{
    *out << kind.extension;
}

class TagCopyKinds : public ::testing::TestWithParam<Kind> {
  protected:
    QString path(const char* stem) const
    {
        return dir_.path() + u'/' + QLatin1String(stem) + u'.' +
               QLatin1String(GetParam().extension);
    }
    // The name the encoder writes to before the output takes its own.
    QString target() const { return path(".quorvane-123-0.part"); }

  private:
    QTemporaryDir dir_;
};

TEST_P(TagCopyKinds, CarriesEveryFieldAndTheCoverUnchanged)
{
    const QString source = path("source");
    ASSERT_TRUE(test::makeTone(source, 440, 1.5));
    ASSERT_TRUE(test::makeTone(target(), 432, 1.5));
    const QByteArray cover = coverJpeg();
    tagFile(source, sourceFields(), cover);
    const Tags sourceTags = readTags(source);
    const Fields given = sourceFields();
    for (auto field = given.cbegin(); field != given.cend(); ++field) {
        ASSERT_EQ(sourceTags.fields.value(field.key()), field.value()) << field.key().toStdString();
    }
    const QByteArray sourceBytes = test::readFile(source);
    const double seconds = DecodeAudio(target()).seconds;

    const TagCopyResult result = CopyTags(source, target(), kTuning);

    EXPECT_TRUE(result.sourceRead);
    EXPECT_TRUE(result.written);
    EXPECT_EQ(test::readFile(source), sourceBytes);
    const Tags copied = readTags(target());
    Fields expected = sourceTags.fields;
    expected[QStringLiteral("TUNING")] = QStringList{kTuning};
    EXPECT_EQ(copied.fields, expected);
    const bool details = GetParam().picturesHaveDetails;
    const Picture front{3, QStringLiteral("image/jpeg"),
                        details ? QStringLiteral("Front") : QString(), cover};
    EXPECT_EQ(copied.pictures, std::vector<Picture>{front});
    if (sourceTags.id3v2Version != 0) {
        EXPECT_EQ(copied.id3v2Version, 4);
    }
    const AudioFacts facts = DecodeAudio(target());
    EXPECT_TRUE(facts.complete);
    EXPECT_DOUBLE_EQ(facts.seconds, seconds);
}

TEST_P(TagCopyKinds, SourceWithoutTagsGivesOnlyTheMarker)
{
    const QString source = path("source");
    ASSERT_TRUE(test::makeTone(source, 440, 1));
    tagFile(source, {});  // drops what the encoder wrote
    ASSERT_TRUE(test::makeTone(target(), 432, 1));

    EXPECT_TRUE(CopyTags(source, target(), kTuning).written);

    const Tags copied = readTags(target());
    EXPECT_EQ(copied.fields, (Fields{{QStringLiteral("TUNING"), {kTuning}}}));
    EXPECT_TRUE(copied.pictures.empty());
}

TEST_P(TagCopyKinds, RetuningReplacesTheEarlierMarker)
{
    const QString source = path("source");
    ASSERT_TRUE(test::makeTone(source, 440, 1));
    tagFile(source, {{"TITLE", {"Song"}}, {"tuning", {"528 Hz (from 523.25 Hz)"}}});
    ASSERT_TRUE(test::makeTone(target(), 432, 1));
    const QString tuning = TuningText(432, 440, ReadTuning(source));

    ASSERT_TRUE(CopyTags(source, target(), tuning).written);

    EXPECT_EQ(tuning, QStringLiteral("432 Hz (from 440 Hz; source was already tuned to 528 Hz)"));
    EXPECT_EQ(readTags(target()).fields.value(QStringLiteral("TUNING")), QStringList{tuning});
    EXPECT_EQ(ReadTuning(target()), tuning);
    // Tags already there are replaced, not joined by a second set.
    const QByteArray once = test::readFile(target());
    ASSERT_TRUE(CopyTags(source, target(), tuning).written);
    EXPECT_EQ(test::readFile(target()), once);
}

INSTANTIATE_TEST_SUITE_P(TagCopy, TagCopyKinds,
                         ::testing::Values(Kind{"mp3", true}, Kind{"wav", true}, Kind{"flac", true},
                                           Kind{"aiff", true}, Kind{"aif", true}, Kind{"aac", true},
                                           Kind{"m4a", false}),
                         [](const auto& info) { return std::string(info.param.extension); });

struct UnreadableSource {
    const char* name;
    QByteArray content;  // null: no file at all
};

void PrintTo(const UnreadableSource& source, std::ostream* out)
{
    *out << source.name;
}

class TagCopyUnreadable : public ::testing::TestWithParam<UnreadableSource> {};

TEST_P(TagCopyUnreadable, TargetStillGetsTheMarker)
{
    QTemporaryDir dir;
    const QString source = dir.path() + u'/' + QLatin1String(GetParam().name);
    if (!GetParam().content.isNull()) {
        test::writeFile(source, GetParam().content);
    }
    const QString target = dir.path() + QStringLiteral("/out.flac");
    ASSERT_TRUE(test::makeTone(target, 432, 1));

    const TagCopyResult result = CopyTags(source, target, kTuning);

    EXPECT_FALSE(result.sourceRead);
    EXPECT_TRUE(result.written);
    EXPECT_EQ(readTags(target).fields, (Fields{{QStringLiteral("TUNING"), {kTuning}}}));
}

INSTANTIATE_TEST_SUITE_P(
    TagCopy, TagCopyUnreadable,
    ::testing::Values(UnreadableSource{"text.flac", "just some text, no audio at all\n"},
                      UnreadableSource{"cut.m4a", QByteArray("\0\0\0\x20"
                                                             "ftypM4A ",
                                                             12)},
                      UnreadableSource{"text.wav", "RIFF? no, just text"},
                      UnreadableSource{"cut.aac", QByteArray("ID3\x04\0\0\x7F\x7F\x7F\x7F", 10)},
                      UnreadableSource{"noise.aac", "\x12\x34 not an ADTS frame"},
                      UnreadableSource{"missing.mp3", QByteArray()},
                      UnreadableSource{"notes.txt", "not a kind the program knows"}),
    [](const auto& info) {
        return QString::fromLatin1(info.param.name).replace(u'.', u'_').toStdString();
    });

TEST(TagCopy, TuningText)
{
    struct Case {
        int target;
        double reference;
        const char* earlier;
        const char* text;
    };
    const Case cases[] = {
        {432, 440, "", "432 Hz (from 440 Hz)"},
        {528, 523.2511306, "", "528 Hz (from 523.25 Hz)"},
        {432, 440.5, " ", "432 Hz (from 440.5 Hz)"},
        {432, 440, "528 Hz (from 523.25 Hz)",
         "432 Hz (from 440 Hz; source was already tuned to 528 Hz)"},
        {417, 415.3047, "432 Hz (from 440 Hz; source was already tuned to 528 Hz)",
         "417 Hz (from 415.3 Hz; source was already tuned to 432 Hz)"},
        {432, 440, "A4 = 432", "432 Hz (from 440 Hz; source was already tuned to A4 = 432)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TuningText(c.target, c.reference, QString::fromUtf8(c.earlier)),
                  QString::fromUtf8(c.text))
            << c.earlier;
    }
}

TEST(TagCopy, WriteTagsGivesAnMp3ItsFields)
{
    QTemporaryDir dir;
    const QString mp3 = dir.path() + QStringLiteral("/track.mp3");
    ASSERT_TRUE(test::makeTone(mp3, 440, 1));
    const Fields fields = {{"ALBUM", {"Disc"}},
                           {"TITLE", {"Track Three"}},
                           {"ARTIST", {"Performer"}},
                           {"TRACKNUMBER", {"3/12"}},
                           {"TUNING", {kTuning}}};

    ASSERT_TRUE(WriteTags(mp3, fields));

    const Tags written = readTags(mp3);
    EXPECT_EQ(written.fields, fields);
    EXPECT_EQ(written.id3v2Version, 4);
    EXPECT_FALSE(WriteTags(dir.path() + QStringLiteral("/missing.mp3"), fields));
}

TEST(TagCopy, WavAlsoGetsAnInfoList)
{
    QTemporaryDir dir;
    const QString wav = dir.path() + QStringLiteral("/track.wav");
    test::writeToneWav(wav, 440, 0.5);

    ASSERT_TRUE(WriteTags(wav, {{"TITLE", {"Track"}}, {"ARTIST", {"Performer"}}}));

    TagLib::RIFF::WAV::File file(toNativeBytes(wav).c_str(), false);
    ASSERT_TRUE(file.hasInfoTag());
    EXPECT_EQ(file.InfoTag()->title(), "Track");
    EXPECT_EQ(file.InfoTag()->artist(), "Performer");
}

// Frames the property names do not cover travel as they are, unless they point at times in
// the source's audio or state its length.
TEST(TagCopy, Mp3KeepsOtherFramesButNotTimeCodedOnes)
{
    QTemporaryDir dir;
    const QString source = dir.path() + QStringLiteral("/in.mp3");
    const QString target = dir.path() + QStringLiteral("/out.mp3");
    ASSERT_TRUE(test::makeTone(source, 440, 1) && test::makeTone(target, 432, 1));
    {
        TagLib::MPEG::File file(toNativeBytes(source).c_str());
        ID3v2::Tag& tag = *file.ID3v2Tag(true);
        tag.setProperties(PropertyMapOf({{"TITLE", {"Song"}}, {"LENGTH", {"1000"}}}));
        auto* privateFrame = new ID3v2::PrivateFrame;
        privateFrame->setOwner("quorvane.test");
        privateFrame->setData(TagLib::ByteVector("\x01\x02\x03", 3));
        tag.addFrame(privateFrame);
        auto* lyrics = new ID3v2::SynchronizedLyricsFrame(TagLib::String::UTF8);
        ID3v2::SynchronizedLyricsFrame::SynchedTextList lines;
        lines.append({500, "la"});
        lyrics->setSynchedText(lines);
        tag.addFrame(lyrics);
        file.save(TagLib::MPEG::File::ID3v2);
    }

    ASSERT_TRUE(CopyTags(source, target, kTuning).written);

    TagLib::MPEG::File file(toNativeBytes(target).c_str(), false);
    const ID3v2::FrameListMap& frames = file.ID3v2Tag()->frameListMap();
    ASSERT_EQ(frames["PRIV"].size(), 1u);
    const auto& kept = dynamic_cast<const ID3v2::PrivateFrame&>(*frames["PRIV"].front());
    EXPECT_EQ(kept.owner(), "quorvane.test");
    EXPECT_EQ(kept.data(), TagLib::ByteVector("\x01\x02\x03", 3));
    EXPECT_TRUE(frames["SYLT"].isEmpty());
    EXPECT_TRUE(frames["TLEN"].isEmpty());
    EXPECT_EQ(readTags(target).fields.value(QStringLiteral("TITLE")), QStringList{"Song"});
}

TEST(TagCopy, M4aKeepsTheSpellingOfFreeFormAtoms)
{
    QTemporaryDir dir;
    const QString source = dir.path() + QStringLiteral("/in.m4a");
    const QString target = dir.path() + QStringLiteral("/out.m4a");
    ASSERT_TRUE(test::makeTone(source, 440, 1) && test::makeTone(target, 432, 1));
    tagFile(source, {{"REPLAYGAIN_TRACK_GAIN", {"-6.48 dB"}}, {"TUNING", {"528 Hz"}}});

    ASSERT_TRUE(CopyTags(source, target, kTuning).written);

    TagLib::MP4::File file(toNativeBytes(target).c_str(), false);
    const TagLib::MP4::ItemMap& items = file.tag()->itemMap();
    EXPECT_EQ(items[kFreeForm + "replaygain_track_gain"].toStringList(),
              TagLib::StringList("-6.48 dB"));
    EXPECT_EQ(items[kFreeForm + "TUNING"].toStringList(), TagLib::StringList(TagText(kTuning)));
    EXPECT_FALSE(items.contains(kFreeForm + "tuning"));
}

TEST(TagCopy, NamesThatAreNotUtf8)
{
    QTemporaryDir dir;
    const QString made = dir.path() + QStringLiteral("/made.mp3");
    const QString source = dir.path() + u'/' + fromNativeBytes(std::string("caf\xE9.mp3"));
    const QString target = dir.path() + u'/' + fromNativeBytes(std::string("caf\xE9-432.mp3"));
    ASSERT_TRUE(test::makeTone(made, 440, 1));
    ASSERT_TRUE(CopyFileReplacing(made, target));
    tagFile(made, {{"TITLE", {"Café"}}});
    ASSERT_TRUE(CopyFileReplacing(made, source));

    const TagCopyResult result = CopyTags(source, target, kTuning);

    EXPECT_TRUE(result.sourceRead);
    EXPECT_TRUE(result.written);
    EXPECT_EQ(readTags(target).fields,
              (Fields{{"TITLE", {QStringLiteral("Café")}}, {"TUNING", {kTuning}}}));
    EXPECT_EQ(ReadTuning(target), kTuning);
    // QTemporaryDir cannot remove these names.
    RemoveFile(source);
    RemoveFile(target);
}

}  // namespace
