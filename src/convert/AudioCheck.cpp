#include "AudioCheck.h"

#include "AudioDecoding.h"
#include "platform/FileSystem.h"

#include <QFile>
#include <QtEndian>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <thread>

namespace qvr {

using namespace decoding;

namespace {

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
