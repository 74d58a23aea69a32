#include "SecondStarts.h"

#include "fMainQVR.h"
#include "platform/ActivationChannel.h"

namespace qvr {

void FollowSecondStarts(ActivationChannel& channel, TMainFormQVR& window)
{
    QObject::connect(&channel, &ActivationChannel::activationRequested, &window,
                     [&window](const QStringList& paths) {
                         window.showNormal();
                         window.raise();
                         window.activateWindow();
                         window.OpenPaths(paths);
                     });
}

}  // namespace qvr
