#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

// Tells a long pass's progress, from any of its worker threads, at most
// once per percent and one call at a time.
class ProgressGate {
public:
    using Progress = std::function<void(double fraction)>;

    ProgressGate(const Progress& progress, std::int64_t total) : progress_(progress), total_(total) {}

    void Add(std::int64_t bytes)
    {
        if (!progress_ || total_ <= 0)
            return;
        const std::int64_t done = done_.fetch_add(bytes) + bytes;
        const int percent = static_cast<int>(done * 100 / total_);
        // Under the lock the percent only grows, so the fractions told do too.
        std::lock_guard lock(mutex_);
        if (percent <= lastPercent_)
            return;
        lastPercent_ = percent;
        progress_(static_cast<double>(done) / static_cast<double>(total_));
    }

private:
    const Progress& progress_;
    std::int64_t total_;
    std::atomic<std::int64_t> done_{0};
    int lastPercent_ = 0;
    std::mutex mutex_;
};
