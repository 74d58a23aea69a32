#include "ToolCommands.h"

#include "platform/FileSystem.h"
#include "platform/Processes.h"

namespace qvr {
namespace {

QString codecFor(AudioKind kind)
{
    switch (kind) {
        case AudioKind::M4a: return QStringLiteral("alac");
        case AudioKind::Flac: return QStringLiteral("flac");
        case AudioKind::Aiff:
        case AudioKind::Aif: return QStringLiteral("pcm_s16be");
        case AudioKind::Aac: return QStringLiteral("aac");
        default: return QString();
    }
}

}  // namespace

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

CommandLine ConverterDecodeArguments(const QString& source, const QString& target)
{
    return CommandLine()
        .option(QStringLiteral("-i"))
        .path(source)
        .option(QStringLiteral("-ac"))
        .option(QStringLiteral("2"))
        .path(target);
}

CommandLine ConverterEncodeArguments(AudioKind targetKind, const QString& source,
                                     const QString& target)
{
    return CommandLine()
        .option(QStringLiteral("-i"))
        .path(source)
        .option(QStringLiteral("-ac"))
        .option(QStringLiteral("2"))
        .option(QStringLiteral("-c:a"))
        .option(codecFor(targetKind))
        .path(target);
}

QString BatchFileText(const QString& workFolder, const QString& tempoText)
{
    return QStringLiteral("cd /d \"") + workFolder + QStringLiteral("\"\r\n") + kStretchTool +
           u' ' + kInputWav + u' ' + kOutputWav + QStringLiteral(" -rate=") + tempoText +
           QStringLiteral("\r\n");
}

ToolRunner::ToolRunner(QString workFolder, StatusWriter writeStatus)
    : workFolder_(std::move(workFolder)), writeStatus_(std::move(writeStatus))
{
}

void ToolRunner::DecodeToWorkWav(const QString& source, int row)
{
    const AudioKind kind = KindOf(source);
    if (kind == AudioKind::Mp3) {
        writeStatus_(row, QStringLiteral("MP3 to WAV"));
        RunAndWait(workFolder_, kMp3Tool, Mp3DecodeArguments(source, workFolder_).arguments());
    } else if (kind == AudioKind::Wav || kind == AudioKind::None) {
        CopyFileReplacing(source, workFolder_ + kInputWav);
    } else {
        ConverterDecode(source, workFolder_ + kInputWav, row);
    }
}

void ToolRunner::EncodeFromWorkWav(const QString& target, int row)
{
    const AudioKind kind = KindOf(target);
    if (kind == AudioKind::Wav) {
        CopyFileReplacing(workFolder_ + kOutputWav, target);
    } else if (kind == AudioKind::Mp3) {
        writeStatus_(row, QStringLiteral("WAV to MP3"));
        RunAndWait(workFolder_, kMp3Tool, Mp3EncodeArguments(workFolder_, target).arguments());
    } else {
        ConverterEncode(workFolder_ + kOutputWav, target, row);
    }
}

void ToolRunner::ConverterDecode(const QString& source, const QString& target, int row)
{
    // The converter is never asked to overwrite: it would wait for an answer.
    RemoveFile(target);
    writeStatus_(row, KindLabel(KindOf(source)) + QStringLiteral(" to WAV"));
    RunAndWait(workFolder_, kConverterTool, ConverterDecodeArguments(source, target).arguments());
    CloseToolWindow(kConverterTool);
}

void ToolRunner::ConverterEncode(const QString& source, const QString& target, int row)
{
    RemoveFile(target);
    const AudioKind kind = KindOf(target);
    writeStatus_(row, QStringLiteral("WAV to ") + KindLabel(kind));
    RunAndWait(workFolder_, kConverterTool,
               ConverterEncodeArguments(kind, source, target).arguments());
    CloseToolWindow(kConverterTool);
}

}  // namespace qvr
