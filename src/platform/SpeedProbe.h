#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace qvr {

// The PC speed probe on a thread of its own, so the window stays usable while it measures.
// `measured` brings the score to the thread that started it. The destructor stops a probe in
// progress and waits for it, at most one pass of the measure (milliseconds).
class SpeedProbe : public QObject {
    Q_OBJECT

  public:
    // How the machine is measured: the PC speed probe unless a test puts itself in its place. It
    // gives up soon once `stop` is set.
    using Measure = std::function<int(const QString& folder, const std::atomic<bool>& stop)>;

    explicit SpeedProbe(QObject* parent = nullptr, Measure measure = {});
    ~SpeedProbe() override;
    // Measures once, with scratch files in `folder` (with trailing separator).
    void start(const QString& folder);

  signals:
    void measured(int score);

  private:
    Measure measure_;
    std::unique_ptr<QThread> thread_;
    std::atomic<int> score_{0};
    std::atomic<bool> stop_{false};
};

}  // namespace qvr
