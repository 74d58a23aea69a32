#include "OutputCheck.h"

#include "platform/WorkPriority.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace qvr {
namespace {

constexpr double kLeastToleranceSeconds = 0.05;
constexpr double kLevelToleranceDb = 1.0;
// Below this a lossy codec's noise and filtering weigh more than the music.
constexpr double kQuietestCheckedLevelDb = -60.0;
// Samples by which two MP3 decoders may disagree at the start and end.
constexpr int kLossyDecoderSlack = 2304;

}  // namespace

bool LengthMatches(double seconds, double expected, double share, double least)
{
    return std::abs(seconds - expected) <=
           std::max({expected * share, kLeastToleranceSeconds, least});
}

Verdict Check(const AudioFacts& facts, const Expectation& expected)
{
    // Work files hold integer samples: the time-stretch tool reads nothing else exactly.
    const bool integerPcm =
        facts.codec.startsWith(QStringLiteral("pcm_s")) || facts.codec == QLatin1String("pcm_u8");
    const bool codecFits = expected.codec.isEmpty() ? integerPcm : facts.codec == expected.codec;
    if (!facts.readable || !facts.complete || !codecFits ||
        !LengthMatches(facts.seconds, expected.seconds, expected.share, expected.paddingSeconds)) {
        return Verdict::Incomplete;
    }
    const bool levelFits = !expected.levelDb || *expected.levelDb < kQuietestCheckedLevelDb ||
                           std::abs(facts.levelDb() - *expected.levelDb) <= kLevelToleranceDb;
    if ((expected.channels != 0 && facts.channels != expected.channels) ||
        (expected.bits != 0 && facts.bits < expected.bits) || !levelFits) {
        return Verdict::Damaged;
    }
    return Verdict::Passed;
}

Expectation ExpectedWorkInput(const AudioFacts& source)
{
    Expectation expected;
    expected.channels = source.channels;
    expected.seconds = source.seconds;
    // The MP3 tool and the converter may trim an encoder's delay differently.
    if (source.bits == 0 && source.sampleRate > 0) {
        expected.paddingSeconds = double(kLossyDecoderSlack) / source.sampleRate;
    }
    expected.levelDb = source.levelDb();
    return expected;
}

Expectation ExpectedStretch(const AudioFacts& input, double lengthRatio)
{
    Expectation expected;
    expected.channels = input.channels;
    expected.seconds = input.seconds * lengthRatio;
    expected.bits = input.bits;
    expected.levelDb = input.levelDb();
    return expected;
}

Expectation ExpectedOutput(const EncodePlan& plan, const AudioFacts& stretched)
{
    Expectation expected;
    expected.codec = plan.codec;
    // A lossless target keeps the depth of the work file.
    expected.bits = plan.lossy ? 0 : stretched.bits;
    expected.seconds = stretched.seconds;
    expected.channels = plan.channels;
    if (stretched.sampleRate > 0) {
        expected.paddingSeconds = double(plan.paddingSamples) / stretched.sampleRate;
    }
    expected.levelDb = stretched.levelDb();
    return expected;
}

// A thread that ends while the main thread waits for it would make the window wait for a
// thread of lower priority on a busy machine; this one is left to end by itself.
BackgroundDecode::BackgroundDecode(const QString& path, Split split,
                                   std::function<void()> whenReady)
    : state_(std::make_shared<State>(std::move(whenReady)))
{
    std::thread([state = state_, path, split] {
        LowerThisThreadToCheckPriority();
        state->facts = split == Split::InHalves ? DecodeAudioInHalves(path, &state->cancel)
                                                : DecodeAudio(path, &state->cancel);
        state->ready = true;
        state->teller.tell();
    }).detach();
}

BackgroundDecode::~BackgroundDecode()
{
    state_->cancel = true;
    state_->teller.forget();
}

void ThreadTeller::tell()
{
    const std::lock_guard lock(mutex_);
    if (call_) {
        call_();
    }
}

void ThreadTeller::forget()
{
    const std::lock_guard lock(mutex_);
    call_ = nullptr;
}

}  // namespace qvr
