#include "AudioCheck.h"

#include "AvHandles.h"
#include "platform/FileSystem.h"
#include "platform/NativePath.h"

#include <QFile>
#include <QtEndian>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

namespace qvr {
namespace {

// The libraries write their complaints about damaged files to stderr; the checks report them.
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

// An opened container and its best audio stream.
struct OpenedAudio {
    FormatPtr format;
    AVStream* stream = nullptr;
};

// Opens the container and fills the facts its header gives; no stream when it is not readable.
OpenedAudio openAudio(const QString& path, const std::atomic<bool>* cancel, AudioFacts& facts)
{
    silenceLibraries();
    OpenedAudio opened;
    // Only a regular file is opened: a FIFO, a socket or a device could block or never end.
    if (!IsRegularFile(path)) {
        return opened;
    }
    const std::string native = toNativeBytes(path);
    AVFormatContext* raw = avformat_alloc_context();
    if (raw == nullptr) {
        return opened;
    }
    if (cancel != nullptr) {
        // The callback only reads the flag.
        raw->interrupt_callback.callback = interruptWhenCancelled;
        raw->interrupt_callback.opaque = const_cast<std::atomic<bool>*>(cancel);
    }
    // On failure the context is freed by the call itself.
    if (avformat_open_input(&raw, native.c_str(), nullptr, nullptr) < 0) {
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

template <typename Sample>
double squares(const std::uint8_t* data, int count, double scale, double offset = 0)
{
    const auto* samples = reinterpret_cast<const Sample*>(data);
    double sum = 0;
    for (int i = 0; i < count; ++i) {
        const double value = (double(samples[i]) - offset) * scale;
        sum += value * value;
    }
    return sum;
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

// What the decoded frames add up to.
struct Decoded {
    double seconds = 0;
    double squares = 0;
    std::int64_t samples = 0;  // counted over all channels
};

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

// Reads the next packet of the stream: 1 for a packet, 0 at the end of the file, -1 on an error.
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

// The sizes of the packets read: their average rate, and whether they vary more than the padding
// byte of a constant rate.
struct PacketSizes {
    std::int64_t bytes = 0;
    int smallest = 0;
    int largest = 0;
    int count = 0;

    void add(int size)
    {
        smallest = count == 0 ? size : std::min(smallest, size);
        largest = std::max(largest, size);
        bytes += size;
        ++count;
    }
};

// A damaged stream is read on to its end, so that the damage is known for what it is: some
// refused packets in the middle, or only the last one, cut short by the end of the file.
constexpr int kErrorsToGiveUp = 50;

// Decodes every packet of the stream to the end; the length is what was decoded.
AudioFacts decodeAll(const OpenedAudio& opened, AudioFacts facts, const std::atomic<bool>* cancel)
{
    const CodecPtr codec = openDecoder(opened.stream);
    const PacketPtr packet(av_packet_alloc());
    const FramePtr frame(av_frame_alloc());
    if (codec == nullptr || packet == nullptr || frame == nullptr) {
        return facts;
    }
    Decoded decoded;
    PacketSizes sizes;
    bool intact = true;
    bool ended = false;
    int packetsAfterError = 0;
    while (facts.errors < kErrorsToGiveUp) {
        if (isCancelled(cancel)) {
            break;
        }
        const int read = nextPacket(opened, packet.get());
        if (read <= 0) {
            ended = read == 0;
            break;
        }
        // A packet cut short by the end of the file: what it holds still counts.
        const bool cut = (packet->flags & AV_PKT_FLAG_CORRUPT) != 0;
        sizes.add(packet->size);
        const bool accepted = decodePacket(codec.get(), packet.get(), frame.get(), decoded);
        av_packet_unref(packet.get());
        ++packetsAfterError;
        if (!accepted || cut) {
            intact = false;
            ++facts.errors;
            packetsAfterError = 0;
        }
    }
    // The decoder may still hold samples.
    if (ended && !decodePacket(codec.get(), nullptr, frame.get(), decoded)) {
        intact = false;
        ++facts.errors;
        packetsAfterError = 0;
    }
    if (codec->sample_rate > 0) {
        facts.sampleRate = codec->sample_rate;
    }
    facts.seconds = decoded.seconds;
    facts.meanSquare = decoded.samples > 0 ? decoded.squares / double(decoded.samples) : 0;
    if (decoded.seconds > 0) {
        facts.bitRate = std::int64_t(double(sizes.bytes) * 8 / decoded.seconds);
    }
    facts.variableBitRate = sizes.largest > sizes.smallest + 1;
    facts.complete = ended && intact;
    facts.endCutShort = ended && facts.errors == 1 && packetsAfterError == 0;
    return facts;
}

}  // namespace

bool IsPlainPcmWav(const QString& path)
{
    QFile file(path);
    if (!IsRegularFile(path) || !file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray head = file.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE") {
        return false;
    }
    int blockAlign = 0;
    // The chunks around the format and data chunks ("JUNK", "bext", "LIST", ...) are passed over.
    for (int chunk = 0; chunk < 64; ++chunk) {
        const QByteArray header = file.read(8);
        if (header.size() < 8) {
            return false;
        }
        const quint32 size = qFromLittleEndian<quint32>(header.constData() + 4);
        if (header.startsWith("fmt ")) {
            const QByteArray format = file.read(16);
            if (size < 16 || format.size() < 16) {
                return false;
            }
            const auto tag = qFromLittleEndian<quint16>(format.constData());
            const auto channels = qFromLittleEndian<quint16>(format.constData() + 2);
            blockAlign = qFromLittleEndian<quint16>(format.constData() + 12);
            const auto bits = qFromLittleEndian<quint16>(format.constData() + 14);
            const bool plain = tag == 1 && channels > 0 &&
                               (bits == 8 || bits == 16 || bits == 24 || bits == 32) &&
                               blockAlign == channels * bits / 8;
            if (!plain) {
                return false;
            }
            file.seek(file.pos() - 16);
        } else if (header.startsWith("data")) {
            // A file cut short (or grown) is not what its header says: the converter reads what
            // there is into a file that is.
            return blockAlign > 0 && size % quint32(blockAlign) == 0 &&
                   file.pos() + qint64(size) + qint64(size & 1) >= file.size() - 1024 &&
                   file.pos() + qint64(size) <= file.size();
        }
        if (!file.seek(file.pos() + size + (size & 1))) {
            return false;
        }
    }
    return false;
}

std::optional<int> Mp3VbrQuality(const QString& path)
{
    QFile file(path);
    if (!IsRegularFile(path) || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray head = file.read(10);
    // Past an ID3v2 tag: its size is four 7-bit bytes.
    if (head.size() == 10 && head.startsWith("ID3")) {
        qint64 size = 10;
        for (int i = 6; i < 10; ++i) {
            size = (size - 10) * 128 + 10 + (quint8(head[i]) & 0x7F);
        }
        file.seek(size + ((head[5] & 0x10) != 0 ? 10 : 0));
    } else {
        file.seek(0);
    }
    const QByteArray frame = file.read(200);
    const qsizetype at = frame.indexOf("Xing");
    if (at < 0 || frame.size() < at + 8) {
        return std::nullopt;
    }
    const quint32 flags = qFromBigEndian<quint32>(frame.constData() + at + 4);
    qsizetype field = at + 8;
    field += (flags & 1) != 0 ? 4 : 0;    // frames
    field += (flags & 2) != 0 ? 4 : 0;    // bytes
    field += (flags & 4) != 0 ? 100 : 0;  // table of contents
    if ((flags & 8) == 0 || frame.size() < field + 4) {
        return 9;
    }
    // LAME writes 100 - 10 x V - q.
    const int scale = int(qFromBigEndian<quint32>(frame.constData() + field));
    return std::clamp((100 - scale) / 10, 0, 9);
}

double AudioFacts::levelDb() const
{
    return meanSquare > 0 ? 10 * std::log10(meanSquare) : -200.0;
}

AudioFacts ProbeAudio(const QString& path)
{
    AudioFacts facts;
    const OpenedAudio opened = openAudio(path, nullptr, facts);
    if (opened.stream == nullptr) {
        return facts;
    }
    const AVFormatContext* format = opened.format.get();
    const AVStream* stream = opened.stream;
    if (format->duration != AV_NOPTS_VALUE) {
        facts.seconds = static_cast<double>(format->duration) / AV_TIME_BASE;
    } else if (stream->duration != AV_NOPTS_VALUE) {
        facts.seconds = static_cast<double>(stream->duration) * av_q2d(stream->time_base);
    }
    facts.lengthEstimated = format->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE;
    return facts;
}

AudioFacts DecodeAudio(const QString& path, const std::atomic<bool>* cancel)
{
    AudioFacts facts;
    const OpenedAudio opened = openAudio(path, cancel, facts);
    if (opened.stream == nullptr) {
        return facts;
    }
    return decodeAll(opened, facts, cancel);
}

}  // namespace qvr
