#include "TaggedFiles.h"

#include "platform/FileSystem.h"
#include "platform/NativePath.h"

#include <taglib/aifffile.h>
#include <taglib/apetag.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/flacfile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mp4tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>
#include <taglib/unsynchronizedlyricsframe.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <QBuffer>
#include <QImage>
#include <QProcess>

#include <memory>
#include <string>

namespace qvr::test {
namespace {

namespace ID3v2 = TagLib::ID3v2;

const TagLib::String kFreeForm = "----:com.apple.iTunes:";

}  // namespace

TagLib::String TagText(const QString& text)
{
    return TagLib::String(text.toStdString(), TagLib::String::UTF8);
}

namespace {

QString qString(const TagLib::String& text)
{
    return QString::fromStdString(text.to8Bit(true));
}

TagLib::ByteVector bytes(const QByteArray& data)
{
    return TagLib::ByteVector(data.constData(), static_cast<unsigned int>(data.size()));
}

QByteArray qBytes(const TagLib::ByteVector& data)
{
    return QByteArray(data.data(), data.size());
}

}  // namespace

TagLib::PropertyMap PropertyMapOf(const Fields& fields)
{
    TagLib::PropertyMap map;
    for (auto field = fields.cbegin(); field != fields.cend(); ++field) {
        TagLib::StringList values;
        for (const QString& value : field.value()) {
            values.append(TagText(value));
        }
        map.replace(TagText(field.key()), values);
    }
    return map;
}

namespace {

Fields fieldsOf(const TagLib::PropertyMap& map)
{
    Fields fields;
    for (const auto& [key, values] : map) {
        for (const TagLib::String& value : values) {
            fields[qString(key)] << qString(value);
        }
    }
    return fields;
}

QString extensionOf(const QString& path)
{
    return path.section(u'.', -1).toLower();
}

}  // namespace

QByteArray coverJpeg()
{
    QImage image(300, 300, QImage::Format_RGB32);
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 300; ++x) {
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
        }
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return jpeg;
}

Fields sourceFields()
{
    return {{"TITLE", {QStringLiteral("Clair de lune – Übung")}},
            {"ARTIST", {"Artist"}},
            {"ALBUMARTIST", {"Album Artist"}},
            {"ALBUM", {"Album"}},
            {"TRACKNUMBER", {"3/12"}},
            {"DISCNUMBER", {"1/2"}},
            {"DATE", {"1999"}},
            {"GENRE", {"Classical"}},
            {"COMPOSER", {"Composer"}},
            {"COMMENT", {"A comment"}},
            {"MUSICBRAINZ_TRACKID", {"5b11f4ce-a62d-471e-81fc-a69a8278c7da"}},
            {"REPLAYGAIN_TRACK_GAIN", {"-6.48 dB"}},
            {"REPLAYGAIN_TRACK_PEAK", {"0.988525"}},
            {"REPLAYGAIN_ALBUM_GAIN", {"-7.01 dB"}},
            {"REPLAYGAIN_ALBUM_PEAK", {"1.000000"}}};
}

