#pragma once
// Query threads for tests, with the test's own thread as the window's thread: it waits until
// a number of answers has been queued, then runs them.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

#include "monitor/QueryThreads.h"

namespace brimview::test {

// Runs each query and its answers at once, on the calling thread.
class QueriesInPlace : public QueryRunner {
public:
    void Start(Query query) override {
        const Answer last = query([](const Answer& early) { early(); });
        if (last) last();
    }
};

// Keeps the queries until RunAll, which runs each with its answers at once, in the order
// they came, on the calling thread.
class QueriesLater : public QueryRunner {
public:
    void Start(Query query) override { held_.push_back(std::move(query)); }
    void RunAll() {
        for (const Query& query : std::exchange(held_, {})) QueriesInPlace().Start(query);
    }

private:
    std::vector<Query> held_;
};

class WokenQueries {
public:
    QueryThreads threads{[this] {
        const std::lock_guard lock(mutex_);
        ++queued_;
        woken_.notify_all();
    }};

    // Waits until `count` more answers have been queued and runs them. The time limit only
    // keeps a failing test from hanging.
    void RunAnswers(int count) {
        {
            std::unique_lock lock(mutex_);
            const bool came = woken_.wait_for(lock, std::chrono::seconds(10), [&] { return queued_ >= run_ + count; });
            ASSERT_TRUE(came) << "answers expected: " << count << ", queued: " << queued_ - run_;
            run_ += count;
        }
        threads.RunAnswers();
    }

private:
    std::mutex mutex_;
    std::condition_variable woken_;
    int queued_ = 0;
    int run_ = 0;
};

}  // namespace brimview::test
