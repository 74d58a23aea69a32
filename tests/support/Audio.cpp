#include "Audio.h"

#include "platform/FileSystem.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>
#include <numbers>
#include <vector>

namespace qvr::test {

QString scratchFolder()
{
    static const QTemporaryDir dir;
    return dir.path() + u'/';
}

QString scratchToneWav(double seconds)
{
    const QString path = scratchFolder() + QStringLiteral("tone-%1s.wav").arg(seconds);
    if (!QFile::exists(path)) {
        writeToneWav(path, 440, seconds);
    }
    return path;
}

bool runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}
namespace {

QByteArray run(const QString& program, const QStringList& arguments, bool* ok = nullptr)
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    const bool finished = process.waitForFinished(60000);
    if (ok != nullptr) {
        *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
    return process.readAllStandardOutput();
}

void put32(QByteArray& b, quint32 v)
{
    char raw[4];
    qToLittleEndian(v, raw);
    b.append(raw, 4);
}

void put16(QByteArray& b, quint16 v)
{
    char raw[2];
    qToLittleEndian(v, raw);
    b.append(raw, 2);
}

}  // namespace

void writeToneWav(const QString& path, double hertz, double seconds, int sampleRate)
{
    const int frames = static_cast<int>(seconds * sampleRate);
    QByteArray wav;
    wav.append("RIFF");
    put32(wav, 36 + frames * 4);
    wav.append("WAVEfmt ");
    put32(wav, 16);
    put16(wav, 1);
    put16(wav, 2);
    put32(wav, sampleRate);
    put32(wav, sampleRate * 4);
    put16(wav, 4);
    put16(wav, 16);
    wav.append("data");
    put32(wav, frames * 4);
    for (int i = 0; i < frames; ++i) {
        const auto sample = static_cast<qint16>(
            std::lround(16000.0 * std::sin(2 * std::numbers::pi * hertz * i / sampleRate)));
        put16(wav, static_cast<quint16>(sample));
        put16(wav, static_cast<quint16>(sample));
    }
    // Through the program's own writer, so a name that is not UTF-8 keeps its bytes.
    qvr::WriteFileBytes(path, wav);
}

bool makeTone(const QString& path, double hertz, double seconds)
{
    if (path.endsWith(QStringLiteral(".wav"))) {
        writeToneWav(path, hertz, seconds);
        return true;
    }
    const QString wav = path + QStringLiteral(".source.wav");
    writeToneWav(wav, hertz, seconds);
    bool ok = false;
    if (path.endsWith(QStringLiteral(".mp3"))) {
        run(QStringLiteral("lame"),
            {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("192"), wav, path},
            &ok);
    } else {
        QStringList arguments = {QStringLiteral("-v"), QStringLiteral("error"),
                                 QStringLiteral("-y"), QStringLiteral("-i"), wav};
        if (path.endsWith(QStringLiteral(".m4a"))) {
            arguments << QStringLiteral("-c:a") << QStringLiteral("aac");
        }
        run(QStringLiteral("ffmpeg"), arguments << path, &ok);
    }
    QFile::remove(wav);
    return ok;
}

double measurePitch(const QString& path)
{
    bool ok = false;
    const QByteArray raw = run(
        QStringLiteral("ffmpeg"),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), path,
         QStringLiteral("-ac"), QStringLiteral("1"), QStringLiteral("-ar"), QStringLiteral("44100"),
         QStringLiteral("-f"), QStringLiteral("s16le"), QStringLiteral("-")},
        &ok);
    const auto* samples = reinterpret_cast<const qint16*>(raw.constData());
    const qsizetype count = raw.size() / 2;
    const qsizetype margin = 4410;  // leave out the encoders' start and end
    std::vector<double> crossings;
    for (qsizetype i = margin + 1; i < count - margin; ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            crossings.push_back(double(i - 1) +
                                double(-samples[i - 1]) / double(samples[i] - samples[i - 1]));
        }
    }
    if (!ok || crossings.size() < 10) {
        return 0;
    }
    return double(crossings.size() - 1) / ((crossings.back() - crossings.front()) / 44100.0);
}

StreamInfo probe(const QString& path)
{
    const QByteArray text =
        run(QStringLiteral("ffprobe"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
             QStringLiteral("format=format_name,duration:stream=codec_name,channels"),
             QStringLiteral("-of"), QStringLiteral("default=noprint_wrappers=1"), path});
    StreamInfo info;
    for (const QByteArray& line : text.split('\n')) {
        const QString entry = QString::fromUtf8(line);
        const QString value = entry.section(u'=', 1);
        if (entry.startsWith(QStringLiteral("format_name="))) {
            info.container = value;
        } else if (entry.startsWith(QStringLiteral("codec_name=")) && info.codec.isEmpty()) {
            info.codec = value;
        } else if (entry.startsWith(QStringLiteral("channels=")) && info.channels == 0) {
            info.channels = value.toInt();
        } else if (entry.startsWith(QStringLiteral("duration="))) {
            info.seconds = value.toDouble();
        }
    }
    return info;
}

}  // namespace qvr::test
