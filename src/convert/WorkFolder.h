#pragma once

#include <QString>

namespace qvr {

// A folder the program made for its work files carries this file; only in such a folder does a
// job delete anything.
inline const QString kWorkMarker = QStringLiteral(".quorvane-work");

// True when the folder carries the marker of ours.
bool IsOurWorkFolder(const QString& folder);
// Makes the folder (ending with '/') if needed and marks it as ours; false when it cannot.
bool MakeOurWorkFolder(const QString& folder);

// Where work files go when the user names a work folder: the folder itself when it is empty or
// ours, otherwise a folder of ours below it. `error` says why the named folder cannot be used
// (a file, not writable, a name the stretch batch file cannot carry); the folder is then empty.
struct WorkFolderChoice {
    QString folder;  // ends with '/'
    QString error;
};
WorkFolderChoice ChooseWorkFolder(const QString& named);

// The folder of one job below a work folder of ours: "jobN/", made and marked as ours. A folder
// of that name that is not ours is passed over for "jobN-2/", "jobN-3/", ...; empty when none
// can be made.
QString MakeJobFolder(const QString& work, int number);

}  // namespace qvr
