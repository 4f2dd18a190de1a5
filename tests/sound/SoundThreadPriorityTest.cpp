// Raising the sound server client's thread: only threads of that name change.
#include "sound/SoundThreadPriority.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include <future>
#include <thread>

using namespace cellsonify;

namespace {

// A thread of a given name that waits until released, telling its id.
struct NamedThread {
    std::promise<pid_t> id;
    std::promise<void> release;
    std::thread thread;
    explicit NamedThread(const char* name)
        : thread([this, name] {
              pthread_setname_np(pthread_self(), name);
              id.set_value(gettid());
              release.get_future().wait();
          }) {}
    ~NamedThread() {
        release.set_value();
        thread.join();
    }
};

}  // namespace

TEST(SoundThreadPriority, OnlyThreadsOfTheNameGetRealTimeScheduling) {
    NamedThread client("cs-client-ml"), other("cs-other");
    const pid_t clientId = client.id.get_future().get(), otherId = other.id.get_future().get();
    const int raised = raiseThreadsNamed("cs-client-ml", 7);
    if (raised == 0) GTEST_SKIP() << "no real-time scheduling allowed here";
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(sched_getscheduler(clientId), SCHED_FIFO);
    sched_param param{};
    ASSERT_EQ(sched_getparam(clientId, &param), 0);
    EXPECT_EQ(param.sched_priority, 7);
    EXPECT_EQ(sched_getscheduler(otherId), SCHED_OTHER);
}
