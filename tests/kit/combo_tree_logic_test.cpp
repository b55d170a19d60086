#include "kit/combo_tree_logic.h"

#include <gtest/gtest.h>

TEST(ComboTreeChoice, AnOpeningOrClosingTakesTheNextReleaseOnlyAndEnterAlwaysChooses) {
  TComboTreeChoice choice;
  EXPECT_TRUE(choice.Release());
  choice.ExpandAsked();
  choice.ExpandAsked();  // opening and closing again still marks one release
  EXPECT_FALSE(choice.Release());
  EXPECT_TRUE(choice.Release());

  choice.ExpandAsked();
  choice.EnterPressed();
  EXPECT_FALSE(choice.ExpandPending());
  EXPECT_TRUE(choice.Release());
}

TEST(ComboTreeChoice, LeavingHidesUnlessTheFocusWentToTheComboEditOfTheOwnerForm) {
  EXPECT_FALSE(TComboTreeChoice::HideOnExit(true, true));
  EXPECT_TRUE(TComboTreeChoice::HideOnExit(true, false));
  EXPECT_TRUE(TComboTreeChoice::HideOnExit(false, true));
}
