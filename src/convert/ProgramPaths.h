#pragma once

#include "platform/PathStyle.h"

#include <QString>

namespace qvr {

// The folders a conversion writes to and works in: the one place that says where outputs, CD
// tracks and work files go. Every folder ends with its separator.
class ProgramPaths {
  public:
    ProgramPaths() = default;
    // A user's folders: outputs below "Quorvane/" in the documents folder, work files in
    // "Dornevik/Quorvane/" in the data folder.
    static ProgramPaths forUser(const QString& documentsFolder, const QString& dataFolder);

    const QString& documentsFolder() const { return documents_; }
    // Where the copies go: "{N} Hz/" folders below it.
    const QString& outputRoot() const { return outputRoot_; }
    const QString& workFolder() const { return work_; }
    // Where ripped CDs are put, one folder per CD.
    QString cdInputFolder() const;

    // Copies go below a folder the user chose instead.
    void setOutputRoot(const QString& folder);
    // Work files go into a folder the user named instead of the program's own.
    void setWorkFolder(const QString& folder);

    // The folder an output of `input` goes to: the "{N} Hz" folder below the output root and the
    // input's folder below that; for a CD the "{N} Hz" folder of the CD's own folder.
    QString outputFolderFor(const QString& input, const QString& frequencyText,
                            const QString& cdFolder = QString(),
                            PathStyle style = nativePathStyle()) const;

  private:
    QString documents_;
    QString outputRoot_;
    QString work_;
};

}  // namespace qvr
