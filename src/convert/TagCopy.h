#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace qvr {

// The tags of a re-tuned copy. The kind of a file is taken from its extension (see AudioKind),
// so a temporary name such as ".quorvane-123-0.part.flac" is tagged as FLAC. Every tag family
// is written the way its players expect: ID3v2.4 for MP3 (nothing else), an ID3v2 chunk for
// AIFF, an ID3v2 chunk and an INFO list for WAV, an ID3v2 tag before the first frame of an AAC
// (ADTS) file, Vorbis comments and PICTURE blocks for FLAC, iTunes atoms for M4A.

// The tuning a re-tuned copy carries, as a text: "432 Hz (from 440 Hz)". When the source already
// carried a tuning its target part is named too: "432 Hz (from 440 Hz; source was already tuned
// to 528 Hz)".
QString TuningText(int targetHz, double referenceHz, const QString& earlierTuning);

struct TagCopyResult {
    bool sourceRead = false;  // the source was a file of its kind whose tags could be read
    bool written = false;     // the target holds the copied tags and the tuning marker
};

// Replaces the target's tags with the source's: every text field, every picture (type, MIME
// type, description and bytes unchanged where the target's format holds them) and the frames
// and atoms only a format of the same family holds. Fields that describe the source's own audio
// stream (its length, encoder delay, time-coded frames) are left out, because the target's
// audio differs. The TUNING marker is set to `tuning`, replacing a copied one. A source whose
// tags cannot be read still gives a target with the marker. The source is only ever read.
TagCopyResult CopyTags(const QString& source, const QString& target, const QString& tuning);

// The source's TUNING value; empty without one.
QString ReadTuning(const QString& path);

// Writes the given text fields (property names such as "ALBUM", "TITLE", "ARTIST",
// "TRACKNUMBER" as "3/12", "TUNING") in place of the file's tags. False when the file cannot be
// written.
bool WriteTags(const QString& target, const QMap<QString, QStringList>& fields);

}  // namespace qvr
