// The connections a shop's closed screens left, kept for the next screens to take: opening a
// connection costs a screen's opening more than the screen's own reading (a new server
// process; a file's whole schema read again). Only a few are kept, the newest taken first,
// and none for long: a driver makes a taken one a clean session (or drops it) itself.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

template <typename Kept> class IdlePool {
public:
    static constexpr std::size_t kMost = 4;
    static constexpr std::chrono::minutes kLongest{5};

    // The newest one kept no longer than kLongest; none when there is none.
    std::optional<Kept> take() {
        std::deque<Entry> expired;
        const std::lock_guard lock(mutex_);
        dropExpired(expired);
        if (kept_.empty())
            return std::nullopt;
        std::optional<Kept> newest(std::move(kept_.back().kept));
        kept_.pop_back();
        return newest;
    }

    // Keeps an idle one; the oldest goes beyond kMost.
    void put(Kept kept) {
        std::deque<Entry> gone; // closed after the lock is let go
        const std::lock_guard lock(mutex_);
        dropExpired(gone);
        kept_.push_back({std::move(kept), Clock::now()});
        if (kept_.size() > kMost) {
            gone.push_back(std::move(kept_.front()));
            kept_.pop_front();
        }
    }

    // Lets go of every one kept (what they were kept for is gone: the server restarted, the
    // file was replaced).
    void clear() {
        std::deque<Entry> gone;
        const std::lock_guard lock(mutex_);
        gone.swap(kept_);
    }

    std::size_t size() const {
        const std::lock_guard lock(mutex_);
        return kept_.size();
    }

private:
    using Clock = std::chrono::steady_clock;
    struct Entry {
        Kept kept;
        Clock::time_point since;
    };

    // Declared before the lock in the callers, so that the expired close outside it.
    void dropExpired(std::deque<Entry> &into) {
        while (!kept_.empty() && Clock::now() - kept_.front().since > kLongest) {
            into.push_back(std::move(kept_.front()));
            kept_.pop_front();
        }
    }

    mutable std::mutex mutex_;
    std::deque<Entry> kept_; // the newest last
};
