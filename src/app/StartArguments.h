#pragma once

#include <QString>
#include <QStringList>

namespace qvr {

// The window's command line. An argument that names an existing file or folder is a path to
// list, made absolute from the folder the program was started in (a file manager's "Open with"
// hands such paths). The first argument otherwise carries the markers "169" and "plenk"; a
// path is never searched for them, so a folder named "1969" does not change the layout.
struct StartArguments {
    QString firstArgument;
    QStringList paths;
};

StartArguments SplitStartArguments(const QStringList& arguments, const QString& currentFolder);

}  // namespace qvr
