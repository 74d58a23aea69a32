#include "AudioDecoding.h"

#include "platform/FileSystem.h"
#include "platform/NativePath.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

#include <string>
#include <type_traits>

namespace qvr::decoding {
namespace {

constexpr int kProbedPackets = 4;

// Lets a cancel reach the libraries' own reading, opening included.
int interruptWhenCancelled(void* cancel)
{
    return isCancelled(static_cast<const std::atomic<bool>*>(cancel)) ? 1 : 0;
}

// Only a lossless stream has a depth worth keeping.
int losslessBits(const AVCodecParameters* parameters)
{
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(parameters->codec_id);
    if (descriptor == nullptr || (descriptor->props & AV_CODEC_PROP_LOSSLESS) == 0) {
        return 0;
    }
    return parameters->bits_per_raw_sample > 0 ? parameters->bits_per_raw_sample
                                               : parameters->bits_per_coded_sample;
}

template <typename Sample>
double squares(const std::uint8_t* data, int count, double scale, double offset = 0)
{
    const auto* samples = reinterpret_cast<const Sample*>(data);
    if constexpr (std::is_integral_v<Sample> && sizeof(Sample) <= 2) {
        // Exact in integers: a square takes at most 32 bits, a frame's sum far less than 64.
        const auto zero = static_cast<std::int32_t>(offset);
        std::int64_t sum = 0;
        for (int i = 0; i < count; ++i) {
            const std::int64_t value = std::int32_t(samples[i]) - zero;
            sum += value * value;
        }
        return double(sum) * scale * scale;
    } else {
        // Four sums side by side: the processor adds them at once instead of one after the other.
        double sum0 = 0;
        double sum1 = 0;
        double sum2 = 0;
        double sum3 = 0;
        int i = 0;
        for (; i + 4 <= count; i += 4) {
            const double value0 = double(samples[i]) - offset;
            const double value1 = double(samples[i + 1]) - offset;
            const double value2 = double(samples[i + 2]) - offset;
            const double value3 = double(samples[i + 3]) - offset;
            sum0 += value0 * value0;
            sum1 += value1 * value1;
            sum2 += value2 * value2;
            sum3 += value3 * value3;
        }
        for (; i < count; ++i) {
            const double value = double(samples[i]) - offset;
            sum0 += value * value;
        }
        return (sum0 + sum1 + sum2 + sum3) * scale * scale;
    }
}

// The sum of the squares of a frame's samples, each scaled to full scale 1.
double frameSquares(const AVFrame* frame)
{
    const auto format = static_cast<AVSampleFormat>(frame->format);
    const int channels = frame->ch_layout.nb_channels;
    const bool planar = av_sample_fmt_is_planar(format) != 0;
    const int planes = planar ? channels : 1;
    const int count = planar ? frame->nb_samples : frame->nb_samples * channels;
    double sum = 0;
    for (int plane = 0; plane < planes && plane < AV_NUM_DATA_POINTERS; ++plane) {
        const std::uint8_t* data = frame->extended_data[plane];
        switch (av_get_packed_sample_fmt(format)) {
            case AV_SAMPLE_FMT_U8: sum += squares<std::uint8_t>(data, count, 1.0 / 128, 128); break;
            case AV_SAMPLE_FMT_S16: sum += squares<std::int16_t>(data, count, 1.0 / 32768); break;
            case AV_SAMPLE_FMT_S32:
                sum += squares<std::int32_t>(data, count, 1.0 / 2147483648.0);
                break;
            case AV_SAMPLE_FMT_S64:
                sum += squares<std::int64_t>(data, count, 1.0 / 9223372036854775808.0);
                break;
            case AV_SAMPLE_FMT_FLT: sum += squares<float>(data, count, 1.0); break;
            case AV_SAMPLE_FMT_DBL: sum += squares<double>(data, count, 1.0); break;
            default: break;
        }
    }
    return sum;
}

// Takes every frame the decoder has ready, adding up their length; false on a decoding error.
bool receiveFrames(AVCodecContext* codec, AVFrame* frame, Decoded& decoded)
{
    for (;;) {
        const int result = avcodec_receive_frame(codec, frame);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) {
            return true;
        }
        if (result < 0) {
            return false;
        }
        if (frame->sample_rate > 0) {
            decoded.seconds += static_cast<double>(frame->nb_samples) / frame->sample_rate;
        }
        decoded.squares += frameSquares(frame);
        decoded.samples += std::int64_t(frame->nb_samples) * frame->ch_layout.nb_channels;
        av_frame_unref(frame);
    }
}

// A decoder for the stream that treats a damaged frame as an error, not as something to hide
// with silence; a frame whose checksum does not match (FLAC has one in every frame) is damaged.
CodecPtr openDecoder(const AVStream* stream)
{
    const AVCodecParameters* parameters = stream->codecpar;
    const AVCodec* decoder = avcodec_find_decoder(parameters->codec_id);
    if (decoder == nullptr) {
        return nullptr;
    }
    CodecPtr codec(avcodec_alloc_context3(decoder));
    if (codec == nullptr || avcodec_parameters_to_context(codec.get(), parameters) < 0) {
        return nullptr;
    }
    codec->pkt_timebase = stream->time_base;
    codec->err_recognition |= AV_EF_EXPLODE | AV_EF_CRCCHECK;
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0) {
        return nullptr;
    }
    return codec;
}

