#pragma once
// The owner tree: every component is owned by another (the application owns the
// forms, a form its controls) and destroyed with it, in reverse order of creation.
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace brimview::ui {

class Component;

// An event holds a handler bound to an object; the sender is passed along.
using NotifyEvent = std::function<void(Component& sender)>;

class Component {
public:
    explicit Component(Component* owner) : owner_(owner) {}
    virtual ~Component() { DestroyComponents(); }
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    Component* Owner() const { return owner_; }

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
    virtual void Loaded() {}
    // Destroys the owned components, the last created first.
    void DestroyComponents() {
        while (!owned_.empty()) owned_.pop_back();
    }

private:
    Component* owner_;
    std::vector<std::unique_ptr<Component>> owned_;
};

}  // namespace brimview::ui
