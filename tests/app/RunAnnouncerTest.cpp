// What the desktop hears of a run: progress by rows ended, and one notification with the counts.
#include "app/RunAnnouncer.h"
#include "platform/DesktopNotifier.h"
#include "support/ShippedTexts.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace qvr;

namespace {

struct Heard : DesktopNotifier {
    QStringList notices;
    std::vector<std::pair<double, bool>> progress;
    void notify(const QString& summary, const QString& body) override
    {
        notices << summary + " | " + body;
    }
    void showTaskProgress(double value, bool visible) override
    {
        progress.emplace_back(value, visible);
    }
};

}  // namespace

TEST(RunAnnouncer, TellsTheCountsOfEachRun)
{
    const ProgramTexts texts = test::shippedTexts("GERMAN");
    const JobResult converted(JobOutcome::Converted);
    const JobResult kept(JobOutcome::Kept);
    const JobResult failed(JobOutcome::Failed, FailureReason::DecoderFailed);
    const JobResult aborted(JobOutcome::Aborted);
    const struct {
        const char* situation;
        int rows;
        std::vector<JobResult> ended;
        QString notice;
        std::vector<std::pair<double, bool>> progress;
    } cases[] = {
        {"all converted or kept",
         2,
         {converted, kept},
         texts.text(10002) + " | Konvertiert: 2, nicht konvertiert: 0",
         {{0.0, true}, {0.5, true}, {1.0, true}, {1.0, false}}},
        {"one failed",
         4,
         {converted, failed, converted, converted},
         texts.text(10002) + " | Konvertiert: 3, nicht konvertiert: 1",
         {{0.0, true}, {0.25, true}, {0.5, true}, {0.75, true}, {1.0, true}, {1.0, false}}},
        {"aborted in the second row",
         3,
         {converted, aborted},
         texts.text(10003) + " | Konvertiert: 1, nicht konvertiert: 2",
         {{0.0, true}, {1.0 / 3, true}, {2.0 / 3, true}, {1.0, false}}},
        {"aborted between rows",
         3,
         {converted},
         texts.text(10003) + " | Konvertiert: 1, nicht konvertiert: 2",
         {{0.0, true}, {1.0 / 3, true}, {1.0, false}}},
    };
    for (const auto& c : cases) {
        Heard heard;
        RunAnnouncer announcer(heard, [&texts]() -> const ProgramTexts& { return texts; });
        announcer.runStarted(c.rows);
        for (const JobResult& result : c.ended) {
            announcer.jobEnded(result);
        }
        announcer.runEnded();
        EXPECT_EQ(heard.notices, QStringList{c.notice}) << c.situation;
        EXPECT_EQ(heard.progress, c.progress) << c.situation;
    }
}

// The window unlocks after a failed CD reading too: without a run there is nothing to tell.
TEST(RunAnnouncer, AnUnlockWithoutARunTellsNothing)
{
    const ProgramTexts texts = test::shippedTexts();
    Heard heard;
    RunAnnouncer announcer(heard, [&texts]() -> const ProgramTexts& { return texts; });
    announcer.runEnded();
    announcer.runStarted(1);
    announcer.jobEnded(JobResult(JobOutcome::Converted));
    announcer.runEnded();
    announcer.runEnded();
    EXPECT_EQ(heard.notices.size(), 1);
}
