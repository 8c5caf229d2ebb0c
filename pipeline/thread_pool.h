#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// Threads started once and kept for the draws of the whole process: a draw
// on n threads runs its part 0 on the calling thread and parts 1 .. n - 1 on
// threads of the pool, which waits for the next draw in between. The pool
// grows when a draw first asks for more threads.
class ThreadPool {
public:
    // The process's pool, ended (its threads joined) at exit.
    static ThreadPool& Shared();

    ThreadPool() = default;
    ~ThreadPool();
    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;

    // Runs part(i) for i = 0 .. count - 1 at once, and returns when every
    // part has returned. One Run at a time: a second caller waits.
    template <class Part>
    void Run(int count, const Part& part)
    {
        RunParts(
            count, [](const void* p, int i) { (*static_cast<const Part*>(p))(i); }, &part);
    }

private:
    using Call = void (*)(const void* part, int index);

    void RunParts(int count, Call call, const void* part);
    // The loop of pool thread `index`, which runs part index + 1.
    void Serve(int index);

    std::mutex running;  // held for a whole Run
    std::mutex mutex;    // guards what follows
    std::condition_variable wake, finished;
    std::vector<std::thread> threads;
    // Written holding `mutex`; atomic so that a waiter may look at them
    // without it while it spins.
    std::atomic<uint64_t> round{0};  // Runs so far
    std::atomic<int> unfinished{0};  // parts on pool threads still running
    int count = 0;                   // the parts of the current Run
    Call call = nullptr;
    const void* part = nullptr;
    bool stopping = false;
};
