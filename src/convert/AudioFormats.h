#pragma once

#include "platform/PathStyle.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <span>

namespace qvr {

// The kinds of audio file the program converts, recognised by their extension.
enum class AudioKind { None, Mp3, Wav, Flac, Aiff, Aif, Aac, M4a };

// The tool that turns a file of a kind into the work WAV, or the work WAV into one.
enum class KindTool { Mp3Tool, Copy, Converter };

// How the tags of a kind are stored (see TagCopy).
enum class TagFamily { None, Mpeg, Adts, Wav, Aiff, Flac, Mp4 };

// Everything the program knows of one kind: the only place a kind is described.
struct KindSpec {
    AudioKind kind;
    const char* extension;  // ".mp3": how a file of the kind is recognised and how outputs end
    const char* label;      // "MP3": in status texts, dialogs' filters and the usage text
    KindTool decoder;       // makes the work WAV from a source of the kind
    KindTool encoder;       // makes an output of the kind from the stretched work WAV
    // The codec of an output (at 16 bits; a PCM codec grows with the work file's depth); empty:
    // PCM as the work file.
    const char* codec;
    // The converter's sample format that keeps a deep work file's depth; empty: the codec does.
    const char* deepSampleFormat;
    bool lossy;
    TagFamily tags;
    // FFmpeg's demuxer that reads an output of the kind while its encoder writes it; empty for a
    // container that is whole only once its encoder has ended (its index written last).
    const char* streamDemuxer;
    // Seconds per megabyte on the reference machine (before the factor 10) as a fraction.
    std::int64_t estimateNumerator;
    std::int64_t estimateDenominator;
};

// Every kind, in the order the naming rule tries them.
std::span<const KindSpec> AllKinds();
// The row of a kind; the row of no kind (all empty) for None.
const KindSpec& KindRowOf(AudioKind kind);
// "MP3", "WAV", ... in the table's order.
QStringList KindLabels();

// The kind of a full path or bare file name: its trimmed extension with A-Z lowered, compared
// exactly (so "Song.MP3 " is MP3, "Song.mp3.bak" is none).
AudioKind KindOf(const QString& name, PathStyle style = nativePathStyle());
QString ExtensionOf(const QString& name, PathStyle style = nativePathStyle());

bool IsMp3File(const QString& name, PathStyle style = nativePathStyle());
bool IsWavFile(const QString& name, PathStyle style = nativePathStyle());
bool IsFlacFile(const QString& name, PathStyle style = nativePathStyle());
bool IsAiffFile(const QString& name, PathStyle style = nativePathStyle());
bool IsAifFile(const QString& name, PathStyle style = nativePathStyle());
bool IsAacFile(const QString& name, PathStyle style = nativePathStyle());
bool IsM4aFile(const QString& name, PathStyle style = nativePathStyle());
bool IsSupportedFile(const QString& name, PathStyle style = nativePathStyle());

// ".mp3" for MP3 and so on; empty for None.
QString KindExtension(AudioKind kind);
// The kind's name in status texts: "MP3", "FLAC", "AIF", ...
QString KindLabel(AudioKind kind);

// The file name of a path: the text after the last separator (in the Windows style also after
// the last colon).
QString FileNameOf(const QString& path, PathStyle style = nativePathStyle());
// The folder of a path, with its trailing separator; empty when the path names no folder.
QString FolderOf(const QString& path, PathStyle style = nativePathStyle());

// The output name for an input file name: its extension, wherever it stands and in any letter
// case, becomes "-{frequency} Hz" and the lower-case extension ("Song.MP3" -> "Song-432 Hz.mp3").
QString MakeOutputName(const QString& fileName, const QString& frequencyText,
                       PathStyle style = nativePathStyle());

// The folder an output goes to: below the output root (the documents folder's "Quorvane"),
// "{N} Hz" and the input's folder without its drive; in CD mode the CD folder's "{N} Hz"
// subfolder. See ProgramPaths::outputFolderFor.
QString MakeOutputFolder(const QString& inputPath, const QString& frequencyText, bool cdMode,
                         const QString& cdFolder, const QString& outputRoot,
                         PathStyle style = nativePathStyle());

// A name with its extension replaced by ".mp3" (appended when it has none): CD-mode outputs.
QString WithMp3Extension(const QString& fileName);

}  // namespace qvr
