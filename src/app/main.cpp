#include "AppSession.h"
#include "ConsoleHostChoice.h"
#include "NurEinmalStarten_Unit_Quorvane.h"
#include "SecondStarts.h"
#include "StartArguments.h"
#include "StartupDialogs.h"
#include "StartupReport.h"
#include "WidgetHost.h"
#include "fMainQVR.h"
#include "platform/ActivationChannel.h"
#include "platform/DVK_SystemInfo.h"
#include "platform/NativePath.h"
#include "platform/Storage.h"

#include <QApplication>

#include <cstdlib>
#include <cstring>
#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVANE_VERSION));

    std::unique_ptr<qvr::Host> host = qvr::MakeFrontEndHost();
    qvr::AppSession session(*host, qvr::MessageBoxes::desktopLanguageIndex());

    // The words as the system gave them: a file name need not be valid UTF-8.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << qvr::fromNativeBytes(argv[i], std::strlen(argv[i]));
    }
    // A running copy is asked to come to the front and to list the paths of this start; when it
    // took them, this start has done what it was asked ("Open with" a file manager). Otherwise
    // the guard ends it with its message.
    const QStringList paths = qvr::SplitStartArguments(arguments, qvr::CurrentFolder()).paths;
    if (qvr::ActivationChannel::callRunning(QStringLiteral("Quorvane"), paths) &&
        !paths.isEmpty()) {
        return 0;
    }
    const auto guard = qvr::GuardSingleInstance(*host, [](int code) { std::exit(code); });
    qvr::ActivationChannel activation(QStringLiteral("Quorvane"));
    activation.listen();

    qvr::MainFormEnvironment environment;
    environment.arguments = arguments;
    const QString programFolder = QApplication::applicationDirPath() + u'/';
    session.settleLanguage(session.systemInfo().AppDataDir, programFolder);

    qvr::TMainFormQVR mainForm(session, environment);
    const qvr::StartupDialogs dialogs(mainForm);
    mainForm.show();
    qvr::FollowSecondStarts(activation, mainForm);
    qvr::ReportStartupWhenAsked(mainForm);
    return QApplication::exec();
}
