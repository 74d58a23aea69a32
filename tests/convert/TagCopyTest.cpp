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

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
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

// --- MP3 tags whole ------------------------------------------------------------------------

using ApeItems = std::vector<std::pair<QString, QString>>;

// A source and its copy in one directory.
struct SourceAndCopy {
    SourceAndCopy(const char* sourceExtension, const char* targetExtension)
        : source(dir.path() + QStringLiteral("/in.") + QLatin1String(sourceExtension)),
          target(dir.path() + QStringLiteral("/out.") + QLatin1String(targetExtension))
    {
    }
    bool makeTones() const
    {
        return test::makeTone(source, 440, 1) && test::makeTone(target, 432, 1);
    }
    // Copies the tags; the source's bytes must not change.
    bool copy() const
    {
        const QByteArray before = test::readFile(source);
        const TagCopyResult result = CopyTags(source, target, kTuning);
        return result.sourceRead && result.written && test::readFile(source) == before;
    }

    const QTemporaryDir dir;  // made before the names below
    const QString source;
    const QString target;
};

struct MergeCase {
    const char* name;
    Fields id3v2;
    Fields id3v1;
    ApeItems ape;
    Fields copied;  // besides the marker
};

void PrintTo(const MergeCase& merge, std::ostream* out)
{
    *out << merge.name;
}

class TagCopyMp3Merge : public ::testing::TestWithParam<MergeCase> {};

// What only an ID3v1 or APE tag holds joins the ID3v2 tag's fields; ID3v2 wins, then APE.
TEST_P(TagCopyMp3Merge, FieldsOfEveryTagReachTheCopy)
{
    const MergeCase& merge = GetParam();
    const SourceAndCopy files("mp3", "mp3");
    ASSERT_TRUE(files.makeTones());
    tagFile(files.source, merge.id3v2);
    addId3v1AndApe(files.source, merge.id3v1, merge.ape);

    ASSERT_TRUE(files.copy());

    Fields expected = merge.copied;
    expected[QStringLiteral("TUNING")] = QStringList{kTuning};
    const Tags copied = readTags(files.target);
    EXPECT_EQ(copied.fields, expected);
    EXPECT_EQ(copied.id3v2Version, 4);
}

