#include "BatchFrontEnd.h"
#include "NurEinmalStarten_Unit_Quorvane.h"
#include "lang/DVK_MyLanguagesMessageDLG.h"
#include "lang/Language.h"
#include "platform/ConsoleHost.h"
#include "platform/DVK_SystemInfo.h"
#include "platform/NumberFormat.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

// quorvane-batch: the conversion engine without a window, for scripts and benchmarks.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quorvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORVANE_VERSION));
    const qvr::BatchRequest request =
        qvr::ParseBatchArguments(QCoreApplication::arguments().mid(1));
    if (!request.error.isEmpty()) {
        std::fprintf(stderr, "quorvane-batch: %s\n%s\n", qPrintable(request.error),
                     qPrintable(qvr::BatchUsage()));
        return 2;
    }

    qvr::ConsoleHost host;
    qvr::setHost(&host);
    qvr::InitMessageLanguage();
    qvr::RefreshWindowsInfo();
    // Another copy (the window or a batch) owns the work folder: convert nothing.
    const auto guard = qvr::GuardSingleInstance([](int) { std::exit(3); });
    qvr::FixDecimalSeparator();
    const QString programFolder = QCoreApplication::applicationDirPath() + u'/';
    qvr::SettleProgramLanguage(qvr::WindowsInfo().AppDataDir, programFolder);

    const int result = qvr::RunBatch(request, programFolder, stdout, stderr);
    qvr::setHost(nullptr);
    return result;
}
