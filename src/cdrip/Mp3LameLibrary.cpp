#include "Mp3LameLibrary.h"

#include <lame/lame.h>

#include <algorithm>

namespace qvr {
namespace {

// lame encodes 1152 samples per channel in one MPEG-1 layer III frame.
constexpr std::uint32_t kFrameSamples = 1152;
// lame's documented worst case for one call: 1.25 × samples per channel + 7200 bytes; the
// flush needs at most 7200.
constexpr std::uint32_t kOutputBufferSize = kFrameSamples * 5 / 4 + 7200;

MPEG_mode lameMode(TLameMode mode)
{
    switch (mode) {
        case TLameMode::JSTEREO: return JOINT_STEREO;
        case TLameMode::DUALCHANNEL: return DUAL_CHANNEL;
        case TLameMode::MONO: return MONO;
        default: return STEREO;
    }
}

// The presets are search-quality levels of lame: 0 best and slowest, 9 worst.
int lameQuality(MPEG_QUALITY preset)
{
    switch (preset) {
        case MPEG_QUALITY::LOW_QUALITY: return 7;
        case MPEG_QUALITY::HIGH_QUALITY: return 2;
        default: return 5;  // normal, voice
    }
}

void applyBitrates(lame_global_flags* flags, const Mp3Settings& settings)
{
    const auto bitrate = static_cast<int>(settings.bitrate);
    if (!settings.enableVbr) {
        lame_set_brate(flags, bitrate);
        return;
    }
    lame_set_VBR(flags, vbr_default);
    lame_set_VBR_q(flags, std::clamp(settings.vbrQuality, 0, 9));
    lame_set_VBR_min_bitrate_kbps(flags, bitrate);
    lame_set_VBR_max_bitrate_kbps(flags, static_cast<int>(settings.maxBitrate));
}

// The MPEG version follows from the sample rate in lame; the output keeps the input's rate.
void configure(lame_global_flags* flags, const Mp3Settings& settings, int channels)
{
    lame_set_in_samplerate(flags, static_cast<int>(settings.sampleRate));
    lame_set_num_channels(flags, channels);
    lame_set_mode(flags, lameMode(settings.mode));
    lame_set_quality(flags, lameQuality(settings.quality));
    applyBitrates(flags, settings);
    lame_set_extension(flags, settings.privateBit);
    lame_set_error_protection(flags, settings.crc);
    lame_set_copyright(flags, settings.copyright);
    lame_set_original(flags, settings.original);
    lame_set_bWriteVbrTag(flags, settings.writeVbrHeader);
}

// lame itself takes any sample rate and mode value; these would make a stream of nonsense.
bool understood(const Mp3Settings& settings)
{
    const auto mode = static_cast<std::int32_t>(settings.mode);
    return settings.sampleRate != 0 && mode >= 0 && mode <= 3;
}

}  // namespace

void Mp3LameLibrary::LameCloser::operator()(lame_global_struct* flags) const
{
    lame_close(flags);
}

Mp3LameLibrary::Mp3LameLibrary() = default;
Mp3LameLibrary::~Mp3LameLibrary() = default;

LameVersionNumbers Mp3LameLibrary::version()
{
    lame_version_t engine{};
    get_lame_version_numerical(&engine);
    return {kLayerMajorVersion, kLayerMinorVersion, static_cast<std::uint8_t>(engine.major),
            static_cast<std::uint8_t>(engine.minor)};
}

std::int32_t Mp3LameLibrary::initStream(const Mp3Settings& settings, Mp3Stream* opened)
{
    if (!understood(settings)) {
        return kBeInvalidFormat;
    }
    Encoder encoder(lame_init());
    if (!encoder) {
        return kBeNoMoreHandles;
    }
    const int channels = settings.mode == TLameMode::MONO ? 1 : 2;
    configure(encoder.get(), settings, channels);
    if (lame_init_params(encoder.get()) < 0) {
        return kBeInvalidFormatParameters;
    }
    opened->handle = nextHandle_++;
    opened->samplesPerChunk = kFrameSamples * static_cast<std::uint32_t>(channels);
    opened->outputBufferSize = kOutputBufferSize;
    streams_[opened->handle] = Stream{std::move(encoder), channels};
    return kBeOk;
}

Mp3LameLibrary::Stream* Mp3LameLibrary::find(std::uint32_t stream)
{
    const auto it = streams_.find(stream);
    return it == streams_.end() ? nullptr : &it->second;
}

std::int32_t Mp3LameLibrary::encodeChunk(std::uint32_t stream, std::uint32_t samples,
                                         const std::int16_t* pcm, std::uint8_t* output,
                                         std::uint32_t* outputCount)
{
    *outputCount = 0;
    Stream* s = find(stream);
    if (s == nullptr) {
        return kBeInvalidHandle;
    }
    const int perChannel = static_cast<int>(samples) / s->channels;
    const int written =
        s->channels == 1
            ? lame_encode_buffer(s->encoder.get(), pcm, pcm, perChannel, output,
                                 static_cast<int>(kOutputBufferSize))
            : lame_encode_buffer_interleaved(s->encoder.get(), const_cast<short*>(pcm), perChannel,
                                             output, static_cast<int>(kOutputBufferSize));
    if (written < 0) {
        return kBeInvalidFormatParameters;
    }
    *outputCount = static_cast<std::uint32_t>(written);
    return kBeOk;
}

std::int32_t Mp3LameLibrary::deinitStream(std::uint32_t stream, std::uint8_t* output,
                                          std::uint32_t* outputCount)
{
    *outputCount = 0;
    Stream* s = find(stream);
    if (s == nullptr) {
        return kBeInvalidHandle;
    }
    const int written =
        lame_encode_flush(s->encoder.get(), output, static_cast<int>(kOutputBufferSize));
    if (written < 0) {
        return kBeInvalidFormatParameters;
    }
    *outputCount = static_cast<std::uint32_t>(written);
    return kBeOk;
}

std::int32_t Mp3LameLibrary::closeStream(std::uint32_t stream)
{
    return streams_.erase(stream) == 1 ? kBeOk : kBeInvalidHandle;
}

}  // namespace qvr
