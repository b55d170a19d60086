#pragma once
// Holds a piece of state for a scope and undoes it when the scope ends, whatever way it ends:
// a handler that throws must not leave a control stuck in a state (a flag still raised, an
// update or alignment count still held). Three uses:
//   TScopedState busy(busy_);         a flag raised for the scope, its former value back after;
//   TScopedState held(aligning_);     a counter one up for the scope, one down after (nests);
//   TScopedState off(handler_, {});   any value replaced for the scope, the former moved back.

#include <type_traits>
#include <utility>

template <class T>
class TScopedState {
public:
  explicit TScopedState(T& state) : state_(state), counts_(!std::is_same_v<T, bool>) {
    static_assert(std::is_integral_v<T>, "only a flag or a counter has a default change");
    if constexpr (std::is_same_v<T, bool>) {
      saved_ = std::exchange(state_, true);
    } else {
      ++state_;
    }
  }
  // The value's type is the state's: a literal or nullptr converts to it.
  TScopedState(T& state, std::common_type_t<T> value) : state_(state), saved_(std::exchange(state, std::move(value))) {}
  ~TScopedState() {
    if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>) {
      if (counts_) {
        --state_;
        return;
      }
    }
    state_ = std::move(saved_);
  }
  TScopedState(const TScopedState&) = delete;
  TScopedState& operator=(const TScopedState&) = delete;

private:
  T& state_;
  T saved_{};
  bool counts_ = false;
};
