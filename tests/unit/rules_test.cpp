// The mouse rule and the slideshow's tick counting and numbering.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "saver/mouse_rule.h"
#include "saver/tick_rule.h"
#include "settings/saver_settings.h"

namespace {

TEST(MouseRule, FirstMoveOnlyArms) {
  POINT last = {-1, -1};
  EXPECT_FALSE(MouseMoveCloses(&last, 100, 200));
  EXPECT_EQ(100, last.x);
  EXPECT_EQ(200, last.y);
  EXPECT_FALSE(MouseMoveCloses(&last, 100, 200)) << "resting mouse";
  EXPECT_TRUE(MouseMoveCloses(&last, 101, 200)) << "one pixel in x";
  EXPECT_TRUE(MouseMoveCloses(&last, 100, 199)) << "one pixel in y";
  EXPECT_FALSE(MouseMoveCloses(&last, 100, 200)) << "back at the reference point";
  EXPECT_EQ(100, last.x) << "the reference never moves";
}

TEST(MouseRule, NegativeCoordinatesCount) {
  POINT last = {-1, -1};
  EXPECT_FALSE(MouseMoveCloses(&last, -5, 0));
  EXPECT_TRUE(MouseMoveCloses(&last, -1, -1));
}

// A picture window's ticks: which of `count` ticks change the picture.
struct Window {
  char setName[kNameSize] = "";
  short ticks;
  BOOL preview;
  Window(int changeDelay, BOOL isPreview) : ticks(TicksFromDelay(changeDelay)), preview(isPreview) {}
  std::vector<int> Run(const SaverSettings& s, int count, int first = 1) {
    std::vector<int> changes;
    for (int i = first; i < first + count; ++i)
      if (CountTick(setName, &ticks, s, preview)) changes.push_back(i);
    return changes;
  }
};

SaverSettings WithDelay(int delay, const char* set = "SEA") {
  SaverSettings s;
  memset(&s, 0, sizeof s);
  s.ChangeDelay = delay;
  snprintf(s.CurrentSet, sizeof s.CurrentSet, "%s", set);
  return s;
}

TEST(TickRule, FullScreenChangesAtFirstTickThenEveryDelay) {
  SaverSettings s = WithDelay(5);
  EXPECT_EQ((std::vector<int>{1, 6, 11, 16}), Window(5, FALSE).Run(s, 18));
  for (int delay : {0, 1, -4}) {
    s = WithDelay(delay);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), Window(delay, FALSE).Run(s, 4)) << delay;
  }
  s = WithDelay(3600);
  EXPECT_EQ((std::vector<int>{1, 3601, 7201}), Window(3600, FALSE).Run(s, 7201));
}

TEST(TickRule, NoCollectionStillCountsInFullScreen) {
  SaverSettings s = WithDelay(2, "");
  EXPECT_EQ((std::vector<int>{1, 3}), Window(2, FALSE).Run(s, 4)) << "the counter starts at the delay";
}

TEST(TickRule, DelayBeyondTheCounterSaturates) {
  for (int delay : {32767, 40000, INT_MAX}) {
    SaverSettings s = WithDelay(delay);
    Window w(delay, FALSE);
    EXPECT_EQ((std::vector<int>{1, 32768, 65535}), w.Run(s, 65535)) << delay;
    EXPECT_GE(w.ticks, 0) << "the counter never wraps";
  }
}

TEST(TickRule, PreviewChangesOnlyWithTheCollection) {
  SaverSettings s = WithDelay(1);
  Window w(1, TRUE);
  EXPECT_EQ((std::vector<int>{1}), w.Run(s, 10));
  snprintf(s.CurrentSet, sizeof s.CurrentSet, "LAKE");
  EXPECT_EQ((std::vector<int>{11}), w.Run(s, 5, 11));

  SaverSettings none = WithDelay(1, "");
  EXPECT_TRUE(Window(1, TRUE).Run(none, 5).empty()) << "no collection: nothing to show";

  // Switching away and back between two ticks is no change.
  Window p(1, TRUE);
  EXPECT_EQ((std::vector<int>{1}), p.Run(s, 1));
  snprintf(s.CurrentSet, sizeof s.CurrentSet, "SEA");
  snprintf(s.CurrentSet, sizeof s.CurrentSet, "LAKE");
  EXPECT_TRUE(p.Run(s, 3, 2).empty());
}

TEST(TickRule, NewCollectionRestartsFullScreenCount) {
  SaverSettings s = WithDelay(5);
  Window w(5, FALSE);
  EXPECT_EQ((std::vector<int>{1}), w.Run(s, 3));
  snprintf(s.CurrentSet, sizeof s.CurrentSet, "LAKE");
  EXPECT_EQ((std::vector<int>{4, 9}), w.Run(s, 6, 4));
}

TEST(NextPictureNumber, WrapsAfterTheCount) {
  struct Case {
    int current, count, next;
  } cases[] = {
      {1, 3, 2},        {3, 3, 1},  {7, 10, 8}, {7, 5, 1}, {0, 0, 1}, {5, 0, 1},
      {-2, 0, -1},      {-1, 3, 0}, {0, 3, 1},  // negative numbers count up to 1
      {INT_MAX, 10, 1}, {INT_MAX, INT_MAX, 1},  {INT_MAX - 1, INT_MAX, INT_MAX},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.next, NextPictureNumber(c.current, c.count)) << c.current << " of " << c.count;
}

}  // namespace
