#include "ToolLauncher.h"

#include "Spawn.h"

#include <utility>

namespace qvr {

namespace {

pid_t spawnTool(const ToolLauncher::Request& request)
{
    return SpawnHidden(request.program, request.arguments, request.folder, ChildLife::EndsWithUs);
}

}  // namespace

ToolLauncher::ToolLauncher(Spawner spawner, QObject* parent)
    : QObject(parent),
      spawner_(spawner ? std::move(spawner) : Spawner(spawnTool)),
      thread_([this] { serve(); })
{
}

ToolLauncher::~ToolLauncher()
{
    stop();
}

void ToolLauncher::stop()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        requests_.clear();
    }
    wake_.notify_one();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void ToolLauncher::launch(Request request)
{
    {
        const std::lock_guard lock(mutex_);
        if (stopping_) {
            done_.push_back({request.ticket, -1});
        } else {
            requests_.push_back(std::move(request));
        }
    }
    wake_.notify_one();
}

std::vector<ToolLauncher::Launched> ToolLauncher::takeLaunched()
{
    const std::lock_guard lock(mutex_);
    return std::exchange(done_, {});
}

void ToolLauncher::serve()
{
    for (;;) {
        Request request;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !requests_.empty(); });
            if (stopping_) {
                return;
            }
            request = std::move(requests_.front());
            requests_.pop_front();
        }
        const pid_t pid = spawner_(request);
        {
            const std::lock_guard lock(mutex_);
            done_.push_back({request.ticket, pid});
        }
        QMetaObject::invokeMethod(this, &ToolLauncher::launched, Qt::QueuedConnection);
    }
}

}  // namespace qvr
