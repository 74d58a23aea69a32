#pragma once

#include "convert/ConversionEngine.h"

namespace qvr {

// Holds an engine as if a run were going, for tests of what a window refuses during a run.
class EngineProbe {
  public:
    static void holdAsRunning(ConversionEngine& engine, bool running) { engine.idle_ = !running; }
};

}  // namespace qvr
