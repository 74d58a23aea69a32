#include "Scaling.h"

#include <cmath>

namespace qvr {

int ScalePercentFor(int screenHeight)
{
    if (screenHeight < 900) {
        return 100;
    }
    const double h = screenHeight;
    const double percent = (768.0 / h) * ((h / 768.0) * 100.0 - 100.0) + 100.0;
    const int rounded = static_cast<int>(std::nearbyint(percent));  // ties to even
    return rounded >= 168 ? 168 : rounded;
}

QString ResolutionClassFor(int screenHeight, const QString& firstArgument)
{
    if (firstArgument.contains(QStringLiteral("169"))) {
        return QStringLiteral("2160");
    }
    struct Class {
        int upTo;
        const char* name;
    };
    static constexpr Class kClasses[] = {
        {768, "768"}, {900, "900"}, {1080, "1080"}, {1440, "1440"}, {2160, "2160"}};
    if (screenHeight > 0) {
        for (const Class& c : kClasses) {
            if (screenHeight <= c.upTo) {
                return QString::fromLatin1(c.name);
            }
        }
    }
    return QStringLiteral("2160");
}

}  // namespace qvr
