#pragma once

#include "AudioFormats.h"
#include "platform/CommandLine.h"

#include <QString>

#include <functional>

namespace qvr {

// The tools, by the names they are started by in the work folder.
inline const QString kMp3Tool = QStringLiteral("lame.exe");
inline const QString kConverterTool = QStringLiteral("ffmpeg.exe");
inline const QString kStretchTool = QStringLiteral("soundstretch.exe");

// The work files in the work folder.
inline const QString kInputWav = QStringLiteral("input.wav");
inline const QString kOutputWav = QStringLiteral("output.wav");

// "{S}" "{W}input.wav" --decode
CommandLine Mp3DecodeArguments(const QString& source, const QString& workFolder);
// -b 192 "{W}output.wav" "{T}"
CommandLine Mp3EncodeArguments(const QString& workFolder, const QString& target);
// -i "{S}" -ac 2 "{T}"
CommandLine ConverterDecodeArguments(const QString& source, const QString& target);
// -i "{S}" -ac 2 -c:a {codec} "{T}", the codec by the target's kind
CommandLine ConverterEncodeArguments(AudioKind targetKind, const QString& source,
                                     const QString& target);

// The two lines of the batch file that runs the time-stretch tool in the work folder. The tool
// changes the rate, so tempo and pitch move together by the percentage.
QString BatchFileText(const QString& workFolder, const QString& tempoText);

// Decodes inputs into the work WAV and encodes the stretched work WAV into outputs, showing each
// step in the row's status cell. Tools run one at a time; the caller judges by the files.
class ToolRunner {
  public:
    using StatusWriter = std::function<void(int row, const QString& status)>;
    ToolRunner(QString workFolder, StatusWriter writeStatus);

    void DecodeToWorkWav(const QString& source, int row);
    void EncodeFromWorkWav(const QString& target, int row);
    void ConverterDecode(const QString& source, const QString& target, int row);
    void ConverterEncode(const QString& source, const QString& target, int row);

  private:
    QString workFolder_;
    StatusWriter writeStatus_;
};

}  // namespace qvr