namespace {

// --- Tagging a source as other programs would ----------------------------------------------

void putId3v2(ID3v2::Tag& tag, const Fields& fields, const QByteArray& cover)
{
    tag.setProperties(PropertyMapOf(fields));
    if (!cover.isEmpty()) {
        auto* frame = new ID3v2::AttachedPictureFrame;
        frame->setType(ID3v2::AttachedPictureFrame::FrontCover);
        frame->setMimeType("image/jpeg");
        frame->setDescription("Front");
        frame->setPicture(bytes(cover));
        tag.addFrame(frame);
    }
}

void tagMp4(const std::string& name, const Fields& fields, const QByteArray& cover)
{
    TagLib::MP4::File file(name.c_str());
    TagLib::MP4::Tag& tag = *file.tag();
    // Most taggers spell the free-form atoms in lower case.
    for (const auto& [key, values] : tag.setProperties(PropertyMapOf(fields))) {
        tag.setItem(kFreeForm + TagText(qString(key).toLower()), values);
    }
    if (!cover.isEmpty()) {
        TagLib::MP4::CoverArtList art;
        art.append(TagLib::MP4::CoverArt(TagLib::MP4::CoverArt::JPEG, bytes(cover)));
        tag.setItem("covr", art);
    }
    file.save();
}

void tagFlac(const std::string& name, const Fields& fields, const QByteArray& cover)
{
    TagLib::FLAC::File file(name.c_str(), ID3v2::FrameFactory::instance());
    file.xiphComment(true)->setProperties(PropertyMapOf(fields));
    file.removePictures();
    if (!cover.isEmpty()) {
        auto* picture = new TagLib::FLAC::Picture;
        picture->setType(TagLib::FLAC::Picture::FrontCover);
        picture->setMimeType("image/jpeg");
        picture->setDescription("Front");
        picture->setData(bytes(cover));
        file.addPicture(picture);
    }
    file.save();
}

// The common way to tag ADTS: an ID3v2 tag in front of the first frame.
void tagAdts(const QString& path, const Fields& fields, const QByteArray& cover)
{
    ID3v2::Tag tag;
    putId3v2(tag, fields, cover);
    WriteFileBytes(path, qBytes(tag.render()) + ReadFileBytes(path).value_or(QByteArray()));
}

}  // namespace

void tagFile(const QString& path, const Fields& fields, const QByteArray& cover)
{
    const std::string name = toNativeBytes(path);
    const QString extension = extensionOf(path);
    if (extension == QStringLiteral("mp3")) {
        TagLib::MPEG::File file(name.c_str());
        putId3v2(*file.ID3v2Tag(true), fields, cover);
        // An older version than the copy is written in.
        file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, ID3v2::v3);
    } else if (extension == QStringLiteral("wav")) {
        TagLib::RIFF::WAV::File file(name.c_str());
        putId3v2(*file.ID3v2Tag(), fields, cover);
        file.save();
    } else if (extension.startsWith(QStringLiteral("aif"))) {
        TagLib::RIFF::AIFF::File file(name.c_str());
        putId3v2(*file.tag(), fields, cover);
        file.save();
    } else if (extension == QStringLiteral("flac")) {
        tagFlac(name, fields, cover);
    } else if (extension == QStringLiteral("m4a")) {
        tagMp4(name, fields, cover);
    } else if (extension == QStringLiteral("aac")) {
        tagAdts(path, fields, cover);
    }
}

namespace {

// --- Reading back what a file holds --------------------------------------------------------

Tags id3v2Tags(ID3v2::Tag* tag)
{
    Tags tags;
    if (tag == nullptr) {
        return tags;
    }
    tags.fields = fieldsOf(tag->properties());
    tags.id3v2Version = static_cast<int>(tag->header()->majorVersion());
    for (const ID3v2::Frame* frame : tag->frameListMap()["APIC"]) {
        const auto& apic = dynamic_cast<const ID3v2::AttachedPictureFrame&>(*frame);
        tags.pictures.push_back({static_cast<int>(apic.type()), qString(apic.mimeType()),
                                 qString(apic.description()), qBytes(apic.picture())});
    }
    return tags;
}

Tags flacTags(const std::string& name)
{
    TagLib::FLAC::File file(name.c_str(), ID3v2::FrameFactory::instance(), false);
    Tags tags{fieldsOf(file.properties()), {}, 0};
    for (const TagLib::FLAC::Picture* block : file.pictureList()) {
        tags.pictures.push_back({static_cast<int>(block->type()), qString(block->mimeType()),
                                 qString(block->description()), qBytes(block->data())});
    }
    return tags;
}

// Free-form atoms without a property name count as fields under their upper-case name.
Tags mp4Tags(const std::string& name)
{
    TagLib::MP4::File file(name.c_str(), false);
    const TagLib::PropertyMap properties = file.tag()->properties();
    Tags tags{fieldsOf(properties), {}, 0};
    const TagLib::MP4::ItemMap& items = file.tag()->itemMap();
    for (const TagLib::String& key : properties.unsupportedData()) {
        if (key.startsWith(kFreeForm)) {
            QStringList& values = tags.fields[qString(key.substr(kFreeForm.size())).toUpper()];
            for (const TagLib::String& value : items[key].toStringList()) {
                values << qString(value);
            }
        }
    }
    if (items.contains("covr")) {
        for (const TagLib::MP4::CoverArt& art : items["covr"].toCoverArtList()) {
            const QString mime = art.format() == TagLib::MP4::CoverArt::JPEG
                                     ? QStringLiteral("image/jpeg")
                                     : QStringLiteral("other");
            tags.pictures.push_back({3, mime, QString(), qBytes(art.data())});
        }
    }
    return tags;
}

}  // namespace

