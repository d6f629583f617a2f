// Many picture changes in a row over a collection that mixes every format
// with missing and damaged files: the saver's memory stays flat and it
// still paints right at the end. LUMARO_SOAK_TICKS sets the number of
// changes (scripts/soak runs 70,000, past Wine's GDI handle limit).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver.h"

using namespace e2e;

namespace {

int SoakTicks() {
  const char* text = getenv("LUMARO_SOAK_TICKS");
  int ticks = text ? atoi(text) : 0;
  return ticks > 0 ? ticks : 3000;
}

// The collection: eight pictures of each kind and colour, plus trouble.
std::string WriteMixedCollection() {
  const std::string dir = WorkDir();
  std::vector<std::pair<std::string, std::string>> pictures;
  const int kinds[][2] = {{1, 0}, {4, 0}, {8, 0}, {24, 0}, {8, 1}, {4, 1}};
  for (int i = 0; i < 6; i++) {
    Bmp bmp;
    bmp.width = 160 + 8 * i;
    bmp.height = 120;
    bmp.bits = kinds[i][0];
    bmp.core = kinds[i][1] != 0;
    if (bmp.bits == 24) {
      bmp.pixel = [](int x, int y) -> unsigned { return RGB(x, y, 128); };
    } else {
      for (int c = 0; c < (1 << bmp.bits); c++) bmp.palette.push_back(RGB(c * 7, 255 - c, 60));
      int mask = (1 << bmp.bits) - 1;
      bmp.pixel = [mask](int x, int y) -> unsigned { return (x + y) & mask; };
    }
    char name[32];
    snprintf(name, sizeof name, "P%d.BMP", i);
    WriteBmp(dir + "\\" + name, bmp);
    pictures.push_back({name, "Title\\nline two"});
  }
  WriteFile(dir + "\\DAMAGED.BMP", std::string("BM\x10\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18));
  std::string truncated = EncodeBmp([] {
    Bmp b;
    b.width = 100;
    b.height = 100;
    b.pixel = [](int, int) -> unsigned { return RGB(1, 2, 3); };
    return b;
  }());
  WriteFile(dir + "\\SHORT.BMP", truncated.substr(0, truncated.size() / 2));
  pictures.push_back({"DAMAGED.BMP", ""});
  pictures.push_back({"MISSING.BMP", ""});
  pictures.push_back({"SHORT.BMP", "short"});
  // The last picture is the one checked at the end: solid green, 24 bits.
  WriteSolidBmp(dir + "\\LAST.BMP", 320, 200, RGB(0, 200, 0));
  pictures.push_back({"LAST.BMP", ""});
  return WriteCollection("MIX", static_cast<int>(pictures.size()), pictures);
}

TEST(Soak, MemoryStaysFlatAndThePictureStillPaints) {
  const int ticks = SoakTicks();
  std::string coll = WriteMixedCollection();  // 10 pictures, LAST.BMP is 10
  WriteSettings("[Main]\r\nShowTitle=1\r\n[ScreenSaver]\r\nChangeDelay=0\r\nCurrentPicture=0\r\n"
                "CurrentSet=Mix\r\n[Sets]\r\nMix=" + coll + "\r\n");
  MouseTo(639, 479);
  Saver saver;
  char marker[32];
  snprintf(marker, sizeof marker, "soak%lu", static_cast<unsigned long>(GetCurrentProcessId()));
  ASSERT_TRUE(saver.Start(std::string("/s ") + marker));
  HWND wnd = saver.WaitForWindow(10000);
  ASSERT_NE(nullptr, wnd);
  int pid = LinuxPid(marker);
  ASSERT_NE(0, pid) << "the saver's Linux process was not found";

  long rssAfterFirstThousand = -1, rssPeak = 0;
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
      if (rss > rssPeak) rssPeak = rss;
    }
  }
  WritePrivateProfileStringA("ScreenSaver", "CurrentPicture", nullptr, nullptr);
  double seconds = (GetTickCount() - start) / 1000.0;

  // The saver's own timer adds a change a second, so the number is only
  // known from the file. Step on to picture 10 and check that it paints.
  int current = static_cast<int>(GetPrivateProfileIntA("ScreenSaver", "CurrentPicture", -1,
                                                        SettingsPath().c_str()));
  ASSERT_GE(current, 1);
  ASSERT_LE(current, 10);
  for (int i = current; i != 10; i = i % 10 + 1) SendMessageA(wnd, WM_TIMER, 1, 0);
  EXPECT_TRUE(WaitUntil([] { return Near(ScreenPixel(320, 240), RGB(0, 200, 0)); }, 3000))
      << "the last picture did not paint";

  long rssEnd = LinuxStatusKb(pid, "VmRSS");
  printf("soak: %d changes in %.1f s (%.0f per second); VmRSS after 1000: %ld kB, peak: %ld kB, "
         "end: %ld kB\n",
         ticks, seconds, ticks / seconds, rssAfterFirstThousand, rssPeak, rssEnd);
  EXPECT_LE(rssEnd - rssAfterFirstThousand, 2048) << "memory grew by more than 2 MB";
  MouseTo(100, 100);  // the first report may only set the reference point
  Sleep(100);
  MouseTo(120, 100);
  EXPECT_TRUE(saver.WaitForExit(5000));
}

}  // namespace
