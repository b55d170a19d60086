#include "platform/rtl/scoped_state.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

// Nested scopes left by an exception give each piece of state back as the scope around them
// had it: a flag raised twice is still raised after the inner scope, counts add up, and a
// replaced handler comes back.
TEST(ScopedState, UndoesEachScopeOnEveryWayOut) {
  bool flag = false;
  int count = 0;
  std::function<void()> handler = [] {};
  try {
    TScopedState raised(flag);
    TScopedState counted(count);
    {
      TScopedState again(flag);
      TScopedState nested(count);
      EXPECT_EQ(count, 2);
    }
    EXPECT_TRUE(flag);
    EXPECT_EQ(count, 1);
    TScopedState quiet(handler, nullptr);
    EXPECT_FALSE(handler);
    throw std::runtime_error("handler failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(flag);
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(handler);
}
