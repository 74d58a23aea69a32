#include "AppSession.h"
#include "BatchFrontEnd.h"
#include "NurEinmalStarten_Unit_Quorvane.h"
#include "platform/ConsoleHost.h"
#include "platform/DVK_SystemInfo.h"
#include "platform/NativePath.h"
#include "platform/NumberFormat.h"
#include "platform/Storage.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

// quorvane-batch: the conversion engine without a window, for scripts and benchmarks.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quorvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORVANE_VERSION));
    // The words as the system gave them: a file name need not be valid UTF-8.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << qvr::fromNativeBytes(argv[i], std::strlen(argv[i]));
    }
    const qvr::BatchRequest request = qvr::ParseBatchArguments(arguments, qvr::CurrentFolder());
    if (request.help) {
        std::fputs(qPrintable(qvr::BatchUsage()), stdout);
        return qvr::kAllConverted;
    }
    if (!request.error.isEmpty()) {
        std::fprintf(stderr, "quorvane-batch: %s\n%s", qPrintable(request.error),
                     qPrintable(qvr::BatchUsage()));
        return qvr::kWrongCommandLine;
    }

    qvr::ConsoleHost host;
    qvr::AppSession session(host, qvr::MessageBoxes::desktopLanguageIndex());
    // Another copy (the window or a batch) owns the work folder: convert nothing. A run with a
    // work folder of its own needs only that folder's lock, so several may run at once.
    std::unique_ptr<qvr::NamedMutex> guard;
    if (request.workFolder.isEmpty()) {
        guard = qvr::GuardSingleInstance(host, [](int) { std::exit(qvr::kAnotherCopyRuns); });
    }
    qvr::FixDecimalSeparator();
    const QString programFolder = QCoreApplication::applicationDirPath() + u'/';
    session.setProgramFolder(programFolder);
    session.settleLanguage(session.systemInfo().AppDataDir, programFolder);
    return qvr::RunBatch(request, session, stdout, stderr);
}
