#include "demo/demo_form_logic.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> kPages = {"-1", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"};

TEST(DemoPageState, CounterAndButtonsAlongTheShow) {
  TDemoPageState first = DemoPageState(kPages, 0);
  EXPECT_EQ(first.Counter, "");
  EXPECT_FALSE(first.PrevEnabled);
  EXPECT_TRUE(first.NextEnabled);
  EXPECT_EQ(DemoPageState(kPages, 1).Counter, "");
  EXPECT_EQ(DemoPageState(kPages, 2).Counter, "1/11");
  TDemoPageState last = DemoPageState(kPages, 12);
  EXPECT_EQ(last.Counter, "11/11");
  EXPECT_TRUE(last.PrevEnabled);
  EXPECT_FALSE(last.NextEnabled);
}

TEST(DemoPageState, NamesThatAreNotNumbersAreNotCounted) {
  const std::vector<std::string> pages = {"intro", "x1", "2"};
  EXPECT_EQ(DemoPageState(pages, 1).Counter, "");
  EXPECT_EQ(DemoPageState(pages, 2).Counter, "2/2");
  EXPECT_FALSE(DemoPageState({}, 0).NextEnabled);
}

}  // namespace
