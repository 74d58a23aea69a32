#include "TagCopy.h"

#include "AudioFormats.h"
#include "platform/FileSystem.h"
#include "platform/NativePath.h"

#include <taglib/aifffile.h>
#include <taglib/apetag.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4coverart.h>
#include <taglib/mp4file.h>
#include <taglib/mp4tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tfilestream.h>
#include <taglib/tpropertymap.h>
#include <taglib/unknownframe.h>
#include <taglib/unsynchronizedlyricsframe.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qvr {
namespace {

using TagLib::ByteVector;
using TagLib::PropertyMap;
using TagLib::String;
using TagLib::StringList;
namespace ID3v2 = TagLib::ID3v2;
namespace MP4 = TagLib::MP4;

const char* const kTuningKey = "TUNING";
const char* const kItunesFreeForm = "----:com.apple.iTunes:";
const char* const kCoverArtAtom = "covr";

// Fields that describe the source's audio stream rather than the music: its length, the
// encoder's delay and padding, and what MP3Gain noted to undo its changes to the source's frames
// (applied to the re-encoded frames it would change their level). The re-tuned audio has its own.
constexpr std::array<const char*, 6> kSourceStreamFields = {
    "LENGTH",       "ITUNSMPB",       "COMMENT:ITUNSMPB",
    "MP3GAIN_UNDO", "MP3GAIN_MINMAX", "MP3GAIN_ALBUM_MINMAX"};

// Frames that point at times in the source's audio; the re-tuned audio runs at another tempo.
constexpr std::array<const char*, 9> kTimeCodedFrames = {"ETCO", "MLLT", "SYTC", "SYLT", "CHAP",
                                                         "CTOC", "SEEK", "ASPI", "POSS"};

// An ID3v2.2 or 2.3 date's day and month and its time, which the date field takes in; ID3v2.4
// has no such frames.
constexpr std::array<const char*, 4> kDatePartFrames = {"TDAT", "TIME", "TDA", "TIM"};

// ID3v2.4 frames holding a timestamp, which is written "2001-05-06T10:30".
constexpr std::array<const char*, 5> kTimestampFrames = {"TDRC", "TDOR", "TDRL", "TDEN", "TDTG"};

using Family = TagFamily;

Family familyOf(const QString& path)
{
    return KindRowOf(KindOf(path)).tags;
}

String toTagString(const QString& text)
{
    return String(text.toUtf8().toStdString(), String::UTF8);
}

QString fromTagString(const String& text)
{
    return QString::fromStdString(text.to8Bit(true));
}

struct Picture {
    int type = 3;  // front cover; ID3v2 and FLAC number the picture types alike
    String mimeType;
    String description;
    ByteVector data;
    // A FLAC picture block also states the picture's size; kept from FLAC to FLAC.
    int width = 0;
    int height = 0;
    int colorDepth = 0;
    int numColors = 0;
};

// A source's tags on their way to the target. Frames and atoms the property names cannot carry
// are kept as they are, for a target of the same family.
struct TagSet {
    PropertyMap fields;
    std::vector<Picture> pictures;
    std::vector<std::unique_ptr<ID3v2::Frame>> id3Frames;
    // The source's comment, lyrics and user text frames as it wrote them (language, description
    // and its case): a target with an ID3v2 tag gets them as they are unless their field changed.
    std::vector<std::unique_ptr<ID3v2::Frame>> describedFrames;
    std::vector<std::pair<String, MP4::Item>> mp4Items;
    // A field key as the source spelled it ("replaygain_track_gain", "COMMENT:iTunNORM"), by the
    // upper-case key: players look some of them up by their exact spelling.
    std::map<String, String> spellings;
};

// Adds the fields of another tag that the first lacks; the first tag's values win.
void addMissingFields(PropertyMap& fields, const PropertyMap& others)
{
    for (const auto& [key, values] : others) {
        if (!values.isEmpty() && !fields.contains(key)) {
            fields.insert(key, values);
        }
    }
}

// Notes the spelling of a key whose upper-case form is the field's key.
void noteSpelling(const String& spelled, TagSet& set)
{
    const String key = spelled.upper();
    if (spelled != key) {
        set.spellings.emplace(key, spelled);
    }
}

// --- Pictures ------------------------------------------------------------------------------

Picture fromApic(const ID3v2::AttachedPictureFrame& frame)
{
    Picture picture;
    picture.type = static_cast<int>(frame.type());
    picture.mimeType = frame.mimeType();
    picture.description = frame.description();
    picture.data = frame.picture();
    return picture;
}

std::unique_ptr<ID3v2::AttachedPictureFrame> toApic(const Picture& picture)
{
    auto frame = std::make_unique<ID3v2::AttachedPictureFrame>();
    frame->setTextEncoding(String::UTF8);
    frame->setType(static_cast<ID3v2::AttachedPictureFrame::Type>(picture.type));
    frame->setMimeType(picture.mimeType);
    frame->setDescription(picture.description);
    frame->setPicture(picture.data);
    return frame;
}

Picture fromFlacPicture(const TagLib::FLAC::Picture& block)
{
    Picture picture;
    picture.type = static_cast<int>(block.type());
    picture.mimeType = block.mimeType();
    picture.description = block.description();
    picture.data = block.data();
    picture.width = block.width();
    picture.height = block.height();
    picture.colorDepth = block.colorDepth();
    picture.numColors = block.numColors();
    return picture;
}

std::unique_ptr<TagLib::FLAC::Picture> toFlacPicture(const Picture& picture)
{
    auto block = std::make_unique<TagLib::FLAC::Picture>();
    block->setType(static_cast<TagLib::FLAC::Picture::Type>(picture.type));
    block->setMimeType(picture.mimeType);
    block->setDescription(picture.description);
    block->setData(picture.data);
    block->setWidth(picture.width);
    block->setHeight(picture.height);
    block->setColorDepth(picture.colorDepth);
    block->setNumColors(picture.numColors);
    return block;
}

String mimeTypeOf(MP4::CoverArt::Format format)
{
    switch (format) {
        case MP4::CoverArt::JPEG: return "image/jpeg";
        case MP4::CoverArt::PNG: return "image/png";
        case MP4::CoverArt::GIF: return "image/gif";
        case MP4::CoverArt::BMP: return "image/bmp";
        default: return String();
    }
}

// The bytes decide before the MIME type: taggers often write "image/jpg" or nothing at all.
MP4::CoverArt::Format coverFormatOf(const Picture& picture)
{
    const ByteVector& data = picture.data;
    if (data.startsWith("\xFF\xD8\xFF")) {
        return MP4::CoverArt::JPEG;
    }
    if (data.startsWith("\x89PNG")) {
        return MP4::CoverArt::PNG;
    }
    if (data.startsWith("GIF8")) {
        return MP4::CoverArt::GIF;
    }
    if (data.startsWith("BM")) {
        return MP4::CoverArt::BMP;
    }
    for (const auto format :
         {MP4::CoverArt::JPEG, MP4::CoverArt::PNG, MP4::CoverArt::GIF, MP4::CoverArt::BMP}) {
        if (picture.mimeType.upper() == mimeTypeOf(format).upper()) {
            return format;
        }
    }
    return MP4::CoverArt::Unknown;
}

// An MP4 cover has neither a picture type nor a description: it is the front cover.
Picture fromCoverArt(const MP4::CoverArt& art)
{
    Picture picture;
    picture.mimeType = mimeTypeOf(art.format());
    picture.data = art.data();
    return picture;
}

MP4::CoverArtList toCoverArtList(const std::vector<Picture>& pictures)
{
    MP4::CoverArtList list;
    for (const Picture& picture : pictures) {
        list.append(MP4::CoverArt(coverFormatOf(picture), picture.data));
    }
    return list;
}

// --- ID3v2 ---------------------------------------------------------------------------------

// The tag's frames as plain pointers. A copy of its FrameList would share the list's data, and
// with it the duty to delete every frame once the tag's own list has detached.
std::vector<ID3v2::Frame*> framesOf(const ID3v2::Tag& tag)
{
    const ID3v2::FrameList& frames = tag.frameList();
    return {frames.begin(), frames.end()};
}

bool isTimeCoded(const ID3v2::Frame& frame)
{
    return std::any_of(kTimeCodedFrames.begin(), kTimeCodedFrames.end(),
                       [&](const char* id) { return frame.frameID() == id; });
}

// Whether TagLib maps the frame to a property, asked through a tag that holds only this frame
// (a frame does not answer that itself).
bool hasPropertyName(ID3v2::Frame* frame)
{
    ID3v2::Tag probe;
    probe.addFrame(frame);
    const bool named = probe.properties().unsupportedData().isEmpty();
    probe.removeFrame(frame, false);
    return named;
}

bool isOneOf(const ID3v2::Frame& frame, const char* const* first, const char* const* last)
{
    return std::any_of(first, last, [&](const char* id) { return frame.frameID() == id; });
}

bool isDatePart(const ID3v2::Frame& frame)
{
    return isOneOf(frame, kDatePartFrames.begin(), kDatePartFrames.end());
}

// The field of a comment, lyrics or user text frame, whose description is part of its key.
PropertyMap describedField(const ID3v2::Frame& frame)
{
    if (const auto* text = dynamic_cast<const ID3v2::UserTextIdentificationFrame*>(&frame)) {
        return text->asProperties();
    }
    if (const auto* comment = dynamic_cast<const ID3v2::CommentsFrame*>(&frame)) {
        return comment->asProperties();
    }
    if (const auto* lyrics = dynamic_cast<const ID3v2::UnsynchronizedLyricsFrame*>(&frame)) {
        return lyrics->asProperties();
    }
    return PropertyMap();
}

// The key of a comment, lyrics or user text frame's field; empty for other frames and for
// those without a field.
String describedKey(const ID3v2::Frame& frame)
{
    const PropertyMap field = describedField(frame);
    return field.size() == 1 && field.unsupportedData().isEmpty() ? field.begin()->first : String();
}

String descriptionOf(const ID3v2::Frame& frame)
{
    if (const auto* text = dynamic_cast<const ID3v2::UserTextIdentificationFrame*>(&frame)) {
        return text->description();
    }
    if (const auto* comment = dynamic_cast<const ID3v2::CommentsFrame*>(&frame)) {
        return comment->description();
    }
    if (const auto* lyrics = dynamic_cast<const ID3v2::UnsynchronizedLyricsFrame*>(&frame)) {
        return lyrics->description();
    }
    return String();
}

void setDescription(ID3v2::Frame& frame, const String& description)
{
    if (auto* text = dynamic_cast<ID3v2::UserTextIdentificationFrame*>(&frame)) {
        text->setDescription(description);
    } else if (auto* comment = dynamic_cast<ID3v2::CommentsFrame*>(&frame)) {
        comment->setDescription(description);
    } else if (auto* lyrics = dynamic_cast<ID3v2::UnsynchronizedLyricsFrame*>(&frame)) {
        lyrics->setDescription(description);
    }
}

// "replaygain_track_gain" for the key REPLAYGAIN_TRACK_GAIN, "COMMENT:iTunNORM" for
// COMMENT:ITUNNORM: the key with the description's own case where the key ends with it.
void noteDescriptionSpelling(const String& key, const String& description, TagSet& set)
{
    const String upper = description.upper();
    if (!upper.isEmpty() && upper.size() <= key.size() &&
        key.substr(key.size() - upper.size()) == upper) {
        noteSpelling(key.substr(0, key.size() - upper.size()) + description, set);
    }
}

// The key's spelling for a description that ends it: "iTunNORM" out of "COMMENT:iTunNORM" for
// "ITUNNORM". Empty where the description is another name of the key (TXXX "Acoustid Id" for
// the key ACOUSTID_ID, which a source spelled "acoustid_id").
String spelledDescription(const String& spelledKey, const String& description)
{
    if (description.isEmpty() || description.size() > spelledKey.size()) {
        return String();
    }
    const String tail = spelledKey.substr(spelledKey.size() - description.size());
    return tail.upper() == description.upper() ? tail : String();
}

// Gives the frames the fields made their description as the source spelled it.
void spellDescriptions(ID3v2::Tag& tag, const std::map<String, String>& spellings)
{
    for (ID3v2::Frame* frame : framesOf(tag)) {
        const auto spelled = spellings.find(describedKey(*frame));
        if (spelled == spellings.end()) {
            continue;
        }
        const String description = spelledDescription(spelled->second, descriptionOf(*frame));
        if (!description.isEmpty()) {
            setDescription(*frame, description);
        }
    }
}

// The text of an ID3v2.2 frame TagLib does not know (an encoding byte, then the text).
String unknownFrameText(const ID3v2::Tag& tag, const char* id)
{
    const ID3v2::FrameList& frames = tag.frameList(id);
    const auto* frame =
        frames.size() == 1 ? dynamic_cast<const ID3v2::UnknownFrame*>(frames.front()) : nullptr;
    if (frame == nullptr || frame->data().size() < 2 ||
        static_cast<unsigned char>(frame->data()[0]) > String::UTF8) {
        return String();
    }
    const auto encoding = static_cast<String::Type>(frame->data()[0]);
    return String(frame->data().mid(1), encoding).substr(0, 4);
}

bool isFourDigits(const String& text)
{
    return text.size() == 4 &&
           std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// TagLib joins an ID3v2.3 tag's day and month (TDAT, "DDMM") and time (TIME, "HHMM") to its year,
// but leaves the ID3v2.2 frames TDA and TIM aside. The date is given as TagLib gives a joined
// one: "1999-12-24 18:30".
void foldId3v22Date(const ID3v2::Tag& tag, PropertyMap& fields)
{
    const auto date = fields.find("DATE");
    if (tag.header()->majorVersion() != 2 || date == fields.end() || date->second.size() != 1 ||
        !isFourDigits(date->second.front())) {
        return;
    }
    const String dayMonth = unknownFrameText(tag, "TDA");
    if (!isFourDigits(dayMonth)) {
        return;
    }
    String joined =
        date->second.front() + "-" + dayMonth.substr(2, 2) + "-" + dayMonth.substr(0, 2);
    const String time = unknownFrameText(tag, "TIM");
    if (isFourDigits(time)) {
        joined += " " + time.substr(0, 2) + ":" + time.substr(2, 2);
    }
    fields.replace("DATE", StringList(joined));
}

// Moves the pictures, the comment, lyrics and user text frames, and the frames without a
// property name out of the tag into the set. The tag's fields must have been read before.
void takeId3v2Extras(ID3v2::Tag& tag, TagSet& set)
{
    for (ID3v2::Frame* frame : framesOf(tag)) {
        const String described = describedKey(*frame);
        if (const auto* apic = dynamic_cast<const ID3v2::AttachedPictureFrame*>(frame)) {
            set.pictures.push_back(fromApic(*apic));
        } else if (!described.isEmpty()) {
            noteDescriptionSpelling(described, descriptionOf(*frame), set);
            tag.removeFrame(frame, false);
            set.describedFrames.emplace_back(frame);
        } else if (!isTimeCoded(*frame) && !isDatePart(*frame) && !hasPropertyName(frame)) {
            tag.removeFrame(frame, false);
            set.id3Frames.emplace_back(frame);
        }
    }
}

TagSet takeId3v2(ID3v2::Tag& tag)
{
    TagSet set;
    set.fields = tag.properties();
    foldId3v22Date(tag, set.fields);
    takeId3v2Extras(tag, set);
    return set;
}

void removeAllFrames(ID3v2::Tag& tag)
{
    for (ID3v2::Frame* frame : framesOf(tag)) {
        tag.removeFrame(frame);
    }
}

// The source's comment, lyrics and user text frames whose field still holds what they say, in
// their order; their fields are taken out of `fields`. A field that changed (the tuning marker,
// a dropped one) is written from `fields` instead.
std::vector<std::unique_ptr<ID3v2::Frame>> takeUnchangedDescribedFrames(TagSet& set,
                                                                        PropertyMap& fields)
{
    PropertyMap framesSay;
    for (const auto& frame : set.describedFrames) {
        framesSay.merge(describedField(*frame));
    }
    std::vector<std::unique_ptr<ID3v2::Frame>> unchanged;
    for (auto& frame : set.describedFrames) {
        const String key = describedKey(*frame);
        const auto field = set.fields.find(key);
        if (field != set.fields.end() && field->second == framesSay[key]) {
            fields.erase(key);
            unchanged.push_back(std::move(frame));
        }
    }
    set.describedFrames.clear();
    return unchanged;
}

// TagLib gives a timestamp as "2001-05-06 10:30" and writes the field back so; ID3v2.4 wants
// the "T" between date and time.
void writeTimestampsAsIso(ID3v2::Tag& tag)
{
    for (ID3v2::Frame* frame : framesOf(tag)) {
        auto* text = dynamic_cast<ID3v2::TextIdentificationFrame*>(frame);
        if (text == nullptr || !isOneOf(*frame, kTimestampFrames.begin(), kTimestampFrames.end())) {
            continue;
        }
        StringList values = text->fieldList();
        for (String& value : values) {
            if (value.size() > 10 && value[10] == L' ') {
                value = value.substr(0, 10) + "T" + value.substr(11);
            }
        }
        text->setText(values);
    }
}

void fillId3v2(ID3v2::Tag& tag, TagSet& set)
{
    removeAllFrames(tag);
    PropertyMap fields = set.fields;
    auto described = takeUnchangedDescribedFrames(set, fields);
    tag.setProperties(fields);
    spellDescriptions(tag, set.spellings);
    writeTimestampsAsIso(tag);
    for (auto& frame : described) {
        tag.addFrame(frame.release());
    }
    for (auto& frame : set.id3Frames) {
        tag.addFrame(frame.release());
    }
    for (const Picture& picture : set.pictures) {
        tag.addFrame(toApic(picture).release());
    }
}

// --- AAC (ADTS) ----------------------------------------------------------------------------

// Byte length of the ID3v2 tag a stream starts with, header and footer included: 0 without one,
// -1 when the tag claims more bytes than the stream holds.
long leadingId3v2Size(TagLib::IOStream& stream)
{
    stream.seek(0);
    const ByteVector head = stream.readBlock(ID3v2::Header::size());
    if (!head.startsWith(ID3v2::Header::fileIdentifier())) {
        return 0;
    }
    const ID3v2::Header header(head);
    const auto size = static_cast<long>(header.completeTagSize());
    return size <= stream.length() ? size : -1;
}

// Whether an ADTS frame header (sync word, layer 0) starts at the offset.
bool startsAdtsFrame(TagLib::IOStream& stream, long offset)
{
    stream.seek(offset);
    const ByteVector sync = stream.readBlock(2);
    return sync.size() == 2 && static_cast<unsigned char>(sync[0]) == 0xFF &&
           (static_cast<unsigned char>(sync[1]) & 0xF6) == 0xF0;
}

// TagLib has no ADTS file type, and its MPEG type would look for tags past the first frame
// too. Only a tag at the very start is taken, read from a copy of its bytes alone.
std::optional<TagSet> readAdts(TagLib::IOStream& stream)
{
    const long tagSize = leadingId3v2Size(stream);
    if (tagSize < 0 || !startsAdtsFrame(stream, tagSize)) {
        return std::nullopt;
    }
    if (tagSize == 0) {
        return TagSet();
    }
    stream.seek(0);
    TagLib::ByteVectorStream tagBytes(stream.readBlock(static_cast<unsigned long>(tagSize)));
    TagLib::MPEG::File tagOnly(&tagBytes, ID3v2::FrameFactory::instance(), false);
    if (!tagOnly.hasID3v2Tag()) {
        return std::nullopt;
    }
    return takeId3v2(*tagOnly.ID3v2Tag());
}

// Replaces the tag at the start (if any) with the new one and checks that an ADTS frame still
// follows it.
bool writeAdts(TagLib::FileStream& stream, TagSet& set)
{
    const long oldSize = leadingId3v2Size(stream);
    if (oldSize < 0 || !startsAdtsFrame(stream, oldSize)) {
        return false;
    }
    ID3v2::Tag tag;
    fillId3v2(tag, set);
    const ByteVector block = tag.isEmpty() ? ByteVector() : tag.render(ID3v2::v4);
    stream.insert(block, 0, static_cast<unsigned long>(oldSize));
    const long newSize = leadingId3v2Size(stream);
    return newSize == static_cast<long>(block.size()) && startsAdtsFrame(stream, newSize);
}

// --- The other families --------------------------------------------------------------------

// Whether the stream starts as a RIFF or IFF file of the given form ("RIFF", size, "WAVE"):
// TagLib opens any bytes as such a file.
bool isChunkFile(TagLib::IOStream& stream, const char* container,
                 std::initializer_list<const char*> forms)
{
    stream.seek(0);
    const ByteVector head = stream.readBlock(12);
    // TagLib's RIFF reader starts where the stream stands.
    stream.seek(0);
    return head.size() == 12 && head.startsWith(container) &&
           std::any_of(forms.begin(), forms.end(),
                       [&](const char* form) { return head.containsAt(form, 8); });
}

bool isWav(TagLib::IOStream& stream)
{
    return isChunkFile(stream, "RIFF", {"WAVE"});
}

bool isAiff(TagLib::IOStream& stream)
{
    return isChunkFile(stream, "FORM", {"AIFF", "AIFC"});
}

// An APE item key keeps its case ("replaygain_track_gain") where its field is taken in.
void mergeApe(const TagLib::APE::Tag& ape, TagSet& set)
{
    const PropertyMap fields = ape.properties();
    for (const auto& item : ape.itemListMap()) {
        const String key = item.second.key();
        if (fields.contains(key.upper()) && !set.fields.contains(key.upper())) {
            noteSpelling(key, set);
        }
    }
    addMissingFields(set.fields, fields);
}

std::optional<TagSet> readMpeg(TagLib::IOStream& stream)
{
    TagLib::MPEG::File file(&stream, ID3v2::FrameFactory::instance(), false);
    if (!file.isValid()) {
        return std::nullopt;
    }
    // ID3v2 first; what it lacks comes from APE, then from ID3v1.
    TagSet set = file.hasID3v2Tag() ? takeId3v2(*file.ID3v2Tag()) : TagSet();
    if (file.hasAPETag()) {
        mergeApe(*file.APETag(), set);
    }
    if (file.hasID3v1Tag()) {
        addMissingFields(set.fields, file.ID3v1Tag()->properties());
    }
    return set;
}

bool writeMpeg(TagLib::IOStream& stream, TagSet& set)
{
    TagLib::MPEG::File file(&stream, ID3v2::FrameFactory::instance(), false);
    if (!file.isValid()) {
        return false;
    }
    fillId3v2(*file.ID3v2Tag(true), set);
    return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, ID3v2::v4,
                     TagLib::File::DoNotDuplicate);
}

std::optional<TagSet> readWav(TagLib::IOStream& stream)
{
    if (!isWav(stream)) {
        return std::nullopt;
    }
    TagLib::RIFF::WAV::File file(&stream, false);
    if (!file.isValid()) {
        return std::nullopt;
    }
    // The ID3v2 chunk first; what it lacks comes from the INFO list.
    TagSet set = file.hasID3v2Tag() ? takeId3v2(*file.ID3v2Tag()) : TagSet();
    if (file.hasInfoTag()) {
        addMissingFields(set.fields, file.InfoTag()->properties());
    }
    return set;
}

bool writeWav(TagLib::IOStream& stream, TagSet& set)
{
    if (!isWav(stream)) {
        return false;
    }
    TagLib::RIFF::WAV::File file(&stream, false);
    if (!file.isValid()) {
        return false;
    }
    fillId3v2(*file.ID3v2Tag(), set);
    // Many programs read a WAV file's INFO list only; it holds the common fields.
    file.InfoTag()->setProperties(set.fields);
    return file.save(TagLib::RIFF::WAV::File::AllTags, TagLib::File::StripOthers, ID3v2::v4);
}

std::optional<TagSet> readAiff(TagLib::IOStream& stream)
{
    if (!isAiff(stream)) {
        return std::nullopt;
    }
    TagLib::RIFF::AIFF::File file(&stream, false);
    if (!file.isValid()) {
        return std::nullopt;
    }
    return file.hasID3v2Tag() ? takeId3v2(*file.tag()) : TagSet();
}

bool writeAiff(TagLib::IOStream& stream, TagSet& set)
{
    if (!isAiff(stream)) {
        return false;
    }
    TagLib::RIFF::AIFF::File file(&stream, false);
    if (!file.isValid()) {
        return false;
    }
    fillId3v2(*file.tag(), set);
    return file.save(ID3v2::v4);
}

// --- FLAC field names ----------------------------------------------------------------------

// TagLib reads and writes a Vorbis comment's field names in upper case. Players ought to match
// them in any case, but some look up "replaygain_track_gain" as it is spelled, so the names are
// read from the comment block itself, and the copy's names are given the source's spelling once
// TagLib has written them (a change of case moves no byte).

struct VorbisName {
    long offset = 0;  // in the stream
    ByteVector bytes;
};

constexpr int kVorbisCommentBlock = 4;

// The field names of a Vorbis comment block (vendor string, field count, then each field as
// its length and "NAME=value"); empty where the block is damaged.
std::vector<VorbisName> namesInComment(const ByteVector& block, long blockOffset)
{
    unsigned int position = 0;
    // A little-endian 32-bit number; false past the block's end.
    const auto readNumber = [&](unsigned int& number) {
        if (block.size() < 4 || position > block.size() - 4) {
            return false;
        }
        number = block.toUInt(position, false);
        position += 4;
        return true;
    };
    unsigned int vendorLength = 0;
    unsigned int count = 0;
    if (!readNumber(vendorLength) || vendorLength > block.size() - position) {
        return {};
    }
    position += vendorLength;
    if (!readNumber(count)) {
        return {};
    }
    std::vector<VorbisName> names;
    for (unsigned int field = 0; field < count; ++field) {
        unsigned int length = 0;
        if (!readNumber(length) || length > block.size() - position) {
            return {};
        }
        const ByteVector text = block.mid(position, length);
        const int equals = text.find('=');
        if (equals > 0) {
            names.push_back({blockOffset + static_cast<long>(position),
                             text.mid(0, static_cast<unsigned int>(equals))});
        }
        position += length;
    }
    return names;
}

// The field names of a FLAC stream's Vorbis comment with their offsets; empty without one.
std::vector<VorbisName> vorbisNames(TagLib::IOStream& stream)
{
    long offset = std::max(0L, leadingId3v2Size(stream));
    stream.seek(offset);
    if (stream.readBlock(4) != "fLaC") {
        return {};
    }
    offset += 4;
    for (;;) {
        stream.seek(offset);
        const ByteVector header = stream.readBlock(4);
        if (header.size() != 4) {
            return {};
        }
        const auto size = header.toUInt(1, 3, true);
        offset += 4;
        if ((header[0] & 0x7F) == kVorbisCommentBlock) {
            const ByteVector block = stream.readBlock(size);
            return block.size() == size ? namesInComment(block, offset) : std::vector<VorbisName>();
        }
        if ((header[0] & 0x80) != 0) {  // the last block
            return {};
        }
        offset += static_cast<long>(size);
    }
}

void respellVorbisNames(TagLib::IOStream& stream, const std::map<String, String>& spellings)
{
    for (const VorbisName& name : vorbisNames(stream)) {
        const auto spelled = spellings.find(String(name.bytes, String::UTF8).upper());
        if (spelled == spellings.end()) {
            continue;
        }
        const ByteVector bytes = spelled->second.data(String::UTF8);
        if (bytes.size() == name.bytes.size() && bytes != name.bytes) {
            stream.seek(name.offset);
            stream.writeBlock(bytes);
        }
    }
}

std::optional<TagSet> readFlac(TagLib::IOStream& stream)
{
    TagLib::FLAC::File file(&stream, ID3v2::FrameFactory::instance(), false);
    if (!file.isValid()) {
        return std::nullopt;
    }
    TagSet set;
    set.fields = file.properties();
    for (const TagLib::FLAC::Picture* block : file.pictureList()) {
        set.pictures.push_back(fromFlacPicture(*block));
    }
    for (const VorbisName& name : vorbisNames(stream)) {
        noteSpelling(String(name.bytes, String::UTF8), set);
    }
    return set;
}

bool writeFlac(TagLib::IOStream& stream, TagSet& set)
{
    TagLib::FLAC::File file(&stream, ID3v2::FrameFactory::instance(), false);
    if (!file.isValid()) {
        return false;
    }
    TagLib::Ogg::XiphComment& comment = *file.xiphComment(true);
    comment.removeAllFields();
    comment.setProperties(set.fields);
    file.removePictures();
    for (const Picture& picture : set.pictures) {
        file.addPicture(toFlacPicture(picture).release());
    }
    file.strip(TagLib::FLAC::File::ID3v1 | TagLib::FLAC::File::ID3v2);
    if (!file.save()) {
        return false;
    }
    respellVorbisNames(stream, set.spellings);
    return true;
}

// An atom without a property name: a cover, a free-form text (which becomes a field, so other
// families get it too), or anything else, kept as it is for an MP4 target.
void takeMp4Item(const String& key, const MP4::Item& item, TagSet& set)
{
    const String freeForm = kItunesFreeForm;
    if (key == kCoverArtAtom) {
        for (const MP4::CoverArt& art : item.toCoverArtList()) {
            set.pictures.push_back(fromCoverArt(art));
        }
    } else if (key.startsWith(freeForm) && !item.toStringList().isEmpty()) {
        const String name = key.substr(freeForm.size());
        set.fields.replace(name, item.toStringList());
        noteSpelling(name, set);
    } else {
        set.mp4Items.emplace_back(key, item);
    }
}

std::optional<TagSet> readMp4(TagLib::IOStream& stream)
{
    TagLib::MP4::File file(&stream, false);
    if (!file.isValid()) {
        return std::nullopt;
    }
    TagSet set;
    if (file.tag() == nullptr) {
        return set;
    }
    const MP4::Tag& tag = *file.tag();
    set.fields = tag.properties();
    const MP4::ItemMap& items = tag.itemMap();
    for (const String& key : set.fields.unsupportedData()) {
        const auto item = items.find(key);
        if (item != items.end()) {
            takeMp4Item(key, item->second, set);
        }
    }
    return set;
}

String freeFormAtom(const TagSet& set, const String& key)
{
    const auto spelled = set.spellings.find(key);
    return String(kItunesFreeForm) + (spelled != set.spellings.end() ? spelled->second : key);
}

void removeAllItems(MP4::Tag& tag)
{
    const MP4::ItemMap items = tag.itemMap();
    for (const auto& item : items) {
        tag.removeItem(item.first);
    }
}

bool writeMp4(TagLib::IOStream& stream, TagSet& set)
{
    TagLib::MP4::File file(&stream, false);
    if (!file.isValid() || file.tag() == nullptr) {
        return false;
    }
    MP4::Tag& tag = *file.tag();
    removeAllItems(tag);
    // What has no atom of its own (REPLAYGAIN_*, TUNING, ...) goes into a free-form atom.
    const PropertyMap leftOver = tag.setProperties(set.fields);
    for (const auto& [key, values] : leftOver) {
        tag.setItem(freeFormAtom(set, key), values);
    }
    if (!set.pictures.empty()) {
        tag.setItem(kCoverArtAtom, toCoverArtList(set.pictures));
    }
    for (const auto& [key, item] : set.mp4Items) {
        tag.setItem(key, item);
    }
    return file.save();
}

// --- Files ---------------------------------------------------------------------------------

std::optional<TagSet> readTags(const QString& path)
{
    const Family family = familyOf(path);
    if (family == Family::None || !IsRegularFile(path)) {
        return std::nullopt;
    }
    const std::string name = toNativeBytes(path);
    TagLib::FileStream stream(name.c_str(), true);
    if (!stream.isOpen()) {
        return std::nullopt;
    }
    switch (family) {
        case Family::Mpeg: return readMpeg(stream);
        case Family::Adts: return readAdts(stream);
        case Family::Wav: return readWav(stream);
        case Family::Aiff: return readAiff(stream);
        case Family::Flac: return readFlac(stream);
        case Family::Mp4: return readMp4(stream);
        case Family::None: break;
    }
    return std::nullopt;
}

bool writeTags(const QString& path, TagSet& set)
{
    const Family family = familyOf(path);
    if (family == Family::None || !IsRegularFile(path)) {
        return false;
    }
    const std::string name = toNativeBytes(path);
    TagLib::FileStream stream(name.c_str(), false);
    if (!stream.isOpen() || stream.readOnly()) {
        return false;
    }
    switch (family) {
        case Family::Mpeg: return writeMpeg(stream, set);
        case Family::Adts: return writeAdts(stream, set);
        case Family::Wav: return writeWav(stream, set);
        case Family::Aiff: return writeAiff(stream, set);
        case Family::Flac: return writeFlac(stream, set);
        case Family::Mp4: return writeMp4(stream, set);
        case Family::None: break;
    }
    return false;
}

void dropSourceStreamFields(PropertyMap& fields)
{
    for (const char* key : kSourceStreamFields) {
        fields.erase(key);
    }
}

// The marker replaces a copied one, whatever its spelling was.
void setTuning(TagSet& set, const QString& tuning)
{
    set.fields.erase(kTuningKey);
    set.spellings.erase(kTuningKey);
    if (!tuning.isEmpty()) {
        set.fields.replace(kTuningKey, StringList(toTagString(tuning)));
    }
}

// A pitch as people write it: "440", "440.5", "261.63".
QString pitchText(double hertz)
{
    QString text = QString::number(hertz, 'f', 2);
    while (text.endsWith(u'0')) {
        text.chop(1);
    }
    if (text.endsWith(u'.')) {
        text.chop(1);
    }
    return text;
}

// "528 Hz" out of "528 Hz (from 440 Hz)"; a marker of another shape stands as a whole.
QString earlierTarget(const QString& earlierTuning)
{
    const QString marker = earlierTuning.trimmed();
    const qsizetype from = marker.indexOf(QStringLiteral(" (from"));
    return from > 0 ? marker.left(from).trimmed() : marker;
}

}  // namespace

