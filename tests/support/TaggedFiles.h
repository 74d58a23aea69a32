#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <taglib/tpropertymap.h>
#include <taglib/tstring.h>

#include <vector>

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

}  // namespace qvr::test
