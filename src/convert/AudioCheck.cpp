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
#include <optional>
#include <string>
#include <thread>
#include <type_traits>

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

// What decoding a run of packets adds up to.
struct Tally {
    Decoded decoded;
    PacketSizes sizes;
    int errors = 0;
    int packetsAfterError = 0;
    bool intact = true;

    void add(const Tally& other)
    {
        decoded.seconds += other.decoded.seconds;
        decoded.squares += other.decoded.squares;
        decoded.samples += other.decoded.samples;
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
};

// A decoder with its packet and frame, for one pass over a stream.
struct Decoder {
    explicit Decoder(const AVStream* stream)
        : codec(openDecoder(stream)), packet(av_packet_alloc()), frame(av_frame_alloc())
    {
    }
    bool usable() const { return codec != nullptr && packet != nullptr && frame != nullptr; }

    // Decodes the packet read last into the tally and lets it go.
    void take(Tally& tally)
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
    // The samples the decoder still holds.
    void drain(Tally& tally)
    {
        if (!decodePacket(codec.get(), nullptr, frame.get(), tally.decoded)) {
            tally.intact = false;
            ++tally.errors;
            tally.packetsAfterError = 0;
        }
    }

    CodecPtr codec;
    PacketPtr packet;
    FramePtr frame;
};

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

// Decodes every packet of the stream to the end; the length is what was decoded.
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

// Where the second half of a decode begins: the byte position and time stamp of a packet near
// the middle, as the second reader found it. The first reader stops there only when it meets a
// packet at that very position and time; else it reads on to the end alone.
struct SplitPoint {
    static constexpr std::int64_t kUndecided = -2;
    static constexpr std::int64_t kNone = -1;
    std::atomic<std::int64_t> position{kUndecided};
    std::atomic<std::int64_t> timestamp{0};

