#include "Mp3LameLibrary.h"

#include <QtEndian>

#include <lame/lame.h>

#include <algorithm>

namespace qvr {
namespace {

// lame encodes 1152 samples per channel in one MPEG-1 layer III frame.
constexpr std::uint32_t kFrameSamples = 1152;
// lame's documented worst case for one call: 1.25 × samples per channel + 7200 bytes; the
// flush needs at most 7200.
constexpr std::uint32_t kOutputBufferSize = kFrameSamples * 5 / 4 + 7200;

std::uint32_t field(const BeConfigRecord& record, int offset)
{
    return qFromLittleEndian<std::uint32_t>(record.data() + offset);
}

MPEG_mode lameMode(std::uint32_t mode)
{
    switch (mode) {
        case 1: return JOINT_STEREO;
        case 2: return DUAL_CHANNEL;
        case 3: return MONO;
        default: return STEREO;
    }
}

// The presets are search-quality levels of lame: 0 best and slowest, 9 worst.
int lameQuality(std::uint32_t preset)
{
    switch (preset & 0xFF) {
        case 1:  // low
            return 7;
        case 2:  // high
            return 2;
        default:  // normal, voice
            return 5;
    }
}

void applyBitrates(lame_global_flags* flags, const BeConfigRecord& config)
{
    const auto bitrate = static_cast<int>(field(config, be_config::kBitrate));
    if (field(config, be_config::kEnableVbr) == 0) {
        lame_set_brate(flags, bitrate);
        return;
    }
    lame_set_VBR(flags, vbr_default);
    lame_set_VBR_q(flags,
                   std::clamp(static_cast<int>(field(config, be_config::kVbrQuality)), 0, 9));
    lame_set_VBR_min_bitrate_kbps(flags, bitrate);
    lame_set_VBR_max_bitrate_kbps(flags, static_cast<int>(field(config, be_config::kMaxBitrate)));
}

// Fills the encoder from the record; the MPEG version follows from the sample rate in lame.
void configure(lame_global_flags* flags, const BeConfigRecord& config, int channels)
{
    lame_set_in_samplerate(flags, static_cast<int>(field(config, be_config::kSampleRate)));
    if (const std::uint32_t rate = field(config, be_config::kReSampleRate); rate != 0) {
        lame_set_out_samplerate(flags, static_cast<int>(rate));
    }
    lame_set_num_channels(flags, channels);
    lame_set_mode(flags, lameMode(field(config, be_config::kMode)));
    lame_set_quality(flags, lameQuality(field(config, be_config::kPreset)));
    applyBitrates(flags, config);
    lame_set_emphasis(flags, static_cast<int>(field(config, be_config::kEmphasis)));
    lame_set_extension(flags, field(config, be_config::kPrivate) != 0);
    lame_set_error_protection(flags, field(config, be_config::kCrc) != 0);
    lame_set_copyright(flags, field(config, be_config::kCopyright) != 0);
    lame_set_original(flags, field(config, be_config::kOriginal) != 0);
    lame_set_bWriteVbrTag(flags, field(config, be_config::kWriteVbrHeader) != 0);
}

}  // namespace

void Mp3LameLibrary::LameCloser::operator()(lame_global_struct* flags) const
{
    lame_close(flags);
}

Mp3LameLibrary::Mp3LameLibrary() = default;
Mp3LameLibrary::~Mp3LameLibrary() = default;

void Mp3LameLibrary::beVersion(BeVersionRecord* version)
{
    lame_version_t engine{};
    get_lame_version_numerical(&engine);
    version->fill(0);
    (*version)[0] = kLayerMajorVersion;
    (*version)[1] = kLayerMinorVersion;
    (*version)[2] = static_cast<std::uint8_t>(engine.major);
    (*version)[3] = static_cast<std::uint8_t>(engine.minor);
}

std::int32_t Mp3LameLibrary::beInitStream(const BeConfigRecord* config,
                                          std::uint32_t* samplesPerChunk,
                                          std::uint32_t* outputBufferSize, std::uint32_t* stream)
{
    if (field(*config, be_config::kKind) != be_config::kKindLame ||
        field(*config, be_config::kSize) < be_config::kBodySize) {
        return kBeInvalidFormat;
    }
    Encoder encoder(lame_init());
    if (!encoder) {
        return kBeNoMoreHandles;
    }
    const int channels = field(*config, be_config::kMode) == 3 ? 1 : 2;
    configure(encoder.get(), *config, channels);
    if (lame_init_params(encoder.get()) < 0) {
        return kBeInvalidFormatParameters;
    }
    *samplesPerChunk = kFrameSamples * static_cast<std::uint32_t>(channels);
    *outputBufferSize = kOutputBufferSize;
    *stream = nextHandle_++;
    streams_[*stream] = Stream{std::move(encoder), channels};
    return kBeOk;
}

Mp3LameLibrary::Stream* Mp3LameLibrary::find(std::uint32_t stream)
{
    const auto it = streams_.find(stream);
    return it == streams_.end() ? nullptr : &it->second;
}

std::int32_t Mp3LameLibrary::beEncodeChunk(std::uint32_t stream, std::uint32_t samples,
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

std::int32_t Mp3LameLibrary::beDeinitStream(std::uint32_t stream, std::uint8_t* output,
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

std::int32_t Mp3LameLibrary::beCloseStream(std::uint32_t stream)
{
    return streams_.erase(stream) == 1 ? kBeOk : kBeInvalidHandle;
}

LameEncLibrary& lameEncLibrary()
{
    static Mp3LameLibrary library;
    return library;
}

}  // namespace qvr
