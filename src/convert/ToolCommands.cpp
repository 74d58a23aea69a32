#include "ToolCommands.h"

#include "platform/FileSystem.h"
#include "platform/Storage.h"

#include <memory>

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

ToolRunner::ToolRunner(QString workFolder, ToolProcesses& processes, JobWaits& waits, Host& host,
                       QStringList& reported, StatusWriter writeStatus)
    : workFolder_(std::move(workFolder)),
      processes_(processes),
      waits_(waits),
      host_(host),
      reported_(reported),
      writeStatus_(std::move(writeStatus))
{
}

void ToolRunner::DecodeToWorkWav(const QString& source, int row, Milliseconds deadline, int bits,
                                 Then then)
{
    const AudioKind kind = KindOf(source);
    if (kind == AudioKind::Mp3) {
        writeStatus_(row, {JobStep::Kind::Decode, AudioKind::Mp3});
        Run(kMp3Tool, Mp3DecodeArguments(source, workFolder_), deadline, std::move(then));
    } else if (kind == AudioKind::Wav || kind == AudioKind::None) {
        RemoveFile(workFolder_ + kInputWav);
        CopyFile(source, workFolder_ + kInputWav, deadline, std::move(then));
    } else {
        ConverterDecode(source, workFolder_ + kInputWav, row, deadline, bits, std::move(then));
    }
}

void ToolRunner::EncodeFromWorkWav(const QString& target, int row, Milliseconds deadline, int bits,
                                   Then then)
{
    const AudioKind kind = KindOf(target);
    if (kind == AudioKind::Wav) {
        RemoveFile(target);
        CopyFile(workFolder_ + kOutputWav, target, deadline, std::move(then));
    } else if (kind == AudioKind::Mp3) {
        writeStatus_(row, {JobStep::Kind::Encode, AudioKind::Mp3});
        Run(kMp3Tool, Mp3EncodeArguments(workFolder_, target), deadline, std::move(then));
    } else {
        ConverterEncode(workFolder_ + kOutputWav, target, row, deadline, bits, std::move(then));
    }
}

void ToolRunner::ConverterDecode(const QString& source, const QString& target, int row,
                                 Milliseconds deadline, int bits, Then then)
{
    // The converter is never asked to overwrite: it would wait for an answer.
    RemoveFile(target);
    writeStatus_(row, {JobStep::Kind::Decode, KindOf(source)});
    Run(kConverterTool, ConverterDecodeArguments(source, target, bits), deadline, std::move(then));
}

void ToolRunner::ConverterEncode(const QString& source, const QString& target, int row,
                                 Milliseconds deadline, int bits, Then then)
{
    RemoveFile(target);
    const AudioKind kind = KindOf(target);
    writeStatus_(row, {JobStep::Kind::Encode, kind});
    Run(kConverterTool, ConverterEncodeArguments(kind, source, target, bits), deadline,
        std::move(then));
}

void ToolRunner::Run(const QString& program, const CommandLine& arguments, Milliseconds deadline,
                     Then then)
{
    running_ = processes_.start(workFolder_, program, arguments.arguments());
    if (running_ < 0) {
        reportNotStarted(program);
        then({StepResult::End::NotStarted});
        return;
    }
    status_ = ToolStatus();
    waits_.until(
        [this] {
            status_ = processes_.status(running_);
            return !status_.running();
        },
        deadline,
        [this, program, then = std::move(then)](JobWaits::Stop stop) {
            toolEnded(program, stop, then);
        });
}

void ToolRunner::toolEnded(const QString& program, JobWaits::Stop stop, const Then& then)
{
    if (stop != JobWaits::Stop::Done) {
        endRunning();
        then({stop == JobWaits::Stop::TimedOut ? StepResult::End::TimedOut
                                               : StepResult::End::Aborted});
        return;
    }
    running_ = -1;
    if (status_.notRunnable()) {
        reportNotStarted(program);
        then({StepResult::End::NotStarted});
        return;
    }
    then({status_.succeeded() ? StepResult::End::Succeeded : StepResult::End::Failed});
}

void ToolRunner::endRunning()
{
    if (running_ > 0) {
        processes_.end(running_);
        running_ = -1;
    }
}

void ToolRunner::CopyFile(const QString& source, const QString& target, Milliseconds deadline,
                          Then then)
{
    auto copy = std::make_shared<FileCopy>(source, target);
    auto step = std::make_shared<FileCopy::Step>(FileCopy::Step::More);
    waits_.work(
        [copy, step] {
            *step = copy->step();
            return *step != FileCopy::Step::More;
        },
        deadline,
        [copy, step, then = std::move(then)](JobWaits::Stop stop) {
            if (stop != JobWaits::Stop::Done) {
                then({stop == JobWaits::Stop::Aborted ? StepResult::End::Aborted
                                                      : StepResult::End::TimedOut});
            } else if (*step == FileCopy::Step::Failed) {
                then({StepResult::End::CopyFailed, copy->error()});
            } else {
                then({StepResult::End::Succeeded});
            }
        });
}

void ToolRunner::reportNotStarted(const QString& program)
{
    if (!reported_.contains(program)) {
        reported_ << program;
        host_.showPlainMessage(QStringLiteral("Error starting ") + program);
    }
}

}  // namespace qvr