Tags readTags(const QString& path)
{
    const std::string name = toNativeBytes(path);
    const QString extension = extensionOf(path);
    if (extension == QStringLiteral("mp3") || extension == QStringLiteral("aac")) {
        TagLib::MPEG::File file(name.c_str(), false);
        return id3v2Tags(file.ID3v2Tag());
    }
    if (extension == QStringLiteral("wav")) {
        TagLib::RIFF::WAV::File file(name.c_str(), false);
        return id3v2Tags(file.hasID3v2Tag() ? file.ID3v2Tag() : nullptr);
    }
    if (extension.startsWith(QStringLiteral("aif"))) {
        TagLib::RIFF::AIFF::File file(name.c_str(), false);
        return id3v2Tags(file.hasID3v2Tag() ? file.tag() : nullptr);
    }
    return extension == QStringLiteral("flac") ? flacTags(name) : mp4Tags(name);
}

namespace {

// --- Frames as they stand ------------------------------------------------------------------

TagLib::StringList tagTexts(const QStringList& texts)
{
    TagLib::StringList list;
    for (const QString& text : texts) {
        list.append(TagText(text));
    }
    return list;
}

QStringList qTexts(const TagLib::StringList& texts)
{
    QStringList list;
    for (const TagLib::String& text : texts) {
        list << qString(text);
    }
    return list;
}

TagLib::ByteVector latin1(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return TagLib::ByteVector(bytes.constData(), static_cast<unsigned int>(bytes.size()));
}

ID3v2::Frame* makeFrame(const Id3Frame& given)
{
    const auto utf8 = TagLib::String::UTF8;
    if (given.id == QStringLiteral("COMM")) {
        auto* frame = new ID3v2::CommentsFrame(utf8);
        frame->setLanguage(latin1(given.language));
        frame->setDescription(TagText(given.description));
        frame->setText(TagText(given.text.join(QString())));
        return frame;
    }
    if (given.id == QStringLiteral("USLT")) {
        auto* frame = new ID3v2::UnsynchronizedLyricsFrame(utf8);
        frame->setLanguage(latin1(given.language));
        frame->setDescription(TagText(given.description));
        frame->setText(TagText(given.text.join(QString())));
        return frame;
    }
    if (given.id == QStringLiteral("TXXX")) {
        return new ID3v2::UserTextIdentificationFrame(TagText(given.description),
                                                      tagTexts(given.text), utf8);
    }
    auto* frame = new ID3v2::TextIdentificationFrame(latin1(given.id), utf8);
    frame->setText(tagTexts(given.text));
    return frame;
}

Id3Frame describe(const ID3v2::Frame& frame)
{
    Id3Frame found{QString::fromLatin1(frame.frameID().data(), frame.frameID().size()), {}, {}, {}};
    if (const auto* comment = dynamic_cast<const ID3v2::CommentsFrame*>(&frame)) {
        found.language =
            QString::fromLatin1(comment->language().data(), comment->language().size());
        found.description = qString(comment->description());
        found.text = QStringList{qString(comment->text())};
    } else if (const auto* lyrics = dynamic_cast<const ID3v2::UnsynchronizedLyricsFrame*>(&frame)) {
        found.language = QString::fromLatin1(lyrics->language().data(), lyrics->language().size());
        found.description = qString(lyrics->description());
        found.text = QStringList{qString(lyrics->text())};
    } else if (const auto* user = dynamic_cast<const ID3v2::UserTextIdentificationFrame*>(&frame)) {
        found.description = qString(user->description());
        found.text = qTexts(user->fieldList());
        found.text.removeFirst();  // the description
    } else if (const auto* text = dynamic_cast<const ID3v2::TextIdentificationFrame*>(&frame)) {
        found.text = qTexts(text->fieldList());
    }
    return found;
}

void putFrames(ID3v2::Tag& tag, const std::vector<Id3Frame>& frames)
{
    for (const Id3Frame& frame : frames) {
        tag.addFrame(makeFrame(frame));
    }
}

std::vector<Id3Frame> framesOf(ID3v2::Tag* tag, const QStringList& ids)
{
    std::vector<Id3Frame> found;
    if (tag == nullptr) {
        return found;
    }
    for (const ID3v2::Frame* frame : tag->frameList()) {
        Id3Frame described = describe(*frame);
        if (ids.contains(described.id)) {
            found.push_back(std::move(described));
        }
    }
    return found;
}

// A tag in front of an ADTS file that has none yet.
void addAdtsFrames(const QString& path, const std::vector<Id3Frame>& frames, ID3v2::Version version)
{
    ID3v2::Tag tag;
    putFrames(tag, frames);
    WriteFileBytes(path, qBytes(tag.render(version)) + ReadFileBytes(path).value_or(QByteArray()));
}

}  // namespace

