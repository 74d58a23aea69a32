#pragma once

#include "AudioCheck.h"
#include "AudioFormats.h"
#include "ToolCommands.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace qvr {

// True when a length is the expected one: within `share` of it or `least` seconds (50 ms unless
// an encoder's priming and padding need more), whichever is larger.
bool LengthMatches(double seconds, double expected, double share = 0.01, double least = 0.05);

// What a file must hold to pass its check.
struct Expectation {
    QString codec;  // empty: any PCM codec
    int channels = 0;
    double seconds = 0;
    double share = 0.01;        // allowed share of difference in length
    int bits = 0;               // 0: any depth; else at least these bits a sample
    double paddingSeconds = 0;  // what an encoder may add at the start and end
    // The source's level in dB below full scale; the file must be as loud within 1 dB. Not held
    // against quiet sources, whose level a lossy codec may well change.
    std::optional<double> levelDb;
};

// How a file stands against what it must hold.
enum class Verdict {
    Passed,
    Incomplete,  // it does not decode completely, or is of the wrong length or codec
    Damaged,     // it decodes, but narrower, with other channels or at another level than it should
};
Verdict Check(const AudioFacts& facts, const Expectation& expected);
inline bool Meets(const AudioFacts& facts, const Expectation& expected)
{
    return Check(facts, expected) == Verdict::Passed;
}

// What the decoder must leave in the work WAV for a source of these (decoded) facts.
Expectation ExpectedWorkInput(const AudioFacts& source);
// What the stretch must leave, from the decoded input and the ratio of the lengths.
Expectation ExpectedStretch(const AudioFacts& input, double lengthRatio);
// What the encoder must write following its plan from the stretched work file.
Expectation ExpectedOutput(const EncodePlan& plan, const AudioFacts& stretched);

// Facts of a file that a thread finds out.
class PendingFacts {
  public:
    virtual ~PendingFacts() = default;
    virtual bool ready() const = 0;
    // The facts once ready() is true.
    virtual const AudioFacts& facts() const = 0;
    // True when the facts are those of packets decoded while a tool wrote them.
    virtual bool decodedAsWritten() const { return false; }
};

// What a detached thread calls when it has news for its owner: the owner may go at any time,
// and once it has, nothing is called any more.
class ThreadTeller {
  public:
    explicit ThreadTeller(std::function<void()> call) : call_(std::move(call)) {}
    // On the thread: calls the owner's function unless the owner has gone.
    void tell();
    // For the owner as it goes: waits for a call under way, then stops any more.
    void forget();

  private:
    std::mutex mutex_;
    std::function<void()> call_;
};

// Decodes a file on a thread of its own, so the waiting job keeps handling events; a decode
// that is no longer wanted is cancelled when the object goes. The thread runs nicer than the
// main thread and is never waited for: what it fills is shared with it, and it ends by itself.
// `whenReady` is called on the decoding thread once the facts are there, unless the object has
// gone before.
class BackgroundDecode : public PendingFacts {
  public:
    // A decode that runs beside a tool of the same job is done whole: the tool takes longer
    // anyway, and the halves cost a second reader's opening, seek and settling. One that its job
    // waits for at once takes two threads.
    enum class Split { Whole, InHalves };

    BackgroundDecode(const QString& path, Split split, std::function<void()> whenReady = {});
    ~BackgroundDecode() override;
    BackgroundDecode(const BackgroundDecode&) = delete;
    BackgroundDecode& operator=(const BackgroundDecode&) = delete;

    bool ready() const override { return state_->ready; }
    const AudioFacts& facts() const override { return state_->facts; }

  private:
    struct State {
        explicit State(std::function<void()> whenReady) : teller(std::move(whenReady)) {}
        std::atomic<bool> cancel{false};
        std::atomic<bool> ready{false};
        AudioFacts facts;
        ThreadTeller teller;
    };
    std::shared_ptr<State> state_;
};

}  // namespace qvr
