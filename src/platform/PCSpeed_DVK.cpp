#include "PCSpeed_DVK.h"

#include "FileSystem.h"
#include "Host.h"

#include <cmath>
#include <cstdio>
#include <random>

namespace qvr {

namespace {

constexpr int kMeasurements = 5;
constexpr int kStepsPerPass = 18001;

QString formatGeneral(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return QString::fromLatin1(text);
}

// One pass: the floating-point steps, then a scratch file written, read back and deleted.
void runPass(const QString& folder, int passNumber, std::mt19937& random)
{
    std::uniform_int_distribution<int> draw(0, 99'999'999);
    double accumulator = 0.0;
    QString formatted;
    for (int step = 0; step < kStepsPerPass; ++step) {
        const double r = draw(random);
        accumulator = std::sin(r) * std::cos(r) + accumulator;
        accumulator = std::sqrt(std::fabs(accumulator) + 1.0);
        formatted = formatGeneral(accumulator);
    }
    const QString number = QString::number(passNumber);
    const QString scratch =
        folder + QStringLiteral("pc-speed-dvk") + number + QStringLiteral(".txt");
    WriteTextFile(scratch, number + QStringLiteral("\r\n") + formatted + QStringLiteral("\r\n"));
    (void)ReadFirstLine(scratch);
    RemoveFile(scratch);
}

bool stopped(const std::atomic<bool>* stop)
{
    return stop != nullptr && stop->load();
}

int measure(const QString& folder, Milliseconds duration, const Clock& clock, std::mt19937& random,
            const std::atomic<bool>* stop)
{
    const Milliseconds start = clock.now();
    int passes = 0;
    do {
        runPass(folder, ++passes, random);
    } while (clock.now() - start < duration && !stopped(stop));
    return passes;
}

}  // namespace

int MeasurePCSpeed(const QString& folder, Host& host, Milliseconds measurement, const Clock& clock)
{
    host.setBusyCursor(true);
    const int score = MeasurePCSpeedQuietly(folder, nullptr, measurement, clock);
    host.setBusyCursor(false);
    return score;
}

int MeasurePCSpeedQuietly(const QString& folder, const std::atomic<bool>* stop,
                          Milliseconds measurement, const Clock& clock)
{
    std::mt19937 random(static_cast<unsigned>(clock.now().count()));
    int total = 0;
    for (int i = 0; i < kMeasurements && !stopped(stop); ++i) {
        total += measure(folder, measurement, clock, random, stop);
    }
    return std::max(1, total / kMeasurements);
}

}  // namespace qvr
