#include "FollowedDecode.h"

#include "AudioDecoding.h"
#include "AudioFormats.h"
#include "platform/FileGrowthWatch.h"
#include "platform/WorkPriority.h"

#include <QFile>

extern "C" {
#include <libavutil/intreadwrite.h>
#include <libavutil/mem.h>
#include <libavutil/murmur3.h>
}

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace qvr {

using namespace decoding;
using namespace std::chrono_literals;

namespace {

// What the decode of one packet gave.
struct FollowedPacket {
    std::array<std::uint8_t, 16> hash{};
    Decoded decoded;
    // A frame header followed by nothing but zeros: how an encoder reserves room for a header
    // frame it writes when it ends.
    bool placeholder = false;
};

// Everything decoded while the encoder wrote.
struct Followed {
    std::vector<FollowedPacket> packets;
    int sampleRate = 0;
    bool whole = false;  // read to the end of the file after the encoder ended, all accepted
};

// Tells packets apart by a hash of their bytes.
class PacketHasher {
  public:
    std::array<std::uint8_t, 16> hashOf(const AVPacket* packet)
    {
        std::array<std::uint8_t, 16> hash{};
        if (state_ != nullptr) {
            av_murmur3_init(state_.get());
            av_murmur3_update(state_.get(), packet->data, std::size_t(packet->size));
            av_murmur3_final(state_.get(), hash.data());
        }
        return hash;
    }

  private:
    struct Freer {
        void operator()(AVMurMur3* state) const { av_free(state); }
    };
    std::unique_ptr<AVMurMur3, Freer> state_{av_murmur3_alloc()};
};

constexpr int kFrameHeaderBytes = 4;

bool isPlaceholder(const AVPacket* packet)
{
    return packet->size > kFrameHeaderBytes &&
           std::all_of(packet->data + kFrameHeaderBytes, packet->data + packet->size,
                       [](std::uint8_t byte) { return byte == 0; });
}

// The file as the encoder writes it: a read at its current end waits until it grows, until the
// encoder has ended (then it is the end of the file) or until the decode is cancelled.
class GrowingFile {
  public:
    GrowingFile(const QString& path, const std::atomic<bool>& writerEnded,
                const std::atomic<bool>& cancel, FileGrowthWatch& watch)
        : file_(path), writerEnded_(writerEnded), cancel_(cancel), watch_(watch)
    {
    }

    static int read(void* opaque, std::uint8_t* buffer, int size)
    {
        return static_cast<GrowingFile*>(opaque)->read(buffer, size);
    }

  private:
    int read(std::uint8_t* buffer, int size)
    {
        // Without the system's notices a wait still ends soon enough to keep up with the writer.
        const auto bound = watch_.eventDriven() ? 1000ms : 20ms;
        for (;;) {
            if (cancel_.load(std::memory_order_relaxed)) {
                return AVERROR_EXIT;
            }
            // The writer's end is read before the file, so that what it wrote before it ended is
            // always read.
            const bool ended = writerEnded_.load(std::memory_order_acquire);
            const qint64 got = readSome(buffer, size);
            if (got > 0) {
                return int(got);
            }
            if (got < 0) {
                return AVERROR(EIO);
            }
            if (ended) {
                return AVERROR_EOF;
            }
            watch_.waitForChange(bound);
        }
    }

    // What the file holds beyond what was read; 0 when nothing yet (or no file yet).
    qint64 readSome(std::uint8_t* buffer, int size)
    {
        if (!file_.isOpen() && !file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            return 0;
        }
        if (!file_.seek(position_)) {
            return -1;
        }
        const qint64 got = file_.read(reinterpret_cast<char*>(buffer), size);
        if (got > 0) {
            position_ += got;
        }
        return got;
    }

    QFile file_;
    qint64 position_ = 0;
    const std::atomic<bool>& writerEnded_;
    const std::atomic<bool>& cancel_;
    FileGrowthWatch& watch_;
};

constexpr int kStreamBufferBytes = 64 * 1024;

struct StreamFreer {
    void operator()(AVIOContext* io) const
    {
        av_freep(&io->buffer);
        avio_context_free(&io);
    }
};
using StreamPtr = std::unique_ptr<AVIOContext, StreamFreer>;

StreamPtr streamOf(GrowingFile& file)
{
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(kStreamBufferBytes));
    if (buffer == nullptr) {
        return nullptr;
    }
    AVIOContext* io = avio_alloc_context(buffer, kStreamBufferBytes, 0, &file, GrowingFile::read,
                                         nullptr, nullptr);
    if (io == nullptr) {
        av_free(buffer);
    }
    return StreamPtr(io);
}

// Decodes the packets of the file as the encoder writes them, keeping what each one gave; it stops
// at the first packet refused, since such a file is decoded whole once finished.
Followed follow(const QString& path, const char* demuxer, const std::atomic<bool>& writerEnded,
                const std::atomic<bool>& cancel, FileGrowthWatch& watch)
{
    Followed followed;
    GrowingFile file(path, writerEnded, cancel, watch);
    const StreamPtr stream = streamOf(file);
    if (stream == nullptr) {
        return followed;
    }
    AudioFacts header;
    const OpenedAudio opened = openAudioStream(stream.get(), demuxer, &cancel, header);
    if (opened.stream == nullptr) {
        return followed;
    }
    Decoder decoder(opened.stream);
    if (!decoder.usable()) {
        return followed;
    }
    PacketHasher hasher;
    int read = 0;
    Tally tally;
    while (tally.errors == 0 && (read = nextPacket(opened, decoder.packet.get())) > 0) {
        FollowedPacket packet;
        packet.hash = hasher.hashOf(decoder.packet.get());
        packet.placeholder = isPlaceholder(decoder.packet.get());
        // Trimming is the finished file's to say.
        av_packet_free_side_data(decoder.packet.get());
        const Decoded before = tally.decoded;
        decoder.take(tally);
        packet.decoded = tally.decoded - before;
        followed.packets.push_back(packet);
    }
    if (read == 0 && tally.errors == 0 && !followed.packets.empty()) {
        const Decoded before = tally.decoded;
        decoder.drain(tally);
        followed.packets.back().decoded += tally.decoded - before;
        followed.whole = tally.errors == 0;
    }
    followed.sampleRate = decoder.codec->sample_rate;
    return followed;
}

// The samples a packet of the finished file tells the decoder to drop at the start and the end.
std::int64_t trimmedSamples(const AVPacket* packet)
{
    std::size_t size = 0;
    const std::uint8_t* skip = av_packet_get_side_data(packet, AV_PKT_DATA_SKIP_SAMPLES, &size);
    return skip != nullptr && size >= 8 ? std::int64_t(AV_RL32(skip)) + AV_RL32(skip + 4) : 0;
}

// The facts of the finished file when its packets are those decoded; none when they are not.
std::optional<AudioFacts> factsFromFollow(const QString& path, const Followed& followed,
                                          const std::atomic<bool>& cancel)
{
    AudioFacts facts;
    const OpenedAudio opened = openAudio(path, &cancel, facts);
    const PacketPtr packet(av_packet_alloc());
    if (!followed.whole || opened.stream == nullptr || packet == nullptr ||
        followed.sampleRate <= 0 || facts.channels <= 0) {
        return std::nullopt;
    }
    const std::vector<FollowedPacket>& decoded = followed.packets;
    PacketHasher hasher;
    Tally tally;
    std::int64_t trimmed = 0;
    std::size_t next = 0;
    int read = 0;
    while ((read = nextPacket(opened, packet.get())) > 0) {
        const std::array<std::uint8_t, 16> hash = hasher.hashOf(packet.get());
        // The placeholder read first is the finished file's header frame now, which its demuxer
        // does not hand out as music.
        if (next == 0 && decoded.size() > 1 && decoded[0].placeholder && decoded[0].hash != hash) {
            next = 1;
        }
        if (next >= decoded.size() || decoded[next].hash != hash || isCancelled(&cancel)) {
            return std::nullopt;
        }
        tally.sizes.add(packet->size);
        tally.decoded += decoded[next].decoded;
        trimmed += trimmedSamples(packet.get());
        av_packet_unref(packet.get());
        ++next;
    }
    if (read < 0 || next != decoded.size()) {
        return std::nullopt;
    }
    trimmed = std::min(trimmed, tally.decoded.samples / facts.channels);
    tally.decoded.seconds -= double(trimmed) / followed.sampleRate;
    tally.decoded.samples -= trimmed * facts.channels;
    return factsOf(facts, tally, true, followed.sampleRate);
}

}  // namespace

