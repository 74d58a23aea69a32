#include "ToolCommands.h"

#include "platform/FileSystem.h"
#include "platform/Host.h"
#include "platform/Storage.h"

namespace qvr {
namespace {

QString codecFor(AudioKind kind, int bits)
{
    switch (kind) {
        case AudioKind::M4a: return QStringLiteral("alac");
        case AudioKind::Flac: return QStringLiteral("flac");
        case AudioKind::Aiff:
        case AudioKind::Aif:
            return bits > kPlainBits ? QStringLiteral("pcm_s24be") : QStringLiteral("pcm_s16be");
        case AudioKind::Aac: return QStringLiteral("aac");
        default: return QString();
    }
}

// The sample format that makes the converter's FLAC and ALAC encoders keep a deep work WAV's
// depth; empty where the codec itself names the depth.
QString deepSampleFormat(AudioKind kind)
{
    switch (kind) {
        case AudioKind::Flac: return QStringLiteral("s32");
        case AudioKind::M4a: return QStringLiteral("s32p");
        default: return QString();
    }
}

}  // namespace

int WorkBits(int sourceBits)
{
    return sourceBits > kPlainBits ? kDeepBits : kPlainBits;
}

CommandLine Mp3DecodeArguments(const QString& source, const QString& workFolder)
{
    return CommandLine()
        .path(source)
        .path(workFolder + kInputWav)
        .option(QStringLiteral("--decode"));
}

CommandLine Mp3EncodeArguments(const QString& workFolder, const QString& target)
{
    return CommandLine()
        .option(QStringLiteral("-b"))
        .option(QStringLiteral("192"))
        .path(workFolder + kOutputWav)
        .path(target);
}

CommandLine ConverterDecodeArguments(const QString& source, const QString& target, int bits)
{
    CommandLine line = CommandLine()
                           .option(QStringLiteral("-i"))
                           .path(source)
                           .option(QStringLiteral("-ac"))
                           .option(QStringLiteral("2"));
    if (bits > kPlainBits) {
        line.option(QStringLiteral("-c:a")).option(QStringLiteral("pcm_s24le"));
    }
    return line.path(target);
}

CommandLine ConverterEncodeArguments(AudioKind targetKind, const QString& source,
                                     const QString& target, int bits)
{
    CommandLine line = CommandLine()
                           .option(QStringLiteral("-i"))
                           .path(source)
                           .option(QStringLiteral("-ac"))
                           .option(QStringLiteral("2"))
                           .option(QStringLiteral("-c:a"))
                           .option(codecFor(targetKind, bits));
    const QString sampleFormat = deepSampleFormat(targetKind);
    if (bits > kPlainBits && !sampleFormat.isEmpty()) {
        line.option(QStringLiteral("-sample_fmt")).option(sampleFormat);
    }
    return line.path(target);
}

QString BatchFileText(const QString& workFolder, const QString& tempoText)
{
    return QStringLiteral("cd /d \"") + workFolder + QStringLiteral("\"\r\n") + kStretchTool +
           u' ' + kInputWav + u' ' + kOutputWav + QStringLiteral(" -rate=") + tempoText +
           QStringLiteral("\r\n");
}

ToolRunner::ToolRunner(QString workFolder, ToolProcesses& processes, const JobWaits& waits,
                       StatusWriter writeStatus)
    : workFolder_(std::move(workFolder)),
      processes_(processes),
      waits_(waits),
      writeStatus_(std::move(writeStatus))
{
}

StepResult ToolRunner::DecodeToWorkWav(const QString& source, int row, Milliseconds deadline,
                                       int bits)
{
    const AudioKind kind = KindOf(source);
    if (kind == AudioKind::Mp3) {
        writeStatus_(row, QStringLiteral("MP3 to WAV"));
        return RunAndWait(kMp3Tool, Mp3DecodeArguments(source, workFolder_), deadline);
    }
    if (kind == AudioKind::Wav || kind == AudioKind::None) {
        RemoveFile(workFolder_ + kInputWav);
        return CopyFile(source, workFolder_ + kInputWav, deadline);
    }
    return ConverterDecode(source, workFolder_ + kInputWav, row, deadline, bits);
}

StepResult ToolRunner::EncodeFromWorkWav(const QString& target, int row, Milliseconds deadline,
                                         int bits)
{
    const AudioKind kind = KindOf(target);
    if (kind == AudioKind::Wav) {
        RemoveFile(target);
        return CopyFile(workFolder_ + kOutputWav, target, deadline);
    }
    if (kind == AudioKind::Mp3) {
        writeStatus_(row, QStringLiteral("WAV to MP3"));
        return RunAndWait(kMp3Tool, Mp3EncodeArguments(workFolder_, target), deadline);
    }
    return ConverterEncode(workFolder_ + kOutputWav, target, row, deadline, bits);
}

StepResult ToolRunner::ConverterDecode(const QString& source, const QString& target, int row,
                                       Milliseconds deadline, int bits)
{
    // The converter is never asked to overwrite: it would wait for an answer.
    RemoveFile(target);
    writeStatus_(row, KindLabel(KindOf(source)) + QStringLiteral(" to WAV"));
    const StepResult result =
        RunAndWait(kConverterTool, ConverterDecodeArguments(source, target, bits), deadline);
    processes_.CloseToolWindow(kConverterTool);
    return result;
}

StepResult ToolRunner::ConverterEncode(const QString& source, const QString& target, int row,
                                       Milliseconds deadline, int bits)
{
    RemoveFile(target);
    const AudioKind kind = KindOf(target);
    writeStatus_(row, QStringLiteral("WAV to ") + KindLabel(kind));
    const StepResult result =
        RunAndWait(kConverterTool, ConverterEncodeArguments(kind, source, target, bits), deadline);
    processes_.CloseToolWindow(kConverterTool);
    return result;
}

StepResult ToolRunner::RunAndWait(const QString& program, const CommandLine& arguments,
                                  Milliseconds deadline)
{
    const pid_t pid = processes_.start(workFolder_, program, arguments.arguments());
    if (pid < 0) {
        reportNotStarted(program);
        return {StepResult::End::NotStarted};
    }
    ToolStatus status;
    const JobWaits::Stop stop = waits_.until(
        [&] {
            status = processes_.status(pid);
            return !status.running();
        },
        deadline);
    if (stop != JobWaits::Stop::Done || waits_.aborted()) {
        processes_.end(pid);
        return {stop == JobWaits::Stop::TimedOut ? StepResult::End::TimedOut
                                                 : StepResult::End::Aborted};
    }
    if (status.notRunnable()) {
        reportNotStarted(program);
        return {StepResult::End::NotStarted};
    }
    return {status.succeeded() ? StepResult::End::Succeeded : StepResult::End::Failed};
}

StepResult ToolRunner::CopyFile(const QString& source, const QString& target, Milliseconds deadline)
{
    FileCopy copy(source, target);
    FileCopy::Step step = FileCopy::Step::More;
    const JobWaits::Stop stop = waits_.work(
        [&] {
            step = copy.step();
            return step != FileCopy::Step::More;
        },
        deadline);
    if (stop != JobWaits::Stop::Done) {
        return {stop == JobWaits::Stop::Aborted ? StepResult::End::Aborted
                                                : StepResult::End::TimedOut};
    }
    if (step == FileCopy::Step::Failed) {
        return {StepResult::End::CopyFailed, copy.error()};
    }
    return {StepResult::End::Succeeded};
}

void ToolRunner::reportNotStarted(const QString& program)
{
    if (!reported_.contains(program)) {
        reported_ << program;
        host().showPlainMessage(QStringLiteral("Error starting ") + program);
    }
}

}  // namespace qvr
