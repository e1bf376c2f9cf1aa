#include "monitor/QueryThreads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "../support/QueryTesting.h"

namespace brimview {
namespace {

TEST(QueryThreads, AnswersRunOnTheWindowsThreadInTheOrderTheyCome) {
    test::WokenQueries queries;
    const std::thread::id window = std::this_thread::get_id();
    std::vector<std::string> ran;
    auto first = std::make_shared<std::latch>(1);
    // The second query answers before the first, which waits for the test.
    queries.threads.Start([first, &ran, window] {
        first->wait();
        return [&ran, window] { ran.push_back(std::this_thread::get_id() == window ? "first" : "first elsewhere"); };
    });
    queries.threads.Start([&ran, window] {
        return [&ran, window] { ran.push_back(std::this_thread::get_id() == window ? "second" : "second elsewhere"); };
    });
    queries.RunAnswers(1);
    EXPECT_EQ(ran, std::vector<std::string>{"second"});
    first->count_down();
    queries.RunAnswers(1);
    EXPECT_EQ(ran, (std::vector<std::string>{"second", "first"}));
}

TEST(QueryThreads, AFailingQueryIsReportedOnTheWindowsThread) {
    test::WokenQueries queries;
    queries.threads.Start([]() -> QueryRunner::Answer { throw std::runtime_error("drive gone"); });
    EXPECT_THROW(queries.RunAnswers(1), std::runtime_error);
}

TEST(QueryThreads, OwnerGoesWithoutWaitingAndTheLateAnswerIsDropped) {
    auto gate = std::make_shared<std::latch>(1);
    auto answerGone = std::make_shared<std::latch>(1);
    auto wakes = std::make_shared<std::atomic<int>>(0);
    {
        QueryThreads threads([wakes] { ++*wakes; });
        threads.Start([gate, answerGone] {
            gate->wait();
            // Tells the test when the answer is destroyed, that is when its thread is done with it.
            std::shared_ptr<void> done(nullptr, [answerGone](void*) { answerGone->count_down(); });
            return [done] {};
        });
    }  // the owner goes while its query hangs: a wait here would hang the test
    gate->count_down();
    answerGone->wait();
    EXPECT_EQ(*wakes, 0);
}

}  // namespace
}  // namespace brimview
