#include "kit/cat_edit97_logic.h"

#include <gtest/gtest.h>

TEST(CatEditLogic, OneKeyForLoadAndSave) {
  EXPECT_EQ(CatEditRegistryKey("Software\\Hl", "Users"), "Software\\Hl\\Users");
  // No trailing separator without a section.
  EXPECT_EQ(CatEditRegistryKey("Software\\Hl", ""), "Software\\Hl");
  EXPECT_EQ(CatEditRegistryKey("", ""), "");

  EXPECT_FALSE(CatEditHasStore(true, "", ""));
  EXPECT_TRUE(CatEditHasStore(true, "", "Users"));
  EXPECT_TRUE(CatEditHasStore(true, "Software\\Hl", ""));
  // An INI file needs its name; a section alone is nowhere.
  EXPECT_FALSE(CatEditHasStore(false, "", "Users"));
  EXPECT_TRUE(CatEditHasStore(false, "users.ini", ""));
}

TEST(CatEditLogic, FlatHeightAndFrameState) {
  EXPECT_EQ(FlatEditHeightFor(13), 19);
  EXPECT_EQ(FlatEditHeightFor(16), 22);
  EXPECT_FALSE(FlatFrameHot(false, false));
  EXPECT_TRUE(FlatFrameHot(true, false));
  EXPECT_TRUE(FlatFrameHot(false, true));
}
