// Drives the window through its controls on a library folder, as a person would: the folder is
// listed as if named on the command line, a frequency is picked, the files at once are chosen in
// the File menu and Convert is clicked. Prints the wall time from the click to the run's end, the
// files converted, the rows, and the longest the event loop was late for a 10 ms timer during
// the run (what a repaint or a click could have waited). With ABORT_AFTER_MS, Abort is clicked
// that long after Convert and the time from the click to the run's end is printed too.
//   window_library_bench PROGRAM_FOLDER LIBRARY_FOLDER [JOBS [ABORT_AFTER_MS]]
// Run with QUORVANE_MESSAGES=stderr, so message boxes are answered on standard error.
#include "app/AppSession.h"
#include "app/ConsoleHostChoice.h"
#include "app/fMainQVR.h"
#include "convert/ConversionEngine.h"
#include "convert/FileListModel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

template <class Control>
Control* control(const QWidget& window, const char* name)
{
    return window.findChild<Control*>(QLatin1String(name));
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    if (argc < 3) {
        std::fprintf(stderr, "usage: window_library_bench PROGRAM_FOLDER LIBRARY [JOBS]\n");
        return 2;
    }
    const QString programFolder = QString::fromLocal8Bit(argv[1]) + u'/';
    std::unique_ptr<qvr::Host> host = qvr::MakeFrontEndHost();
    qvr::AppSession session(*host, qvr::MessageBoxes::desktopLanguageIndex());
    qvr::MainFormEnvironment environment;
    environment.programFolder = programFolder;
    environment.arguments = {QString::fromLocal8Bit(argv[2])};
    session.settleLanguage(session.systemInfo().AppDataDir, programFolder);
    qvr::TMainFormQVR form(session, environment);
    form.show();

    QElapsedTimer clock;
    int exitCode = 1;
    const int abortAfterMs = argc > 4 ? std::atoi(argv[4]) : 0;

    // The event loop's lateness: a 10 ms timer that should tick every 10 ms.
    constexpr qint64 kTickMs = 10;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QElapsedTimer sinceTick;
    qint64 longestLateMs = 0;
    QObject::connect(&ticker, &QTimer::timeout, &app, [&] {
        longestLateMs = std::max(longestLateMs, sinceTick.elapsed() - kTickMs);
        sinceTick.start();
    });
    QElapsedTimer sinceAbort;

    QObject::connect(&form.engine(), &qvr::ConversionEngine::runFinished, &app, [&] {
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        ticker.stop();
        int converted = 0;
        for (const qvr::JobResult& result : form.engine().Results) {
            converted += result.converted() ? 1 : 0;
        }
        std::printf("%.3f %d %d %lld", seconds, converted, form.files().rowCount(),
                    static_cast<long long>(longestLateMs));
        if (abortAfterMs > 0) {
            std::printf(" %.1f", double(sinceAbort.nsecsElapsed()) / 1e6);
        }
        std::printf("\n");
        exitCode = abortAfterMs > 0 || converted == form.files().rowCount() ? 0 : 1;
        QTimer::singleShot(0, &app, &QApplication::quit);
    });
    // The paths of the command line are listed once the window is shown.
    QTimer::singleShot(200, &form, [&] {
        if (argc > 3) {
            const QByteArray jobs = QByteArray("Jobs") + argv[3];
            if (auto* item = control<QAction>(form, jobs.constData())) {
                item->trigger();
            }
        }
        // 432 Hz, picked as a person picks it from the list.
        auto* chooser = control<QComboBox>(form, "ComboBox1");
        chooser->setCurrentIndex(4);
        emit chooser->activated(4);
        clock.start();
        sinceTick.start();
        ticker.start(int(kTickMs));
        control<QPushButton>(form, "ConvertBitBtn")->click();
        if (abortAfterMs > 0) {
            QTimer::singleShot(abortAfterMs, &form, [&] {
                sinceAbort.start();
                control<QPushButton>(form, "AbortBitBtn")->click();
            });
        }
    });
    QApplication::exec();
    return exitCode;
}