void addId3Frames(const QString& path, const std::vector<Id3Frame>& frames, int version)
{
    const std::string name = toNativeBytes(path);
    const QString extension = extensionOf(path);
    const ID3v2::Version id3Version = version == 3 ? ID3v2::v3 : ID3v2::v4;
    if (extension == QStringLiteral("mp3")) {
        TagLib::MPEG::File file(name.c_str());
        putFrames(*file.ID3v2Tag(true), frames);
        file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, id3Version,
                  TagLib::File::DoNotDuplicate);
    } else if (extension == QStringLiteral("wav")) {
        TagLib::RIFF::WAV::File file(name.c_str());
        putFrames(*file.ID3v2Tag(), frames);
        file.save(TagLib::RIFF::WAV::File::ID3v2, TagLib::File::StripNone, id3Version);
    } else if (extension.startsWith(QStringLiteral("aif"))) {
        TagLib::RIFF::AIFF::File file(name.c_str());
        putFrames(*file.tag(), frames);
        file.save(id3Version);
    } else if (extension == QStringLiteral("aac")) {
        addAdtsFrames(path, frames, id3Version);
    }
}

std::vector<Id3Frame> id3Frames(const QString& path, const QStringList& ids)
{
    const std::string name = toNativeBytes(path);
    const QString extension = extensionOf(path);
    if (extension == QStringLiteral("wav")) {
        TagLib::RIFF::WAV::File file(name.c_str(), false);
        return framesOf(file.hasID3v2Tag() ? file.ID3v2Tag() : nullptr, ids);
    }
    if (extension.startsWith(QStringLiteral("aif"))) {
        TagLib::RIFF::AIFF::File file(name.c_str(), false);
        return framesOf(file.hasID3v2Tag() ? file.tag() : nullptr, ids);
    }
    TagLib::MPEG::File file(name.c_str(), false);
    return framesOf(file.hasID3v2Tag() ? file.ID3v2Tag() : nullptr, ids);
}

