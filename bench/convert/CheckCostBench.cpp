// The cost of the output check: DecodeAudio (and ProbeAudio) on a 4-minute stereo 44.1 kHz track
// of every kind the engine writes, made with the real tools.
//
//   build/bench/check_cost [ROUNDS]      (default 5; the median is printed)

#include "BenchTools.h"
#include "convert/AudioCheck.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace qvr;
using namespace qvr::bench;

namespace {

constexpr double kSeconds = 240;

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir scratch;
    const QString dir = scratch.path() + u'/';
    const QString wav = dir + QStringLiteral("track.wav");

    std::printf("Making a 4-minute stereo track of every kind...\n");
    const QString length = QString::number(kSeconds);
    const bool made =
        ffmpeg({"-f", "lavfi", "-i", "sine=frequency=440:duration=" + length + ":sample_rate=44100",
                "-f", "lavfi", "-i", "sine=frequency=660:duration=" + length + ":sample_rate=44100",
                "-filter_complex", "[0:a][1:a]join=inputs=2:channel_layout=stereo", "-c:a",
                "pcm_s16le", wav}) &&
        run(QStringLiteral("lame"), {"--quiet", "-b", "192", wav, dir + "track.mp3"}) &&
        ffmpeg({"-i", wav, "-c:a", "flac", dir + "track.flac"}) &&
        ffmpeg({"-i", wav, "-c:a", "aac", dir + "track.aac"}) &&
        ffmpeg({"-i", wav, "-c:a", "alac", dir + "track.m4a"}) &&
        ffmpeg({"-i", wav, dir + "track.aiff"});
    if (!made) {
        std::fprintf(stderr, "could not make the test track (lame and ffmpeg are needed)\n");
        return 1;
    }

    std::printf("\n%-6s %-10s %9s %12s %12s %10s\n", "kind", "codec", "seconds", "decode ms",
                "probe ms", "complete");
    for (const char* kind : {"mp3", "aac", "flac", "m4a", "aiff", "wav"}) {
        const QString path = dir + QStringLiteral("track.") + QLatin1String(kind);
        std::vector<double> decodeTimes;
        std::vector<double> probeTimes;
        AudioFacts facts;
        for (int round = 0; round < rounds; ++round) {
            QElapsedTimer timer;
            timer.start();
            facts = DecodeAudio(path);
            decodeTimes.push_back(timer.nsecsElapsed() / 1e6);
            timer.restart();
            ProbeAudio(path);
            probeTimes.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::printf("%-6s %-10s %9.3f %12.1f %12.2f %10s\n", kind, qPrintable(facts.codec),
                    facts.seconds, medianMs(decodeTimes), medianMs(probeTimes),
                    facts.complete ? "yes" : "NO");
    }
    return 0;
}
