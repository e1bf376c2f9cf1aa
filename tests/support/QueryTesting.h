#pragma once
// Query runners for tests, with the test's own thread as the window's thread.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <stdexcept>
#include <utility>

#include "monitor/QueryThreads.h"

namespace brimview::test {

// Runs each job and its answers at once, on the calling thread.
class QueriesInPlace : public QueryRunner {
public:
    void Start(Job job) override {
        job([](const Answer& answer) { answer(); });
    }
};

// Holds the jobs started, and the answers of those run, until the test runs them on its own
// thread. While told to refuse, no job starts: as when no thread can be made.
class HeldQueries : public QueryRunner {
public:
    bool refuses = false;
    void Start(Job job) override {
        if (refuses) throw std::runtime_error("no thread");
        held_.push_back(std::move(job));
    }
    std::size_t Held() const { return held_.size(); }
    std::size_t Answers() const { return answers_.size(); }
    // Runs the job held at `index` and holds its answers, in the order it gave them.
    void Run(std::size_t index) {
        Take(held_, index)([this](Answer answer) { answers_.push_back(std::move(answer)); });
    }
    // Runs the answer held at `index`.
    void RunAnswer(std::size_t index) { Take(answers_, index)(); }
    // Runs the held answers and jobs, answers first, each in the order held, and those they
    // start, until none is left.
    void Settle() {
        while (!answers_.empty() || !held_.empty()) answers_.empty() ? Run(0) : RunAnswer(0);
    }

private:
    template <class T>
    static T Take(std::deque<T>& from, std::size_t index) {
        T taken = std::move(from.at(index));
        from.erase(from.begin() + static_cast<std::ptrdiff_t>(index));
        return taken;
    }

    std::deque<Job> held_;
    std::deque<Answer> answers_;
};

// Query threads that the test wakes: it waits until a number of answers has been queued,
// then runs them.
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
        threads.RunAnswers([](const std::exception& e) { ADD_FAILURE() << "an answer threw: " << e.what(); });
    }

private:
    std::mutex mutex_;
    std::condition_variable woken_;
    int queued_ = 0;
    int run_ = 0;
};

}  // namespace brimview::test
