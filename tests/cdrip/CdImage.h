#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace qvr::test {

// CD-TEXT of a test disc or of one of its tracks, as TITLE and PERFORMER lines of the sheet;
// an empty text gives no line.
struct ImageText {
    QString title;
    QString performer;
};

// One track of a test disc: an audio track holds a stereo tone (left at `frequency`, right at
// `rightRatio` × `frequency`), a data track a byte pattern.
struct ImageTrack {
    bool audio = true;
    int sectors = 150;
    double frequency = 440.0;
    double rightRatio = 1.5;  // 1: the same pure tone in both channels
    ImageText text{};
};

// A CUE sheet (in UTF-8) with one BIN file beside it, as a CD image the extraction library
// can read.
struct CdImage {
    QString cuePath;
    QString binPath;
    QByteArray bin;
    std::vector<int> startSectors;           // per track, then the lead-out
    QByteArray trackBytes(int track) const;  // 1-based
};

CdImage writeCdImage(const QString& folder, const QString& name,
                     const std::vector<ImageTrack>& tracks, const ImageText& disc = {});

// Sample pairs of 16-bit stereo PCM as written into audio tracks.
QByteArray stereoTone(int frames, double leftFrequency, int sampleRate = 44100,
                      double rightRatio = 1.5);

// A WAV file of 16-bit stereo PCM at 44.1 kHz.
QByteArray wavFile(const QByteArray& pcm);
// The PCM as a FLAC file (lossless), through the real ffmpeg; false when it was not made.
bool writeFlac(const QString& path, const QByteArray& pcm);

}  // namespace qvr::test
