#include "PartialOutputs.h"

#include "AudioFormats.h"
#include "platform/FileSystem.h"
#include "platform/PathStyle.h"
#include "platform/Processes.h"

#include <QRegularExpression>

#include <sys/types.h>

#include <limits>

namespace qvr {
namespace {

const QRegularExpression& partialShape()
{
    static const QRegularExpression shape(
        QStringLiteral(R"(^\.quorvane-([0-9]{1,10})-[0-9]+\.part(\.[^./]*)?$)"));
    return shape;
}

}  // namespace

QString PartialOutputName(const QString& target, qint64 processId, int row)
{
    const QString name = FileNameOf(target);
    const qsizetype dot = name.lastIndexOf(u'.');
    return QStringLiteral(".quorvane-%1-%2.part%3")
        .arg(processId)
        .arg(row)
        .arg(dot > 0 ? name.mid(dot) : QString());
}

bool IsPartialOutputName(const QString& name)
{
    return partialShape().match(name).hasMatch();
}

int RemoveStalePartialOutputs(const QStringList& folders)
{
    int removed = 0;
    for (const QString& folder : folders) {
        for (const FolderEntry& entry : ListFolder(folder)) {
            const QRegularExpressionMatch match = partialShape().match(entry.name);
            if (!match.hasMatch() || !entry.isRegular || entry.isLink) {
                continue;
            }
            const qint64 pid = match.captured(1).toLongLong();
            if (pid > 0 && pid <= std::numeric_limits<pid_t>::max() &&
                !ProcessIsRunning(pid_t(pid)) &&
                RemoveFile(IncludeBackslash(folder) + entry.name)) {
                ++removed;
            }
        }
    }
    return removed;
}

}  // namespace qvr
