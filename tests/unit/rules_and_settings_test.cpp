// The portable rules (switches, number fields, mouse, ticks, placement), and LUMARO.INI with its
// catalogue of collections, the lookups in a collection file and what a save asks of the system.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "app/switch_match.h"
#include "settings/settings_place.h"
#include "framework/int_parse.h"
#include "framework/stretch_bands.h"
#include "picture/paint_geometry.h"
#include "picture/photo_file.h"
#include "saver/caption_text.h"
#include "saver/mouse_rule.h"
#include "saver/screen_layout.h"
#include "saver/tick_rule.h"
#include "settings/collection.h"
#include "settings/profile.h"
#include "settings/saver_settings.h"
#include "settings/wallpaper.h"
#include "unit/settings_fixture.h"

#ifndef _WIN32
#include "platform/native_hooks.h"
#endif

namespace {

// The run mode and the window named on the command line, as the screen-saver host and a user give them.
TEST(Rules, Switches) {
  const RunMode C = RUN_CONFIGURE, S = RUN_SLIDESHOW, P = RUN_PREVIEW, W = RUN_SET_WALLPAPER, N = RUN_NONE;
  const struct { const char *arg1, *arg2; RunMode mode; uint32_t window; } cases[] = {
      {nullptr, nullptr, C, 0}, {"-s", nullptr, S, 0}, {"/S", "1234", S, 0}, {"/c", "junk", C, 0}, {"/c", "", C, 0},
      {"-C:99", "5", C, 99}, {"/c", "00012", C, 12}, {"/c : 7", nullptr, C, 7}, {"/c:4294967295", nullptr, C, 4294967295u},
      {"/c:4294967296", nullptr, C, 0}, {"/c", "99999999999999999999999", C, 0}, {"/p1234567", nullptr, P, 1234567},
      {"/P:8", nullptr, P, 8}, {"p", "1", P, 1}, {"/p", "4294967296", P, 0}, {"/w", "C:\\A B\\", W, 0}, {"-W", "x", W, 0},
      // Anything else ends the program: two prefixes, more after "s", junk or no number or path where one must be.
      {"/c:123abc", nullptr, N, 0}, {"/c:", nullptr, N, 0}, {"/c123", nullptr, N, 0}, {"/c::5", nullptr, N, 0},
      {"/p", nullptr, N, 0}, {"/p", "12x", N, 0}, {"/p", "", N, 0}, {"/a", "1234", N, 0}, {"//s", nullptr, N, 0},
      {"-/c", nullptr, N, 0}, {"/s5", nullptr, N, 0}, {"", nullptr, N, 0}, {"/w", nullptr, N, 0}, {"/w", "", N, 0}};
  for (const auto& c : cases) {
    const RunChoice choice = ChooseRunMode(c.arg1, c.arg2);
    EXPECT_EQ(c.mode, choice.mode) << (c.arg1 ? c.arg1 : "(none)") << " " << (c.arg2 ? c.arg2 : "");
    EXPECT_EQ(c.window, choice.window) << (c.arg1 ? c.arg1 : "(none)") << " " << (c.arg2 ? c.arg2 : "");
  }
}

TEST(Rules, SmallRules) {
  const int kLeft = 12345;  // a refusal leaves the value as it was
  const std::pair<std::string, int> cases[] = {
      {"90", 90}, {"-5", -5}, {" \t12 \t", 12}, {"+7", 7}, {"-0", 0}, {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN}, {"7" + std::string(31, ' ') + "junk", 7},  // only the first 31 characters count
      {std::string(30, ' ') + "42", 4}, {"", kLeft}, {std::string(31, ' ') + "5", kLeft}, {"12a", kLeft}, {"a12", kLeft}, {"- ", kLeft},
      {"+", kLeft}, {"1 2", kLeft}, {"1.5", kLeft}, {"\n12", kLeft}, {"12\n", kLeft}, {"2147483648", kLeft},
      {"-2147483649", kLeft}, {std::string(40, '1'), kLeft}};
  for (const auto& [text, expected] : cases) {
    int value = kLeft;
    EXPECT_EQ(expected != kLeft, ParseDialogInt(text.c_str(), &value) != FALSE) << '"' << text << '"';
    EXPECT_EQ(expected, value) << '"' << text << '"';
  }
  const struct { int x, y; BOOL closes; } steps[] = {
      {-1, 5, FALSE}, {-1, 5, FALSE}, {3, 5, TRUE}, {-1, 4, TRUE}, {-1, -1, TRUE}};  // (-1, -1) arms only at first
  POINT last = {-1, -1};
  for (const auto& s : steps) EXPECT_EQ(s.closes, MouseMoveCloses(&last, s.x, s.y)) << s.x << "," << s.y;
  const int next[][3] = {{1, 3, 2}, {3, 3, 1}, {7, 5, 1}, {-1, 3, 0}, {INT_MAX, INT_MAX, 1}, {0, INT_MAX, 1}};
  for (const auto& c : next) EXPECT_EQ(c[2], NextPictureNumber(c[0], c[1])) << c[0] << " of " << c[1];
  // The wallpaper is set here on "Default" or where the name cannot be read, elsewhere by a process started there.
  const std::pair<std::string, BOOL> desktops[] = {{"Default", FALSE}, {"dEFAULT", FALSE}, {"", FALSE}, {"Screen-saver", TRUE}};
  for (const auto& [name, handsOver] : desktops) EXPECT_EQ(handsOver, HandsWallpaperOver(name)) << name;
  // Backslashes that end a path would escape the closing quote.
  EXPECT_EQ("\"C:\\L.SCR\" /w \"C:\\A B\\\\\"", WallpaperCommandLine("C:\\L.SCR", "C:\\A B\\"));
}

// Which ticks change the picture, the collection switching to `newSet` at tick `switchAt`.
TEST(Rules, WhichTicksChangeThePicture) {
  const struct { const char* name; int delay; BOOL preview; const char* set; int count, switchAt;
                 const char* newSet; std::vector<int> changes; } cases[] = {
      {"every 5th", 5, FALSE, "SEA", 18, 0, "", {1, 6, 11, 16}}, {"delay 1", 1, FALSE, "SEA", 3, 0, "", {1, 2, 3}},
      {"negative delay", -4, FALSE, "SEA", 3, 0, "", {1, 2, 3}}, {"40000", 40000, FALSE, "SEA", 65535, 0, "", {1, 32768, 65535}},
      {"no collection, full screen", 2, FALSE, "", 4, 0, "", {1, 3}}, {"preview, no collection", 1, TRUE, "", 5, 0, "", {}},
      {"a new collection restarts", 5, FALSE, "SEA", 9, 4, "LAKE", {1, 4, 9}},
      {"a preview changes only with the collection", 1, TRUE, "SEA", 15, 11, "LAKE", {1, 11}}};
  for (const auto& c : cases) {
    SaverSettings s = {0, 0, c.delay, 0, "", 0, 0, "", "", 0, 1};
    char setName[kNameSize] = "";
    short ticks = TicksFromDelay(c.delay);
    std::vector<int> changes;
    for (int i = 1; i <= c.count; ++i) {
      snprintf(s.CurrentSet, sizeof s.CurrentSet, "%s", i < c.switchAt || !c.switchAt ? c.set : c.newSet);
      if (CountTick(setName, &ticks, s, c.preview)) changes.push_back(i);
    }
    EXPECT_EQ(c.changes, changes) << c.name;
    EXPECT_GE(ticks, 0) << c.name << ": the counter never wraps";
  }
}

TEST(Rules, PictureAndTitlePlacement) {
  const struct { const char* name; int cx, cy, width, height; BOOL stretch; std::vector<long> expected; } cases[] = {
      // the picture's destination x, y, cx, cy, then its source: always the whole picture
      {"320x200 centred in 640x480", 640, 480, 320, 200, FALSE, {160, 140, 320, 200, 0, 0, 320, 200}},
      {"301 wide: the odd pixel goes right", 640, 480, 301, 200, FALSE, {169, 140, 301, 200, 0, 0, 301, 200}},
      {"exact fit", 640, 480, 640, 480, FALSE, {0, 0, 640, 480, 0, 0, 640, 480}},
      {"one pixel wider: fitted", 640, 480, 641, 480, FALSE, {0, 0, 640, 479, 0, 0, 641, 480}},
      {"wide: bands above and below", 640, 480, 1000, 400, FALSE, {0, 112, 640, 256, 0, 0, 1000, 400}},
      {"tall: bands left and right", 640, 480, 400, 1000, FALSE, {224, 0, 192, 480, 0, 0, 400, 1000}},
      {"32768 x 1", 640, 480, 32768, 1, FALSE, {0, 239, 640, 1, 0, 0, 32768, 1}},
      {"1 x 32768", 640, 480, 1, 32768, FALSE, {319, 0, 1, 480, 0, 0, 1, 32768}},
      {"stretched", 640, 480, 1, 1, TRUE, {0, 0, 640, 480, 0, 0, 1, 1}}, {"empty window", 0, -5, 320, 200, FALSE, {0, 0, 0, 0, 0, 0, 320, 200}},
      // the title box's left, top, right, bottom for a text of width x height
      {"title fits", 640, 480, 201, 20, FALSE, {219, 0, 420, 20}}, {"title too wide", 640, 480, 900, 20, FALSE, {0, 0, 640, 20}},
      {"title too tall", 640, 30, 100, 60, FALSE, {270, 0, 370, 30}}, {"no window", -4, -2, 50, 20, FALSE, {0, 0, 0, 0}},
      {"title of a negative measure", 640, 480, -10, -3, FALSE, {320, 0, 320, 0}}};
  for (const auto& c : cases) {
    const PaintPlacement p = PlacePicture(c.cx, c.cy, c.width, c.height, c.stretch);
    const RECT r = PlaceTitle(c.cx, c.cy, c.width, c.height);
    EXPECT_EQ(c.expected, (c.expected.size() == 4 ? std::vector<long>{r.left, r.top, r.right, r.bottom}
              : std::vector<long>{p.xDest, p.yDest, p.cxDest, p.cyDest, p.xSrc, p.ySrc, p.cxSrc, p.cySrc})) << c.name;
  }
}

// The title a collection lists wins unless it is none or only the file's name; the photo's title, else its
// description, then. The caption's parts join only when both are there.
TEST(Rules, CaptionWords) {
  PhotoMeta titled, described, bare;
  titled.title = "Own", titled.description = "About", described.description = "About";
  const struct { const char *listed, *path; const PhotoMeta& meta; const char* shown; } titles[] = {
      {"IMG_1", "C:\\P\\IMG_1.JPG", titled, "Own"}, {"", "a/b.c/IMG_1", titled, "Own"}, {"IMG_1", "IMG_1.JPG", described, "About"},
      {"IMG_1", "IMG_1.JPG", bare, "IMG_1"}, {"Lake", "IMG_1.JPG", titled, "Lake"}, {"IMG_1.JPG", "IMG_1.JPG", titled, "IMG_1.JPG"}};
  for (const auto& t : titles) EXPECT_EQ(t.shown, ShownTitle(t.listed, t.path, t.meta)) << t.listed << " " << t.path;
  EXPECT_EQ("14 July 2024 \xC2\xB7 Paris, France | France | 14 July 2024 | ",
            CaptionLine("14 July 2024", PlaceText("Paris", "France")) + " | " + CaptionLine("", PlaceText("", "France")) +
                " | " + CaptionLine("14 July 2024", "") + " | " + CaptionLine("", PlaceText("", "")));
}

// The monitors inside the full-screen window, in its client coordinates, and the sizes one picture is drawn at on them.
TEST(Rules, ScreensAndTheirSizes) {
  using Rects = std::vector<RECT>;
  const RECT side[] = {{0, 0, 800, 600}, {800, 0, 1440, 480}};
  const struct { const char* name; Rects monitors; RECT window; int max; Rects screens; } cases[] = {
      {"one monitor", {{0, 0, 640, 480}}, {0, 0, 640, 480}, 16, {{0, 0, 640, 480}}},
      {"side by side", {side[0], side[1]}, {0, 0, 1440, 600}, 16, {side[0], side[1]}},
      {"one left of the primary", {{0, 0, 1920, 1080}, {-1280, -200, 0, 824}}, {-1280, -200, 1920, 1080}, 16,
       {{1280, 200, 3200, 1280}, {0, 0, 1280, 1024}}},
      {"mirrored, off the window, empty, clipped", {side[0], side[0], {2000, 0, 2100, 100}, {5, 5, 5, 9}, {700, -50, 900, 50}},
       {0, 0, 800, 600}, 16, {side[0], {700, 0, 800, 50}}},
      {"no more than `max`", {side[0], side[1]}, {0, 0, 1440, 600}, 1, {side[0]}},
      {"one corner or the other shared", {side[0], {0, 0, 640, 480}, {160, 120, 800, 600}, {0, 600, 800, 700}}, side[0], 16,
       {side[0], {0, 0, 640, 480}, {160, 120, 800, 600}}},
      {"none: the whole window", {}, {10, 20, 650, 500}, 16, {{0, 0, 640, 480}}},
      {"none, and no window", {}, {10, 20, 5, 5}, 16, {{0, 0, 0, 0}}}, {"none, a 1x1 window", {}, {5, 5, 6, 6}, 16, {{0, 0, 1, 1}}}};
  auto same = [](const RECT& a, const RECT& b) { return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom; };
  for (const auto& c : cases) {
    RECT out[17] = {};
    const int n = ScreensInWindow(c.monitors.data(), int(c.monitors.size()), c.window, out, c.max);
    ASSERT_EQ(int(c.screens.size()), n) << c.name;
    for (int i = 0; i < n; i++) EXPECT_TRUE(same(c.screens[i], out[i])) << c.name << " " << i;
    EXPECT_TRUE(same(RECT{}, out[n])) << c.name << ": past the count";
  }
  EXPECT_EQ(0, ScreensInWindow(side, 2, side[0], nullptr, 0));

  const RECT screens[] = {side[0], {800, 0, 2240, 900}, {2240, 100, 3040, 600}};  // 800x600, 1440x900, 800x500
  const struct { const char* name; int width, height; BOOL stretch; std::vector<long> sizes; bool zoomed = false; } drawn[] = {
      {"fits all: once, as it is", 200, 100, FALSE, {200, 100}},
      {"stretched: each size once, in screen order", 800, 100, TRUE, {800, 600, 1440, 900, 800, 500}},
      {"too big for two: its own size first", 1000, 500, FALSE, {1000, 500, 800, 400}},
      {"too big for all", 3000, 1000, FALSE, {800, 267, 1440, 480}},
      {"made to move: 1.12 times, rounded", 3000, 1000, FALSE, {896, 299, 1613, 538}, true}};
  for (const auto& d : drawn) {
    SIZE out[3] = {};
    const int n = DrawnSizes(screens, 3, d.width, d.height, d.stretch, out, d.zoomed);
    std::vector<long> got;
    for (int i = 0; i < n; i++) got.insert(got.end(), {out[i].cx, out[i].cy});
    EXPECT_EQ(d.sizes, got) << d.name;
    const SIZE largest = LargestDrawnSize(screens, 3, d.width, d.height, d.stretch, d.zoomed);
    long widest = 0, tallest = 0;
    for (size_t i = 0; i < got.size(); i += 2) widest = std::max(widest, got[i]), tallest = std::max(tallest, got[i + 1]);
    EXPECT_TRUE(largest.cx == widest && largest.cy == tallest) << d.name;
  }
}

// The size a photo is decoded at for the largest size it is drawn at, and the frames allowed at all.
TEST(Rules, PhotoSizes) {
  const long cases[][6] = {  // width, height, needed width, height; decoded width, height
      {6000, 4000, 1620, 1080, 1620, 1080}, {6000, 4000, 1920, 1080, 1920, 1280}, {4000, 4000, 1920, 1080, 1920, 1920},
      {3000, 1000, 800, 600, 1800, 600}, {1001, 1000, 500, 1, 500, 500}, {100, 50, 0, 0, 2, 1},
      {320, 200, 640, 480, 320, 200}, {320, 200, 320, 10, 320, 200}, {320, 200, 10, 200, 320, 200}, {0, 5, 1, 1, 0, 5}};
  for (const auto& c : cases) {
    const SIZE s = DecodeSize(int(c[0]), int(c[1]), SIZE{LONG(c[2]), LONG(c[3])});
    EXPECT_EQ((std::vector<long>{c[4], c[5]}), (std::vector<long>{s.cx, s.cy})) << c[0] << "x" << c[1] << " for " << c[2] << "x" << c[3];
  }
  const uint32_t allowed[][3] = {{1, 1, 1}, {32768, 2048, 1}, {1, 32768, 1}, {8192, 8192, 1}, {0, 5, 0}, {5, 0, 0},
                                 {32768, 2049, 0}, {32769, 1, 0}, {1, 32769, 0}, {8193, 8192, 0}, {65000, 65000, 0}};
  for (const auto& a : allowed) EXPECT_EQ(a[2] != 0, PhotoSizeAllowed(a[0], a[1]) != FALSE) << a[0] << "x" << a[1];
}

// The monitor picture's bands, its screen (columns 15-167) pinned under the preview.
TEST(Rules, PinnedBands) {
  const struct { const char* name; int size, from, to, dstFrom, dstTo; std::vector<int> expected; } cases[] = {
      // source start and length, destination start and length, for the bands before, on and after the part
      {"same size: unscaled", 185, 15, 168, 15, 168, {0, 15, 0, 15, 15, 153, 15, 153, 168, 17, 168, 17}},
      {"moved", 185, 15, 168, 20, 173, {0, 15, 5, 15, 15, 153, 20, 153, 168, 17, 173, 17}},
      {"x1.5: 22.5 and 25.5 round up", 185, 15, 168, 22, 252, {0, 15, -1, 23, 15, 153, 22, 230, 168, 17, 252, 26}},
      {"x4/3", 185, 15, 168, 20, 224, {0, 15, 0, 20, 15, 153, 20, 204, 168, 17, 224, 23}},
      {"shrunk", 185, 15, 168, 10, 112, {0, 15, 0, 10, 15, 153, 10, 102, 168, 17, 112, 11}},
      {"the whole picture", 185, 0, 185, 0, 281, {0, 0, 0, 0, 0, 185, 0, 281, 185, 0, 281, 0}},
      {"large", 30000, 10000, 20000, 0, 200000, {0, 10000, -200000, 200000, 10000, 10000, 0, 200000, 20000, 10000, 200000, 200000}}};
  for (const auto& c : cases) {
    StretchBand b[3];
    PinnedBands(c.size, c.from, c.to, c.dstFrom, c.dstTo, b);
    EXPECT_EQ(c.expected, (std::vector<int>{b[0].src, b[0].cxSrc, b[0].dst, b[0].cxDst, b[1].src, b[1].cxSrc, b[1].dst,
                                            b[1].cxDst, b[2].src, b[2].cxSrc, b[2].dst, b[2].cxDst})) << c.name;
  }
  // Nothing to pin, or nowhere to pin it: nothing drawn.
  const int refused[][5] = {{185, 15, 15, 15, 168}, {185, 20, 15, 15, 168}, {185, -1, 168, 15, 168},
                            {185, 15, 186, 15, 168}, {185, 15, 168, 15, 15}, {185, 15, 168, 168, 15}};
  for (const auto& r : refused) {
    StretchBand b[3] = {{1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}};
    PinnedBands(r[0], r[1], r[2], r[3], r[4], b);
    EXPECT_EQ(0, b[0].cxDst + b[1].cxDst + b[2].cxDst + b[0].cxSrc + b[1].cxSrc + b[2].cxSrc) << r[1] << "-" << r[2];
  }
}

std::string Resolved(const SaverSettings& s) {
  return s.CollectionFile + (" | " + std::string(s.CollectionDir)) + " | " + std::to_string(s.PictureCount);
}

// Every field in one line, so that a failure shows them all.
std::string Record(const SaverSettings& s) {
  char text[2048];
  snprintf(text, sizeof text, "%d %d %d %d %s %d %d %d %d %d %d %d %d %d %d %d %d %u %d %d %s ", s.ShowTitle, s.FullScreen,
           s.ChangeDelay, s.CurrentPicture, s.CurrentSet, s.StartDelay, s.UpdateWallpaper, s.Fade, s.Shuffle, s.Subfolders, s.Keys,
           s.BlankAfter, s.PanZoom, s.ShowDate, s.ShowPlace, s.EachMonitor, s.PairPortraits, s.ShuffleSeed, s.ShuffleStep,
           s.ShuffleCount, s.ShuffleSet);
  return text + Resolved(s);
}


TEST_F(Settings, CatalogueListsWholeNamesInFileOrder) {
  std::string big = "[Sets]\r\n";  // 100 entries of 101 bytes for an 8192-byte list: 81 fit, the 82nd is cut
  std::vector<std::string> first81;
  for (int i = 100; i < 200; ++i) big += "S" + std::to_string(i) + "=" + std::string(95, 'p') + "\r\n";
  for (int i = 100; i < 181; ++i) first81.push_back("S" + std::to_string(i));
  std::string fits = big.substr(0, big.find("S181")) + "Z=12345\r\n";  // 8189 of the 8190 characters
  std::vector<std::string> fitting = first81;
  fitting.push_back("Z");
  const std::string n300(300, 'n'), n256(256, 'n'), n255(255, 'n');
  const std::tuple<const char*, std::string, std::vector<std::string>> cases[] = {
      {"no settings file", "", {}}, {"file order", "[Sets]\r\nSEA=C:\\S.INI\r\nMountains=D:\\M.INI\r\nNo Path\r\n=empty name\r\n",
       {"SEA", "Mountains", "No Path", ""}},
      {"names cut at 255", "[Sets]\r\n" + n300 + "=C:\\X.INI\r\n" + n256 + "\r\nB=1\r\n", {n255, n255, "B"}},
      {"more than the list holds", big, first81}, {"just fits", fits, fitting},
      {"one more than fits", fits.substr(0, fits.size() - 2) + "6\r\n", first81}};
  for (const auto& [name, text, names] : cases) {
    if (!text.empty()) WriteFile(m_file, text);
    EXPECT_EQ(names, Catalogue()) << name;
  }
}

TEST_F(Settings, ResolveAndSelectACollection) {
  WriteFile(m_sea, "[Properties]\r\nCount=10\r\n");
  WriteFile(m_file, "[Sets]\r\nSEA=C:\\PICS\\SEA.INI\r\nReal=" + m_sea + "\r\nEmpty=\r\nNoEq\r\n" +
                        std::string(255, 'x') + "=C:\\P\\X.INI\r\n");
  const std::pair<const char*, std::string> cases[] = {
      {"SEA", "C:\\PICS\\SEA.INI | C:\\PICS | 0"},  // no such file: Count 0
      {"Real", m_sea + " | " + m_dir.dir + " | 10"}, {"", " |  | 0"}, {"Unknown", " |  | 0"}, {"Empty", " |  | 0"},
      {"NoEq", " |  | 0"}};
  for (const auto& [set, resolved] : cases) {
    SET(CurrentSet, set), settings.PictureCount = 99;
    ResolveCurrentCollection(m_file, &settings);
    EXPECT_EQ(resolved, Resolved(settings)) << set;
  }
  // Selecting reads no Count; the current name does nothing, and case counts.
  SET(CurrentSet, "SEA"), SET(CollectionFile, "stale"), settings.PictureCount = 7;
  SelectCollection(m_file, &settings, "SEA");
  EXPECT_EQ("stale |  | 7", Resolved(settings));
  SelectCollection(m_file, &settings, "Real");
  EXPECT_EQ(m_sea + " | " + m_dir.dir + " | 7", Resolved(settings));
  SelectCollection(m_file, &settings, std::string(400, 'x').c_str());
  EXPECT_EQ(std::string(255, 'x') + " C:\\P\\X.INI | C:\\P | 7", settings.CurrentSet + (" " + Resolved(settings)));
  UseCollection(&settings, "New", "C:\\N\\NEW.INI");  // not in the file yet: taken as it is
  EXPECT_EQ("New C:\\N\\NEW.INI | C:\\N | 7", settings.CurrentSet + (" " + Resolved(settings)));
}

TEST_F(Settings, PicturePathsAndTitles) {
  std::string d250;  // 250 characters in 500 bytes
  for (int i = 0; i < 250; ++i) d250 += "\xCE\xB4";
  WriteFile(m_sea, "[Pictures]\r\n1=LAKE.BMP\r\n010=ZERO.BMP\r\n10=sub\\TEN.BMP\r\n2=ABCD\r\n3=ABCDE\r\n"
                   "[Titles]\r\n1=Sunset\\nat sea\r\n");
  const std::tuple<std::string, std::string, int, BOOL, std::string> cases[] = {
      // collection file, directory, number, result, path
      {m_sea, "C:\\PICS", 1, TRUE, "C:\\PICS\\LAKE.BMP"}, {m_sea, "C:", 10, TRUE, "C:\\sub\\TEN.BMP"},  // "010" is no key 10
      {m_sea, "C:", 4, TRUE, "C:\\"},  // no such picture: an empty name
      {"", "C:", 1, TRUE, "C:\\"},     // no collection file: the same
      {m_sea, d250, 2, TRUE, d250 + "\\ABCD"}, {m_sea, d250, 3, FALSE, ""}};  // 255 fit
  for (const auto& [file, dir, number, result, expected] : cases) {
    SET(CollectionFile, file), SET(CollectionDir, dir);
    std::string path = "stale";
    EXPECT_EQ(result, PathOf(number, &path)) << dir << " " << number;
    EXPECT_EQ(expected, path) << dir << " " << number;
  }
  SET(CollectionFile, m_sea), m_index.Refresh(CollectionPath(settings));
  const std::string title = LookUpTitle(m_index, 1);
  SET(CollectionFile, ""), m_index.Refresh(CollectionPath(settings));
  EXPECT_EQ("Sunset\r\nat sea|", title + "|" + LookUpTitle(m_index, 1));  // no collection file: no title
}

// Loading without a file gives every key's default, whatever the record held. A save writes every key of the
// dialog and the place every key of the show's place, which loading reads back; the time-out goes to the
// system in seconds and, when asked for, the picture on screen becomes the wallpaper. A file that cannot be
// written is named.
TEST_F(Settings, LoadAndSave) {
  const SaverSettings junk = {9, 9, 9, 9, "junk", 9, 9, "j", "j", 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9u, 9, 9, "junk"};
  settings = junk;
  LoadSettings(m_file, &settings), ResolveCurrentCollection(m_file, &settings);
  EXPECT_EQ("0 0 300 1  1 0 1 0 1 0 0 0 0 0 0 0 0 0 0   |  | 0", Record(settings));
  SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(""), SPIF_UPDATEINIFILE);
  WriteFile(m_sea, "[Pictures]\r\n1=ONE.BMP\r\n2=LAKE.BMP\r\n3=" + std::string(250, 'W') + ".BMP\r\n");
  WriteFile(m_file, "[Sets]\r\nSEA=" + m_sea + "\r\n");
  const struct { int minutes, update, picture, shuffle; UINT seconds; std::string wallpaper, round; } cases[] = {
      {5, 0, 2, 0, 300, "", "0 0 0 "},  // not shuffling: the round is not written
      {-3, 1, 3, 0, 0, "", "0 0 0 "},   // a path that does not fit: no call
      {INT_MAX, -1, 2, 1, INT_MAX, m_dir.dir + "\\LAKE.BMP", "4000000000 5 6 SET"},  // any non-zero value asks
      {35791394, 1, 7, 2, 2147483640, m_dir.dir + "\\", "4000000000 5 6 SET"}};  // no such picture: the directory and a backslash
  for (const auto& c : cases) {  // the minutes are BlankAfter's too, read back within 0 to 1440
    settings = SaverSettings{1, 2, 17, c.picture, "SEA", c.minutes, c.update, "", "", 0, c.update, c.shuffle, 0,
                             c.update, c.minutes, c.update, c.update, c.update, c.picture, c.shuffle, 4000000000u, 5, 6, "SET"};
    SET(CollectionFile, m_sea), SET(CollectionDir, m_dir.dir);
    EXPECT_TRUE(SaveSettings(m_file, settings, {}, WallpaperPath(settings, &m_index)).ok);
    EXPECT_EQ(c.picture, Profile(m_file.c_str()).Int("ScreenSaver", "CurrentPicture", 0));
    settings.CurrentPicture += 100;  // the show goes on
    EXPECT_TRUE(SavePicturePlace(m_file, settings).ok);
    UINT seconds = 0;
    SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &seconds, 0);
    char wallpaper[1024] = "";
    SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof wallpaper, wallpaper, 0);
    settings = junk;
    LoadSettings(m_file, &settings), ResolveCurrentCollection(m_file, &settings);
    EXPECT_EQ(std::to_string(c.seconds) + " " + c.wallpaper + " | 1 2 17 " + std::to_string(c.picture + 100) + " SEA " +
                  std::to_string(c.minutes) + " " + std::to_string(c.update) + " " + std::to_string(c.update) + " " +
                  std::to_string(c.shuffle) + " 0 " + std::to_string(c.update) + " " +
                  std::to_string(std::clamp(c.minutes, 0, 1440)) + " " + std::to_string(c.update) + " " + std::to_string(c.update) + " " +
                  std::to_string(c.update) + " " + std::to_string(c.picture) + " " + std::to_string(c.shuffle) + " " + c.round + " " + m_sea + " | " + m_dir.dir + " | 0",
              std::to_string(seconds) + " " + wallpaper + " | " + Record(settings));
  }
  std::filesystem::remove(LocalPath(m_file)), std::filesystem::create_directory(LocalPath(m_file));
  EXPECT_EQ(m_file + " 0", SaveSettings(m_file, settings, {}, "").file + " " + std::to_string(SavePicturePlace(m_file, settings).ok));
  std::filesystem::remove(LocalPath(m_file));
}