struct FollowedDecode::State {
    State(const QString& path, std::function<void()> whenChanged)
        : path(path), watch(FolderOf(path)), teller(std::move(whenChanged))
    {
    }

    QString path;
    std::atomic<bool> cancel{false};
    std::atomic<bool> writerEnded{false};
    std::atomic<bool> followed{false};
    std::atomic<bool> ready{false};
    FileGrowthWatch watch;
    Followed decoded;
    AudioFacts facts;
    bool decodedAsWritten = false;
    ThreadTeller teller;
};

FollowedDecode::FollowedDecode(const QString& path, const char* demuxer,
                               std::function<void()> whenChanged)
    : state_(std::make_shared<State>(path, std::move(whenChanged)))
{
    std::thread([state = state_, demuxer = std::string(demuxer)] {
        LowerThisThreadToCheckPriority();
        state->decoded =
            follow(state->path, demuxer.c_str(), state->writerEnded, state->cancel, state->watch);
        state->followed.store(true, std::memory_order_release);
        state->followed.notify_all();
        state->teller.tell();
    }).detach();
}

FollowedDecode::~FollowedDecode()
{
    state_->cancel = true;
    state_->watch.wake();
    state_->teller.forget();
}

void FollowedDecode::writerEnded()
{
    state_->writerEnded.store(true, std::memory_order_release);
    state_->watch.wake();
}

bool FollowedDecode::followed() const
{
    return state_->followed.load(std::memory_order_acquire);
}

void FollowedDecode::confirm()
{
    std::thread([state = state_] {
        LowerThisThreadToCheckPriority();
        state->followed.wait(false, std::memory_order_acquire);
        std::optional<AudioFacts> facts =
            factsFromFollow(state->path, state->decoded, state->cancel);
        state->decodedAsWritten = facts.has_value();
        state->facts = facts ? *std::move(facts) : DecodeAudioInHalves(state->path, &state->cancel);
        state->ready.store(true, std::memory_order_release);
        state->teller.tell();
    }).detach();
}

bool FollowedDecode::ready() const
{
    return state_->ready.load(std::memory_order_acquire);
}

const AudioFacts& FollowedDecode::facts() const
{
    return state_->facts;
}

bool FollowedDecode::decodedAsWritten() const
{
    return state_->decodedAsWritten;
}

}  // namespace qvr
