#include "platform/FileGrowthWatch.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <future>

using namespace qvr;
using namespace std::chrono_literals;

namespace {

const QFile::OpenMode kAppend = QIODevice::WriteOnly | QIODevice::Append;

void appendTo(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(kAppend));
    ASSERT_EQ(file.write("more"), 4);
}

}  // namespace

// A reader waiting at the end of a file goes on as soon as the writer writes, a file appears or
// the reader is woken; its long bound never comes into it.
TEST(FileGrowthWatch, AWaitEndsWhenTheFolderChangesOrOnAWakeUp)
{
    const QTemporaryDir dir;
    const QString written = dir.path() + QStringLiteral("/written.bin");
    appendTo(written);
    struct Case {
        const char* name;
        std::function<void(FileGrowthWatch&)> change;
    };
    const Case cases[] = {
        {"the writer writes", [&](FileGrowthWatch&) { appendTo(written); }},
        {"a file appears", [&](FileGrowthWatch&) { appendTo(dir.path() + "/new.bin"); }},
        {"woken by another thread", [](FileGrowthWatch& watch) { watch.wake(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FileGrowthWatch watch(dir.path());
        ASSERT_TRUE(watch.eventDriven());
        std::promise<void> waiting;
        auto ended = std::async(std::launch::async, [&] {
            waiting.set_value();
            watch.waitForChange(10min);
        });
        waiting.get_future().wait();
        c.change(watch);
        EXPECT_EQ(ended.wait_for(10s), std::future_status::ready);
        if (ended.wait_for(0s) != std::future_status::ready) {
            watch.wake();  // lets the thread end before the watch goes
        }
    }
}

// Without a folder to watch, a wait is only as long as its bound.
TEST(FileGrowthWatch, WithoutNoticesAWaitLastsItsBound)
{
    FileGrowthWatch watch(QStringLiteral("/no/such/folder"));
    EXPECT_FALSE(watch.eventDriven());
    watch.waitForChange(1ms);
}