// Hands one packet (or the end, for nullptr) to the decoder and takes what it gives.
bool decodePacket(AVCodecContext* codec, const AVPacket* packet, AVFrame* frame, Decoded& decoded)
{
    const int sent = avcodec_send_packet(codec, packet);
    if (sent < 0 && sent != AVERROR(EAGAIN) && !(packet == nullptr && sent == AVERROR_EOF)) {
        // What the decoder made of earlier packets is still there.
        receiveFrames(codec, frame, decoded);
        return false;
    }
    return receiveFrames(codec, frame, decoded);
}

// Opens the container `raw` is made for (freed on failure) and fills the facts of its best audio
// stream.
OpenedAudio openedFrom(AVFormatContext* raw, const char* url, const AVInputFormat* demuxer,
                       const std::atomic<bool>* cancel, AudioFacts& facts)
{
    OpenedAudio opened;
    // A stream whose codec the container leaves open to doubt (PCM in a WAV might be compressed
    // audio carried as PCM) is probed again at every doubling of the data read, by every demuxer
    // there is, up to 2500 packets: for a WAV of a few minutes that cost more than decoding it.
    // Carried audio announces itself in its first packets.
    raw->max_probe_packets = kProbedPackets;
    if (cancel != nullptr) {
        // The callback only reads the flag.
        raw->interrupt_callback.callback = interruptWhenCancelled;
        raw->interrupt_callback.opaque = const_cast<std::atomic<bool>*>(cancel);
    }
    // On failure the context is freed by the call itself.
    if (avformat_open_input(&raw, url, demuxer, nullptr) < 0) {
        return opened;
    }
    FormatPtr format(raw);
    if (avformat_find_stream_info(format.get(), nullptr) < 0) {
        return opened;
    }
    const int index = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (index < 0) {
        return opened;
    }
    for (unsigned int i = 0; i < format->nb_streams; ++i) {
        if (static_cast<int>(i) != index) {
            format->streams[i]->discard = AVDISCARD_ALL;  // cover art and the like
        }
    }
    opened.stream = format->streams[index];
    const AVCodecParameters* parameters = opened.stream->codecpar;
    facts.readable = true;
    facts.codec = QString::fromLatin1(avcodec_get_name(parameters->codec_id));
    facts.channels = parameters->ch_layout.nb_channels;
    if (parameters->ch_layout.order != AV_CHANNEL_ORDER_UNSPEC) {
        char layout[64] = {};
        if (av_channel_layout_describe(&parameters->ch_layout, layout, sizeof layout) > 0) {
            facts.layout = QString::fromLatin1(layout);
        }
    }
    facts.sampleRate = parameters->sample_rate;
    facts.bits = losslessBits(parameters);
    facts.bitRate = parameters->bit_rate > 0 ? parameters->bit_rate : format->bit_rate;
    opened.format = std::move(format);
    return opened;
}

}  // namespace

void silenceLibraries()
{
    static const bool silenced = [] {
        av_log_set_level(AV_LOG_QUIET);
        return true;
    }();
    static_cast<void>(silenced);
}

