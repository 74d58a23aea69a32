#pragma once

#include <QString>

#include <atomic>

namespace qvr {

// What an audio file really holds, as the audio libraries read it.
struct AudioFacts {
    bool readable = false;         // the container opened and holds an audio stream
    bool complete = false;         // (DecodeAudio only) every packet of that stream was read and
                                   // decoded without error to the end of the file
    bool lengthEstimated = false;  // (ProbeAudio) the container's duration is only a guess from
                                   // the bit rate
    QString codec;                 // the libraries' codec name: "mp3", "pcm_s16le", "flac", ...
    int channels = 0;
    int sampleRate = 0;
    int bits = 0;  // bits of a sample of a lossless stream (PCM, FLAC, ALAC); 0 for a lossy one
    double seconds = 0;  // DecodeAudio: decoded samples / sample rate; ProbeAudio: the container's
                         // duration
};

// Cheap: opens the container, finds the best audio stream and reads the facts of its header
// without decoding. Anything but a regular file is not readable and is never opened.
AudioFacts ProbeAudio(const QString& path);

// Opens the file and decodes every packet of the best audio stream to the end; the length is
// what was decoded. `cancel`, when given, is polled between packets: once it is true the function
// returns soon with complete=false.
AudioFacts DecodeAudio(const QString& path, const std::atomic<bool>* cancel = nullptr);

}  // namespace qvr
