#include "ToolCommands.h"

#include "platform/FileSystem.h"
#include "platform/Storage.h"

#include <algorithm>
#include <iterator>
#include <memory>

namespace qvr {
namespace {

// The rates encoders are usually asked for, in kbit/s.
constexpr int kStandardRates[] = {64, 96, 128, 160, 192, 224, 256, 320, 384, 448, 512, 640};
// The design's MP3 rate; a source of this rate or less keeps the design's command line.
constexpr int kDesignMp3Rate = 192;
// What the converter's AAC encoder gives without being asked; a source up to this keeps the
// design's command line.
constexpr int kDesignAacRate = 140;
constexpr int kMp3Padding = 2304;  // the encoder's delay and its last frame's padding
constexpr int kAacPadding = 2048;  // priming and the last frame's padding

int kbits(const AudioFacts& source)
{
    return int(source.bitRate / 1000);
}

// The smallest standard rate not below the source's (a measured average may fall a little short
// of the rate it was made with).
int rateAtLeast(int kbitsPerSecond)
{
    for (int rate : kStandardRates) {
        if (rate * 103 / 100 >= kbitsPerSecond) {
            return rate;
        }
    }
    return kStandardRates[std::size(kStandardRates) - 1];
}

// LAME's variable-rate quality for a source's average rate (-V 0 is about 245 kbit/s on
// music), or the one the source records; never below -V 2, the design's 192 kbit/s class.
int vbrQuality(int averageKbits, std::optional<int> recorded)
{
    if (recorded) {
        return std::min(*recorded, 2);
    }
    if (averageKbits >= 235) {
        return 0;
    }
    return averageKbits >= 210 ? 1 : 2;
}

QStringList mp3Quality(const AudioFacts& source, std::optional<int> recorded)
{
    const int rate = kbits(source);
    if (source.codec != QLatin1String("mp3")) {
        return {QStringLiteral("-b"), QString::number(kDesignMp3Rate)};
    }
    // A variable rate stays variable; a recorded quality outweighs the average of easy music.
    if (recorded || (source.variableBitRate && rate > kDesignMp3Rate - 20)) {
        return {QStringLiteral("-V"), QString::number(vbrQuality(rate, recorded))};
    }
    if (rate <= kDesignMp3Rate + 8) {
        return {QStringLiteral("-b"), QString::number(kDesignMp3Rate)};
    }
    return {QStringLiteral("-b"), QString::number(std::min(rateAtLeast(rate), 320))};
}

QStringList aacQuality(const AudioFacts& source)
{
    const int rate = kbits(source);
    if (rate <= kDesignAacRate) {
        return {};
    }
    return {QStringLiteral("-b:a"), QString::number(rateAtLeast(rate)) + u'k'};
}

bool isLossless(const QString& codec)
{
    return codec.startsWith(QLatin1String("pcm_")) || codec == QLatin1String("flac") ||
           codec == QLatin1String("alac");
}

// An M4A keeps its codec family: lossless stays Apple Lossless, anything else becomes AAC.
QString m4aCodec(const AudioFacts& source)
{
    return source.codec.isEmpty() || isLossless(source.codec) ? QStringLiteral("alac")
                                                              : QStringLiteral("aac");
}

}  // namespace

QString ConverterCodec(AudioKind kind, int bits)
{
    const KindSpec& kindRow = KindRowOf(kind);
    const QString codec = QLatin1String(kindRow.codec);
    if (bits <= kPlainBits) {
        return codec;
    }
    // A PCM codec names its depth: pcm_s16be becomes pcm_s24be or pcm_s32be.
    if (codec.startsWith(QLatin1String("pcm_s16"))) {
        return QString(codec).replace(QStringLiteral("16"), QString::number(bits));
    }
    return codec;
}

int WorkBits(int sourceBits)
{
    if (sourceBits <= kPlainBits) {
        return kPlainBits;
    }
    return sourceBits <= kDeepBits ? kDeepBits : kWideBits;
}

EncodePlan PlanEncode(AudioKind target, const AudioFacts& source, int workBits, int channels,
                      std::optional<int> vbrQuality)
{
    const KindSpec& kindRow = KindRowOf(target);
    EncodePlan plan;
    plan.tool = kindRow.encoder;
    plan.channels = channels;
    plan.bits = workBits;
    plan.lossy = kindRow.lossy;
    if (channels > 2) {
        plan.layout = source.layout;
    }
    switch (kindRow.encoder) {
        case KindTool::Copy:
            // The time-stretch tool writes no channel layout: a multichannel WAV gets its own
            // back through the converter.
            if (!plan.layout.isEmpty()) {
                plan.tool = KindTool::Converter;
                plan.codec = QStringLiteral("pcm_s%1le").arg(workBits);
            }
            return plan;
        case KindTool::Mp3Tool:
            plan.codec = QLatin1String(kindRow.codec);
            plan.quality = mp3Quality(source, vbrQuality);
            plan.paddingSamples = kMp3Padding;
            return plan;
        case KindTool::Converter: break;
    }
    plan.codec = target == AudioKind::M4a ? m4aCodec(source) : ConverterCodec(target, workBits);
    if (plan.codec == QLatin1String("aac")) {
        plan.lossy = true;
        plan.quality = aacQuality(source);
        plan.paddingSamples = kAacPadding;
    } else {
        plan.lossy = false;
        if (workBits > kPlainBits) {
            plan.sampleFormat = QLatin1String(kindRow.deepSampleFormat);
        }
    }
    return plan;
}

CommandLine Mp3DecodeArguments(const QString& source, const QString& workFolder)
{
    return CommandLine()
        .path(source)
        .path(workFolder + kInputWav)
        .option(QStringLiteral("--decode"));
}

CommandLine Mp3EncodeArguments(const QString& workFolder, const QString& target,
                               const EncodePlan& plan)
{
    CommandLine line;
    for (const QString& option : plan.quality) {
        line.option(option);
    }
    return line.path(workFolder + kOutputWav).path(target);
}

CommandLine ConverterDecodeArguments(const QString& source, const QString& target, int bits,
                                     int channels)
{
    CommandLine line = CommandLine()
                           .option(QStringLiteral("-i"))
                           .path(source)
                           .option(QStringLiteral("-ac"))
                           .option(QString::number(channels));
    if (bits > kPlainBits) {
        line.option(QStringLiteral("-c:a")).option(QStringLiteral("pcm_s%1le").arg(bits));
    }
    return line.path(target);
}

CommandLine ConverterEncodeArguments(const QString& source, const QString& target,
                                     const EncodePlan& plan)
{
    CommandLine line = CommandLine()
                           .option(QStringLiteral("-i"))
                           .path(source)
                           .option(QStringLiteral("-ac"))
                           .option(QString::number(plan.channels))
                           .option(QStringLiteral("-c:a"))
                           .option(plan.codec);
    if (!plan.sampleFormat.isEmpty()) {
        line.option(QStringLiteral("-sample_fmt")).option(plan.sampleFormat);
    }
    if (!plan.layout.isEmpty()) {
        // Names the channels in their order; nothing is mixed.
        line.option(QStringLiteral("-af"))
            .option(QStringLiteral("channelmap=channel_layout=") + plan.layout);
    }
    for (const QString& option : plan.quality) {
        line.option(option);
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

void ToolRunner::DecodeToWorkWav(const QString& source, KindTool tool, int row,
                                 Milliseconds deadline, int bits, int channels, Then then)
{
    switch (tool) {
        case KindTool::Mp3Tool:
            writeStatus_(row, {JobStep::Kind::Decode, AudioKind::Mp3});
            Run(kMp3Tool, Mp3DecodeArguments(source, workFolder_), deadline, std::move(then));
            return;
        case KindTool::Copy:
            RemoveFile(workFolder_ + kInputWav);
            CopyFile(source, workFolder_ + kInputWav, deadline, std::move(then));
            return;
        case KindTool::Converter:
            ConverterDecode(source, workFolder_ + kInputWav, row, deadline, bits, channels,
                            std::move(then));
            return;
    }
}

void ToolRunner::EncodeFromWorkWav(const QString& target, const EncodePlan& plan, int row,
                                   Milliseconds deadline, Then then)
{
    switch (plan.tool) {
        case KindTool::Copy:
            RemoveFile(target);
            CopyFile(workFolder_ + kOutputWav, target, deadline, std::move(then));
            return;
        case KindTool::Mp3Tool:
            writeStatus_(row, {JobStep::Kind::Encode, AudioKind::Mp3});
            Run(kMp3Tool, Mp3EncodeArguments(workFolder_, target, plan), deadline, std::move(then));
            return;
        case KindTool::Converter:
            ConverterEncode(workFolder_ + kOutputWav, target, plan, row, deadline, std::move(then));
            return;
    }
}

void ToolRunner::ConverterDecode(const QString& source, const QString& target, int row,
                                 Milliseconds deadline, int bits, int channels, Then then)
{
    // The converter is never asked to overwrite: it would wait for an answer.
    RemoveFile(target);
    writeStatus_(row, {JobStep::Kind::Decode, KindOf(source)});
    Run(kConverterTool, ConverterDecodeArguments(source, target, bits, channels), deadline,
        std::move(then));
}

void ToolRunner::ConverterEncode(const QString& source, const QString& target,
                                 const EncodePlan& plan, int row, Milliseconds deadline, Then then)
{
    RemoveFile(target);
    writeStatus_(row, {JobStep::Kind::Encode, KindOf(target)});
    Run(kConverterTool, ConverterEncodeArguments(source, target, plan), deadline, std::move(then));
}

void ToolRunner::Run(const QString& program, const CommandLine& arguments, Milliseconds deadline,
                     Then then)
{
    waits_.soon([this, program, words = arguments.arguments(), deadline,
                 then = std::move(then)](JobWaits::Stop stop) {
        if (stop == JobWaits::Stop::Done) {
            startNow(program, words, deadline, then);
        } else {
            then({StepResult::End::Aborted});
        }
    });
}

void ToolRunner::startNow(const QString& program, const QStringList& arguments,
                          Milliseconds deadline, const Then& then)
{
    running_ = processes_.start(workFolder_, program, arguments);
    if (running_ == kNoTool) {
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
        deadline, [this, program, then](JobWaits::Stop stop) { toolEnded(program, stop, then); });
    waits_.wakeWhenEnds(processes_, running_);
}

void ToolRunner::toolEnded(const QString& program, JobWaits::Stop stop, const Then& then)
{
    if (stop != JobWaits::Stop::Done) {
        endRunning();
        then({stop == JobWaits::Stop::TimedOut ? StepResult::End::TimedOut
                                               : StepResult::End::Aborted});
        return;
    }
    running_ = kNoTool;
    if (status_.notRunnable()) {
        reportNotStarted(program);
        then({StepResult::End::NotStarted});
        return;
    }
    then({status_.succeeded() ? StepResult::End::Succeeded : StepResult::End::Failed});
}

void ToolRunner::endRunning()
{
    if (running_ != kNoTool) {
        processes_.end(running_);
        running_ = kNoTool;
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
