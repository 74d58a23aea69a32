#pragma once

#include "cdrip/CDRIP.h"
#include "cdrip/fRipper.h"
#include "support/Waiting.h"

#include <cstdint>
#include <functional>

namespace qvr::test {

// Presses Start and handles events until the run is over: it went through the list, Abort ended
// it, or an error stopped it (the dialog then stays open and Ripping). False when it did not end
// within a minute.
inline bool runToItsEnd(TRipperForm& form)
{
    form.StartBitBtnClick();
    // The next track starts as soon as one ends: only between runs is no track in progress.
    return waitForEvents(
        [&form] { return !form.CDRIP1->TrackInProgress() && !form.PausingBeforeClosing(); }, 60000);
}

// `hook` runs after every chunk the dialog rips, behind the dialog's own handler.
inline void afterEveryChunk(TRipperForm& form, std::function<void()> hook)
{
    form.CDRIP1->OnProgress = [own = form.CDRIP1->OnProgress, hook](QObject* sender,
                                                                    std::uint16_t percent) {
        own(sender, percent);
        hook();
    };
}

}  // namespace qvr::test