void addId3v1AndApe(const QString& path, const Fields& id3v1,
                    const std::vector<std::pair<QString, QString>>& apeItems)
{
    TagLib::MPEG::File file(toNativeBytes(path).c_str());
    file.ID3v1Tag(true)->setProperties(PropertyMapOf(id3v1));
    TagLib::APE::Tag& ape = *file.APETag(true);
    for (const auto& [key, value] : apeItems) {
        ape.addValue(TagText(key), TagText(value));
    }
    // Without DoNotDuplicate TagLib would copy these fields into the ID3v2 tag.
    file.save(TagLib::MPEG::File::ID3v1 | TagLib::MPEG::File::APE, TagLib::File::StripNone,
              ID3v2::v4, TagLib::File::DoNotDuplicate);
}

void prependId3v22(const QString& path,
                   const std::vector<std::pair<QByteArray, QByteArray>>& frames)
{
    QByteArray body;
    for (const auto& [id, text] : frames) {
        const qsizetype size = text.size() + 1;  // the encoding byte
        body += id + char(size >> 16) + char((size >> 8) & 0xFF) + char(size & 0xFF) + '\0' + text;
    }
    const qsizetype size = body.size();
    QByteArray header("ID3\x02\x00\x00", 6);
    for (const int shift : {21, 14, 7, 0}) {
        header += char((size >> shift) & 0x7F);  // sync-safe
    }
    WriteFileBytes(path, header + body + ReadFileBytes(path).value_or(QByteArray()));
}

void addInfoList(const QString& path, const Fields& fields)
{
    TagLib::RIFF::WAV::File file(toNativeBytes(path).c_str());
    file.InfoTag()->setProperties(PropertyMapOf(fields));
    file.save(TagLib::RIFF::WAV::File::Info, TagLib::File::StripNone);
}

QStringList freeFormNames(const QString& path)
{
    TagLib::MP4::File file(toNativeBytes(path).c_str(), false);
    QStringList names;
    for (const auto& [key, item] : file.tag()->itemMap()) {
        if (key.startsWith(kFreeForm)) {
            names << qString(key.substr(kFreeForm.size()));
        }
    }
    return names;
}

void addFreeFormAtoms(const QString& path, const std::vector<std::pair<QString, QString>>& atoms)
{
    TagLib::MP4::File file(toNativeBytes(path).c_str());
    for (const auto& [name, value] : atoms) {
        file.tag()->setItem(kFreeForm + TagText(name), TagLib::StringList(TagText(value)));
    }
    file.save();
}

namespace {

QByteArray runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return process.readAllStandardOutput();
}

}  // namespace

void setVorbisComment(const QString& path, const std::vector<std::pair<QString, QString>>& fields)
{
    const QString tagged = path + QStringLiteral(".tagged.flac");
    QStringList arguments = {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
                             QStringLiteral("-i"), path, QStringLiteral("-map_metadata"),
                             QStringLiteral("-1"), QStringLiteral("-c"), QStringLiteral("copy"),
                             // no "encoder" field
                             QStringLiteral("-fflags"), QStringLiteral("+bitexact")};
    for (const auto& [name, value] : fields) {
        arguments << QStringLiteral("-metadata") << name + u'=' + value;
    }
    runTool(QStringLiteral("ffmpeg"), arguments << tagged);
    CopyFileReplacing(tagged, path);
    RemoveFile(tagged);
}

QStringList vorbisCommentNames(const QString& path)
{
    const QByteArray listed = runTool(
        QStringLiteral("ffprobe"),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
         QStringLiteral("format_tags"), QStringLiteral("-of"), QStringLiteral("default"), path});
    QStringList names;
    for (const QByteArray& line : listed.split('\n')) {
        if (line.startsWith("TAG:") && line.contains('=')) {
            names << QString::fromUtf8(line.mid(4, line.indexOf('=') - 4));
        }
    }
    return names;
}

}  // namespace qvr::test
