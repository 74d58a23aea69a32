#include "ProgramPaths.h"

#include "AudioFormats.h"

namespace qvr {
namespace {

QString withSeparator(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

}  // namespace

ProgramPaths ProgramPaths::forUser(const QString& documentsFolder, const QString& dataFolder)
{
    ProgramPaths paths;
    paths.documents_ = withSeparator(documentsFolder);
    paths.outputRoot_ = paths.documents_ + QStringLiteral("Quorvane/");
    paths.work_ = withSeparator(dataFolder) + QStringLiteral("Dornevik/Quorvane/");
    return paths;
}

QString ProgramPaths::cdInputFolder() const
{
    return outputRoot_ + QStringLiteral("CD-ROM-Input/");
}

void ProgramPaths::setOutputRoot(const QString& folder)
{
    outputRoot_ = withSeparator(folder);
}

void ProgramPaths::setWorkFolder(const QString& folder)
{
    work_ = withSeparator(folder);
}

QString ProgramPaths::outputFolderFor(const QString& input, const QString& frequencyText,
                                      const QString& cdFolder, PathStyle style) const
{
    return MakeOutputFolder(input, frequencyText, !cdFolder.isEmpty(), cdFolder, outputRoot_,
                            style);
}

}  // namespace qvr
