#pragma once

#include <cstdint>

namespace qvr {

// The MP3 encoder library's stream interface as the encoder component calls it. The real one
// works over libmp3lame (Mp3LameLibrary.h); tests put a scripted one in its place. 0 = success.

inline constexpr std::int32_t kBeOk = 0;
inline constexpr std::int32_t kBeInvalidFormat = 1;
inline constexpr std::int32_t kBeInvalidFormatParameters = 2;
inline constexpr std::int32_t kBeNoMoreHandles = 3;
inline constexpr std::int32_t kBeInvalidHandle = 4;

enum class TLameMode : std::int32_t { STEREO = 0, JSTEREO = 1, DUALCHANNEL = 2, MONO = 3 };

enum class MPEG_QUALITY : std::uint8_t {
    NORMAL_QUALITY = 0,
    LOW_QUALITY = 1,
    HIGH_QUALITY = 2,
    VOICE_QUALITY = 3,
};

// The version of the library layer and of the encoder engine beneath it.
struct LameVersionNumbers {
    std::uint8_t layerMajor = 0;
    std::uint8_t layerMinor = 0;
    std::uint8_t engineMajor = 0;
    std::uint8_t engineMinor = 0;

    bool operator==(const LameVersionNumbers&) const = default;
};

// Everything a stream is opened with.
struct Mp3Settings {
    std::uint32_t sampleRate = 44100;
    TLameMode mode = TLameMode::STEREO;
    std::uint32_t bitrate = 128;     // the constant rate, or the least one with VBR
    std::uint32_t maxBitrate = 320;  // only with VBR
    MPEG_QUALITY quality = MPEG_QUALITY::NORMAL_QUALITY;
    bool privateBit = false;
    bool crc = true;
    bool copyright = false;
    bool original = false;
    bool writeVbrHeader = false;
    bool enableVbr = false;
    std::int32_t vbrQuality = 4;  // 0 best .. 9 worst

    bool operator==(const Mp3Settings&) const = default;
};

// An opened stream: its handle and the sizes every chunk call must keep to.
struct Mp3Stream {
    std::uint32_t handle = 0;
    std::uint32_t samplesPerChunk = 0;  // 16-bit samples of all channels
    std::uint32_t outputBufferSize = 0;
};

class LameEncLibrary {
  public:
    virtual ~LameEncLibrary() = default;

    virtual LameVersionNumbers version() = 0;
    // Fills opened on success.
    virtual std::int32_t initStream(const Mp3Settings& settings, Mp3Stream* opened) = 0;
    // samples: the count of 16-bit samples of all channels, exactly samplesPerChunk.
    virtual std::int32_t encodeChunk(std::uint32_t stream, std::uint32_t samples,
                                     const std::int16_t* pcm, std::uint8_t* output,
                                     std::uint32_t* outputCount) = 0;
    virtual std::int32_t deinitStream(std::uint32_t stream, std::uint8_t* output,
                                      std::uint32_t* outputCount) = 0;
    virtual std::int32_t closeStream(std::uint32_t stream) = 0;
};

}  // namespace qvr
