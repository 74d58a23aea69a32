#include "AppSession.h"
#include "ConsoleHostChoice.h"
#include "NurEinmalStarten_Unit_Quorvane.h"
#include "StartupDialogs.h"
#include "StartupReport.h"
#include "WidgetHost.h"
#include "fMainQVR.h"
#include "platform/ActivationChannel.h"
#include "platform/DVK_SystemInfo.h"

#include <QApplication>

#include <cstdlib>
#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVANE_VERSION));

    std::unique_ptr<qvr::Host> host = qvr::MakeFrontEndHost();
    qvr::AppSession session(*host, qvr::MessageBoxes::desktopLanguageIndex());

    // A running copy is asked to come to the front; the guard then ends this one with its message.
    qvr::ActivationChannel::callRunning(QStringLiteral("Quorvane"));
    const auto guard = qvr::GuardSingleInstance(*host, [](int code) { std::exit(code); });
    qvr::ActivationChannel activation(QStringLiteral("Quorvane"));
    activation.listen();

    qvr::MainFormEnvironment environment;
    environment.arguments = QApplication::arguments().mid(1);
    const QString programFolder = QApplication::applicationDirPath() + u'/';
    session.settleLanguage(session.systemInfo().AppDataDir, programFolder);

    qvr::TMainFormQVR mainForm(session, environment);
    const qvr::StartupDialogs dialogs(mainForm);
    mainForm.show();
    QObject::connect(&activation, &qvr::ActivationChannel::activationRequested, &mainForm,
                     [&mainForm] {
                         mainForm.showNormal();
                         mainForm.raise();
                         mainForm.activateWindow();
                     });
    qvr::ReportStartupWhenAsked(mainForm);
    return QApplication::exec();
}
