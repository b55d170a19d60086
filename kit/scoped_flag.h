#pragma once
// Sets a flag for a scope and puts its former value back when the scope ends, whatever way
// it ends (an event handler that throws must not leave a control stuck in a state).

class TScopedFlag {
public:
  explicit TScopedFlag(bool& flag, bool value = true) : flag_(flag), saved_(flag) { flag_ = value; }
  ~TScopedFlag() { flag_ = saved_; }
  TScopedFlag(const TScopedFlag&) = delete;
  TScopedFlag& operator=(const TScopedFlag&) = delete;

private:
  bool& flag_;
  bool saved_;
};
