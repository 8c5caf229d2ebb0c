#include "pipeline/thread_pool.h"

#include <chrono>

namespace {

// A waiter looks for this long before it sleeps: longer than the gap between
// the parts of a frame's draw and between two frames, and far shorter than
// waking a sleeping thread can take on a virtual machine.
constexpr std::chrono::microseconds kSpinTime{250};

// Until done() holds or the spin time is over.
template <class Done>
void Spin(Done done)
{
    const auto end = std::chrono::steady_clock::now() + kSpinTime;
    while (!done()) {
        for (int i = 0; i < 64; ++i) {
#if defined(__x86_64__) || defined(__i386__)
            __builtin_ia32_pause();
#else
            std::this_thread::yield();
#endif
        }
        if (std::chrono::steady_clock::now() >= end) return;
    }
}

}  // namespace

ThreadPool& ThreadPool::Shared()
{
    static ThreadPool pool;
    return pool;
}

ThreadPool::~ThreadPool()
{
    {
        const std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    for (std::thread& t : threads)
        t.join();
}

void ThreadPool::RunParts(int n, Call c, const void* p)
{
    const std::lock_guard<std::mutex> one(running);
    {
        const std::lock_guard<std::mutex> lock(mutex);
        // A thread started now sees this round as new and takes its part.
        while (static_cast<int>(threads.size()) < n - 1)
            threads.emplace_back(&ThreadPool::Serve, this, static_cast<int>(threads.size()));
        count = n;
        call = c;
        part = p;
        unfinished = n - 1;
        ++round;
    }
    wake.notify_all();
    c(p, 0);
    Spin([this] { return unfinished.load(std::memory_order_acquire) <= 0; });
    std::unique_lock<std::mutex> lock(mutex);
    finished.wait(lock, [this] { return unfinished <= 0; });
}

void ThreadPool::Serve(int index)
{
    uint64_t seen = 0;
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        if (round == seen) {
            lock.unlock();
            Spin([&] { return round.load(std::memory_order_acquire) != seen; });
            lock.lock();
        }
        wake.wait(lock, [&] { return stopping || round != seen; });
        if (stopping) return;
        seen = round;
        if (index + 1 >= count) continue;
        const Call c = call;
        const void* const p = part;
        lock.unlock();
        c(p, index + 1);
        lock.lock();
        if (--unfinished == 0) finished.notify_one();
    }
}
