#pragma once

#include <system_error>
#include <thread>
#include <vector>

// Runs work(0) .. work(count - 1) on threads of their own and waits for all.
// A part whose thread the system refuses runs on the caller's thread.
template <class Work> void RunOnThreads(int count, const Work& work)
{
    std::vector<std::thread> threads;
    std::vector<int> refused;
    for (int t = 0; t < count; ++t)
        try {
            threads.emplace_back(work, t);
        } catch (const std::system_error&) {
            refused.push_back(t);
        }
    for (const int t : refused)
        work(t);
    for (auto& thread : threads)
        thread.join();
}
