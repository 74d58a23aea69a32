#pragma once

// The decoding shared by the checks of whole files and of files read as they are written.

#include "AudioCheck.h"
#include "AvHandles.h"

#include <QString>

#include <algorithm>
#include <atomic>
#include <cstdint>

namespace qvr::decoding {

// The libraries write their complaints about damaged files to stderr; the checks report them.
void silenceLibraries();

bool isCancelled(const std::atomic<bool>* cancel);

// An opened container and its best audio stream.
struct OpenedAudio {
    FormatPtr format;
    AVStream* stream = nullptr;
};

// Opens the container and fills the facts its header gives; no stream when it is not readable.
OpenedAudio openAudio(const QString& path, const std::atomic<bool>* cancel, AudioFacts& facts);
// The same for a stream read through `io` (which the caller keeps and frees after the result)
// with the named demuxer.
OpenedAudio openAudioStream(AVIOContext* io, const char* demuxer, const std::atomic<bool>* cancel,
                            AudioFacts& facts);

// Reads the next packet of the stream: 1 for a packet, 0 at the end of the file, -1 on an error.
int nextPacket(const OpenedAudio& opened, AVPacket* packet);

// What the decoded frames add up to.
struct Decoded {
    double seconds = 0;
    double squares = 0;
    std::int64_t samples = 0;  // counted over all channels

    Decoded& operator+=(const Decoded& other)
    {
        seconds += other.seconds;
        squares += other.squares;
        samples += other.samples;
        return *this;
    }
    friend Decoded operator-(const Decoded& after, const Decoded& before)
    {
        return {after.seconds - before.seconds, after.squares - before.squares,
                after.samples - before.samples};
    }
};

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

    void add(const Tally& other);
};

// A decoder with its packet and frame, for one pass over a stream.
struct Decoder {
    explicit Decoder(const AVStream* stream);
    bool usable() const { return codec != nullptr && packet != nullptr && frame != nullptr; }

    // Decodes the packet read last into the tally and lets it go.
    void take(Tally& tally);
    // The samples the decoder still holds.
    void drain(Tally& tally);

    CodecPtr codec;
    PacketPtr packet;
    FramePtr frame;
};

AudioFacts factsOf(AudioFacts facts, const Tally& tally, bool ended, int sampleRate);

// Decodes every packet of the stream to the end; the length is what was decoded.
AudioFacts decodeAll(const OpenedAudio& opened, AudioFacts facts, const std::atomic<bool>* cancel);

}  // namespace qvr::decoding
