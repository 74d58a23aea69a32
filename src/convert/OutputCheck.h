#pragma once

#include "AudioCheck.h"
#include "AudioFormats.h"

#include <QString>

#include <atomic>
#include <thread>

namespace qvr {

// True when a length is the expected one: within `share` of it or 50 ms, whichever is larger.
bool LengthMatches(double seconds, double expected, double share = 0.01);

// What a file must hold to pass its check.
struct Expectation {
    QString codec;  // empty: any PCM codec
    int channels = 0;
    double seconds = 0;
    double share = 0.01;  // allowed share of difference in length
    int bits = 0;         // 0: any depth
};

// The check of a file against what it must hold: decoded completely, of the codec, channel
// count and length expected.
bool Meets(const AudioFacts& facts, const Expectation& expected);

// What the decoder must leave in the work WAV for a source of these facts.
Expectation ExpectedWorkInput(const AudioFacts& source);
// What the stretch must leave, from the decoded input and the ratio of the lengths.
Expectation ExpectedStretch(const AudioFacts& input, double lengthRatio);
// What the encoder must write for a target of this kind from the stretched work file.
Expectation ExpectedOutput(AudioKind kind, const AudioFacts& stretched);

// Decodes a file on a thread of its own, so the waiting job keeps handling events; a decode
// that is no longer wanted is cancelled when the object goes.
class BackgroundDecode {
  public:
    explicit BackgroundDecode(const QString& path);
    ~BackgroundDecode();
    BackgroundDecode(const BackgroundDecode&) = delete;
    BackgroundDecode& operator=(const BackgroundDecode&) = delete;

    bool ready() const { return ready_; }
    // The facts once ready() is true.
    const AudioFacts& facts() const { return facts_; }

  private:
    std::atomic<bool> cancel_{false};
    std::atomic<bool> ready_{false};
    AudioFacts facts_;
    std::thread thread_;
};

}  // namespace qvr
