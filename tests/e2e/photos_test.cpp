// Photos decoded by the system at 640 x 480, and ImageMagick's default BMP: colours and places of the known
// pictures, centred and stretched and turned upright; the hostile photo corpus shown between good pictures
// without a crash or a runaway block.
#include <gtest/gtest.h>
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <sstream>

#include "driver.h"

using namespace e2e;

namespace {

const COLORREF kYellow = RGB(240, 220, 30);

// A test file copied next to the collection, which names its pictures relative to itself.
void CopyTestFile(const std::string& folder, const std::string& name) {
  WriteFile(WorkDir() + "\\" + name, ReadFile(folder + "/" + name));
}

class Photos : public ::testing::Test {
 protected:
  void SetUp() override { MouseTo(639, 479); }
  HWND Run(const Pictures& pictures, const std::string& main, const std::string& screenSaver = "") {
    return Restart(saver, ShowSettings(pictures, main, "CurrentPicture=0\r\n" + screenSaver));
  }
  std::unique_ptr<Saver> saver;
};

// Each file centred at its own size, then stretched over the screen: the colour at the middle of each quadrant
// and 2 pixels in from each corner; centred, black 3 pixels outside each side. Consecutive runs differ in
// their black points, so what one leaves on the screen cannot pass for the next.
TEST_F(Photos, KnownColoursAtKnownPlacesUpright) {
  const struct {
    const char* file;
    COLORREF quadrants[4];  // top left, top right, bottom left, bottom right
    const char* folder = LUMARO_TEST_DATA "/photos";
  } cases[] = {
      {"quadrants.jpg", {kRed, kGreen, kBlue, kYellow}},
      // The left half at alpha 128 and the top right clear, over black.
      {"transparent.png", {RGB(110, 15, 20), kBlack, RGB(20, 30, 110), kYellow}},
      {"quadrants.gif", {kRed, kGreen, kBlue, kYellow}},
      {"quadrants.tif", {kRed, kGreen, kBlue, kYellow}},
      // Stored turned, 6 and 8 as 200 x 320; upright they are the 320 x 200 picture.
      {"orientation_3.jpg", {kRed, kGreen, kBlue, kYellow}},
      {"orientation_6.jpg", {kRed, kGreen, kBlue, kYellow}},
      {"orientation_8.jpg", {kRed, kGreen, kBlue, kYellow}},
      {"quadrants.bmp", {kRed, kGreen, kBlue, kYellow}, LUMARO_BMP_KINDS},  // ImageMagick's default: a V5 header
  };
  for (const auto& c : cases) {
    CopyTestFile(c.folder, c.file);
    for (const int stretched : {0, 1}) {
      SCOPED_TRACE(std::string(c.file) + (stretched ? ", stretched" : ", centred"));
      const RECT r = stretched ? RECT{0, 0, 640, 480} : RECT{160, 140, 480, 340};
      const int w = r.right - r.left, h = r.bottom - r.top;
      std::vector<std::pair<POINT, COLORREF>> points;
      for (int q = 0; q < 4; q++) {
        const bool right = q & 1, bottom = q & 2;
        points.push_back({{r.left + w / 4 + right * w / 2, r.top + h / 4 + bottom * h / 2}, c.quadrants[q]});
        points.push_back({{right ? r.right - 3 : r.left + 2, bottom ? r.bottom - 3 : r.top + 2}, c.quadrants[q]});
      }
      if (!stretched)
        for (POINT p : {POINT{156, 240}, POINT{483, 240}, POINT{320, 136}, POINT{320, 343}}) points.push_back({p, kBlack});
      ASSERT_NE(nullptr, Run({{c.file, ""}}, "FullScreen=" + std::to_string(stretched)));
      std::ostringstream wrong;  // the points of another colour, and what they show
      EXPECT_TRUE(WaitUntil([&] {
        const Screenshot screen;
        wrong.str("");
        for (const auto& [p, colour] : points)
          if (!Near(screen(p.x, p.y), colour))
            wrong << std::dec << p.x << "," << p.y << ": " << std::hex << screen(p.x, p.y) << " ";
        return wrong.str().empty();
      }, 6000)) << wrong.str();
    }
  }
}

// One run over the whole corpus, each hostile file after a good picture, a change a second. The saver lives
// through it and shows every good picture (two colours in turn, so each one is a change), and its memory stays
// below a bound: nothing a file claims reaches a block of its claimed size.
TEST_F(Photos, HostileFilesBetweenGoodPictures) {
  const COLORREF good[2] = {RGB(0, 160, 160), RGB(160, 0, 160)};
  WriteSolidBmp(WorkDir() + "\\GOOD0.BMP", 320, 200, good[0]);
  WriteSolidBmp(WorkDir() + "\\GOOD1.BMP", 320, 200, good[1]);
  std::ifstream manifest(LUMARO_TEST_DATA "/hostile-photos/MANIFEST");
  Pictures pictures;
  for (std::string line, name; std::getline(manifest, line);) {
    std::istringstream(line) >> name;
    CopyTestFile(LUMARO_TEST_DATA "/hostile-photos", name);
    pictures.push_back({"GOOD" + std::to_string(pictures.size() / 2 % 2) + ".BMP", ""});
    pictures.push_back({name, ""});
  }
  ASSERT_GE(pictures.size(), 100u);
  ASSERT_NE(nullptr, Run(pictures, "", "ChangeDelay=1"));
  for (size_t i = 0; i < pictures.size(); i += 2) {
    const COLORREF want = good[i / 2 % 2];
    ASSERT_TRUE(ShowsColour(320, 240, want, 8000))
        << "no good picture after " << (i ? pictures[i - 1].first : "the start")
        << (saver->Running() ? "" : ": the saver has ended");
  }
  PROCESS_MEMORY_COUNTERS m = {};
  ASSERT_TRUE(saver->Running() && GetProcessMemoryInfo(saver->Process(), &m, sizeof m));
  const SIZE_T peakMb = std::max(m.PeakWorkingSetSize, m.PeakPagefileUsage) >> 20;
  printf("hostile photos: peak working set %lu MB, peak pagefile usage %lu MB\n",
         static_cast<unsigned long>(m.PeakWorkingSetSize >> 20), static_cast<unsigned long>(m.PeakPagefileUsage >> 20));
  // Measured at 409 MB (Wine gives the working set's high-water mark; its pagefile figure stays near 8 MB): about
  // 25 MB of saver and the 390 MB Wine's JPEG decoder spends on an 8192 x 8192 frame, the most the loader allows,
  // which it decodes whole as the file is opened. Held at that size rather than the screen's, the picture would
  // add its 256 MB block (measured: 664 MB).
  EXPECT_LT(peakMb, 512u);
}

}  // namespace
