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

// How many targets there are: the chooser has one item per target.
int FrequencyCount();

// The chooser's items, in the order of the targets: "174Hz" ... "963Hz".
QStringList FrequencyItems();
// The targets as they stand in names and folders: "174" ... "963".
QStringList TargetTexts();

// The note of the equal-tempered scale with A = 440 Hz nearest to a frequency, in hertz rounded
// to three decimals (F3 = 174.614 for 174 Hz).
double NearestNote(double frequency);

// The state for a chooser index; the default (432 Hz from 440 Hz) outside the list.
FrequencyState FrequencyForIndex(int index);

// The tempo change that leads from the reference pitch to the target, in percent.
double TempoPercent(double targetFrequency, double referencePitch);
// Its text on the time-stretch command line: at most 15 significant digits, a point.
QString TempoText(double percent);

}  // namespace qvr
