// The date utilities know from start-up whether the system runs a far-east (double-byte)
// code page. The test list runs this once as it is and once more with Wine started in a
// Japanese locale (HL_EXPECT_FAR_EAST set), so both answers are seen.

#include <gtest/gtest.h>

#include <cstdlib>

#include "kit/date_utils.h"
#include "platform/wcl/win/handles.h"

TEST(FarEastLocale, FollowsTheSystemsDoubleByteSetting) {
  const bool doubleByte = GetSystemMetrics(SM_DBCSENABLED) != 0;
  EXPECT_EQ(FarEastLocale, doubleByte);
  if (std::getenv("HL_EXPECT_FAR_EAST") != nullptr) {
    EXPECT_TRUE(doubleByte) << "code page " << GetACP() << " is not a double-byte one";
    EXPECT_TRUE(FarEastLocale);
  }
}
