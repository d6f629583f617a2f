// Many picture changes in a row over a collection that mixes every format
// with missing and damaged files: the saver's memory stays flat and it
// still paints right at the end; neither its memory nor its GDI objects
// grow. LUMARO_SOAK_TICKS sets the number of changes (scripts/soak runs
// 70,000, past the 65,500 GDI handles Wine gives a process).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver.h"

using namespace e2e;

namespace {

// Six pictures of every kind, three that fail to load, and a last one,
// number 10, in solid green. Returns the collection's path.
std::string WriteMixedCollection() {
  const std::string dir = WorkDir();
  std::vector<std::pair<std::string, std::string>> pictures;
  const int kinds[][2] = {{1, 0}, {4, 0}, {8, 0}, {24, 0}, {8, 1}, {4, 1}};  // bits, core header
  for (int i = 0; i < 6; i++) {
    const int bits = kinds[i][0], mask = (1 << bits) - 1;
    Bmp bmp{160 + 8 * i, 120, bits, kinds[i][1] != 0, {},
            [mask](int x, int y) -> unsigned { return (x + y) & mask; }};
    if (bits == 24)
      bmp.pixel = [](int x, int y) -> unsigned { return RGB(x, y, 128); };
    else
      for (int c = 0; c <= mask; c++) bmp.palette.push_back(RGB(c * 7, 255 - c, 60));
    const std::string name = "P" + std::to_string(i) + ".BMP";
    WriteBmp(dir + "\\" + name, bmp);
    pictures.push_back({name, "Title\\nline two"});
  }
  WriteFile(dir + "\\DAMAGED.BMP", std::string("BM\x10\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18));
  std::string whole = EncodeBmp({100, 100, 24, false, {}, [](int, int) -> unsigned { return 0; }});
  WriteFile(dir + "\\SHORT.BMP", whole.substr(0, whole.size() / 2));
  WriteSolidBmp(dir + "\\LAST.BMP", 320, 200, RGB(0, 200, 0));
  pictures.insert(pictures.end(), {{"DAMAGED.BMP", ""}, {"MISSING.BMP", ""}, {"SHORT.BMP", "short"},
                                   {"LAST.BMP", ""}});
  return WriteCollection("MIX", static_cast<int>(pictures.size()), pictures);
}

TEST(Soak, MemoryStaysFlatAndThePictureStillPaints) {
  const char* env = getenv("LUMARO_SOAK_TICKS");
  const int ticks = env && atoi(env) > 0 ? atoi(env) : 3000;
  WriteSettings("[Main]\r\nShowTitle=1\r\n[ScreenSaver]\r\nChangeDelay=0\r\nCurrentPicture=0\r\n"
                "CurrentSet=Mix\r\n[Sets]\r\nMix=" + WriteMixedCollection() + "\r\n");
  MouseTo(639, 479);
  Saver saver;
  const std::string marker = "soak" + std::to_string(GetCurrentProcessId());
  ASSERT_TRUE(saver.Start("/s " + marker));
  HWND wnd = saver.WaitForWindow(10000);
  ASSERT_NE(nullptr, wnd);
  int pid = LinuxPid(marker);
  ASSERT_NE(0, pid) << "the saver's Linux process was not found";

  long rssAfterFirstThousand = -1, rssPeak = 0, gdiAfterFirstThousand = -1, gdiPeak = 0;
  DWORD start = GetTickCount();
  for (int done = 1; done <= ticks; done++) {
    // Sent, not posted: each change is finished before the next one starts,
    // so the queue never holds a backlog that would hide input or memory.
    DWORD_PTR result;
    ASSERT_TRUE(SendMessageTimeoutA(wnd, WM_TIMER, 1, 0, SMTO_NORMAL, 30000, &result))
        << "the saver stopped answering after " << done << " changes";
    if (done % 100 == 0 && done >= 1000) {
      long rss = LinuxStatusKb(pid, "VmRSS");
      if (rssAfterFirstThousand < 0) rssAfterFirstThousand = rss;
      rssPeak = std::max(rssPeak, rss);
      long gdi = GdiObjects(saver.Process());
      if (gdiAfterFirstThousand < 0) gdiAfterFirstThousand = gdi;
      gdiPeak = std::max(gdiPeak, gdi);
    }
  }
  double seconds = (GetTickCount() - start) / 1000.0;

  // The saver's own timer adds a change a second, so the number is only
  // known from the file. Step on to picture 10 and check that it paints.
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, SettingsPath().c_str());  // flush the cache
  int current = static_cast<int>(GetPrivateProfileIntA("ScreenSaver", "CurrentPicture", -1,
                                                        SettingsPath().c_str()));
  ASSERT_GE(current, 1);
  ASSERT_LE(current, 10);
  for (int i = current; i != 10; i = i % 10 + 1) SendMessageA(wnd, WM_TIMER, 1, 0);
  EXPECT_TRUE(WaitUntil([] { return Near(ScreenPixel(320, 240), RGB(0, 200, 0)); }, 3000))
      << "the last picture did not paint";

  long rssEnd = LinuxStatusKb(pid, "VmRSS"), gdiEnd = GdiObjects(saver.Process());
  printf("soak: %d changes in %.1f s (%.0f per second); VmRSS after 1000: %ld kB, peak: %ld kB, "
         "end: %ld kB; GDI objects after 1000: %ld, peak: %ld, end: %ld\n",
         ticks, seconds, ticks / seconds, rssAfterFirstThousand, rssPeak, rssEnd,
         gdiAfterFirstThousand, gdiPeak, gdiEnd);
  EXPECT_LE(rssEnd - rssAfterFirstThousand, 2048) << "memory grew by more than 2 MB";
  ASSERT_GT(gdiAfterFirstThousand, 0) << "the saver's GDI handle table could not be read";
  EXPECT_LE(gdiPeak - gdiAfterFirstThousand, 4) << "picture changes leak GDI objects";
  MouseTo(100, 100);  // the first report may only set the reference point
  Sleep(100);
  MouseTo(120, 100);
  EXPECT_TRUE(saver.WaitForExit(5000));
}

}  // namespace
