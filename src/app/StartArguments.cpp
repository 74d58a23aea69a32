#include "StartArguments.h"

#include "platform/FileSystem.h"

#include <QDir>

namespace qvr {

StartArguments SplitStartArguments(const QStringList& arguments, const QString& currentFolder)
{
    StartArguments start;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const QString path = argument.isEmpty()
                                 ? QString()
                                 : QDir::cleanPath(QDir(currentFolder).absoluteFilePath(argument));
        if (!path.isEmpty() && (FileExists(path) || DirectoryExists(path))) {
            start.paths << path;
        } else if (i == 0) {
            start.firstArgument = argument;
        }
    }
    return start;
}

}  // namespace qvr
