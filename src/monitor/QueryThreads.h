#pragma once
// Drive queries away from the window's thread. A drive or a network share may take as long
// as it likes to answer, or never answer: each query runs on a thread of its own, and what
// it found comes back to the window's thread as an answer, run there when that thread is woken.
#include <functional>
#include <memory>

namespace brimview {

class QueryRunner {
public:
    // What a query hands back, to be run on the window's thread; an empty one is none.
    using Answer = std::function<void()>;
    // Hands over an answer before the query's last, which the query returns: a query may
    // answer in stages, what it finds fast first.
    using Post = std::function<void(Answer)>;
    using Query = std::function<Answer(const Post& post)>;

    virtual ~QueryRunner() = default;
    // Starts the query and returns at once; its answers run later on the window's thread,
    // in the order the query gave them.
    virtual void Start(Query query) = 0;
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

    // Each query gets a thread of its own, so that one that hangs holds up no other. The
    // thread is detached: it keeps neither the window's thread nor the process waiting.
    void Start(Query query) override;
    // Runs the queued answers in the order they came (window's thread). An answer that
    // throws leaves the ones after it queued for the next wake.
    void RunAnswers();

private:
    struct Mailbox;
    static void StartStandardThread(std::function<void()> body);

    std::shared_ptr<Mailbox> mailbox_;
    StartThread start_;
};

}  // namespace brimview
