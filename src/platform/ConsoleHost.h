#pragma once

#include "Host.h"

#include <cstdio>

namespace qvr {

// A host without a display: messages become lines on standard error and every message box is
// answered with its first button. Used by the command-line front end and for scripted runs.
class ConsoleHost : public Host {
  public:
    explicit ConsoleHost(std::FILE* out = stderr) : out_(out) {}

    int showMessage(const MessageBoxRequest& request) override;
    void showPlainMessage(const QString& text) override;
    void setBusyCursor(bool) override {}

  private:
    std::FILE* out_;
};

}  // namespace qvr
