#include "Frequencies.h"

#include <cstdio>

namespace qvr {
namespace {

struct FrequencyRow {
    int target;
    double reference;
};

constexpr FrequencyRow kFrequencies[kFrequencyCount] = {
    {174, 174.614}, {285, 277.183}, {396, 391.995}, {417, 415.305}, {432, 440.0},
    {528, 523.251}, {639, 622.254}, {741, 739.989}, {852, 830.609}, {963, 987.767},
};

}  // namespace

QStringList FrequencyItems()
{
    QStringList items;
    for (const FrequencyRow& row : kFrequencies) {
        items << QString::number(row.target) + QStringLiteral("Hz");
    }
    return items;
}

FrequencyState FrequencyForIndex(int index)
{
    if (index < 0 || index >= kFrequencyCount) {
        return {};
    }
    const FrequencyRow& row = kFrequencies[index];
    return {static_cast<double>(row.target), row.reference, QString::number(row.target)};
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