INSTANTIATE_TEST_SUITE_P(
    TagCopy, TagCopyMp3Merge,
    ::testing::Values(
        MergeCase{"AlbumOnlyInId3v1",
                  {{"TITLE", {"Song"}}, {"ARTIST", {"Artist"}}},
                  {{"TITLE", {"Song"}}, {"ALBUM", {"Old Album"}}},
                  {},
                  {{"TITLE", {"Song"}}, {"ARTIST", {"Artist"}}, {"ALBUM", {"Old Album"}}}},
        MergeCase{"CommentOnlyInApe",
                  {{"TITLE", {"Song"}}},
                  {},
                  {{"Comment", "From the APE tag"}},
                  {{"TITLE", {"Song"}}, {"COMMENT", {"From the APE tag"}}}},
        MergeCase{"Id3v2WinsThenApe",
                  {{"TITLE", {"A Title Longer Than Thirty Letters"}}, {"ALBUM", {"Album"}}},
                  {{"TITLE", {"A Title Longer Than Thirty Let"}},
                   {"ALBUM", {"Other Album"}},
                   {"ARTIST", {"ID3v1 Artist"}},
                   {"GENRE", {"Rock"}}},
                  {{"Title", "APE Title"}, {"Artist", "APE Artist"}},
                  {{"TITLE", {"A Title Longer Than Thirty Letters"}},
                   {"ALBUM", {"Album"}},
                   {"ARTIST", {"APE Artist"}},
                   {"GENRE", {"Rock"}}}},
        MergeCase{"NoId3v2Tag",
                  {},
                  {{"TITLE", {"Song"}}, {"DATE", {"1987"}}},
                  {{"Album", "APE Album"}},
                  {{"TITLE", {"Song"}}, {"DATE", {"1987"}}, {"ALBUM", {"APE Album"}}}},
        // MP3Gain's notes for undoing its changes to the source's frames do not fit the copy's.
        MergeCase{"Mp3GainValuesButNotItsUndoData",
                  {{"TITLE", {"Song"}}},
                  {},
                  {{"REPLAYGAIN_TRACK_GAIN", "-3.21 dB"},
                   {"MP3GAIN_UNDO", "+003,+003,N"},
                   {"MP3GAIN_MINMAX", "120,210"}},
                  {{"TITLE", {"Song"}}, {"REPLAYGAIN_TRACK_GAIN", {"-3.21 dB"}}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct DateCase {
    const char* name;
    int version;                                                    // of the source's ID3v2 tag
    std::vector<Id3Frame> frames;                                   // version 3 and 4
    std::vector<std::pair<QByteArray, QByteArray>> version2Frames;  // version 2
    const char* timestamp;                                          // the copy's TDRC
};

void PrintTo(const DateCase& date, std::ostream* out)
{
    *out << date.name;
}

class TagCopyDates : public ::testing::TestWithParam<DateCase> {};

// The copy's ID3v2.4 date holds what the source's year, day-and-month and time frames said, and
// a FLAC copy's DATE field as much.
TEST_P(TagCopyDates, DayMonthAndTimeAreKept)
{
    const DateCase& date = GetParam();
    const SourceAndCopy files("mp3", "mp3");
    ASSERT_TRUE(files.makeTones());
    if (date.version == 2) {
        prependId3v22(files.source, date.version2Frames);
    } else {
        addId3Frames(files.source, date.frames, date.version);
    }
    const QString flac = files.target + QStringLiteral(".flac");
    ASSERT_TRUE(test::makeTone(flac, 432, 1));

    ASSERT_TRUE(files.copy());
    ASSERT_TRUE(CopyTags(files.source, flac, kTuning).written);

    const QString timestamp = QString::fromLatin1(date.timestamp);
    const QStringList dateFrames = {"TDRC", "TYER", "TDAT", "TIME", "TDA", "TIM", "TYE"};
    EXPECT_EQ(id3Frames(files.target, dateFrames),
              (std::vector<Id3Frame>{{"TDRC", {}, {}, {timestamp}}}));
    const QStringList flacDate = readTags(flac).fields.value(QStringLiteral("DATE"));
    ASSERT_EQ(flacDate.size(), 1);
    EXPECT_EQ(flacDate.front().left(10), timestamp.left(10));
}

INSTANTIATE_TEST_SUITE_P(
    TagCopy, TagCopyDates,
    ::testing::Values(
        DateCase{"Id3v23DayAndMonth",
                 3,
                 {{"TYER", {}, {}, {"1999"}}, {"TDAT", {}, {}, {"2412"}}},
                 {},
                 "1999-12-24"},
        DateCase{
            "Id3v23DayMonthAndTime",
            3,
            {{"TYER", {}, {}, {"1999"}}, {"TDAT", {}, {}, {"2412"}}, {"TIME", {}, {}, {"1830"}}},
            {},
            "1999-12-24T18:30"},
        DateCase{"Id3v22DayAndMonth", 2, {}, {{"TYE", "1999"}, {"TDA", "2412"}}, "1999-12-24"},
        DateCase{"Id3v22DayMonthAndTime",
                 2,
                 {},
                 {{"TT2", "Song"}, {"TYE", "1999"}, {"TDA", "0503"}, {"TIM", "0705"}},
                 "1999-03-05T07:05"},
        DateCase{"Id3v22YearOnly", 2, {}, {{"TYE", "1999"}}, "1999"},
        DateCase{"Id3v24Timestamp",
                 4,
                 {{"TDRC", {}, {}, {"2001-05-06T10:30"}}},
                 {},
                 "2001-05-06T10:30"}),
    [](const auto& info) { return std::string(info.param.name); });

// Comments, lyrics and user texts as a tagger writes them, with a marker from an earlier run.
std::vector<Id3Frame> describedFrames()
{
    return {{"COMM", "eng", "iTunNORM", {" 00000A1B 0000099F 00003C2E 00003A41"}},
            {"COMM", "eng", "", {"A comment"}},
            {"COMM", "fra", "Notes de Pochette", {"Enregistré en 1961"}},
            {"USLT", "deu", "Erste Strophe (Entwurf)", {"Der Mond ist aufgegangen"}},
            {"TXXX", {}, "MusicBrainz Album Id", {"0c5a7d3e-6b5e-4c0c-8a4b-9c1f2d3e4f50"}},
            {"TXXX", {}, "replaygain_track_gain", {"-6.48 dB"}},
            {"TXXX", {}, "Mixed Case Note", {"kept as written"}},
            {"TXXX", {}, "tuning", {"528 Hz (from 523.25 Hz)"}}};
}

std::vector<Id3Frame> sortedFrames(std::vector<Id3Frame> frames)
{
    std::sort(frames.begin(), frames.end(), [](const Id3Frame& a, const Id3Frame& b) {
        return std::tie(a.id, a.description, a.language) <
               std::tie(b.id, b.description, b.language);
    });
    return frames;
}

struct KindPair {
    const char* source;
    int version;  // of the source's ID3v2 tag
    const char* target;
};

void PrintTo(const KindPair& pair, std::ostream* out)
{
    *out << pair.source << "_v" << pair.version << "_to_" << pair.target;
}

class TagCopyDescribedFrames : public ::testing::TestWithParam<KindPair> {};

// Between kinds that carry ID3v2 tags the frames travel as the source wrote them: language,
// description and its case; only the marker is new.
TEST_P(TagCopyDescribedFrames, LanguageAndDescriptionStayExact)
{
    const SourceAndCopy files(GetParam().source, GetParam().target);
    ASSERT_TRUE(files.makeTones());
    addId3Frames(files.source, describedFrames(), GetParam().version);

    ASSERT_TRUE(files.copy());

    std::vector<Id3Frame> expected = describedFrames();
    expected.back() = {"TXXX", {}, "TUNING", {kTuning}};
    const QStringList ids = {"COMM", "USLT", "TXXX"};
    EXPECT_EQ(sortedFrames(id3Frames(files.target, ids)), sortedFrames(expected));
}

INSTANTIATE_TEST_SUITE_P(TagCopy, TagCopyDescribedFrames,
                         ::testing::Values(KindPair{"mp3", 3, "mp3"}, KindPair{"mp3", 4, "mp3"},
                                           KindPair{"mp3", 3, "aac"}, KindPair{"wav", 4, "wav"},
                                           KindPair{"aiff", 3, "aiff"}, KindPair{"aif", 4, "mp3"},
                                           KindPair{"aac", 4, "wav"}, KindPair{"wav", 3, "aif"}),
                         [](const auto& info) {
                             const KindPair& pair = info.param;
                             return std::string(pair.source) + "_v" + std::to_string(pair.version) +
                                    "_to_" + pair.target;
                         });

struct SpellingCase {
    const char* name;
    const char* source;
    const char* target;
    std::function<void(const QString&)> tag;
    QStringList spelled;  // TXXX descriptions or free-form atom names of the copy
};

void PrintTo(const SpellingCase& spelling, std::ostream* out)
{
    *out << spelling.name;
}

QStringList spellingsOf(const QString& path)
{
    if (path.endsWith(QStringLiteral(".m4a"))) {
        return freeFormNames(path);
    }
    if (path.endsWith(QStringLiteral(".flac"))) {
        return vorbisCommentNames(path);
    }
    QStringList descriptions;
    for (const Id3Frame& frame : id3Frames(path, {QStringLiteral("TXXX")})) {
        descriptions << frame.description;
    }
    return descriptions;
}

class TagCopySpellings : public ::testing::TestWithParam<SpellingCase> {};

// A field name keeps the source's spelling where the target's kind spells names freely (ID3v2
// user texts, MP4 free-form atoms, Vorbis comments): some players look them up case-sensitively.
TEST_P(TagCopySpellings, FieldNamesKeepTheirCase)
{
    const SourceAndCopy files(GetParam().source, GetParam().target);
    ASSERT_TRUE(files.makeTones());
    GetParam().tag(files.source);

    ASSERT_TRUE(files.copy());

    QStringList spelled = spellingsOf(files.target);
    spelled.sort();
    QStringList expected = GetParam().spelled;
    expected << QStringLiteral("TUNING");
    expected.sort();
    EXPECT_EQ(spelled, expected);
}

INSTANTIATE_TEST_SUITE_P(
    TagCopy, TagCopySpellings,
    ::testing::Values(
        SpellingCase{"Mp3UserTextsToM4a",
                     "mp3",
                     "m4a",
                     [](const QString& path) {
                         addId3Frames(path,
                                      {{"TXXX", {}, "replaygain_track_gain", {"-6.48 dB"}},
                                       {"TXXX", {}, "Mixed Case Note", {"kept"}}},
                                      3);
                     },
                     {"replaygain_track_gain", "Mixed Case Note"}},
        SpellingCase{"M4aFreeFormToMp3",
                     "m4a",
                     "mp3",
                     [](const QString& path) {
                         addFreeFormAtoms(path, {{"replaygain_album_gain", "-7.01 dB"},
                                                 {"Mixed Case Note", "kept"}});
                     },
                     {"replaygain_album_gain", "Mixed Case Note"}},
        SpellingCase{"Mp3ApeItemsToMp3",
                     "mp3",
                     "mp3",
                     [](const QString& path) {
                         addId3v1AndApe(path, {}, {{"replaygain_track_peak", "0.988525"}});
                     },
                     {"replaygain_track_peak"}},
        SpellingCase{"FlacNamesToFlac",
                     "flac",
                     "flac",
                     [](const QString& path) {
                         setVorbisComment(path, {{"title", "Song"},
                                                 {"replaygain_track_gain", "-6.48 dB"},
                                                 {"Mixed_Note", "kept"},
                                                 {"tuning", "528 Hz"}});
                     },
                     {"title", "replaygain_track_gain", "Mixed_Note"}},
        SpellingCase{"FlacNamesToMp3",
                     "flac",
                     "mp3",
                     [](const QString& path) {
                         setVorbisComment(path, {{"replaygain_track_gain", "-6.48 dB"},
                                                 {"Mixed_Note", "kept"},
                                                 {"acoustid_id", "9a8b7c6d"}});
                     },
                     // ID3v2 has its own name for the last, not a spelling of the key.
                     {"replaygain_track_gain", "Mixed_Note", "ACOUSTID ID"}},
        SpellingCase{
            "Mp3UserTextsToFlac",
            "mp3",
            "flac",
            [](const QString& path) {
                addId3Frames(path, {{"TXXX", {}, "replaygain_track_gain", {"-6.48 dB"}}}, 4);
            },
            {"replaygain_track_gain"}},
        SpellingCase{"WavUserTextsToM4a",
                     "wav",
                     "m4a",
                     [](const QString& path) {
                         addId3Frames(path, {{"TXXX", {}, "replaygain_track_gain", {"-1 dB"}}}, 4);
                     },
                     {"replaygain_track_gain"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A WAV file's INFO list fills in what its ID3v2 chunk lacks, as the ID3v1 and APE tags of an
// MP3 do.
TEST(TagCopy, WavInfoFieldsJoinTheId3v2Chunk)
{
    const SourceAndCopy files("wav", "flac");
    ASSERT_TRUE(files.makeTones());
    tagFile(files.source, {{"TITLE", {"Song"}}});
    addInfoList(files.source, {{"TITLE", {"Info Title"}}, {"ALBUM", {"Info Album"}}});

    ASSERT_TRUE(files.copy());

    EXPECT_EQ(readTags(files.target).fields,
              (Fields{{"TITLE", {"Song"}}, {"ALBUM", {"Info Album"}}, {"TUNING", {kTuning}}}));
}

}  // namespace
