#include "CdImage.h"

#include "support/TempHome.h"

#include <QFile>
#include <QProcess>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <numbers>

namespace qvr::test {
namespace {

constexpr int kSectorSize = 2352;
constexpr int kFramesPerSector = 588;

QByteArray dataSectors(int sectors, int seed)
{
    QByteArray bytes(sectors * kSectorSize, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>((i * 7 + seed) & 0xFF);
    }
    return bytes;
}

QString msf(int sector)
{
    return QStringLiteral("%1:%2:%3")
        .arg(sector / (75 * 60), 2, 10, QLatin1Char('0'))
        .arg(sector / 75 % 60, 2, 10, QLatin1Char('0'))
        .arg(sector % 75, 2, 10, QLatin1Char('0'));
}

QString textLines(const ImageText& text, const QString& indent)
{
    QString lines;
    if (!text.title.isEmpty()) {
        lines += indent + QStringLiteral("TITLE \"%1\"\n").arg(text.title);
    }
    if (!text.performer.isEmpty()) {
        lines += indent + QStringLiteral("PERFORMER \"%1\"\n").arg(text.performer);
    }
    return lines;
}

}  // namespace

QByteArray stereoTone(int frames, double leftFrequency, int sampleRate, double rightRatio)
{
    QByteArray bytes(frames * 4, '\0');
    auto* p = reinterpret_cast<uchar*>(bytes.data());
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const auto left =
            static_cast<std::int16_t>(8000 * std::sin(2 * std::numbers::pi * leftFrequency * t));
        const auto right = static_cast<std::int16_t>(
            8000 * std::sin(2 * std::numbers::pi * rightRatio * leftFrequency * t));
        qToLittleEndian(left, p + 4 * i);
        qToLittleEndian(right, p + 4 * i + 2);
    }
    return bytes;
}

QByteArray wavFile(const QByteArray& pcm)
{
    QByteArray wav(44, '\0');
    auto* p = reinterpret_cast<uchar*>(wav.data());
    const auto size = static_cast<std::uint32_t>(pcm.size());
    std::memcpy(p, "RIFF", 4);
    qToLittleEndian<std::uint32_t>(size + 36, p + 4);
    std::memcpy(p + 8, "WAVEfmt ", 8);
    const std::uint32_t fmt[] = {16, 0x00020001, 44100, 176400, 0x00100004};
    for (int i = 0; i < 5; ++i) {
        qToLittleEndian(fmt[i], p + 16 + 4 * i);
    }
    std::memcpy(p + 36, "data", 4);
    qToLittleEndian<std::uint32_t>(size, p + 40);
    return wav + pcm;
}

bool writeFlac(const QString& path, const QByteArray& pcm)
{
    const QString wav = path + QStringLiteral(".source.wav");
    writeFile(wav, wavFile(pcm));
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {"-v", "error", "-y", "-i", wav, "-c:a", "flac", path});
    const bool made = ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0;
    QFile::remove(wav);
    return made;
}

QByteArray CdImage::trackBytes(int track) const
{
    const int first = startSectors[static_cast<std::size_t>(track - 1)];
    const int next = startSectors[static_cast<std::size_t>(track)];
    return bin.mid(qsizetype{first} * kSectorSize, qsizetype{next - first} * kSectorSize);
}

CdImage writeCdImage(const QString& folder, const QString& name,
                     const std::vector<ImageTrack>& tracks, const ImageText& disc)
{
    CdImage image;
    image.cuePath = folder + name + QStringLiteral(".cue");
    image.binPath = folder + name + QStringLiteral(".bin");
    QString cue = textLines(disc, QString()) + QStringLiteral("FILE \"%1.bin\" BINARY\n").arg(name);
    int sector = 0;
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const ImageTrack& track = tracks[i];
        image.startSectors.push_back(sector);
        cue += QStringLiteral("  TRACK %1 %2\n")
                   .arg(i + 1, 2, 10, QLatin1Char('0'))
                   .arg(track.audio ? QStringLiteral("AUDIO") : QStringLiteral("MODE1/2352"));
        cue += textLines(track.text, QStringLiteral("    "));
        cue += QStringLiteral("    INDEX 01 %1\n").arg(msf(sector));
        image.bin += track.audio ? stereoTone(track.sectors * kFramesPerSector, track.frequency,
                                              44100, track.rightRatio)
                                 : dataSectors(track.sectors, static_cast<int>(i));
        sector += track.sectors;
    }
    image.startSectors.push_back(sector);
    writeFile(image.binPath, image.bin);
    writeFile(image.cuePath, cue.toUtf8());
    return image;
}

}  // namespace qvr::test
