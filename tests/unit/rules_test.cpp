// The mouse rule and the slideshow's tick counting and numbering.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "saver/mouse_rule.h"
#include "saver/tick_rule.h"
#include "settings/saver_settings.h"

namespace {

TEST(MouseRule, FirstPositionArmsAnyOtherCloses) {
  const struct {
    int x, y;
    BOOL closes;
    const char* what;
  } steps[] = {{100, 200, FALSE, "first move only arms"}, {100, 200, FALSE, "resting"},
               {101, 200, TRUE, "one pixel in x"},        {100, 199, TRUE, "one pixel in y"},
               {100, 200, FALSE, "back at the reference point, which never moves"}};
  POINT last = {-1, -1};
  for (const auto& s : steps) EXPECT_EQ(s.closes, MouseMoveCloses(&last, s.x, s.y)) << s.what;
  last = {-1, -1};
  EXPECT_FALSE(MouseMoveCloses(&last, -5, 0));
  EXPECT_TRUE(MouseMoveCloses(&last, -1, -1)) << "(-1, -1) after arming is a move";
}

// Which ticks of a picture window change its picture, the collection in the
// settings switching to `newSet` before tick `switchAt`.
TEST(TickRule, WhichTicksChangeThePicture) {
  const struct {
    const char* name;
    int delay;
    BOOL preview;
    const char* set;
    int count, switchAt;
    const char* newSet;
    std::vector<int> changes;
  } cases[] = {
      {"every 5th", 5, FALSE, "SEA", 18, 0, "", {1, 6, 11, 16}},
      {"delay 0", 0, FALSE, "SEA", 4, 0, "", {1, 2, 3, 4}},
      {"delay 1", 1, FALSE, "SEA", 4, 0, "", {1, 2, 3, 4}},
      {"negative delay", -4, FALSE, "SEA", 4, 0, "", {1, 2, 3, 4}},
      {"an hour", 3600, FALSE, "SEA", 7201, 0, "", {1, 3601, 7201}},
      {"ChangeDelay 32767 saturates", 32767, FALSE, "SEA", 65535, 0, "", {1, 32768, 65535}},
      {"ChangeDelay 40000 saturates", 40000, FALSE, "SEA", 65535, 0, "", {1, 32768, 65535}},
      {"ChangeDelay INT_MAX saturates", INT_MAX, FALSE, "SEA", 65535, 0, "", {1, 32768, 65535}},
      {"full screen without a collection still counts", 2, FALSE, "", 4, 0, "", {1, 3}},
      {"new collection restarts the full-screen count", 5, FALSE, "SEA", 9, 4, "LAKE", {1, 4, 9}},
      {"preview changes only with the collection", 1, TRUE, "SEA", 15, 11, "LAKE", {1, 11}},
      {"preview without a collection shows nothing", 1, TRUE, "", 5, 0, "", {}},
  };
  for (const auto& c : cases) {
    SaverSettings s;
    memset(&s, 0, sizeof s);
    s.ChangeDelay = c.delay;
    snprintf(s.CurrentSet, sizeof s.CurrentSet, "%s", c.set);
    char setName[kNameSize] = "";
    short ticks = TicksFromDelay(c.delay);
    std::vector<int> changes;
    for (int i = 1; i <= c.count; ++i) {
      if (i == c.switchAt) snprintf(s.CurrentSet, sizeof s.CurrentSet, "%s", c.newSet);
      if (CountTick(setName, &ticks, s, c.preview)) changes.push_back(i);
    }
    EXPECT_EQ(c.changes, changes) << c.name;
    EXPECT_GE(ticks, 0) << c.name << ": the counter never wraps";
  }
}

TEST(TickRule, NextPictureNumberWrapsAfterTheCount) {
  const struct {
    int current, count, next;
  } cases[] = {{1, 3, 2},  {3, 3, 1},         {7, 10, 8},           {7, 5, 1},
               {0, 0, 1},  {5, 0, 1},         {-2, 0, -1},          {-1, 3, 0},  // negatives count up to 1
               {0, 3, 1},  {INT_MAX, 10, 1},  {INT_MAX, INT_MAX, 1}, {INT_MAX - 1, INT_MAX, INT_MAX}};
  for (const auto& c : cases)
    EXPECT_EQ(c.next, NextPictureNumber(c.current, c.count)) << c.current << " of " << c.count;
}

}  // namespace
