#include <gtest/gtest.h>

#include "app/switch_match.h"

TEST(SwitchTable, EachArgumentChoosesItsMode) {
  EXPECT_EQ(RUN_CONFIGURE, ChooseRunMode(nullptr));
  for (const char* arg : {"s", "S", "-s", "-S", "/s", "/S"}) EXPECT_EQ(RUN_SLIDESHOW, ChooseRunMode(arg)) << arg;
  for (const char* arg : {"c", "C", "-c", "-C", "/c", "/C"}) EXPECT_EQ(RUN_CONFIGURE, ChooseRunMode(arg)) << arg;
  // Only one '-' or '/' is skipped, and the rest must be the whole switch.
  for (const char* arg : {"//s", "--s", "-/s", "/x", "c:123", "/c:123", "p", "/p", "a", "/a", "", "-", "/", "sc",
                          "s ", " s", "ss"})
    EXPECT_EQ(RUN_NONE, ChooseRunMode(arg)) << '"' << arg << '"';
}
