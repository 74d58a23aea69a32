#pragma once

#include <QString>
#include <QStringList>

namespace qvr::test {

// Runs a real tool to its end with no input; true when it ended well within a minute.
bool runTool(const QString& program, const QStringList& arguments);

// Writes a 16-bit stereo PCM WAV file holding a sine tone.
void writeToneWav(const QString& path, double hertz, double seconds, int sampleRate = 44100);

// A folder for the files of one test program, removed when it ends.
QString scratchFolder();
// A 440 Hz stereo tone of `seconds` in the scratch folder, written once for the program.
QString scratchToneWav(double seconds);

// Makes a tone file of the kind its extension names, with the real encoders.
bool makeTone(const QString& path, double hertz, double seconds);

// The pitch of a (pure tone) audio file of any kind, measured from its zero crossings after the
// real converter has decoded it; 0 when it cannot be read.
double measurePitch(const QString& path);

struct StreamInfo {
    QString container;  // ffprobe's format name
    QString codec;
    int channels = 0;
    double seconds = 0;
};
StreamInfo probe(const QString& path);

}  // namespace qvr::test
