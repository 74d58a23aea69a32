#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <span>

namespace qvr {

// An audio file (WAV, FLAC, AIFF, MP3...) read as CD audio: 16-bit little-endian stereo at
// 44.1 kHz, decoded and converted through FFmpeg's libraries as it is read. Reading goes on
// where the last read ended; any other position is sought.
class DecodedAudio {
  public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kFrameBytes = 4;

    // Nothing when the file holds no audio stream FFmpeg can decode, or does not tell its length.
    static std::unique_ptr<DecodedAudio> open(const QString& path);
    ~DecodedAudio();

    // Stereo frames at 44.1 kHz, as the file's header announces them.
    std::int64_t frames() const;
    // The frames from `first` into `destination` (kFrameBytes a frame); silence behind the end
    // of the audio. False when the file cannot be decoded there.
    bool read(std::int64_t first, std::span<std::uint8_t> destination);

    struct Decoder;

  private:
    explicit DecodedAudio(std::unique_ptr<Decoder> decoder);
    std::unique_ptr<Decoder> decoder_;
};

}  // namespace qvr
