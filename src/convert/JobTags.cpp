#include "JobTags.h"

#include "TagCopy.h"

#include <cmath>

namespace qvr {
namespace {

const CdTrackTags* trackOf(const CdAlbum& album, const QString& wavPath)
{
    for (const CdTrackTags& track : album.tracks) {
        if (track.wavPath == wavPath) {
            return &track;
        }
    }
    return nullptr;
}

}  // namespace

QMap<QString, QStringList> CdTrackFields(const CdAlbum& album, const CdTrackTags& track,
                                         const QString& tuning)
{
    QMap<QString, QStringList> fields;
    const auto put = [&fields](const char* name, const QString& value) {
        if (!value.isEmpty()) {
            fields.insert(QString::fromLatin1(name), {value});
        }
    };
    put("ALBUM", album.album);
    put("TITLE", track.title);
    put("ARTIST", track.artist.isEmpty() ? album.artist : track.artist);
    put("ALBUMARTIST", album.artist);
    if (track.number > 0) {
        put("TRACKNUMBER", track.total > 0
                               ? QStringLiteral("%1/%2").arg(track.number).arg(track.total)
                               : QString::number(track.number));
    }
    put("TUNING", tuning);
    return fields;
}

bool TagOutput(const QString& source, const QString& output, const FrequencyState& frequency,
               const CdAlbum& cdTags)
{
    const QString tuning = TuningText(static_cast<int>(std::lround(frequency.TargetFrequency)),
                                      frequency.ReferencePitch, ReadTuning(source));
    if (const CdTrackTags* track = trackOf(cdTags, source)) {
        return WriteTags(output, CdTrackFields(cdTags, *track, tuning));
    }
    const TagCopyResult copied = CopyTags(source, output, tuning);
    return copied.sourceRead && copied.written;
}

}  // namespace qvr
