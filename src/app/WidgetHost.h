#pragma once

#include "platform/Host.h"

namespace qvr {

// The host of the window front end: Qt message boxes, the override cursor, Qt's event loop.
class WidgetHost : public Host {
  public:
    WidgetHost();

    int showMessage(const MessageBoxRequest& request) override;
    void showPlainMessage(const QString& text) override;
    void setBusyCursor(bool busy) override;
    bool terminating() const override { return terminating_; }

  private:
    bool terminating_ = false;
    bool busy_ = false;
};

}  // namespace qvr