QString TuningText(int targetHz, double referenceHz, const QString& earlierTuning)
{
    const QString base =
        QStringLiteral("%1 Hz (from %2 Hz").arg(targetHz).arg(pitchText(referenceHz));
    const QString earlier = earlierTarget(earlierTuning);
    if (earlier.isEmpty()) {
        return base + u')';
    }
    return base + QStringLiteral("; source was already tuned to %1)").arg(earlier);
}

TagCopyResult CopyTags(const QString& source, const QString& target, const QString& tuning)
{
    TagCopyResult result;
    std::optional<TagSet> tags = readTags(source);
    result.sourceRead = tags.has_value();
    TagSet set = result.sourceRead ? std::move(*tags) : TagSet();
    dropSourceStreamFields(set.fields);
    setTuning(set, tuning);
    result.written = writeTags(target, set);
    return result;
}

QString ReadTuning(const QString& path)
{
    const std::optional<TagSet> tags = readTags(path);
    if (!tags || !tags->fields.contains(kTuningKey)) {
        return QString();
    }
    const StringList& values = tags->fields[kTuningKey];
    return values.isEmpty() ? QString() : fromTagString(values.front());
}

bool WriteTags(const QString& target, const QMap<QString, QStringList>& fields)
{
    TagSet set;
    for (auto field = fields.cbegin(); field != fields.cend(); ++field) {
        StringList values;
        for (const QString& value : field.value()) {
            values.append(toTagString(value));
        }
        if (!values.isEmpty()) {
            set.fields.replace(toTagString(field.key()), values);
        }
    }
    return writeTags(target, set);
}

}  // namespace qvr
