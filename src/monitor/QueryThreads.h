#pragma once
// Drive queries away from the window's thread. A drive or a network share may take as long
// as it likes to answer, or never answer: each query runs on a thread of its own, and what
// it found comes back to the window's thread as an answer, run there when that thread is woken.
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>

namespace brimview {

class QueryRunner {
public:
    // What a query hands back, to be run on the window's thread.
    using Answer = std::function<void()>;
    // Queues an answer for the window's thread.
    using Post = std::function<void(Answer)>;
    // Runs away from the window's thread and posts its answers; it throws nothing.
    using Job = std::function<void(const Post& post)>;

    virtual ~QueryRunner() = default;
    // Starts the job and returns at once; its answers run later on the window's thread, in
    // the order the job posted them.
    virtual void Start(Job job) = 0;
};

class QueryThreads final : public QueryRunner {
public:
    // Runs a body on a new detached thread.
    using StartThread = std::function<void(std::function<void()> body)>;

    // `wake` is called on a query's thread each time an answer is queued. It must only tell
    // the window's thread to call RunAnswers (post it a message), never wait. `start` makes
    // the queries' threads; the standard library's threads by default.
    explicit QueryThreads(std::function<void()> wake, StartThread start = StartStandardThread);
    // Drops the answers queued and those still to come, without waiting: a query still out
    // finishes on its own thread, holding what it captured and nothing of this object.
    ~QueryThreads() override;
    QueryThreads(const QueryThreads&) = delete;
    QueryThreads& operator=(const QueryThreads&) = delete;

    // Each job gets a thread of its own, so that one that hangs holds up no other. The
    // thread is detached: it keeps neither the window's thread nor the process waiting.
    void Start(Job job) override;
    // Runs the queued answers in the order they came (window's thread). An answer that throws
    // is handed to `report` and costs only itself: the ones after it run all the same.
    void RunAnswers(const std::function<void(const std::exception&)>& report);

private:
    struct Mailbox;
    static void StartStandardThread(std::function<void()> body);

    std::shared_ptr<Mailbox> mailbox_;
    StartThread start_;
};

// The queries of one kind that one owner (the readout, the drive list) makes, at most one out
// per drive however often it is asked for. The work runs away from the window's thread and
// sees only what it captured: values and the shared services, nothing of the owner. The
// answers run on the window's thread while this object lives, and never after.
template <class Result>
class DriveQueries {
public:
    // Hands over a result before the work's last one: a drive may tell what it knows fast first.
    using Early = std::function<void(Result)>;
    using Work = std::function<Result(const Early& early)>;
    // Each result of the work in turn; nothing when the work failed (threw), which is also
    // its last answer, and the failure is then raised on the window's thread after it.
    using OnAnswer = std::function<void(std::optional<Result>)>;

    explicit DriveQueries(QueryRunner& runner) : runner_(runner) {}

    // Starts the work for the drive unless a query for it is out.
    void Start(char drive, Work work, OnAnswer onAnswer) {
        if (!out_->try_emplace(drive, std::move(onAnswer)).second) return;
        try {
            runner_.Start([out = std::weak_ptr(out_), drive, work = std::move(work)](const QueryRunner::Post& post) {
                const auto answer = [&post, &out, drive](std::optional<Result> result, bool last) {
                    post([out, drive, result = std::move(result), last] { Deliver(out, drive, result, last); });
                };
                try {
                    answer(work([&answer](Result early) { answer(std::move(early), false); }), true);
                } catch (...) {
                    post([out, drive, failure = std::current_exception()] {
                        Deliver(out, drive, std::nullopt, true);
                        std::rethrow_exception(failure);
                    });
                }
            });
        } catch (...) {
            out_->erase(drive);  // no query went out
            throw;
        }
    }

private:
    using Out = std::map<char, OnAnswer>;  // by drive, the answers' handlers of the queries out

    static void Deliver(const std::weak_ptr<Out>& owner, char drive, const std::optional<Result>& result, bool last) {
        const std::shared_ptr<Out> out = owner.lock();
        if (!out) return;  // the owner has gone
        const auto query = out->find(drive);
        // The last answer ends the query first, so that its handler may ask the drive again.
        const OnAnswer onAnswer = last ? std::move(out->extract(query).mapped()) : query->second;
        onAnswer(result);
    }

    QueryRunner& runner_;
    std::shared_ptr<Out> out_ = std::make_shared<Out>();
};

}  // namespace brimview
