#include "WorkFolder.h"

#include "platform/FileSystem.h"

namespace qvr {
namespace {

QString withSeparator(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

bool isEmptyFolder(const QString& folder)
{
    return ListFolder(folder).empty();
}

// The stretch tool is started through a batch file that names the folder in quotes on one line.
bool nameFitsBatchFile(const QString& folder)
{
    for (const QChar c : folder) {
        if (c.unicode() < 0x20 || c == u'"' || c == u'%') {
            return false;
        }
    }
    return true;
}

// The folder is ours, or was empty and is ours now.
bool takeIfFree(const QString& folder)
{
    return IsOurWorkFolder(folder) || (isEmptyFolder(folder) && MakeOurWorkFolder(folder));
}

}  // namespace

bool IsOurWorkFolder(const QString& folder)
{
    return IsRegularFile(withSeparator(folder) + kWorkMarker);
}

bool MakeOurWorkFolder(const QString& folder)
{
    const QString path = withSeparator(folder);
    return ForceDirectories(path) && DirectoryExists(path) &&
           (IsOurWorkFolder(path) || WriteTextFile(path + kWorkMarker, QStringLiteral("Quorvane")));
}

WorkFolderChoice ChooseWorkFolder(const QString& named)
{
    const QString folder = withSeparator(named);
    if (!nameFitsBatchFile(folder)) {
        return {{},
                QStringLiteral("the work folder's name holds a line break, a quote or a "
                               "percent sign, which the tools cannot be given: ") +
                    named};
    }
    if (FileExists(named) || (!DirectoryExists(named) && !SymbolicLinkTarget(named).isEmpty())) {
        return {{}, QStringLiteral("the work folder is a file, not a folder: ") + named};
    }
    if (!ForceDirectories(folder) || !DirectoryExists(folder)) {
        return {{}, QStringLiteral("the work folder cannot be made: ") + named};
    }
    if (IsOurWorkFolder(folder) || isEmptyFolder(folder)) {
        if (!MakeOurWorkFolder(folder)) {
            return {{},
                    QStringLiteral("the work folder cannot be written to (read-only): ") + named};
        }
        return {folder, {}};
    }
    // The user's files stay as they are; our work goes into a folder of ours beside them.
    const QString own = folder + QStringLiteral("quorvane-work/");
    if (DirectoryExists(own) && !IsOurWorkFolder(own) && !isEmptyFolder(own)) {
        return {{},
                QStringLiteral("the work folder holds files of its own and its "
                               "\"quorvane-work\" folder is not ours: ") +
                    named};
    }
    if (!MakeOurWorkFolder(own)) {
        return {{}, QStringLiteral("the work folder cannot be written to (read-only): ") + named};
    }
    return {own, {}};
}

QString MakeJobFolder(const QString& work, int number)
{
    const QString base = withSeparator(work) + QStringLiteral("job%1").arg(number);
    for (int variant = 1; variant < 100; ++variant) {
        const QString folder =
            (variant == 1 ? base : base + QStringLiteral("-%1").arg(variant)) + u'/';
        if (!FileExists(folder.chopped(1)) && (!DirectoryExists(folder) || takeIfFree(folder)) &&
            MakeOurWorkFolder(folder)) {
            return folder;
        }
    }
    return {};
}

}  // namespace qvr
