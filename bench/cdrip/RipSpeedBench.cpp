// Rip speed from a CUE/BIN image: RipTrack of the ripper component, with and without jitter
// correction, against reading and writing the same sectors with libcdio-paranoia directly.
//
//   build/bench/cdrip_bench [SECONDS]      (default 600 s of audio, about 100 MB)

#include "cdrip/CDRIP.h"
#include "cdrip/CdioRipLibrary.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cdio/cdio.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

using namespace qvr;

namespace {

constexpr int kSectorSize = 2352;
constexpr int kRounds = 5;

void writeImage(const QString& folder, int sectors)
{
    QByteArray bin(qsizetype{sectors} * kSectorSize, '\0');
    std::uint32_t x = 12345;
    for (qsizetype i = 0; i < bin.size(); ++i) {
        x = x * 1103515245u + 12345u;
        bin[i] = static_cast<char>(x >> 24);
    }
    WriteFileBytes(folder + "disc.bin", bin);
    WriteTextFile(folder + "disc.cue",
                  "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
}

// Reads sectors 0..last through paranoia as the library layer does, writing each chunk.
void ripDirectly(const QString& cue, int last, bool correct, const QString& output)
{
    CdIo_t* cdio = cdio_open_cue(cue.toLocal8Bit().constData());
    cdrom_drive_t* drive = cdio_cddap_identify_cdio(cdio, CDDA_MESSAGE_FORGETIT, nullptr);
    drive->b_swap_bytes = false;
    cdio_cddap_open(drive);
    cdrom_paranoia_t* paranoia = cdio_paranoia_init(drive);
    cdio_paranoia_modeset(
        paranoia, correct ? PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP : PARANOIA_MODE_DISABLE);
    cdio_paranoia_seek(paranoia, 0, SEEK_SET);
    QFile file(output);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    QByteArray chunk(CdioRipLibrary::kSectorsPerChunk * kSectorSize, '\0');
    for (int sector = 0; sector <= last;) {
        const int count = std::min(CdioRipLibrary::kSectorsPerChunk, last - sector + 1);
        for (int i = 0; i < count; ++i) {
            const std::int16_t* samples = cdio_paranoia_read_limited(paranoia, nullptr, 20);
            std::copy_n(reinterpret_cast<const char*>(samples), kSectorSize,
                        chunk.data() + i * kSectorSize);
        }
        file.write(chunk.constData(), qint64{count} * kSectorSize);
        sector += count;
    }
    cdio_paranoia_free(paranoia);
    cdio_cddap_close_no_free_cdio(drive);
    cdio_destroy(cdio);
}

// Wall-clock and processor-time rates of one run: the processor time is less disturbed by
// other work on the machine.
struct Rate {
    double wall = 0;
    double cpu = 0;
};

template <typename Work>
Rate measure(qint64 bytes, Work work)
{
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    work();
    const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    return Rate{static_cast<double>(bytes) * 1e9 / static_cast<double>(timer.nsecsElapsed()),
                static_cast<double>(bytes) / std::max(cpuSeconds, 1e-6)};
}

void keepBest(Rate& best, const Rate& r)
{
    best.wall = std::max(best.wall, r.wall);
    best.cpu = std::max(best.cpu, r.cpu);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 600;
    const int sectors = seconds * 75;
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    writeImage(folder, sectors);
    qputenv(CdioRipLibrary::kImagesVariable, (folder + "disc.cue").toLocal8Bit());

    CdioRipLibrary library;
    TCDRIP ripper(nullptr, library);
    ripper.Tracks().clear();
    if (!ripper.ReadDiscAgain(library.drivePaths().indexOf(folder + "disc.cue"))) {
        std::fprintf(stderr, "The image could not be read\n");
        return 1;
    }
    ripper.setWriteWAV(true);
    const qint64 bytes = qint64{sectors} * kSectorSize;
    std::printf("%d sectors, %.1f MB per rip, best of %d\n", sectors, bytes / 1e6, kRounds);
    for (const bool correct : {false, true}) {
        ripper.setJitterCorrect(correct);
        const QString name = folder + "out.wav";
        Rate component;
        Rate direct;
        // Rounds alternate between the two, so both see the same page cache and disk.
        for (int round = 0; round <= kRounds; ++round) {
            bool ripped = true;
            const Rate c = measure(bytes, [&] { ripped = ripper.RipTrack(1, name).ok(); });
            if (!ripped) {
                std::fprintf(stderr, "The component's rip failed\n");
                return 1;
            }
            const Rate d = measure(
                bytes, [&] { ripDirectly(folder + "disc.cue", sectors - 1, correct, name); });
            if (round > 0) {  // the first round only warms up
                keepBest(component, c);
                keepBest(direct, d);
            }
        }
        std::printf(
            "correction %-3s  RipTrack %6.1f MB/s (cpu %6.1f)  libcdio directly %6.1f MB/s (cpu "
            "%6.1f)"
            "  cost %+5.1f %% (cpu %+5.1f %%)\n",
            correct ? "on" : "off", component.wall / 1e6, component.cpu / 1e6, direct.wall / 1e6,
            direct.cpu / 1e6, (direct.wall / component.wall - 1) * 100,
            (direct.cpu / component.cpu - 1) * 100);
    }
    return 0;
}
