#pragma once

#include <QString>

#include <atomic>
#include <cstdint>
#include <optional>

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
    QString layout;  // "5.1", "quad", ...; empty when the file names no layout
    int sampleRate = 0;
    int bits = 0;  // bits of a sample of a lossless stream (PCM, FLAC, ALAC); 0 for a lossy one
    double seconds = 0;  // DecodeAudio: decoded samples / sample rate; ProbeAudio: the container's
                         // duration
    std::int64_t bitRate = 0;  // bits a second: ProbeAudio the container's claim, DecodeAudio the
                               // average of the packets read
    // DecodeAudio only:
    bool variableBitRate = false;  // the packets differ in size by more than a padding byte
    int errors = 0;                // packets the decoder refused
    bool endCutShort = false;      // the only damage is the last packet, cut by the file's end
    double meanSquare = 0;         // of every sample of every channel, full scale = 1

    // The level in decibels below full scale; very low for silence.
    double levelDb() const;
};

// Cheap: opens the container, finds the best audio stream and reads the facts of its header
// without decoding. Anything but a regular file is not readable and is never opened.
AudioFacts ProbeAudio(const QString& path);

// True for a RIFF WAVE file of plain integer PCM (format 1, 8 to 32 bits a sample): what the
// time-stretch tool reads exactly. Floating point, A-law, mu-law, ADPCM, GSM, MP3 in WAV,
// RF64 and the extensible header are not.
bool IsPlainPcmWav(const QString& path);

// The LAME -V quality (0 best to 9) an MP3's Xing header records for a variable rate; none for
// a constant rate ("Info" header) or a file without the header.
std::optional<int> Mp3VbrQuality(const QString& path);

// Opens the file and decodes every packet of the best audio stream to the end; the length is
// what was decoded. `cancel`, when given, is polled between packets: once it is true the function
// returns soon with complete=false.
AudioFacts DecodeAudio(const QString& path, const std::atomic<bool>* cancel = nullptr);

// DecodeAudio on two threads: a second reader decodes from a packet near the middle to the end
// while the first decodes up to that packet, and the facts of the halves are added up. The
// facts are those of DecodeAudio; a file too short to be worth it, one that cannot seek, or one
// whose halves do not meet at the same packet is decoded whole by the first reader. `split`,
// when given, tells whether the halves met.
AudioFacts DecodeAudioInHalves(const QString& path, const std::atomic<bool>* cancel = nullptr,
                               bool* split = nullptr);

}  // namespace qvr
