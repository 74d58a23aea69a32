#include "StepTexts.h"

#include "lang/ProgramTexts.h"

namespace qvr {
namespace {

constexpr int kDecodeText = 530;         // "%1 to WAV"
constexpr int kEncodeText = 531;         // "WAV to %1"
constexpr int kStretchText = 532;        // "Calc. Solfeggio Freq."
constexpr int kDemonstrationText = 533;  // "Convert Hz"

int textNumber(JobStep::Kind kind)
{
    switch (kind) {
        case JobStep::Kind::Decode: return kDecodeText;
        case JobStep::Kind::Encode: return kEncodeText;
        case JobStep::Kind::Stretch: return kStretchText;
        case JobStep::Kind::Demonstration: return kDemonstrationText;
        case JobStep::Kind::None: break;
    }
    return 0;
}

}  // namespace

QString StepStatusText(const ProgramTexts& texts, const JobStep& step)
{
    const int number = textNumber(step.kind);
    const QString text = number > 0 ? texts.text(number) : QString();
    if (text.isEmpty()) {
        return EnglishStepText(step);
    }
    return text.contains(QStringLiteral("%1")) ? text.arg(KindLabel(step.format)) : text;
}

}  // namespace qvr
