#include "pipeline/thread_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

TEST(ThreadPool, EveryPartRunsOnceAndRunReturnsWhenAllHave)
{
    ThreadPool pool;
    for (const int count : {1, 4, 2, 7, 3}) {
        std::vector<int> runs(static_cast<std::size_t>(count), 0);
        std::atomic<int> done{0};
        pool.Run(count, [&](int i) {
            ++runs[static_cast<std::size_t>(i)];
            std::this_thread::sleep_for(std::chrono::milliseconds(i % 2));
            ++done;
        });
        EXPECT_EQ(done.load(), count);
        EXPECT_EQ(runs, std::vector<int>(static_cast<std::size_t>(count), 1)) << count;
    }
}

// Each part waits for all the others to have begun: the parts of a Run run
// at the same time, as a draw's threads wait for one another.
TEST(ThreadPool, ThePartsRunAtOnceOnThreadsOfTheirOwn)
{
    ThreadPool pool;
    for (int round = 0; round < 20; ++round) {
        const int count = 2 + round % 4;
        std::atomic<int> begun{0};
        std::vector<std::thread::id> ids(static_cast<std::size_t>(count));
        pool.Run(count, [&](int i) {
            ids[static_cast<std::size_t>(i)] = std::this_thread::get_id();
            ++begun;
            while (begun.load() < count)
                std::this_thread::yield();
        });
        EXPECT_EQ(ids[0], std::this_thread::get_id()) << "part 0 runs on the caller";
        for (int i = 1; i < count; ++i)
            for (int j = 0; j < i; ++j)
                EXPECT_NE(ids[static_cast<std::size_t>(i)], ids[static_cast<std::size_t>(j)]);
    }
}

TEST(ThreadPool, CallersOnSeveralThreadsTakeTurns)
{
    ThreadPool pool;
    std::atomic<int> inside{0}, most{0}, parts{0};
    const auto caller = [&] {
        for (int round = 0; round < 50; ++round)
            pool.Run(3, [&](int) {
                const int now = ++inside;
                int seen = most.load();
                while (now > seen && !most.compare_exchange_weak(seen, now)) {
                }
                ++parts;
                std::this_thread::yield();
                --inside;
            });
    };
    std::thread a(caller), b(caller);
    a.join();
    b.join();
    EXPECT_EQ(parts.load(), 300);
    EXPECT_LE(most.load(), 3);
}

}  // namespace
