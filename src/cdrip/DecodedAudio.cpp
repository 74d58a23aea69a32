#include "DecodedAudio.h"

#include "convert/AvHandles.h"
#include "platform/NativePath.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

namespace qvr {
namespace {

struct ResamplerFreer {
    void operator()(SwrContext* context) const { swr_free(&context); }
};

// A jump ahead by more than this is sought rather than decoded through.
constexpr std::int64_t kSeekDistance = DecodedAudio::kSampleRate;

}  // namespace

struct DecodedAudio::Decoder {
    FormatPtr format;
    CodecPtr codec;
    std::unique_ptr<SwrContext, ResamplerFreer> resampler;
    PacketPtr packet{av_packet_alloc()};
    FramePtr frame{av_frame_alloc()};
    AVStream* stream = nullptr;
    std::int64_t frames = 0;
    // Converted frames not yet read, and the position of the first of them; unknown after a
    // seek until the next decoded frame tells it.
    std::vector<std::uint8_t> pending;
    std::int64_t pendingStart = 0;
    bool positionKnown = true;
    bool ended = false;
    bool failed = false;

    std::int64_t pendingEnd() const
    {
        return pendingStart + static_cast<std::int64_t>(pending.size()) / kFrameBytes;
    }
    bool openResampler();
    bool seek(std::int64_t target);
    void dropBefore(std::int64_t position);
    void append(const std::uint8_t** input, int count);
    bool decodeMore();
};

bool DecodedAudio::Decoder::openResampler()
{
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    AVChannelLayout input{};
    if (codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        av_channel_layout_default(&input, codec->ch_layout.nb_channels);
    } else if (av_channel_layout_copy(&input, &codec->ch_layout) < 0) {
        return false;
    }
    SwrContext* raw = nullptr;
    const int made = swr_alloc_set_opts2(&raw, &stereo, AV_SAMPLE_FMT_S16, kSampleRate, &input,
                                         codec->sample_fmt, codec->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&input);
    resampler.reset(raw);
    return made >= 0 && swr_init(resampler.get()) >= 0;
}

bool DecodedAudio::Decoder::seek(std::int64_t target)
{
    const std::int64_t timestamp =
        av_rescale_q(target, AVRational{1, kSampleRate}, stream->time_base);
    if (av_seek_frame(format.get(), stream->index, timestamp, AVSEEK_FLAG_BACKWARD) < 0) {
        return false;
    }
    avcodec_flush_buffers(codec.get());
    pending.clear();
    pendingStart = target;  // stands until a decoded frame tells; behind the end nothing does
    positionKnown = false;
    ended = false;
    // The resampler's history belongs to the old position.
    return openResampler();
}

void DecodedAudio::Decoder::dropBefore(std::int64_t position)
{
    const std::int64_t drop =
        std::clamp<std::int64_t>(position - pendingStart, 0, pendingEnd() - pendingStart);
    pending.erase(pending.begin(), pending.begin() + drop * kFrameBytes);
    pendingStart += drop;
}

void DecodedAudio::Decoder::append(const std::uint8_t** input, int count)
{
    const int room = swr_get_out_samples(resampler.get(), count);
    if (room <= 0) {
        return;
    }
    const std::size_t old = pending.size();
    pending.resize(old + static_cast<std::size_t>(room) * kFrameBytes);
    std::uint8_t* out = pending.data() + old;
    const int converted = swr_convert(resampler.get(), &out, room, input, count);
    pending.resize(old + static_cast<std::size_t>(std::max(0, converted)) * kFrameBytes);
}

// Decodes the next frame into `pending`; false at the end of the audio or on an error.
bool DecodedAudio::Decoder::decodeMore()
{
    while (!ended && !failed) {
        const int received = avcodec_receive_frame(codec.get(), frame.get());
        if (received == 0) {
            if (!positionKnown) {
                const std::int64_t pts = frame->best_effort_timestamp;
                failed = pts == AV_NOPTS_VALUE;
                pendingStart =
                    failed ? 0
                           : av_rescale_q(pts - std::max<std::int64_t>(0, stream->start_time),
                                          stream->time_base, AVRational{1, kSampleRate});
                positionKnown = true;
            }
            append(const_cast<const std::uint8_t**>(frame->extended_data), frame->nb_samples);
            av_frame_unref(frame.get());
            return !failed;
        }
        if (received == AVERROR_EOF) {
            append(nullptr, 0);  // what the resampler still holds
            ended = true;
            break;
        }
        if (received != AVERROR(EAGAIN)) {
            failed = true;
            break;
        }
        const int read = av_read_frame(format.get(), packet.get());
        if (read == AVERROR_EOF) {
            avcodec_send_packet(codec.get(), nullptr);  // drains the decoder
            continue;
        }
        if (read < 0) {
            failed = true;
            break;
        }
        if (packet->stream_index == stream->index) {
            const int sent = avcodec_send_packet(codec.get(), packet.get());
            failed = sent < 0 && sent != AVERROR(EAGAIN);
        }
        av_packet_unref(packet.get());
    }
    return false;
}

DecodedAudio::DecodedAudio(std::unique_ptr<Decoder> decoder) : decoder_(std::move(decoder)) {}

DecodedAudio::~DecodedAudio() = default;

std::unique_ptr<DecodedAudio> DecodedAudio::open(const QString& path)
{
    av_log_set_level(AV_LOG_QUIET);  // a damaged file is reported by the caller
    auto d = std::make_unique<Decoder>();
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, toNativeBytes(path).c_str(), nullptr, nullptr) < 0) {
        return nullptr;
    }
    d->format.reset(raw);
    if (avformat_find_stream_info(raw, nullptr) < 0) {
        return nullptr;
    }
    const int index = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (index < 0) {
        return nullptr;
    }
    for (unsigned int i = 0; i < raw->nb_streams; ++i) {
        raw->streams[i]->discard = static_cast<int>(i) == index ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    }
    d->stream = raw->streams[index];
    const AVCodec* codec = avcodec_find_decoder(d->stream->codecpar->codec_id);
    d->codec.reset(codec != nullptr ? avcodec_alloc_context3(codec) : nullptr);
    if (!d->codec || avcodec_parameters_to_context(d->codec.get(), d->stream->codecpar) < 0) {
        return nullptr;
    }
    d->codec->pkt_timebase = d->stream->time_base;
    if (avcodec_open2(d->codec.get(), codec, nullptr) < 0 || d->codec->sample_rate <= 0 ||
        !d->openResampler()) {
        return nullptr;
    }
    const AVRational cd{1, kSampleRate};
    d->frames = d->stream->duration != AV_NOPTS_VALUE
                    ? av_rescale_q(d->stream->duration, d->stream->time_base, cd)
                : raw->duration != AV_NOPTS_VALUE ? av_rescale_q(raw->duration, AV_TIME_BASE_Q, cd)
                                                  : 0;
    if (d->frames <= 0) {
        return nullptr;
    }
    return std::unique_ptr<DecodedAudio>(new DecodedAudio(std::move(d)));
}

std::int64_t DecodedAudio::frames() const
{
    return decoder_->frames;
}

bool DecodedAudio::read(std::int64_t first, std::span<std::uint8_t> destination)
{
    Decoder& d = *decoder_;
    const auto wanted = static_cast<std::int64_t>(destination.size()) / kFrameBytes;
    const bool away = first < d.pendingStart || first > d.pendingEnd() + kSeekDistance;
    if (away && !d.seek(first)) {
        return false;
    }
    // A seek lands at or before the frame asked for; decoding goes on up to it.
    while (!d.failed && (!d.positionKnown || d.pendingEnd() < first + wanted)) {
        if (d.positionKnown) {
            d.dropBefore(first);
        }
        if (!d.decodeMore()) {
            break;
        }
    }
    if (d.failed || d.pendingStart > first) {
        return false;
    }
    d.dropBefore(first);
    const std::size_t available = std::min(destination.size(), d.pending.size());
    std::memcpy(destination.data(), d.pending.data(), available);
    std::fill(destination.begin() + static_cast<std::ptrdiff_t>(available), destination.end(), 0);
    d.dropBefore(first + wanted);
    return true;
}

}  // namespace qvr
