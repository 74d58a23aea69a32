#pragma once

namespace qvr {

// Handles the pending events of this thread; when there are none, waits for the next one, but at
// most maxWaitMs. Hosts built on Qt's event loop use it for Host::processEvents.
void processQtEvents(int maxWaitMs);

}  // namespace qvr
