#include "Frequencies.h"

#include <cmath>
#include <cstdio>
#include <iterator>

namespace qvr {
namespace {

// The targets a run can be tuned to, in the chooser's order: the one list of them.
constexpr int kTargets[] = {174, 285, 396, 417, 432, 528, 639, 741, 852, 963};

constexpr double kConcertPitch = 440.0;

}  // namespace

int FrequencyCount()
{
    return int(std::size(kTargets));
}

QStringList TargetTexts()
{
    QStringList texts;
    for (int target : kTargets) {
        texts << QString::number(target);
    }
    return texts;
}

QStringList FrequencyItems()
{
    QStringList items;
    for (const QString& target : TargetTexts()) {
        items << target + QStringLiteral("Hz");
    }
    return items;
}

double NearestNote(double frequency)
{
    const double semitones = std::round(12.0 * std::log2(frequency / kConcertPitch));
    const double note = kConcertPitch * std::pow(2.0, semitones / 12.0);
    return std::round(note * 1000.0) / 1000.0;
}

FrequencyState FrequencyForIndex(int index)
{
    if (index < 0 || index >= FrequencyCount()) {
        return {};
    }
    const int target = kTargets[index];
    return {double(target), NearestNote(target), QString::number(target)};
}

double TempoPercent(double targetFrequency, double referencePitch)
{
    const long double target = targetFrequency;
    const long double reference = referencePitch;
    return static_cast<double>((target - reference) / reference * 100.0L);
}

QString TempoText(double percent)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", percent);
    QString result = QString::fromLatin1(text);
    return result.replace(u',', u'.');  // whatever LC_NUMERIC says
}

}  // namespace qvr
