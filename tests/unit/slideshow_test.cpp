// The show: which picture is made ready and when it goes up, ready on time, late, failed or no longer wanted,
// stepped through or paused by keys, blank after a while; how long a fade lasts and how it mixes; a picture made
// at the sizes its screens draw it at; shuffled rounds.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>

#include "picture/blend.h"
#include "saver/fade_clock.h"
#include "saver/monitor_show.h"
#include "saver/prepared_picture.h"
#include "saver/show_history.h"
#include "saver/show_keys.h"
#include "saver/show_order.h"
#include "saver/slideshow.h"
#include "unit/bmp_writer.h"

namespace {

// What the window is told to do, in one word each: T<number> a turn, S shown, B black, X faded out for good,
// R timer restarted, P the pause mark, A<number> that picture asked for.
std::string Said(const ShowSteps& s, const SaverSettings& settings) {
  std::string out;
  if (s.turn) out += " T" + std::to_string(settings.CurrentPicture);
  if (s.screen != ShowSteps::kKeep) out += s.screen == ShowSteps::kShow ? " S" : s.screen == ShowSteps::kBlank ? " B" : " X";
  if (s.restartTimer) out += " R";
  if (s.paused) out += " P";
  if (s.ask) out += " A" + std::to_string(s.ask);
  return out.empty() ? "-" : out.substr(1);
}

// Events: start and tick (or "start MS", "tick MS": at that time; a BlankAfter minute is a second here), made
// (the newest order made), failed, stale (an older order made), again, stop, the keys next, back and pause,
// "set NAME" (the collection picked, then a tick) and "jump N" (CurrentPicture set to N by another hand).
TEST(Slideshow, DecisionsOnTimeLateFailedStaleAndAtExit) {
  const struct {
    const char* name;
    BOOL preview;
    int delay, current, count;
    std::vector<std::pair<const char*, const char*>> events;  // event, what the window is told
    int shuffle = 0, blankAfter = 0;
  } cases[] = {
      {"ready on time", FALSE, 2, 0, 3, {{"start", "A1"}, {"made", "-"}, {"tick", "T1 S A2"}, {"made", "-"},
                                         {"tick", "-"}, {"tick", "T2 S A3"}, {"made", "-"}, {"tick", "-"},
                                         {"tick", "T3 S A1"}}},
      {"late: up when made, its time from then; no change queued behind it", FALSE, 2, 4, 5,
       {{"start", "A5"}, {"tick", "T5"}, {"tick", "-"}, {"tick", "-"}, {"made", "S R A1"}, {"made", "-"},
        {"tick", "-"}, {"tick", "T1 S A2"}}},
      {"a number moved meanwhile: its own picture asked for", FALSE, 1, 1, 9,
       {{"start", "A2"}, {"jump 6", "-"}, {"tick", "T7 A7"}, {"made", "S R A8"}}},
      {"failed counts as shown, the one before stays", FALSE, 1, 1, 3,
       {{"start", "A2"}, {"failed", "-"}, {"tick", "T2 A3"}, {"tick", "T3"}, {"failed", "R A1"}, {"made", "-"},
        {"tick", "T1 S A2"}}},
      {"no pictures: picture 1 again and again", FALSE, 1, 0, 0,
       {{"start", "A1"}, {"made", "-"}, {"tick", "T1 S A1"}, {"made", "-"}, {"tick", "T1 S A1"}}},
      {"exit while one is made", FALSE, 1, 0, 3, {{"start", "A1"}, {"tick", "T1"}, {"stop", "-"}, {"made", "-"},
                                                  {"tick", "-"}}},
      {"preview: picture 1 of each collection picked, the last pick wins", TRUE, 1, 7, 9,
       {{"start", "-"}, {"tick", "A1"}, {"tick", "-"}, {"set LAKE", "A1"}, {"set HILLS", "A1"}, {"stale", "-"},
        {"made", "S"}, {"tick", "-"}, {"set SEA", "A1"}, {"failed", "B"}}},
      {"preview shown again: anew, or black without a collection; keys change nothing", TRUE, 300, 1, 1,
       {{"set ", "-"}, {"set X", "A1"}, {"made", "S"}, {"again", "A1"}, {"made", "S"}, {"next", "-"}, {"pause", "-"},
        {"again", "A1"}, {"set ", "A1"}, {"again", "B"}, {"made", "-"}}},
      {"keys: next now, back to the first, forward again before new ones; one change waits behind a picture", FALSE,
       5, 0, 5, {{"start", "A1"}, {"made", "-"}, {"tick", "T1 S A2"}, {"made", "-"}, {"next", "T2 S R A3"},
                 {"back", "T1 R A1"}, {"made", "S R A2"}, {"back", "-"}, {"made", "-"}, {"next", "T2 S R A3"},
                 {"next", "T3 R"}, {"next", "-"}, {"back", "-"}, {"made", "T4 S R A4"}, {"made", "S R A5"}}},
      {"pause: ticks change nothing, keys still do; going on with a whole delay", FALSE, 2, 0, 3,
       {{"start", "A1"}, {"made", "-"}, {"tick", "T1 S A2"}, {"made", "-"}, {"pause", "P"}, {"tick", "-"},
        {"tick", "-"}, {"tick", "-"}, {"next", "T2 S R A3"}, {"made", "-"}, {"pause", "R"}, {"tick", "-"},
        {"tick", "T3 S A1"}, {"made", "-"}, {"next", "T1 S R A2"}, {"made", "-"}, {"tick", "-"}, {"tick", "T2 S A3"}}},
      {"shuffled: going back counts no picture twice", FALSE, 1, 0, 3,
       {{"start", "A2"}, {"made", "-"}, {"tick", "T2 S A3"}, {"made", "-"}, {"tick", "T3 S A1"}, {"back", "T2 R A2"},
        {"made", "S R A3"}, {"made", "-"}, {"tick", "T3 S A1"}, {"made", "-"}, {"tick", "T1 S A2"}}, 1},
      {"blank after its minute, paused or not, the clock wrapping meanwhile; nothing after", FALSE, 1, 0, 3,
       {{"start 4294967000", "A1"}, {"made", "-"}, {"tick 204", "T1 S A2"}, {"pause", "P"}, {"tick 703", "-"},
        {"tick 704", "X"}, {"next", "-"}, {"made", "-"}, {"tick", "-"}}, 0, 1},
  };
  for (const auto& c : cases) {
    SaverSettings s = {0, 0, c.delay, c.current, "SEA", 0, 0, "", "", c.count, 1, c.shuffle, 1, 0, c.blankAfter};
    Slideshow show(c.preview, 1000);
    unsigned newest = 0;
    DWORD now = 0;
    for (const auto& [event, expected] : c.events) {
      const std::string e = event;
      ShowSteps steps = {};
      if (e.rfind("start", 0) == 0) steps = show.Start(&s, 0, now = DWORD(atoll(e.c_str() + 5)));
      if (e.rfind("tick", 0) == 0 || e.rfind("set ", 0) == 0) {
        if (e.rfind("tick ", 0) == 0) now = DWORD(atoi(e.c_str() + 5));
        if (e.rfind("set ", 0) == 0) snprintf(s.CurrentSet, sizeof s.CurrentSet, "%s", e.c_str() + 4);
        steps = show.Tick(&s, now);
      }
      for (const auto& [name, action] : {std::pair{"next", KeyAction::kNext}, {"back", KeyAction::kBack}, {"pause", KeyAction::kPause}})
        if (e == name) steps = show.Key(action, &s);
      if (e == "made" || e == "failed") steps = show.Arrived(newest, e == "made", &s);
      if (e == "stale") steps = show.Arrived(newest - 1, TRUE, &s);
      if (e == "again") steps = show.ShowAgain(&s);
      if (e.rfind("jump ", 0) == 0) s.CurrentPicture = atoi(e.c_str() + 5);
      if (e == "stop") show.Stop();
      if (steps.ask) {
        EXPECT_GT(steps.generation, newest) << c.name << ": each order newer than the last";
        newest = steps.generation;
      }
      EXPECT_EQ(expected, Said(steps, s)) << c.name << ", at " << event;
    }
  }
}

// Screens taking turns, two groups (or as a row says) at a 2 s delay. Said: T<n> CurrentPicture moved to n, S<g>
// shown on group g, X faded out, P paused, A<g>:<candidates> (A<g>=<pictures> going back) asked for group g, W<ms>
// the clock wanted again then. Events: "made I[,J]" the candidates the worker took; "@T" at time T (ms).
TEST(MonitorShow, TurnsKeysAndArrangements) {
  const struct {
    const char* name;
    int groups, current, count;
    std::vector<std::pair<const char*, const char*>> events;
    int blankAfter = 0, shuffle = 0;
  } rows[] = {
      {"filled at once, then a second apart, each every 2 s; a new round when one is over", 2, 0, 5,
       {{"start", "A0:12345"}, {"made 0", "T1 S0 A1:2345"}, {"made 0 @100", "T2 S1 A0:345"}, {"made 0", "W1900"},
        {"tick @2000", "T3 S0 A1:45"}, {"made 0 @2200", "W800"}, {"tick @3000", "T4 S1 A0:5"}, {"made 0", "W1000"},
        {"tick @4000", "T5 S0 A1:12345"}}},
      {"three: 2/3 s apart; late, a whole delay from when it came", 3, 0, 9,
       {{"start", "A0:12345678"}, {"made 0", "T1 S0 A1:23456789"}, {"made 0", "T2 S1 A2:3456789"}, {"made 0", "T3 S2 A0:456789"},
        {"made 0", "W2000"}, {"tick @2000", "T4 S0 A1:56789"}, {"made 0 @2600", "W66"}, {"tick @2666", "T5 S1 A2:6789"},
        {"made 0 @4500", "T6 S2 A0:789"}, {"made 0", "T7 S0 A1:89"}, {"made 0", "W166"}, {"tick @4666", "T8 S1 A0:9"},
        {"made 0", "W1334"}, {"tick @6000", "T9 S0 A2:12345678"}, {"made 0", "W500"}}},
      {"passed over first in line; a pair takes both, and is what going back brings; resumed after 2", 2, 2, 6,
       {{"start", "A0:3456"}, {"made 2", "T5 S0 A1:346"}, {"made 0,1", "T4 S1 A0:6"}, {"made 0 @2000", "T6 S0 A1:123456"},
        {"made 0 @3000", "T1 S1 A0:23456"}, {"back", "A1=34"}, {"next", "-"}, {"made 0", "T4 S1 A0:23456"}}},
      {"shuffled: a new round, which does not start with the picture on screen", 1, 4, 4, {{"start", "A0:1342"}}, 0, 1},
      {"failed: counts, the group stays; a black group asks again at once, a delay on after 8 in a row", 1, 0, 8,
       {{"start", "A0:12345678"}, {"failed", "T1 A0:2345678"}, {"failed", "T2 A0:345678"}, {"failed", "T3 A0:45678"},
        {"failed", "T4 A0:5678"}, {"failed", "T5 A0:678"}, {"failed", "T6 A0:78"}, {"failed", "T7 A0:8"},
        {"failed", "T8 A0:12345678"}, {"made 0 @1999", "W1"}, {"tick @2000", "T1 S0 A0:2345678"}, {"failed @4000", "T2 A0:345678"}}},
      {"keys: next at once, back undoes the newest change, pause shifts every clock", 2, 0, 5,
       {{"start", "A0:12345"}, {"made 0", "T1 S0 A1:2345"}, {"made 0", "T2 S1 A0:345"}, {"next @500", "-"},
        {"made 0", "T3 S0 A0:45"}, {"back @600", "A0=10"}, {"made 0", "T1 S0 A0:45"}, {"back", "-"}, {"pause @700", "P"},
        {"made 0", "W0"}, {"left 0 @9000", "L1900"}, {"pause @10000", "W1900"}, {"left 0 @10100", "L1800"}, {"left 2", "L0"},
        {"tick @11900", "T4 S0 A1:5"}, {"made 1", "W400"}, {"tick @12300", "T4 S1 A0:5"}}},
      {"new arrangement: all black, filled again, late ones a whole delay on; the order goes on; stale pictures dropped", 2, 0, 5,
       {{"start", "A0:12345"}, {"made 0", "T1 S0 A1:2345"}, {"regroup 3 @500", "A0:2345"}, {"stale", "-"},
        {"made 1", "T3 S0 A1:245"}, {"made 0", "T2 S1 A2:45"}, {"made 0 @4000", "T4 S2 A0:5"}, {"made 0", "T5 S0 A1:12345"},
        {"made 0", "T1 S1 A1:2345"}, {"made 0", "W1166"}}},
      {"no pictures: nothing asked; blank after its minute", 2, 0, 0,
       {{"start @500", "-"}, {"tick @1499", "-"}, {"tick @1500", "X"}, {"tick @1501", "-"}}, 1},
  };
  for (const auto& r : rows) {
    SaverSettings s = {0, 0, 2, r.current, "SEA", 0, 0, "", "", r.count, 1, r.shuffle, 1, 0, r.blankAfter};
    MonitorShow show(1000);
    unsigned newest = 0;
    DWORD now = 0;
    for (const auto& [event, expected] : r.events) {
      char word[8] = "";
      int first = 0, second = -1;
      sscanf(event, "%7s %d,%d", word, &first, &second);
      if (strchr(event, '@')) now = DWORD(atoi(strchr(event, '@') + 1));
      const std::string e = word;
      const KeyAction key = e == "next" ? KeyAction::kNext : e == "back" ? KeyAction::kBack : KeyAction::kPause;
      const RotaSteps st = e == "start" ? show.Start(&s, 0, r.groups, now) : e == "tick" ? show.Tick(&s, now)
                         : e == "regroup" ? show.Regroup(first, now)
                         : e == "made" || e == "failed" ? show.Arrived(newest, e == "made", e == "made" ? RotaChoice{first, second} : RotaChoice{}, &s, now)
                         : e == "stale" ? show.Arrived(newest - 1, TRUE, {}, &s, now) : e == "left" ? RotaSteps() : show.Key(key, &s, now);
      std::string said = e == "left" ? " L" + std::to_string(show.Left(first, now)) : st.turn ? " T" + std::to_string(s.CurrentPicture) : "";
      if (st.screen != RotaSteps::kKeep) said += st.screen == RotaSteps::kShow ? " S" + std::to_string(st.group) : " X";
      if (st.paused) said += " P";
      if (st.ask >= 0) newest = st.generation, said += " A" + std::to_string(st.ask) + (st.candidateCount ? ":" : "=" + std::to_string(st.back[0]) + std::to_string(st.back[1]));
      for (int i = 0; i < st.candidateCount; ++i) said += std::to_string(st.candidates[i]);
      if (st.ask < 0 && (st.wakeMs || e == "made")) said += " W" + std::to_string(st.wakeMs);
      EXPECT_EQ(expected, said.empty() ? "-" : said.substr(1)) << r.name << ", at " << event;
    }
  }
}

// With the keys on: the arrows, Space and P steer; the volume and media keys (0xAD to 0xB3) are the system's;
// any other key ends the show, as every key does with them off.
TEST(Slideshow, WhatAKeyDoes) {
  using K = KeyAction;
  const std::tuple<unsigned, bool, KeyAction> keys[] = {
      {0x27, false, K::kEnd}, {0xAD, false, K::kEnd}, {0x27, true, K::kNext}, {0x25, true, K::kBack}, {' ', true, K::kPause},
      {'P', true, K::kPause}, {0xAD, true, K::kPass}, {0xB3, true, K::kPass}, {0xAC, true, K::kEnd}, {0xB4, true, K::kEnd},
      {'A', true, K::kEnd}, {0x26, true, K::kEnd}};
  for (const auto& [vk, on, action] : keys) EXPECT_EQ(int(action), int(KeyActionFor(vk, on))) << std::hex << vk << " " << on;
}

// Going back reaches the last 100 pictures, and forward again the newest.
TEST(Slideshow, HistoryOfAHundred) {
  ShowHistory history;
  for (int n = 1; n <= 150; ++n) history.Add(n);
  int n = 0, back = 0;
  while (history.Back(&n)) ++back;
  EXPECT_TRUE(back == 99 && n == 51 && history.Ahead() == 52) << back << " back to " << n;
  while (history.Forward(&n)) continue;
  EXPECT_TRUE(n == 150 && history.Ahead() == 0) << n;
}

TEST(Slideshow, FadeLengthLevelAndMix) {
  const int lengths[][3] = {{1, 300, 1000}, {1, 2, 1000}, {1, 1, 500}, {2, 1, 500}, {0, 300, 0}, {1, 0, 0},
                            {1, -5, 0}, {1, INT_MAX, 1000}};  // Fade, ChangeDelay, milliseconds
  for (const auto& l : lengths) EXPECT_EQ(l[2], FadeMilliseconds(l[0], l[1])) << l[0] << " " << l[1];
  const int64_t levels[][3] = {{0, 1000, 0}, {500, 1000, 128}, {999, 1000, 255}, {1000, 1000, 256},
                            {0xFFFFFFF0, 1000, 256}, {0, 0, 256}, {0, 1, 0}, {3, -1, 256}};  // elapsed, length, level
  for (const auto& l : levels) EXPECT_EQ(l[2], FadeLevel(DWORD(l[0]), int(l[1]))) << l[0] << " of " << l[1];
  // Each byte on its own, exact at both ends, clamped beyond them; the output may be an input.
  const uint32_t from[2] = {0x10203040, 0xFF00FF00}, to[2] = {0xF0E0D0C0, 0x00FF00FF};
  const struct { int level; uint32_t mixed[2]; } mixes[] = {
      {0, {0x10203040, 0xFF00FF00}}, {-7, {0x10203040, 0xFF00FF00}}, {64, {0x48505860, 0xBF3FBF3F}},
      {128, {0x80808080, 0x7F7F7F7F}}, {256, {0xF0E0D0C0, 0x00FF00FF}}, {999, {0xF0E0D0C0, 0x00FF00FF}}};
  for (const auto& m : mixes) {
    uint32_t out[2] = {from[0], from[1]};
    BlendPixels(out, to, out, 2, m.level);
    EXPECT_EQ(m.mixed[0], out[0]) << std::hex << m.level;
    EXPECT_EQ(m.mixed[1], out[1]) << std::hex << m.level;
  }
}

// A 64 x 32 picture ordered for a 32 x 32 screen and a 256 x 64 one, stretched: made at both sizes, each drawn
// as it is; a size no screen draws finds the picture as loaded. A path that names nothing fails, empty.
TEST(Slideshow, PictureMadeAtTheSizesItIsDrawnAt) {
  const std::string path = ::testing::TempDir() + "lumaro-made-" + std::to_string(std::random_device()()) + ".bmp";
  BmpFile bmp;
  bmp.width = 64, bmp.height = 32, bmp.bits = Pattern(RowBytes(24, 64) * 32);
  const std::vector<uint8_t> bytes = bmp.Bytes();
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  PictureOrder order = {path, {{0, 0, 32, 32}, {32, 0, 288, 64}}, 2, TRUE, 1};
  PreparedPicture made;
  ASSERT_TRUE(made.Make(order));
  EXPECT_TRUE(made.Size().cx == 64 && made.Size().cy == 32 && !made.Empty());
  for (const SIZE s : {SIZE{32, 32}, SIZE{256, 64}})
    EXPECT_TRUE(made.DrawnAt(s.cx, s.cy).m_nWidth == s.cx && made.DrawnAt(s.cx, s.cy).m_nHeight == s.cy) << s.cx;
  EXPECT_EQ(&made.DrawnAt(32, 32), &made.DrawnAt(7, 64));
  PreparedPicture moved = std::move(made);  // the block goes with the picture, once
  EXPECT_TRUE(made.Empty() && !moved.Empty() && moved.DrawnAt(256, 64).m_nWidth == 256);
  order.screenCount = 1;
  EXPECT_TRUE(made.Make(order) && made.DrawnAt(32, 32).m_nWidth == 32) << "one screen";
  order.screenCount = kMaxScreens + 1;  // no screen read past the list: the picture as loaded
  EXPECT_TRUE(made.Make(order) && made.DrawnAt(64, 32).m_nWidth == 64);
  // Cut short: the loader keeps what it read, but a failure is empty.
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size() / 2);
  for (const std::string& bad : {path, path + ".missing", std::string()}) {
    order.path = bad;
    EXPECT_FALSE(made.Make(order) || !made.Empty() || made.Size().cx) << bad;
  }
  std::filesystem::remove(path);
}