// The user's file is made from the first of the Windows folder's and the machine's that exists, byte for byte;
// an existing user's file, even one that cannot be read, is never touched, and a source that cannot be read
// makes nothing.
TEST_F(Settings, WhereTheSettingsComeFrom) {
  const std::string windows = std::string("\xFF\xFE[\0S\0]\0", 8), machine = "[Sets]\r\nSamples=C:\\S.INI\r\n", user = "[Main]\r\n";
  const struct { const char* name; const char *user, *windows, *machine; MoveIn result; std::string made; } cases[] = {
      {"none", nullptr, nullptr, nullptr, MoveIn::kDefaults, ""},
      {"the Windows folder's", nullptr, windows.c_str(), nullptr, MoveIn::kFromWindows, windows},
      {"the machine's", nullptr, nullptr, machine.c_str(), MoveIn::kFromMachine, machine},
      {"both", nullptr, windows.c_str(), machine.c_str(), MoveIn::kFromWindows, windows},
      {"the user's there", user.c_str(), windows.c_str(), machine.c_str(), MoveIn::kThere, user},
      {"the user's unreadable", "", windows.c_str(), nullptr, MoveIn::kThere, "(folder)"},
      {"an unreadable source", nullptr, "", machine.c_str(), MoveIn::kFailed, ""}};
  int n = 0;
  for (const auto& c : cases) {
    const std::string dir = m_dir.dir + "\\" + std::to_string(++n);
    const SettingsPlaces places = {dir + "\\user\\LUMARO.INI", dir + "\\LUMARO.INI", dir + "\\machine\\LUMARO.INI"};
    for (const auto& [path, bytes] : {std::pair(places.user, c.user), {places.windows, c.windows}, {places.machine, c.machine}}) {
      if (bytes) std::filesystem::create_directories(LocalPath(path.substr(0, path.rfind('\\'))));
      if (bytes && *bytes) WriteFile(path, bytes == windows.c_str() ? windows : bytes);
      if (bytes && !*bytes) std::filesystem::create_directory(LocalPath(path));  // a folder of that name
    }
    EXPECT_EQ(c.result, MoveInSettings(places)) << c.name;
    EXPECT_TRUE(std::filesystem::is_directory(LocalPath(dir + "\\user"))) << c.name << ": the user's folder, made";
    const bool folder = std::filesystem::is_directory(LocalPath(places.user));
    EXPECT_EQ(c.made, folder ? "(folder)" : ReadFile(places.user)) << c.name;
    EXPECT_EQ(c.windows && *c.windows ? windows : "", ReadFile(places.windows)) << c.name << ": the old file unchanged";
  }
}

}  // namespace
