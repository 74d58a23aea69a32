// The window's Files at once menu and the speed probe: what a run takes besides the list.
#include "JobsSetting.h"
#include "convert/ConversionEngine.h"
#include "fMainQVR.h"
#include "lang/ProgramTexts.h"
#include "platform/SpeedProbe.h"

#include <QActionGroup>
#include <QMenu>
#include <QThread>

#include <algorithm>

namespace qvr {
namespace {

constexpr int kJobsMenuText = 536;
constexpr int kOnePerCoreText = 537;

}  // namespace

void TMainFormQVR::createJobsMenu()
{
    Jobs1 = new QMenu(mniProgramm1);
    Jobs1->setObjectName(QStringLiteral("FilesAtOnce1"));
    Jobs1->menuAction()->setObjectName(QStringLiteral("FilesAtOnce1"));
    mniProgramm1->insertMenu(mniBeenden1, Jobs1);
    auto* group = new QActionGroup(Jobs1);
    jobs_ = RememberedJobs();
    for (int jobs = 1; jobs <= MostJobsOffered(); ++jobs) {
        QAction* action = Jobs1->addAction(QString::number(jobs));
        action->setObjectName(QStringLiteral("Jobs%1").arg(jobs));
        action->setCheckable(true);
        action->setChecked(jobs == jobs_);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, jobs] { JobsClick(jobs); });
        JobItems << action;
    }
}

void TMainFormQVR::applyJobsLanguage()
{
    Jobs1->setTitle(texts().text(kJobsMenuText));
    const int cores = std::max(1, QThread::idealThreadCount());
    for (int index = 0; index < JobItems.size(); ++index) {
        const QString number = QString::number(index + 1);
        JobItems[index]->setText(index + 1 == cores ? texts().text(kOnePerCoreText).arg(number)
                                                    : number);
    }
}

// The choice holds from the next run on, and for the next starts.
void TMainFormQVR::JobsClick(int jobs)
{
    jobs_ = jobs;
    RememberJobs(jobs);
}

// A test's measure answers at once; the probe measures on a thread, and runs started before it
// has answered take the reference score, as the batch does.
void TMainFormQVR::startSpeedProbe(ConversionSettings& settings)
{
    if (environment_.measureSpeed) {
        pcSpeed_ = std::max(1, environment_.measureSpeed(Folders.paths.workFolder()));
        settings.pcSpeed = pcSpeed_;
        return;
    }
    auto* probe = new SpeedProbe(this);
    connect(probe, &SpeedProbe::measured, this, [this](int score) { pcSpeed_ = score; });
    probe->start(Folders.paths.workFolder());
}

void TMainFormQVR::applyRunChoices()
{
    if (Engine->running()) {
        return;
    }
    ConversionSettings settings = Engine->settings();
    settings.jobs = jobs_;
    if (pcSpeed_ > 0) {
        settings.pcSpeed = pcSpeed_;
    }
    Engine->configure(settings);
}

}  // namespace qvr
