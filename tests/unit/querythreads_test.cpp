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
    const auto record = [&ran, window](const char* what) {
        return [&ran, window, what] { ran.push_back(std::this_thread::get_id() == window ? what : "elsewhere"); };
    };
    // The first query hands over an answer at once and its last one when the test lets it;
    // the second answers meanwhile.
    auto first = std::make_shared<std::latch>(1);
    queries.threads.Start([first, record](const QueryRunner::Post& post) {
        post(record("first, early"));
        first->wait();
        return record("first, last");
    });
    queries.RunAnswers(1);
    queries.threads.Start([record](const QueryRunner::Post&) { return record("second"); });
    queries.RunAnswers(1);
    first->count_down();
    queries.RunAnswers(1);
    EXPECT_EQ(ran, (std::vector<std::string>{"first, early", "second", "first, last"}));
}

TEST(QueryThreads, AQueryWithoutALastAnswerQueuesNone) {
    test::WokenQueries queries;
    auto queryGone = std::make_shared<std::latch>(1);
    // The query's captures go when its thread is done with it, after its answer was queued.
    std::shared_ptr<void> done(nullptr, [queryGone](void*) { queryGone->count_down(); });
    queries.threads.Start([done = std::move(done)](const QueryRunner::Post&) { return QueryRunner::Answer(); });
    queryGone->wait();
    EXPECT_NO_THROW(queries.threads.RunAnswers());
}

TEST(QueryThreads, AFailingQueryIsReportedOnTheWindowsThread) {
    test::WokenQueries queries;
    queries.threads.Start(
        [](const QueryRunner::Post&) -> QueryRunner::Answer { throw std::runtime_error("drive gone"); });
    EXPECT_THROW(queries.RunAnswers(1), std::runtime_error);
}

TEST(QueryThreads, OwnerGoesWithoutWaitingAndTheLateAnswerIsDropped) {
    auto gate = std::make_shared<std::latch>(1);
    auto answerGone = std::make_shared<std::latch>(1);
    auto wakes = std::make_shared<std::atomic<int>>(0);
    {
        QueryThreads threads([wakes] { ++*wakes; });
        threads.Start([gate, answerGone](const QueryRunner::Post&) {
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
