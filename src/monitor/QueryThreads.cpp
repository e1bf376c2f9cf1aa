#include "monitor/QueryThreads.h"

#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace brimview {

// Shared by the owner and every query thread, so that a thread outliving the owner still
// has somewhere to leave its answer.
struct QueryThreads::Mailbox {
    void Deliver(Answer answer) {
        const std::lock_guard lock(mutex);
        if (!wake) return;
        answers.push_back(std::move(answer));
        wake();
    }

    std::mutex mutex;
    std::deque<Answer> answers;
    std::function<void()> wake;  // empty once the owner is gone
};

void QueryThreads::StartStandardThread(std::function<void()> body) {
    std::thread(std::move(body)).detach();
}

QueryThreads::QueryThreads(std::function<void()> wake, StartThread start)
    : mailbox_(std::make_shared<Mailbox>()), start_(std::move(start)) {
    mailbox_->wake = std::move(wake);
}

QueryThreads::~QueryThreads() {
    std::deque<Answer> dropped;  // destroyed after the lock is released
    const std::lock_guard lock(mailbox_->mutex);
    mailbox_->wake = nullptr;
    dropped.swap(mailbox_->answers);
}

void QueryThreads::Start(Job job) {
    start_([mailbox = mailbox_, job = std::move(job)] {
        job([&mailbox](Answer answer) { mailbox->Deliver(std::move(answer)); });
    });
}

void QueryThreads::RunAnswers(const std::function<void(const std::exception&)>& report) {
    for (;;) {
        Answer answer;
        {
            const std::lock_guard lock(mailbox_->mutex);
            if (mailbox_->answers.empty()) return;
            answer = std::move(mailbox_->answers.front());
            mailbox_->answers.pop_front();
        }
        try {
            answer();
        } catch (const std::exception& e) {
            report(e);
        }
    }
}

}  // namespace brimview
