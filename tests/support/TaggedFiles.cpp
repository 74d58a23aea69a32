#include "TaggedFiles.h"

#include "platform/FileSystem.h"
#include "platform/NativePath.h"

#include <taglib/aifffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mp4tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <QBuffer>
#include <QImage>

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

}  // namespace qvr::test
