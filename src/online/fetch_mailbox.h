// Where a fetch on a worker thread leaves its result for the window's thread: a queue under a lock,
// and the "under way" state of the fetch beside it. The window is only woken by a message that carries
// nothing, so a message of the same number posted by any other program finds nothing to take.
#pragma once
#include <deque>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

template <class Result>
class FetchMailbox {
public:
    // Window thread: marks a fetch under way; false when one still is.
    bool TryBegin() {
        std::lock_guard<std::mutex> guard(lock_);
        if (underWay_) return false;
        underWay_ = true;
        return true;
    }
    // Window thread: the fetch could not be started after all.
    void Abandon() {
        std::lock_guard<std::mutex> guard(lock_);
        underWay_ = false;
    }
    // Worker thread: the fetch has ended. It is no longer under way even when its result cannot be kept
    // (no memory) or its wake-up never arrives, so the next refresh always starts a new one.
    void Finish(Result result) {
        std::lock_guard<std::mutex> guard(lock_);
        underWay_ = false;
        try {
            results_.push_back(std::move(result));
        } catch (const std::bad_alloc&) {
        }
    }
    // Window thread: every result left since the last call, oldest first; none after a stray wake-up.
    std::vector<Result> TakeAll() {
        std::lock_guard<std::mutex> guard(lock_);
        std::vector<Result> taken(std::make_move_iterator(results_.begin()), std::make_move_iterator(results_.end()));
        results_.clear();
        return taken;
    }
    bool UnderWay() {
        std::lock_guard<std::mutex> guard(lock_);
        return underWay_;
    }

private:
    std::mutex lock_;
    bool underWay_ = false;
    std::deque<Result> results_;
};
