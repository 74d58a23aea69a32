#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace qvr {

class TAboutBoxQVR;
class TCDNameForm;
class TEditTitleWizzard;
class TMainFormQVR;

// The dialogs created right after the main window, in this order, and kept until the program
// ends: the about box, the CD name dialog and the title dialog. The main window reaches them
// through its pointers while they live.
class StartupDialogs {
  public:
    // openDocument: how the about box opens its addresses; empty: the desktop's handler.
    explicit StartupDialogs(TMainFormQVR& mainForm,
                            std::function<bool(const QString&)> openDocument = {});
    ~StartupDialogs();
    StartupDialogs(const StartupDialogs&) = delete;
    StartupDialogs& operator=(const StartupDialogs&) = delete;

    std::unique_ptr<TAboutBoxQVR> AboutBox;
    std::unique_ptr<TCDNameForm> CDName;
    std::unique_ptr<TEditTitleWizzard> EditTitle;

  private:
    TMainFormQVR& mainForm_;
};

}  // namespace qvr
