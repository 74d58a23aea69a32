#pragma once

#include <QString>
#include <QStringList>

namespace qvr {

// The target of a run: the frequency, the equal-tempered note (A = 440 Hz) nearest to it, and
// the target as text for names and folders.
struct FrequencyState {
    double TargetFrequency = 432.0;
    double ReferencePitch = 440.0;
    QString FrequencyText = QStringLiteral("432");
};

inline constexpr int kFrequencyCount = 10;

// The chooser's items: "174Hz" ... "963Hz".
QStringList FrequencyItems();

// The state for a chooser index; the default (432 Hz from 440 Hz) outside 0..9.
FrequencyState FrequencyForIndex(int index);

// The tempo change that leads from the reference pitch to the target, in percent.
double TempoPercent(double targetFrequency, double referencePitch);
// Its text on the time-stretch command line: at most 15 significant digits, a point.
QString TempoText(double percent);

}  // namespace qvr
