#pragma once

#include "CdAlbum.h"
#include "Frequencies.h"

#include <QMap>
#include <QString>
#include <QStringList>

namespace qvr {

// The tags of a ripped track: the album the person named, the title as edited, the performer
// from the disc, "n/total" and the tuning.
QMap<QString, QStringList> CdTrackFields(const CdAlbum& album, const CdTrackTags& track,
                                         const QString& tuning);

// Gives a checked output, before it takes its name, the tags it should carry: the source's own
// with the tuning marker, or for a ripped track the disc's. False when they could not all be
// written; that never costs the file its conversion.
bool TagOutput(const QString& source, const QString& output, const FrequencyState& frequency,
               const CdAlbum& cdTags);

}  // namespace qvr
