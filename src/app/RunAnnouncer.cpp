#include "RunAnnouncer.h"

#include "lang/ProgramTexts.h"
#include "platform/DesktopNotifier.h"

namespace qvr {
namespace {

constexpr int kFinishedText = 10002;
constexpr int kAbortedText = 10003;
constexpr int kCountsText = 535;  // "Converted: %1, not converted: %2"

}  // namespace

RunAnnouncer::RunAnnouncer(DesktopNotifier& notifier, std::function<const ProgramTexts&()> texts)
    : notifier_(notifier), texts_(std::move(texts))
{
}

void RunAnnouncer::runStarted(int rows)
{
    running_ = true;
    rows_ = rows;
    ended_ = 0;
    converted_ = 0;
    aborted_ = false;
    notifier_.showTaskProgress(0.0, true);
}

void RunAnnouncer::jobEnded(const JobResult& result)
{
    ++ended_;
    if (result.converted() || result.outcome == JobOutcome::Kept) {
        ++converted_;
    }
    aborted_ = aborted_ || result.outcome == JobOutcome::Aborted;
    notifier_.showTaskProgress(rows_ > 0 ? double(ended_) / rows_ : 1.0, true);
}

// A row that never started counts as not converted.
void RunAnnouncer::runEnded()
{
    if (!running_) {
        return;
    }
    running_ = false;
    notifier_.showTaskProgress(1.0, false);
    const ProgramTexts& texts = texts_();
    const bool aborted = aborted_ || ended_ < rows_;
    notifier_.notify(texts.text(aborted ? kAbortedText : kFinishedText),
                     texts.text(kCountsText).arg(converted_).arg(rows_ - converted_));
}

}  // namespace qvr