    void decide(std::int64_t at, std::int64_t pts)
    {
        timestamp.store(pts, std::memory_order_relaxed);
        position.store(at, std::memory_order_release);
        position.notify_all();
    }
    // The first reader waits for the decision once it reaches the middle, where the second
    // reader's half is about to begin; the second reader decides on every way.
    std::int64_t decided() const
    {
        position.wait(kUndecided, std::memory_order_acquire);
        return position.load(std::memory_order_acquire);
    }
};

// A file shorter than this is decoded by one reader: a second one would save almost nothing.
constexpr double kShortestSplitSeconds = 4.0;
// Packets the second reader decodes before its half begins, without counting them: a decoder
// that starts in the middle needs what came before (the MP3 bit reservoir, the overlap of
// transforms) to give the samples a decoder from the start gives.
constexpr int kPrerollPackets = 16;

// The time near the middle of the stream where the second reader begins, from the stream's first
// packet: the packets of PCM are cut from wherever reading begins, so it is a whole number of
// first packets from the start. None when the file does not say how long it is or is too short.
std::optional<std::int64_t> middleOf(const OpenedAudio& opened, const AVPacket* first)
{
    const AVFormatContext* format = opened.format.get();
    const AVStream* stream = opened.stream;
    std::int64_t length = stream->duration;
    if (length == AV_NOPTS_VALUE || length <= 0) {
        if (format->duration == AV_NOPTS_VALUE || format->duration <= 0) {
            return std::nullopt;
        }
        length = av_rescale_q(format->duration, AV_TIME_BASE_Q, stream->time_base);
    }
    if (double(length) * av_q2d(stream->time_base) < kShortestSplitSeconds ||
        first->pts == AV_NOPTS_VALUE) {
        return std::nullopt;
    }
    const std::int64_t step = std::max<std::int64_t>(first->duration, 1);
    return first->pts + length / 2 / step * step;
}

// Seeks to the middle of the stream; false when there is none or the file cannot seek.
bool seekToMiddle(const OpenedAudio& opened, AVPacket* packet)
{
    if (nextPacket(opened, packet) <= 0) {
        return false;
    }
    const std::optional<std::int64_t> middle = middleOf(opened, packet);
    av_packet_unref(packet);
    return middle && avformat_seek_file(opened.format.get(), opened.stream->index, INT64_MIN,
                                        *middle, *middle, 0) >= 0;
}

// What the second reader counts: from the split point to the end.
struct SecondHalf {
    Tally tally;
    bool ended = false;
};

// The second reader: seeks near the middle, decodes a few packets to settle its decoder, takes
// the next packet as the split point and decodes from there to the end.
void decodeSecondHalf(const QString& path, const std::atomic<bool>* cancel,
                      const std::atomic<bool>& stop, SplitPoint& split, SecondHalf& half)
{
    const auto stopped = [&] { return isCancelled(cancel) || isCancelled(&stop); };
    AudioFacts header;
    const OpenedAudio opened = openAudio(path, cancel, header);
    if (opened.stream == nullptr) {
        split.decide(SplitPoint::kNone, 0);
        return;
    }
    Decoder decoder(opened.stream);
    if (!decoder.usable() || !seekToMiddle(opened, decoder.packet.get())) {
        split.decide(SplitPoint::kNone, 0);
        return;
    }
    Tally settling;
    for (int packet = 0; packet < kPrerollPackets; ++packet) {
        if (stopped() || nextPacket(opened, decoder.packet.get()) <= 0) {
            split.decide(SplitPoint::kNone, 0);
            return;
        }
        decoder.take(settling);
    }
    if (stopped() || nextPacket(opened, decoder.packet.get()) <= 0 || decoder.packet->pos < 0 ||
        decoder.packet->pts == AV_NOPTS_VALUE) {
        split.decide(SplitPoint::kNone, 0);
        return;
    }
    split.decide(decoder.packet->pos, decoder.packet->pts);
    decoder.take(half.tally);
    while (half.tally.errors < kErrorsToGiveUp && !stopped()) {
        const int read = nextPacket(opened, decoder.packet.get());
        if (read <= 0) {
            half.ended = read == 0;
            break;
        }
        decoder.take(half.tally);
    }
    if (half.ended) {
        decoder.drain(half.tally);
    }
}

// Joins a thread on every way out of the scope.
struct Joined {
    std::thread& thread;
    ~Joined()
    {
        if (thread.joinable()) {
            thread.join();
        }
    }
};

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

AudioFacts DecodeAudioInHalves(const QString& path, const std::atomic<bool>* cancel, bool* split)
{
    if (split != nullptr) {
        *split = false;
    }
    AudioFacts facts;
    const OpenedAudio opened = openAudio(path, cancel, facts);
    if (opened.stream == nullptr) {
        return facts;
    }
    Decoder decoder(opened.stream);
    if (!decoder.usable()) {
        return facts;
    }
    SplitPoint splitPoint;
    SecondHalf second;
    std::atomic<bool> stopSecond{false};
    std::thread secondReader(
        [&] { decodeSecondHalf(path, cancel, stopSecond, splitPoint, second); });
    const Joined joined{secondReader};

    Tally first;
    bool ended = false;
    bool splitting = true;
    bool reachedSplit = false;
    std::optional<std::int64_t> middle;
    while (first.errors < kErrorsToGiveUp && !isCancelled(cancel)) {
        const int read = nextPacket(opened, decoder.packet.get());
        if (read <= 0) {
            ended = read == 0;
            break;
        }
        const AVPacket* packet = decoder.packet.get();
        if (splitting && first.sizes.count == 0) {
            middle = middleOf(opened, packet);
        }
        const bool pastMiddle = middle && packet->pts != AV_NOPTS_VALUE && packet->pts >= *middle;
        const std::int64_t at = !splitting   ? SplitPoint::kNone
                                : pastMiddle ? splitPoint.decided()
                                             : splitPoint.position.load(std::memory_order_acquire);
        if (at == SplitPoint::kNone) {
            splitting = false;
        } else if (at >= 0 && packet->pos >= at) {
            // The halves meet only where both readers see the same packet at the same time.
            if (packet->pos == at &&
                packet->pts == splitPoint.timestamp.load(std::memory_order_relaxed)) {
                av_packet_unref(decoder.packet.get());
                reachedSplit = true;
                break;
            }
            splitting = false;
            stopSecond = true;
        }
        decoder.take(first);
    }
    if (!reachedSplit) {
        stopSecond = true;
        if (ended) {
            decoder.drain(first);
        }
        return factsOf(facts, first, ended, decoder.codec->sample_rate);
    }
    decoder.drain(first);
    secondReader.join();
    if (split != nullptr) {
        *split = true;
    }
    first.add(second.tally);
    return factsOf(facts, first, second.ended, decoder.codec->sample_rate);
}

}  // namespace qvr
