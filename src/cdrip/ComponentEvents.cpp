#include "ComponentEvents.h"

#include <QObject>

namespace qvr {

void AssignError(const QObject* source, const char* targetClass)
{
    const QString sourceClass = source != nullptr
                                    ? QString::fromLatin1(source->metaObject()->className())
                                    : QStringLiteral("nil");
    throw EConvertError(
        QStringLiteral("Cannot assign a %1 to a %2")
            .arg(sourceClass.section(QStringLiteral("::"), -1), QString::fromLatin1(targetClass))
            .toStdString());
}

}  // namespace qvr
