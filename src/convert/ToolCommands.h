#pragma once

#include "AudioFormats.h"
#include "FileListModel.h"
#include "JobWaits.h"
#include "WorkFiles.h"
#include "platform/CommandLine.h"
#include "platform/Host.h"
#include "platform/Processes.h"

#include <QString>

#include <functional>

namespace qvr {

// "{S}" "{W}input.wav" --decode
CommandLine Mp3DecodeArguments(const QString& source, const QString& workFolder);
// -b 192 "{W}output.wav" "{T}"
CommandLine Mp3EncodeArguments(const QString& workFolder, const QString& target);
// The bits a sample of the work WAV has: 16, the depth of CD audio, unless a lossless source
// holds more; then 24, which every lossless target and the time-stretch tool can carry.
constexpr int kPlainBits = 16;
constexpr int kDeepBits = 24;
int WorkBits(int sourceBits);

// -i "{S}" -ac 2 "{T}"; for a deep source -i "{S}" -ac 2 -c:a pcm_s24le "{T}"
CommandLine ConverterDecodeArguments(const QString& source, const QString& target,
                                     int bits = kPlainBits);
// -i "{S}" -ac 2 -c:a {codec} "{T}", the codec by the target's kind; a deep work WAV keeps its
// depth: FLAC and ALAC through -sample_fmt, AIFF as pcm_s24be
CommandLine ConverterEncodeArguments(AudioKind targetKind, const QString& source,
                                     const QString& target, int bits = kPlainBits);

// The two lines of the batch file that runs the time-stretch tool in the work folder. The tool
// changes the rate, so tempo and pitch move together by the percentage.
QString BatchFileText(const QString& workFolder, const QString& tempoText);

// How one step of a job ended: a tool run or a copy.
struct StepResult {
    enum class End { Succeeded, Failed, NotStarted, TimedOut, Aborted, CopyFailed };
    End end = End::Succeeded;
    int error = 0;  // the system's error number of a failed copy

    bool succeeded() const { return end == End::Succeeded; }
};

// Decodes inputs into the work WAV and encodes the stretched work WAV into outputs, showing each
// step in the row's status cell. A step answers once, through `then`, when its tool has ended or
// its copy is done; every step is bounded by a deadline and ended at once by Abort. Each tool that
// cannot be started is reported once per run (the reports are shared by the run's jobs).
class ToolRunner {
  public:
    using StatusWriter = std::function<void(int row, const JobStep& step)>;
    using Then = std::function<void(StepResult)>;
    ToolRunner(QString workFolder, ToolProcesses& processes, JobWaits& waits, Host& host,
               QStringList& reported, StatusWriter writeStatus);

    // bits: the depth of the work WAV (see WorkBits)
    void DecodeToWorkWav(const QString& source, int row, Milliseconds deadline, int bits,
                         Then then);
    void EncodeFromWorkWav(const QString& target, int row, Milliseconds deadline, int bits,
                           Then then);
    // Runs the tool from the work folder.
    void Run(const QString& program, const CommandLine& arguments, Milliseconds deadline,
             Then then);
    // Copies a file in chunks; the target must not exist.
    void CopyFile(const QString& source, const QString& target, Milliseconds deadline, Then then);
    // Ends the tool of the step in progress, if one runs.
    void endRunning();
    // Shows "Error starting " and the tool's name, once per tool.
    void reportNotStarted(const QString& program);

  private:
    void ConverterDecode(const QString& source, const QString& target, int row,
                         Milliseconds deadline, int bits, Then then);
    void ConverterEncode(const QString& source, const QString& target, int row,
                         Milliseconds deadline, int bits, Then then);
    void toolEnded(const QString& program, JobWaits::Stop stop, const Then& then);

    QString workFolder_;
    ToolProcesses& processes_;
    JobWaits& waits_;
    Host& host_;
    QStringList& reported_;
    StatusWriter writeStatus_;
    pid_t running_ = -1;
    ToolStatus status_;
};

}  // namespace qvr
