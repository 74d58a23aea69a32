#pragma once

#include <array>
#include <cstdint>

namespace qvr {

// The MP3 encoder library's stream interface as the encoder component calls it. The real one
// works over libmp3lame (Mp3LameLibrary.h); tests put a scripted one in its place. 0 = success.

inline constexpr std::int32_t kBeOk = 0;
inline constexpr std::int32_t kBeInvalidFormat = 1;
inline constexpr std::int32_t kBeInvalidFormatParameters = 2;
inline constexpr std::int32_t kBeNoMoreHandles = 3;
inline constexpr std::int32_t kBeInvalidHandle = 4;

inline constexpr int kBeVersionSize = 268;
inline constexpr int kBeConfigSize = 335;
using BeVersionRecord = std::array<std::uint8_t, kBeVersionSize>;
using BeConfigRecord = std::array<std::uint8_t, kBeConfigSize>;

// The configuration record: a kind, then a version-1 body. All values 32-bit little-endian.
namespace be_config {
inline constexpr std::uint32_t kKindLame = 256;
inline constexpr std::uint32_t kBodyVersion = 1;
inline constexpr std::uint32_t kBodySize = 331;
inline constexpr int kKind = 0;
inline constexpr int kVersion = 4;
inline constexpr int kSize = 8;
inline constexpr int kSampleRate = 12;
inline constexpr int kReSampleRate = 16;
inline constexpr int kMode = 20;
inline constexpr int kBitrate = 24;
inline constexpr int kMaxBitrate = 28;
inline constexpr int kPreset = 32;
inline constexpr int kMpegVersion = 36;
inline constexpr int kPsyModel = 40;
inline constexpr int kEmphasis = 44;
inline constexpr int kPrivate = 48;
inline constexpr int kCrc = 52;
inline constexpr int kCopyright = 56;
inline constexpr int kOriginal = 60;
inline constexpr int kWriteVbrHeader = 64;
inline constexpr int kEnableVbr = 68;
inline constexpr int kVbrQuality = 72;
}  // namespace be_config

class LameEncLibrary {
  public:
    virtual ~LameEncLibrary() = default;

    virtual void beVersion(BeVersionRecord* version) = 0;
    virtual std::int32_t beInitStream(const BeConfigRecord* config, std::uint32_t* samplesPerChunk,
                                      std::uint32_t* outputBufferSize, std::uint32_t* stream) = 0;
    // samples: the count of 16-bit samples of all channels, exactly samplesPerChunk.
    virtual std::int32_t beEncodeChunk(std::uint32_t stream, std::uint32_t samples,
                                       const std::int16_t* pcm, std::uint8_t* output,
                                       std::uint32_t* outputCount) = 0;
    virtual std::int32_t beDeinitStream(std::uint32_t stream, std::uint8_t* output,
                                        std::uint32_t* outputCount) = 0;
    virtual std::int32_t beCloseStream(std::uint32_t stream) = 0;
};

// The process's encoder library, over libmp3lame.
LameEncLibrary& lameEncLibrary();

}  // namespace qvr
