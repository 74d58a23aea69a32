#pragma once

#include "AudioCheck.h"
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

// The bits a sample of the work WAV has: 16, the depth of CD audio, unless a lossless source
// holds more; then 24, or 32 for a source of 32-bit or floating-point samples, which the
// time-stretch tool reads exactly as integers.
constexpr int kPlainBits = 16;
constexpr int kDeepBits = 24;
constexpr int kWideBits = 32;
int WorkBits(int sourceBits);

// -i "{S}" -ac {channels} "{T}"; for a deep source -c:a pcm_s24le (or pcm_s32le) before "{T}"
CommandLine ConverterDecodeArguments(const QString& source, const QString& target,
                                     int bits = kPlainBits, int channels = 2);

// How an output is made from the stretched work WAV so that it keeps what is not tuning: the
// channels, the depth, the codec family of an M4A, and a quality no lower than the source's.
struct EncodePlan {
    KindTool tool = KindTool::Copy;
    QString codec;         // what the output holds; empty for a copy: PCM as the work file
    QStringList quality;   // "-b 320", "-V 0" for the MP3 tool; "-b:a 256k" for the converter
    QString sampleFormat;  // the converter's sample format that keeps a deep work file's depth
    int channels = 2;
    // The source's layout of more than two channels, which the work WAV does not carry.
    QString layout;
    int bits = kPlainBits;  // of the work WAV; a lossless output keeps it
    bool lossy = false;
    int paddingSamples = 0;  // priming and padding the encoder may add to the length
};
// `vbrQuality`: the LAME -V quality an MP3 source records, if it has one.
EncodePlan PlanEncode(AudioKind target, const AudioFacts& source, int workBits, int channels,
                      std::optional<int> vbrQuality = std::nullopt);

// The converter's codec for an output of the kind from a work WAV of `bits` bits.
QString ConverterCodec(AudioKind kind, int bits);

// {quality} "{W}output.wav" "{T}"; the design's -b 192 for sources of 192 kbit/s and less
CommandLine Mp3EncodeArguments(const QString& workFolder, const QString& target,
                               const EncodePlan& plan);
// -i "{S}" -ac {channels} -c:a {codec} [-sample_fmt ...] [-b:a ...] "{T}"
CommandLine ConverterEncodeArguments(const QString& source, const QString& target,
                                     const EncodePlan& plan);

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
    // Through `tool`: the MP3 tool, a copy (a WAV the time-stretch tool reads exactly) or the
    // converter, into a work WAV of `bits` bits and `channels` channels.
    void DecodeToWorkWav(const QString& source, KindTool tool, int row, Milliseconds deadline,
                         int bits, int channels, Then then);
    void EncodeFromWorkWav(const QString& target, const EncodePlan& plan, int row,
                           Milliseconds deadline, Then then);
    // Runs the tool from the work folder, from the event loop.
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
                         Milliseconds deadline, int bits, int channels, Then then);
    void ConverterEncode(const QString& source, const QString& target, const EncodePlan& plan,
                         int row, Milliseconds deadline, Then then);
    void startNow(const QString& program, const QStringList& arguments, Milliseconds deadline,
                  const Then& then);
    void toolEnded(const QString& program, JobWaits::Stop stop, const Then& then);

    QString workFolder_;
    ToolProcesses& processes_;
    JobWaits& waits_;
    Host& host_;
    QStringList& reported_;
    StatusWriter writeStatus_;
    ToolId running_ = kNoTool;
    ToolStatus status_;
};

}  // namespace qvr
