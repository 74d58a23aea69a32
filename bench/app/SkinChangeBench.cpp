// skin_bench [ROUNDS]: the time of one skin change at each size class, in a window of the size
// the program opens with on a screen of that height. Goal: under 40 ms for the 2160 class.
// Run from the build tree (it uses the pictures of its program folder), offscreen is fine:
//   QT_QPA_PLATFORM=offscreen build/bench/skin_bench
#include "app/AppSession.h"
#include "app/BackgroundPicture.h"
#include "app/fMainQVR.h"
#include "platform/ConsoleHost.h"
#include "platform/DVK_SystemInfo.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A program folder that borrows the build tree's pictures and texts, in a home of its own.
QString prepareProgramFolder(const QTemporaryDir& scratch, const QString& buildFolder)
{
    const QString program = scratch.path() + QStringLiteral("/program/");
    QDir().mkpath(program);
    QFile::link(buildFolder + QStringLiteral("recom_GR"), program + QStringLiteral("recom_GR"));
    QFile::copy(buildFolder + QStringLiteral("Language.ini"),
                program + QStringLiteral("Language.ini"));
    QFile::copy(buildFolder + QStringLiteral("ver.ini"), program + QStringLiteral("ver.ini"));
    qputenv("HOME", scratch.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", (scratch.path() + QStringLiteral("/.local/share")).toLocal8Bit());
    return program;
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QUORVANE_MESSAGES", "stderr", 0);
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 15;
    const QString buildFolder = QCoreApplication::applicationDirPath() + QStringLiteral("/../");
    QTemporaryDir scratch;
    const QString program = prepareProgramFolder(scratch, buildFolder);
    qvr::ConsoleHost host;
    qvr::AppSession session(host, 1);
    session.settleLanguage(session.systemInfo().AppDataDir, program);

    std::printf("%-6s %-11s %-11s %14s %16s\n", "class", "window", "decoded", "handler (ms)",
                "with paint (ms)");
    for (int height : {768, 900, 1080, 1440, 2160}) {
        qvr::MainFormEnvironment environment;
        environment.programFolder = program;
        environment.screenHeight = height;
        environment.measureSpeed = [](const QString&) { return 20; };
        qvr::TMainFormQVR form(session, environment);
        form.show();
        QApplication::processEvents();
        std::vector<double> handler;
        std::vector<double> painted;
        for (int round = 0; round < rounds; ++round) {
            QAction* skin = form.findChild<QAction*>(round % 2 == 0 ? "Skin31" : "Skin41");
            QElapsedTimer timer;
            timer.start();
            skin->trigger();
            handler.push_back(timer.nsecsElapsed() / 1e6);
            form.repaint();
            painted.push_back(timer.nsecsElapsed() / 1e6);
        }
        const QSize window = form.findChild<QLabel*>("BkgImage")->size();
        const QSize decoded = form.background().decodedSize();
        std::printf("%-6s %4dx%-6d %4dx%-6d %14.1f %16.1f\n", qPrintable(form.resolutionClass()),
                    window.width(), window.height(), decoded.width(), decoded.height(),
                    median(handler), median(painted));
    }
    return 0;
}
