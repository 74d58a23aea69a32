#include "OutputCheck.h"

#include "ToolCommands.h"

#include <algorithm>
#include <cmath>

namespace qvr {
namespace {

constexpr double kLeastToleranceSeconds = 0.05;
// A length the container only guesses from the bit rate can be far off.
constexpr double kGuessedLengthShare = 0.10;

}  // namespace

bool LengthMatches(double seconds, double expected, double share)
{
    return std::abs(seconds - expected) <= std::max(expected * share, kLeastToleranceSeconds);
}

bool Meets(const AudioFacts& facts, const Expectation& expected)
{
    const bool codecFits = expected.codec.isEmpty() ? facts.codec.startsWith(QStringLiteral("pcm_"))
                                                    : facts.codec == expected.codec;
    return facts.readable && facts.complete && codecFits &&
           (expected.channels == 0 || facts.channels == expected.channels) &&
           (expected.bits == 0 || facts.bits == expected.bits) &&
           LengthMatches(facts.seconds, expected.seconds, expected.share);
}

Expectation ExpectedWorkInput(const AudioFacts& source)
{
    return {QString(), 0, source.seconds,
            source.lengthEstimated ? kGuessedLengthShare : Expectation().share};
}

Expectation ExpectedStretch(const AudioFacts& input, double lengthRatio)
{
    return {QString(), input.channels, input.seconds * lengthRatio, Expectation().share};
}

Expectation ExpectedOutput(AudioKind kind, const AudioFacts& stretched)
{
    Expectation expected;
    const KindSpec& spec = SpecOf(kind);
    expected.codec = spec.encoder == KindTool::Converter ? ConverterCodec(kind, stretched.bits)
                                                         : QLatin1String(spec.codec);
    // A lossless target keeps the depth of the work file.
    expected.bits = spec.lossy ? 0 : stretched.bits;
    expected.seconds = stretched.seconds;
    // The MP3 encoder and a copy keep the channels; the converter always writes two.
    expected.channels = spec.encoder == KindTool::Converter ? 2 : stretched.channels;
    return expected;
}

BackgroundDecode::BackgroundDecode(const QString& path)
    : thread_([this, path] {
          facts_ = DecodeAudio(path, &cancel_);
          ready_ = true;
      })
{
}

BackgroundDecode::~BackgroundDecode()
{
    cancel_ = true;
    thread_.join();
}

}  // namespace qvr