// Rounds of every size are permutations; one round follows another without a repeat at the seam; a changed
// Count or collection starts a new round; shuffle off goes on in order, and on again goes on with the round.
TEST(Slideshow, ShuffledRounds) {
  for (int count : {1, 2, 3, 100000})
    for (uint32_t seed : {0u, 7u, 0xDEADBEEFu}) {
      std::vector<bool> seen(count + 1, false);
      for (int step = 1; step <= count; ++step) {
        const int p = ShuffledPicture(seed, count, step);
        ASSERT_TRUE(p >= 1 && p <= count && !seen[p]) << count << " " << seed << " step " << step;
        seen[p] = true;
      }
    }
  EXPECT_NE(ShuffledPicture(1, 50, 1) * 100 + ShuffledPicture(1, 50, 2), ShuffledPicture(2, 50, 1) * 100 + ShuffledPicture(2, 50, 2));

  SaverSettings s;
  for (int count : {1, 2, 3}) {
    s.Shuffle = 1, s.PictureCount = count, s.CurrentPicture = count;
    snprintf(s.CurrentSet, sizeof s.CurrentSet, "A");
    BeginShow(&s, 5);
    std::vector<int> shown = {s.CurrentPicture};
    for (int i = 0; i < 10 * count; ++i) TurnToNextPicture(&s), shown.push_back(s.CurrentPicture);
    for (size_t i = 0; count > 1 && i + 1 < shown.size(); ++i) EXPECT_NE(shown[i], shown[i + 1]) << "no picture twice in a row";
    for (size_t r = 1; r + count <= shown.size(); r += count)
      EXPECT_EQ(count * (count + 1) / 2, std::accumulate(&shown[r], &shown[r] + count, 0)) << count << ": round from " << r;
  }
  const struct {
    const char* name;
    void (*change)(SaverSettings*);
    bool sameRound;
  } changes[] = {{"nothing", [](SaverSettings*) {}, true},
                 {"Count changed", [](SaverSettings* t) { t->PictureCount = 4; }, false},
                 {"another collection", [](SaverSettings* t) { snprintf(t->CurrentSet, sizeof t->CurrentSet, "B"); }, false},
                 {"another picture on screen", [](SaverSettings* t) { t->CurrentPicture = t->CurrentPicture % 3 + 1; }, false},
                 {"shuffle off and on", [](SaverSettings* t) { t->Shuffle = 0, t->Shuffle = 1; }, true},
                 {"shown in order meanwhile", [](SaverSettings* t) { t->Shuffle = 0, TurnToNextPicture(t), t->Shuffle = 1; }, false}};
  for (const auto& c : changes) {
    SaverSettings t = s;
    c.change(&t);
    const SaverSettings before = t;
    BeginShow(&t, 99);
    EXPECT_EQ(c.sameRound, t.ShuffleSeed == before.ShuffleSeed && t.ShuffleStep == before.ShuffleStep) << c.name;
    if (!c.sameRound) {
      EXPECT_NE(t.CurrentPicture, NextPicture(t)) << c.name << ": a new round starts elsewhere";
    }
  }
  s.Shuffle = 0;
  EXPECT_EQ(s.CurrentPicture % 3 + 1, NextPicture(s)) << "in order from the picture on screen";
}

}  // namespace
