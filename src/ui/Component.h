#pragma once
// The owner tree: every component is owned by another (the application owns the
// forms, a form its controls) and destroyed with it, in reverse order of creation. The
// application at its root is what each component reports to and asks for the program's
// shared state.
#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace brimview::ui {

class Application;
class Component;

// An event holds a handler bound to an object; the sender is passed along.
using NotifyEvent = std::function<void(Component& sender)>;

// A handler's hold on an event of another object: the handler stays bound while the token
// lives and is unbound when it goes, so that nothing stays bound to an object that has gone.
class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> unbind) : unbind_(std::move(unbind)) {}
    Subscription(Subscription&& other) noexcept : unbind_(std::exchange(other.unbind_, nullptr)) {}
    Subscription& operator=(Subscription&& other) noexcept {
        Subscription(std::move(other)).Swap(*this);
        return *this;
    }
    ~Subscription() {
        if (unbind_) unbind_();
    }

private:
    void Swap(Subscription& other) noexcept { unbind_.swap(other.unbind_); }

    std::function<void()> unbind_;
};

// An event of an object that outlives the handlers bound to it (the application's): any
// number of handlers, each bound through a Subscription, raised in the order they came.
template <class... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;

    [[nodiscard]] Subscription Subscribe(Handler handler) {
        auto bound = std::make_shared<Handler>(std::move(handler));
        handlers_->push_back(bound);
        // The event may go first: the token then finds nothing to unbind.
        return Subscription([handlers = std::weak_ptr(handlers_), raw = bound.get()] {
            if (const auto list = handlers.lock())
                std::erase_if(*list, [raw](const auto& h) { return h.get() == raw; });
        });
    }

    // A handler may bind or unbind others: those unbound meanwhile are passed over.
    void operator()(Args... args) const {
        const auto raised = *handlers_;
        for (const auto& handler : raised)
            if (std::ranges::find(*handlers_, handler) != handlers_->end()) (*handler)(args...);
    }
    explicit operator bool() const { return !handlers_->empty(); }

private:
    std::shared_ptr<std::vector<std::shared_ptr<Handler>>> handlers_ =
        std::make_shared<std::vector<std::shared_ptr<Handler>>>();
};

class Component {
public:
    // A component belongs to its owner's application.
    explicit Component(Component* owner) : owner_(owner), application_(owner ? owner->application_ : nullptr) {}
    virtual ~Component() { DestroyComponents(); }
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    Component* Owner() const { return owner_; }
    // The application at the root of the owner tree.
    Application& App() const { return *application_; }

    // Creates a component owned by this one.
    template <class T, class... Args>
    T& Make(Args&&... args) {
        auto made = std::make_unique<T>(this, std::forward<Args>(args)...);
        T& ref = *made;
        owned_.push_back(std::move(made));
        return ref;
    }

    // Called once the owner's layout is complete, owned components first.
    void NotifyLoaded() {
        for (auto& c : owned_) c->NotifyLoaded();
        Loaded();
    }

protected:
    // The application's own: the root of its tree.
    explicit Component(Application* self) : owner_(nullptr), application_(self) {}
    virtual void Loaded() {}
    // Destroys the owned components, the last created first.
    void DestroyComponents() {
        while (!owned_.empty()) owned_.pop_back();
    }

private:
    Component* owner_;
    Application* application_;
    std::vector<std::unique_ptr<Component>> owned_;
};

}  // namespace brimview::ui