bool isCancelled(const std::atomic<bool>* cancel)
{
    return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

OpenedAudio openAudio(const QString& path, const std::atomic<bool>* cancel, AudioFacts& facts)
{
    silenceLibraries();
    // Only a regular file is opened: a FIFO, a socket or a device could block or never end.
    if (!IsRegularFile(path)) {
        return {};
    }
    AVFormatContext* raw = avformat_alloc_context();
    if (raw == nullptr) {
        return {};
    }
    return openedFrom(raw, toNativeBytes(path).c_str(), nullptr, cancel, facts);
}

OpenedAudio openAudioStream(AVIOContext* io, const char* demuxer, const std::atomic<bool>* cancel,
                            AudioFacts& facts)
{
    silenceLibraries();
    const AVInputFormat* format = av_find_input_format(demuxer);
    AVFormatContext* raw = format != nullptr ? avformat_alloc_context() : nullptr;
    if (raw == nullptr) {
        return {};
    }
    raw->pb = io;
    return openedFrom(raw, "", format, cancel, facts);
}

int nextPacket(const OpenedAudio& opened, AVPacket* packet)
{
    for (;;) {
        const int read = av_read_frame(opened.format.get(), packet);
        if (read == AVERROR_EOF) {
            return 0;
        }
        if (read < 0) {
            return -1;
        }
        if (packet->stream_index == opened.stream->index && packet->size > 0) {
            return 1;
        }
        av_packet_unref(packet);
    }
}

void Tally::add(const Tally& other)
{
    decoded += other.decoded;
    if (other.sizes.count > 0) {
        sizes.smallest = sizes.count == 0 ? other.sizes.smallest
                                          : std::min(sizes.smallest, other.sizes.smallest);
        sizes.largest = std::max(sizes.largest, other.sizes.largest);
    }
    sizes.bytes += other.sizes.bytes;
    sizes.count += other.sizes.count;
    errors += other.errors;
    packetsAfterError = other.packetsAfterError;
    intact = intact && other.intact;
}

Decoder::Decoder(const AVStream* stream)
    : codec(openDecoder(stream)), packet(av_packet_alloc()), frame(av_frame_alloc())
{
}

void Decoder::take(Tally& tally)
{
    // A packet cut short by the end of the file: what it holds still counts.
    const bool cut = (packet->flags & AV_PKT_FLAG_CORRUPT) != 0;
    tally.sizes.add(packet->size);
    const bool accepted = decodePacket(codec.get(), packet.get(), frame.get(), tally.decoded);
    av_packet_unref(packet.get());
    ++tally.packetsAfterError;
    if (!accepted || cut) {
        tally.intact = false;
        ++tally.errors;
        tally.packetsAfterError = 0;
    }
}

void Decoder::drain(Tally& tally)
{
    if (!decodePacket(codec.get(), nullptr, frame.get(), tally.decoded)) {
        tally.intact = false;
        ++tally.errors;
        tally.packetsAfterError = 0;
    }
}

AudioFacts factsOf(AudioFacts facts, const Tally& tally, bool ended, int sampleRate)
{
    if (sampleRate > 0) {
        facts.sampleRate = sampleRate;
    }
    facts.errors = tally.errors;
    facts.seconds = tally.decoded.seconds;
    facts.meanSquare =
        tally.decoded.samples > 0 ? tally.decoded.squares / double(tally.decoded.samples) : 0;
    if (tally.decoded.seconds > 0) {
        facts.bitRate = std::int64_t(double(tally.sizes.bytes) * 8 / tally.decoded.seconds);
    }
    facts.variableBitRate = tally.sizes.largest > tally.sizes.smallest + 1;
    facts.complete = ended && tally.intact;
    facts.endCutShort = ended && tally.errors == 1 && tally.packetsAfterError == 0;
    return facts;
}

AudioFacts decodeAll(const OpenedAudio& opened, AudioFacts facts, const std::atomic<bool>* cancel)
{
    Decoder decoder(opened.stream);
    if (!decoder.usable()) {
        return facts;
    }
    Tally tally;
    bool ended = false;
    while (tally.errors < kErrorsToGiveUp && !isCancelled(cancel)) {
        const int read = nextPacket(opened, decoder.packet.get());
        if (read <= 0) {
            ended = read == 0;
            break;
        }
        decoder.take(tally);
    }
    if (ended) {
        decoder.drain(tally);
    }
    return factsOf(facts, tally, ended, decoder.codec->sample_rate);
}

}  // namespace qvr::decoding
