#include "convert/JobWaits.h"
#include "platform/FileSystem.h"
#include "platform/Processes.h"
#include "support/Waiting.h"

#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <thread>

using namespace qvr;
using namespace qvr::test;

namespace {

// A clock whose timers run as long as they are asked to: a wait of a minute gets no round
// before its minute is up, so whatever answers it earlier was an event.
class PatientClock : public Clock {
  public:
    Milliseconds now() const override { return Milliseconds(1'000'000); }
};

struct WakeCase {
    const char* name;
    // Starts what will change the condition, names it to the wait, and answers the condition.
    std::function<std::function<bool()>(JobWaits&, ToolProcesses&, const QString& folder,
                                        bool& abort)>
        arrange;
    JobWaits::Stop expected;
};

class JobWaitsWake : public testing::TestWithParam<WakeCase> {};

}  // namespace

// Each wait is answered by the event it names, asking its condition only when woken: once at its
// start and once per event, never in rounds.
TEST_P(JobWaitsWake, AWaitIsAnsweredByItsEvent)
{
    const WakeCase& c = GetParam();
    PatientClock clock;
    bool abort = false;
    JobWaits waits(clock, abort);
    ToolProcesses tools;
    QTemporaryDir folder;
    int asked = 0;
    std::optional<JobWaits::Stop> answer;
    std::function<bool()> condition;
    waits.until([&] { return ++asked, condition(); }, clock.now() + Milliseconds(60'000),
                [&](JobWaits::Stop stop) { answer = stop; });
    condition = c.arrange(waits, tools, folder.path(), abort);
    ASSERT_TRUE(waitForEvents([&] { return answer.has_value(); }, 10'000)) << c.name;
    EXPECT_EQ(*answer, c.expected) << c.name;
    EXPECT_LE(asked, 4) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Events, JobWaitsWake,
    testing::Values(
        WakeCase{"a tool ends",
                 [](JobWaits& waits, ToolProcesses& tools, const QString&, bool&) {
                     const ToolId tool = tools.start(QString(), "sleep", {"0.2"});
                     waits.wakeWhenEnds(tools, tool);
                     return std::function<bool()>(
                         [&tools, tool] { return !tools.status(tool).running(); });
                 },
                 JobWaits::Stop::Done},
        WakeCase{"a file appears",
                 [](JobWaits& waits, ToolProcesses& tools, const QString& folder, bool&) {
                     tools.start(folder, "sh", {"-c", "sleep 0.2; touch here"});
                     waits.wakeOnChangesIn(folder);
                     return std::function<bool()>(
                         [folder] { return FileExists(folder + "/here"); });
                 },
                 JobWaits::Stop::Done},
        WakeCase{"work on another thread ends",
                 [](JobWaits& waits, ToolProcesses&, const QString&, bool&) {
                     auto done = std::make_shared<std::atomic<bool>>(false);
                     std::thread([&waits, done] {
                         std::this_thread::sleep_for(std::chrono::milliseconds(200));
                         *done = true;
                         waits.wake();
                     }).detach();
                     return std::function<bool()>([done] { return done->load(); });
                 },
                 JobWaits::Stop::Done},
        WakeCase{"Abort is pressed while a tool runs",
                 [](JobWaits& waits, ToolProcesses& tools, const QString&, bool& abort) {
                     const ToolId tool = tools.start(QString(), "sleep", {"30"});
                     waits.wakeWhenEnds(tools, tool);
                     QTimer::singleShot(100, &waits, [&waits, &abort] {
                         abort = true;
                         waits.wake();
                     });
                     return std::function<bool()>(
                         [&tools, tool] { return !tools.status(tool).running(); });
                 },
                 JobWaits::Stop::Aborted}),
    [](const testing::TestParamInfo<WakeCase>& info) {
        return "Case" + std::to_string(info.index);
    });

// A step started through `soon` goes on from the event loop, never inside the call that asked
// for it, and not at all once Abort was pressed meanwhile.
TEST(JobWaits, SoonAnswersFromTheEventLoop)
{
    for (const bool abortMeanwhile : {false, true}) {
        SCOPED_TRACE(abortMeanwhile);
        PatientClock clock;
        bool abort = false;
        JobWaits waits(clock, abort);
        std::optional<JobWaits::Stop> answer;
        waits.soon([&](JobWaits::Stop stop) { answer = stop; });
        EXPECT_FALSE(answer.has_value());
        abort = abortMeanwhile;
        ASSERT_TRUE(waitForEvents([&] { return answer.has_value(); }, 10'000));
        EXPECT_EQ(*answer, abortMeanwhile ? JobWaits::Stop::Aborted : JobWaits::Stop::Done);
    }
}
