#pragma once

#include <QString>

namespace qvr {

// The user's documents and data folders and whether the system is German, gathered when the
// record is made (the session makes it once, at start-up). Folder paths carry no trailing
// separator; on Linux they come from the XDG base and user directories.
struct TWindowsInfo {
    TWindowsInfo();

    QString PersonalDir;          // the documents folder
    QString AppDataDir;           // $XDG_DATA_HOME, normally ~/.local/share
    bool IsGermanSystem = false;  // the system locale is German (Germany)
};

}  // namespace qvr
