#pragma once

#include <QString>

namespace qvr {

// The tools, by the names they are started by in the work folder.
inline const QString kMp3Tool = QStringLiteral("lame.exe");
inline const QString kConverterTool = QStringLiteral("ffmpeg.exe");
inline const QString kStretchTool = QStringLiteral("soundstretch.exe");

// The files a conversion leaves in its work folder.
inline const QString kInputWav = QStringLiteral("input.wav");
inline const QString kOutputWav = QStringLiteral("output.wav");
inline const QString kErrorFile = QStringLiteral("error.txt");
inline const QString kProgressFile = QStringLiteral("progress.txt");
inline const QString kProgressCopy = QStringLiteral("progress_zum_lesen.txt");
inline const QString kStretchBatch = QStringLiteral("conv.bat");

}  // namespace qvr
