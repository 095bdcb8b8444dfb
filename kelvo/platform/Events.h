// Event references that cannot outlive the object they call into.
//
// Settings objects copy their OnChange reference with Assign, so a handler
// wired to a chart can end up in an object the chart does not own. A handler
// bound to a TLifetime is skipped, as if unassigned, once the object that
// owns that lifetime is gone; every copy of the reference sees the same
// expiry. A handler assigned without a lifetime behaves as a plain function.
#pragma once

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

namespace vexa {

// Held by an object whose handlers are bound to it. Revoke ends every
// binding at once; the destructor revokes too, but an object should revoke
// first thing in its own destructor, before its members go.
class TLifetime {
 public:
  TLifetime() = default;
  TLifetime(const TLifetime&) = delete;
  TLifetime& operator=(const TLifetime&) = delete;
  ~TLifetime() = default;

  std::weak_ptr<const void> Token() const { return FToken; }
  void Revoke() { FToken.reset(); }
  bool Alive() const { return FToken != nullptr; }

 private:
  std::shared_ptr<const void> FToken = std::make_shared<char>(0);
};

template <class Signature>
class TEvent;

template <class R, class... Args>
class TEvent<R(Args...)> {
 public:
  TEvent() = default;
  TEvent(std::nullptr_t) {}  // NOLINT: an unassigned event, as with std::function
  template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, TEvent> &&
                                              std::is_invocable_r_v<R, F&, Args...>>>
  TEvent(F&& Handler) : FHandler(std::forward<F>(Handler)) {}  // NOLINT: implicit, as std::function

  // A handler that runs only while Target is alive.
  template <class F>
  static TEvent Bound(const TLifetime& Target, F&& Handler) {
    TEvent e(std::forward<F>(Handler));
    e.FTarget = Target.Token();
    e.FBound = true;
    return e;
  }

  TEvent& operator=(std::nullptr_t) {
    FHandler = nullptr;
    FTarget.reset();
    FBound = false;
    return *this;
  }

  // False when unassigned or when the bound target is gone.
  explicit operator bool() const { return FHandler && (!FBound || !FTarget.expired()); }

  // Calls the handler; an unassigned or expired event does nothing.
  R operator()(Args... A) const {
    if (!*this) return R();
    return FHandler(std::forward<Args>(A)...);
  }

 private:
  std::function<R(Args...)> FHandler;
  std::weak_ptr<const void> FTarget;
  bool FBound = false;
};

}  // namespace vexa
