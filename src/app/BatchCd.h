#pragma once

#include "cdrip/CdResult.h"
#include "cdrip/RippedDisc.h"

#include <QString>

#include <optional>
#include <vector>

namespace qvr {

class TCDRIP;

// "1,3-5" as track numbers, ascending and each once; nothing for a list that is not one.
std::optional<std::vector<int>> ParseTrackList(const QString& text);

// What quorvane-batch asks of a CD: the drive's device path or a CUE sheet, the CD's name
// (empty: the disc's CD-TEXT title, else "Audio CD" and the date) and the tracks (empty: all).
struct CdBatchRequest {
    QString source;
    QString cdName;
    std::vector<int> tracks;
};

// How the rip of a CD for quorvane-batch went.
struct CdBatchRip {
    // The source could not be read at all, or a track could not be written; the rip stopped.
    std::optional<CdFailure> failure;
    ImageProblem problem;  // with the failure, when a CUE image's file is the cause
    QString album;         // the CD's name as given or found
    QString cdFolder;      // where the tracks were ripped to
    RippedDisc disc;
};

// Rips a CD the way Read CD does, without a window: the same component, CD folder, file names
// and failure rules.
class CdBatchRipper {
  public:
    // The batch's event loop runs while a track is ripped, so that a termination signal is heard.
    CdBatchRip rip(const CdBatchRequest& request, const QString& cdInputFolder);
    // Ends a running rip before its next chunk.
    void abort();

  private:
    bool aborted_ = false;
    TCDRIP* running_ = nullptr;  // the component of the rip under way
};

}  // namespace qvr
