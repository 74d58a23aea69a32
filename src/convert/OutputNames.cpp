#include "OutputNames.h"

namespace qvr {
namespace {

QString numbered(const QString& name, int number)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    const qsizetype cut = dot > 0 ? dot : name.size();
    return name.left(cut) + QStringLiteral(" (%1)").arg(number) + name.mid(cut);
}

}  // namespace

OutputNames::OutputNames(CaseRule ignoresCase) : ignoresCase_(std::move(ignoresCase)) {}

QString OutputNames::key(const QString& folder, const QString& name) const
{
    const QString path = folder + name;
    return ignoresCase_(folder) ? path.toCaseFolded() : path;
}

QString OutputNames::claim(const QString& folder, const QString& name)
{
    QString candidate = name;
    for (int number = 2; !taken_.insert(key(folder, candidate)).second; ++number) {
        candidate = numbered(name, number);
    }
    return candidate;
}

}  // namespace qvr
