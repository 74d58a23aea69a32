#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <taglib/tpropertymap.h>
#include <taglib/tstring.h>

#include <ostream>
#include <utility>
#include <vector>

// Test failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace qvr::test {

// Tag fields by TagLib's property names.
using Fields = QMap<QString, QStringList>;

struct Picture {
    int type = 0;  // ID3v2 / FLAC picture type: 3 is the front cover
    QString mimeType;
    QString description;
    QByteArray data;
    bool operator==(const Picture&) const = default;
};

// What a file's tags hold, read with TagLib in the family of tags its kind carries.
struct Tags {
    Fields fields;
    std::vector<Picture> pictures;
    int id3v2Version = 0;  // 0 without an ID3v2 tag
};

// TagLib's forms of a text and of fields.
TagLib::String TagText(const QString& text);
TagLib::PropertyMap PropertyMapOf(const Fields& fields);

// A 300x300 JPEG picture.
QByteArray coverJpeg();
// Every kind of field a tagged library file carries: texts, numbers, MusicBrainz, ReplayGain.
Fields sourceFields();
// Replaces a file's tags with the fields and, when given, a JPEG front cover named "Front", as
// the usual taggers write them for the file's kind (by its extension).
void tagFile(const QString& path, const Fields& fields, const QByteArray& cover = {});
// The fields and pictures of a file; free-form MP4 atoms count under their upper-case names.
Tags readTags(const QString& path);

// A frame of an ID3v2 tag as it stands there: comments (COMM), lyrics (USLT), user texts (TXXX)
// or plain texts ("TDRC", "TYER", ...).
struct Id3Frame {
    QString id;
    QString language;     // COMM and USLT
    QString description;  // COMM, USLT and TXXX
    QStringList text;
    bool operator==(const Id3Frame&) const = default;
};

inline void PrintTo(const Id3Frame& frame, std::ostream* out)
{
    *out << frame.id.toStdString() << " [" << frame.language.toStdString() << "] \""
         << frame.description.toStdString() << "\" = \"" << frame.text.join(u'|').toStdString()
         << '"';
}

// Adds the frames to the ID3v2 tag of an MP3, WAV, AIFF, AIF or AAC file (by its extension)
// (an AAC file's must have none yet) and saves the tag in ID3v2 version 3 or 4. An MP3's
// other tags stay as they are.
void addId3Frames(const QString& path, const std::vector<Id3Frame>& frames, int version);
// The frames of the given IDs in the file's ID3v2 tag, in their order.
std::vector<Id3Frame> id3Frames(const QString& path, const QStringList& ids);
// Gives an MP3 an ID3v1 and an APE tag (keys as given, case included) beside its ID3v2 tag.
void addId3v1AndApe(const QString& path, const Fields& id3v1,
                    const std::vector<std::pair<QString, QString>>& apeItems);
// Puts an ID3v2.2 tag, which TagLib cannot write, in front of an MP3's frames: text frames of
// three-letter IDs ("TYE", "TDA") with Latin-1 text.
void prependId3v22(const QString& path,
                   const std::vector<std::pair<QByteArray, QByteArray>>& frames);
// Gives a WAV an INFO list holding the fields, keeping its ID3v2 chunk.
void addInfoList(const QString& path, const Fields& fields);
// Writes a FLAC file's Vorbis comment with FFmpeg, which keeps the names as given
// ("replaygain_track_gain"); TagLib writes them in upper case.
void setVorbisComment(const QString& path, const std::vector<std::pair<QString, QString>>& fields);
// The field names of a FLAC file's Vorbis comment as they stand.
QStringList vorbisCommentNames(const QString& path);
// The free-form atom names of an M4A file ("replaygain_track_gain"), as they stand.
QStringList freeFormNames(const QString& path);
// Writes an M4A file's free-form atoms under the names as given.
void addFreeFormAtoms(const QString& path, const std::vector<std::pair<QString, QString>>& atoms);

}  // namespace qvr::test
