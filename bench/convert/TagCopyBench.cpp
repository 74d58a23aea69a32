// The cost of carrying tags over: CopyTags from a tagged source (text fields and a 300x300 JPEG
// front cover) to an untagged output of about 10 MB, for every kind the engine writes, made with
// the real tools. The output is a fresh copy of the encoder's file in each round, as in a run.
//
//   build/bench/tagcopy_bench [ROUNDS]      (default 9; the median is printed)

#include "BenchTools.h"
#include "convert/TagCopy.h"
#include "platform/FileSystem.h"
#include "platform/NativePath.h"

#include <taglib/aifffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mp4tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace qvr;
using namespace qvr::bench;
namespace ID3v2 = TagLib::ID3v2;

namespace {

constexpr double kTargetBytes = 10e6;

struct Kind {
    const char* extension;
    QStringList codec;      // the encoder's arguments
    double bytesPerSecond;  // roughly, for stereo noise at 44.1 kHz
};

// Stereo noise (two sources, so lossless codecs cannot fold the channels) of the given length.
bool makeNoise(const QString& path, double seconds, const QStringList& codec)
{
    const QString length = QString::number(seconds);
    return ffmpeg(QStringList{"-f", "lavfi", "-i", "anoisesrc=seed=1:amplitude=0.3:d=" + length,
                              "-f", "lavfi", "-i", "anoisesrc=seed=2:amplitude=0.3:d=" + length,
                              "-filter_complex", "[0:a][1:a]join=inputs=2:channel_layout=stereo"} +
                  codec + QStringList{path});
}

TagLib::PropertyMap fields()
{
    TagLib::PropertyMap map;
    const char* const pairs[][2] = {{"TITLE", "Title"},
                                    {"ARTIST", "Artist"},
                                    {"ALBUMARTIST", "Album Artist"},
                                    {"ALBUM", "Album"},
                                    {"TRACKNUMBER", "3/12"},
                                    {"DISCNUMBER", "1/2"},
                                    {"DATE", "1999"},
                                    {"GENRE", "Classical"},
                                    {"COMPOSER", "Composer"},
                                    {"COMMENT", "Comment"},
                                    {"REPLAYGAIN_TRACK_GAIN", "-6.48 dB"}};
    for (const auto& pair : pairs) {
        map.replace(pair[0], TagLib::StringList(pair[1]));
    }
    return map;
}

void putId3v2(ID3v2::Tag& tag, const TagLib::ByteVector& cover)
{
    tag.setProperties(fields());
    auto* frame = new ID3v2::AttachedPictureFrame;
    frame->setType(ID3v2::AttachedPictureFrame::FrontCover);
    frame->setMimeType("image/jpeg");
    frame->setDescription("Front");
    frame->setPicture(cover);
    tag.addFrame(frame);
}

void tagSource(const QString& path, const char* extension, const TagLib::ByteVector& cover)
{
    const std::string name = toNativeBytes(path);
    const QString kind = QLatin1String(extension);
    if (kind == QStringLiteral("mp3")) {
        TagLib::MPEG::File file(name.c_str(), false);
        putId3v2(*file.ID3v2Tag(true), cover);
        file.save(TagLib::MPEG::File::ID3v2);
    } else if (kind == QStringLiteral("wav")) {
        TagLib::RIFF::WAV::File file(name.c_str(), false);
        putId3v2(*file.ID3v2Tag(), cover);
        file.save();
    } else if (kind.startsWith(QStringLiteral("aif"))) {
        TagLib::RIFF::AIFF::File file(name.c_str(), false);
        putId3v2(*file.tag(), cover);
        file.save();
    } else if (kind == QStringLiteral("flac")) {
        TagLib::FLAC::File file(name.c_str(), ID3v2::FrameFactory::instance(), false);
        file.xiphComment(true)->setProperties(fields());
        auto* picture = new TagLib::FLAC::Picture;
        picture->setType(TagLib::FLAC::Picture::FrontCover);
        picture->setMimeType("image/jpeg");
        picture->setData(cover);
        file.addPicture(picture);
        file.save();
    } else if (kind == QStringLiteral("m4a")) {
        TagLib::MP4::File file(name.c_str(), false);
        file.tag()->setProperties(fields());
        TagLib::MP4::CoverArtList art;
        art.append(TagLib::MP4::CoverArt(TagLib::MP4::CoverArt::JPEG, cover));
        file.tag()->setItem("covr", art);
        file.save();
    } else if (kind == QStringLiteral("aac")) {
        ID3v2::Tag tag;
        putId3v2(tag, cover);
        const TagLib::ByteVector block = tag.render();
        WriteFileBytes(path, QByteArray(block.data(), block.size()) +
                                 ReadFileBytes(path).value_or(QByteArray()));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    QTemporaryDir scratch;
    const QString dir = scratch.path() + u'/';
    const QString coverPath = dir + QStringLiteral("cover.jpg");
    if (!ffmpeg({"-f", "lavfi", "-i", "testsrc=size=300x300", "-frames:v", "1", "-q:v", "2",
                 coverPath})) {
        std::fprintf(stderr, "could not make the cover (ffmpeg is needed)\n");
        return 1;
    }
    const QByteArray coverBytes = ReadFileBytes(coverPath).value_or(QByteArray());
    const TagLib::ByteVector cover(coverBytes.constData(),
                                   static_cast<unsigned int>(coverBytes.size()));
    const Kind kinds[] = {
        {"mp3", {"-c:a", "libmp3lame", "-b:a", "192k"}, 24000},
        {"aac", {"-c:a", "aac", "-b:a", "192k"}, 24000},
        {"flac", {"-c:a", "flac", "-sample_fmt", "s16"}, 175000},
        {"m4a", {"-c:a", "alac", "-sample_fmt", "s16p"}, 175000},
        {"aiff", {"-c:a", "pcm_s16be"}, 176400},
        {"aif", {"-c:a", "pcm_s16be"}, 176400},
        // Copied from the time-stretch tool's output, which has no INFO list before its data.
        {"wav", {"-c:a", "pcm_s16le", "-fflags", "+bitexact"}, 176400},
    };

    std::printf("cover: %lld bytes; %d rounds\n\n%-6s %10s %12s\n",
                static_cast<long long>(coverBytes.size()), rounds, "kind", "MB", "CopyTags ms");
    for (const Kind& kind : kinds) {
        const QString extension = QLatin1String(kind.extension);
        const QString plain = dir + QStringLiteral("plain.") + extension;
        const QString source = dir + QStringLiteral("source.") + extension;
        const QString target = dir + QStringLiteral(".quorvane-1-0.part.") + extension;
        if (!makeNoise(plain, kTargetBytes / kind.bytesPerSecond, kind.codec) ||
            !CopyFileReplacing(plain, source)) {
            std::fprintf(stderr, "could not make the %s file\n", kind.extension);
            return 1;
        }
        tagSource(source, kind.extension, cover);
        std::vector<double> times;
        bool written = true;
        for (int round = 0; round < rounds; ++round) {
            CopyFileReplacing(plain, target);
            QElapsedTimer timer;
            timer.start();
            written =
                CopyTags(source, target, QStringLiteral("432 Hz (from 440 Hz)")).written && written;
            times.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::printf("%-6s %10.1f %12.2f%s\n", kind.extension, FileSize64(target) / 1e6,
                    medianMs(times), written ? "" : "   NOT WRITTEN");
    }
    return 0;
}
