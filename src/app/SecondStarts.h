#pragma once

namespace qvr {

class ActivationChannel;
class TMainFormQVR;

// A second start of the program brings the window to the front and lists the paths it was
// started with, as a drop would.
void FollowSecondStarts(ActivationChannel& channel, TMainFormQVR& window);

}  // namespace qvr
