#include "platform/FileSystem.h"
#include "platform/PCSpeed_DVK.h"
#include "platform/SpeedProbe.h"
#include "support/RecordingHost.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

#include <sched.h>

#include <chrono>
#include <deque>
#include <thread>

using namespace qvr;

namespace {

// Answers prepared readings, one per call.
class ScriptedClock : public Clock {
  public:
    mutable std::deque<Milliseconds> readings;
    Milliseconds now() const override
    {
        if (readings.empty()) {
            return Milliseconds(1'000'000);
        }
        const Milliseconds value = readings.front();
        readings.pop_front();
        return value;
    }
};

// Readings that make one measurement count `passes` passes: the seed reading comes first.
void addMeasurement(ScriptedClock& clock, int passes, Milliseconds& t)
{
    clock.readings.push_back(t);  // start
    for (int i = 1; i < passes; ++i) {
        clock.readings.push_back(t + Milliseconds(299));
    }
    t += Milliseconds(300);
    clock.readings.push_back(t);
    t += Milliseconds(1);
}

// Time stands still: only a stop ends a measurement. The stop is set at the `stopAt`th reading.
class StoppingClock : public Clock {
  public:
    StoppingClock(std::atomic<bool>& stop, int stopAt) : stop_(stop), stopAt_(stopAt) {}
    Milliseconds now() const override
    {
        if (++readings_ == stopAt_) {
            stop_ = true;
        }
        return Milliseconds(0);
    }

  private:
    std::atomic<bool>& stop_;
    int stopAt_;
    mutable int readings_ = 0;
};

}  // namespace

class SpeedProbeTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    test::RecordingHost recorder;
    QString folder = dir.path() + "/";
};

TEST_F(SpeedProbeTest, AveragesFiveMeasurementsDroppingTheRemainder)
{
    ScriptedClock clock;
    Milliseconds t(0);
    clock.readings.push_back(t);  // seed
    for (int passes : {40, 41, 40, 42, 41}) {
        addMeasurement(clock, passes, t);
    }
    EXPECT_EQ(MeasurePCSpeed(folder, recorder, Milliseconds(300), clock), 40);
    EXPECT_TRUE(clock.readings.empty());
}

TEST_F(SpeedProbeTest, LeavesNoScratchFilesAndRestoresTheCursor)
{
    const int result = MeasurePCSpeed(folder, recorder, Milliseconds(10));
    EXPECT_GE(result, 1);
    EXPECT_TRUE(ListFolder(folder).empty());
    EXPECT_FALSE(recorder.busy);
    EXPECT_EQ(recorder.busyCalls, 2);
}

TEST_F(SpeedProbeTest, ASlowMachineStillScoresOne)
{
    ScriptedClock clock;  // every reading is far past the start: one pass a measurement
    clock.readings.push_back(Milliseconds(0));
    for (int i = 0; i < 5; ++i) {
        clock.readings.push_back(Milliseconds(0));
        clock.readings.push_back(Milliseconds(10'000));
    }
    EXPECT_EQ(MeasurePCSpeed(folder, recorder, Milliseconds(300), clock), 1);
}

// The window measures at start, often while the first files convert: the probe only takes the
// processor nobody else wants, so it never slows a conversion.
TEST_F(SpeedProbeTest, TheWindowsProbeOnlyUsesIdleTime)
{
    int policy = -1;
    SpeedProbe probe(nullptr, [&policy](const QString&, const std::atomic<bool>&) {
        policy = ::sched_getscheduler(0);
        return 7;
    });
    QSignalSpy measured(&probe, &SpeedProbe::measured);
    probe.start(folder);
    ASSERT_TRUE(measured.wait(5000));
    EXPECT_EQ(measured.first().first().toInt(), 7);
    EXPECT_EQ(policy, SCHED_IDLE);
}

// A probe measuring on a busy machine may take seconds: closing the window stops it at once.
TEST_F(SpeedProbeTest, AProbeInProgressEndsWithItsOwner)
{
    std::atomic<bool> running{false};
    bool stopSeen = false;
    {
        SpeedProbe probe(nullptr, [&](const QString&, const std::atomic<bool>& stop) {
            running = true;
            const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (!stop && std::chrono::steady_clock::now() < bound) {
                std::this_thread::yield();
            }
            stopSeen = stop;
            return 1;
        });
        probe.start(folder);
        while (!running) {
            std::this_thread::yield();
        }
    }
    EXPECT_TRUE(stopSeen);
}

// Before the first measurement, inside the first and inside a later one: the measure gives up
// at the next pass and leaves no scratch file.
TEST_F(SpeedProbeTest, AStoppedMeasureGivesUpAtTheNextPass)
{
    for (const int stopAt : {1, 2, 3, 12}) {
        SCOPED_TRACE(stopAt);
        std::atomic<bool> stop{false};
        StoppingClock clock(stop, stopAt);
        EXPECT_GE(MeasurePCSpeedQuietly(folder, &stop, Milliseconds(300), clock), 1);
        EXPECT_TRUE(ListFolder(folder).empty());
    }
}
