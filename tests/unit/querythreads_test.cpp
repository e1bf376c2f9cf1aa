#include "monitor/QueryThreads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <latch>
#include <memory>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "../support/QueryTesting.h"

namespace brimview {
namespace {

// Tells when it is destroyed, that is when whatever holds it lets it go.
std::shared_ptr<void> GoneSignal(const std::shared_ptr<std::latch>& gone) {
    return {nullptr, [gone](void*) { gone->count_down(); }};
}

TEST(QueryThreads, AnswersRunOnTheWindowsThreadInTheOrderTheyCome) {
    test::WokenQueries queries;
    const std::thread::id window = std::this_thread::get_id();
    std::vector<std::string> ran;
    const auto record = [&ran, window](const char* what) {
        return [&ran, window, what] { ran.push_back(std::this_thread::get_id() == window ? what : "elsewhere"); };
    };
    // The first job posts an answer at once and another when the test lets it; the second
    // answers meanwhile; the third posts two before the window's thread is woken.
    auto first = std::make_shared<std::latch>(1);
    queries.threads.Start([first, record](const QueryRunner::Post& post) {
        post(record("first, early"));
        first->wait();
        post(record("first, last"));
    });
    queries.RunAnswers(1);
    queries.threads.Start([record](const QueryRunner::Post& post) { post(record("second")); });
    queries.RunAnswers(1);
    first->count_down();
    queries.RunAnswers(1);
    queries.threads.Start([record](const QueryRunner::Post& post) {
        post(record("third, a"));
        post(record("third, b"));
    });
    queries.RunAnswers(2);
    EXPECT_EQ(ran, (std::vector<std::string>{"first, early", "second", "first, last", "third, a", "third, b"}));
}

TEST(QueryThreads, AnswersPostedWhileTheWindowsThreadRunsOthersAllRunEachJobsInOrder) {
    constexpr int kJobs = 8, kAnswers = 50;
    std::atomic<int> wakes = 0;
    QueryThreads threads([&wakes] { ++wakes; });
    std::vector<std::vector<int>> ran(kJobs);
    for (int job = 0; job < kJobs; ++job)
        threads.Start([&ran, job](const QueryRunner::Post& post) {
            for (int i = 0; i < kAnswers; ++i) post([&ran, job, i] { ran[job].push_back(i); });
        });
    const auto allRan = [&ran] { return std::ranges::all_of(ran, [](const auto& r) { return r.size() >= kAnswers; }); };
    // The time limit only keeps a failing test from hanging.
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
         !allRan() && std::chrono::steady_clock::now() < end;)
        threads.RunAnswers([](const std::exception&) {});
    std::vector<int> inOrder(kAnswers);
    std::iota(inOrder.begin(), inOrder.end(), 0);
    for (const auto& r : ran) EXPECT_EQ(r, inOrder);
    EXPECT_EQ(wakes, kJobs * kAnswers);
}

TEST(QueryThreads, AnAnswerThatThrowsIsReportedAndTheNextRunsAllTheSame) {
    QueryThreads threads([] {}, [](const std::function<void()>& body) { body(); });  // a job runs at its start
    std::vector<std::string> ran;
    threads.Start([&ran](const QueryRunner::Post& post) {
        post([] { throw std::runtime_error("drive gone"); });
        post([&ran] { ran.push_back("next"); });
    });
    threads.RunAnswers([&ran](const std::exception& e) { ran.push_back(e.what()); });
    EXPECT_EQ(ran, (std::vector<std::string>{"drive gone", "next"}));
}

TEST(QueryThreads, OwnerGoesWithoutWaitingAndDropsTheAnswersQueuedAndToCome) {
    auto gate = std::make_shared<std::latch>(1);
    auto queuedGone = std::make_shared<std::latch>(1);
    auto lateGone = std::make_shared<std::latch>(1);
    auto wakes = std::make_shared<std::atomic<int>>(0);
    {
        QueryThreads threads([wakes] { ++*wakes; });
        threads.Start([gate, queuedGone, lateGone](const QueryRunner::Post& post) {
            post([queued = GoneSignal(queuedGone)] {});
            gate->wait();
            post([late = GoneSignal(lateGone)] {});
        });
        while (*wakes == 0) std::this_thread::yield();
    }  // the owner goes while its job hangs: a wait here would hang the test
    EXPECT_TRUE(queuedGone->try_wait()) << "the queued answer went with the owner, not with the job's thread";
    gate->count_down();
    lateGone->wait();
    EXPECT_EQ(*wakes, 1);
}

TEST(DriveQueries, OneQueryPerDriveUntilItsLastAnswerAndEveryFailureEndsItToo) {
    test::HeldQueries runner;
    DriveQueries<std::string> queries(runner);
    std::vector<std::string> answers;
    const auto record = [&answers](const std::optional<std::string>& answer) {
        answers.push_back(answer.value_or("failed"));
    };
    const auto staged = [](const DriveQueries<std::string>::Early& early) {
        early("kind");
        return std::string("name");
    };
    const auto failing = [](const DriveQueries<std::string>::Early&) -> std::string {
        throw std::runtime_error("drive gone");
    };

    queries.Start('C', staged, record);
    queries.Start('C', staged, record);  // C: is out
    queries.Start('D', failing, record);
    EXPECT_EQ(runner.Held(), 2u);
    runner.Run(0);
    runner.RunAnswer(0);
    queries.Start('C', staged, record);
    EXPECT_EQ(runner.Held(), 1u) << "an early answer leaves the query out";
    runner.RunAnswer(0);
    runner.Run(0);
    EXPECT_THROW(runner.RunAnswer(0), std::runtime_error) << "the failure is raised after its answer";
    EXPECT_EQ(answers, (std::vector<std::string>{"kind", "name", "failed"}));
    queries.Start('C', staged, record);
    queries.Start('D', staged, record);
    EXPECT_EQ(runner.Held(), 2u) << "both are asked again, the failed one too";
    // Neither a thread that cannot start nor answers that throw leave a query out.
    runner.refuses = true;
    EXPECT_THROW(queries.Start('E', staged, record), std::runtime_error);
    runner.refuses = false;
    queries.Start('E', staged, [](const auto&) { throw std::runtime_error("answer failed"); });
    runner.Run(2);
    EXPECT_THROW(runner.RunAnswer(0), std::runtime_error);
    EXPECT_THROW(runner.RunAnswer(0), std::runtime_error);
    queries.Start('E', staged, record);
    EXPECT_EQ(runner.Held(), 3u);
}

TEST(DriveQueries, AnswersThatComeAfterTheOwnerWentAreDropped) {
    test::HeldQueries runner;
    int answered = 0;
    {
        DriveQueries<int> queries(runner);
        queries.Start(
            'C', [](const auto&) { return 1; }, [&answered](const std::optional<int>&) { ++answered; });
    }
    runner.Settle();
    EXPECT_EQ(answered, 0);
}

}  // namespace
}  // namespace brimview
