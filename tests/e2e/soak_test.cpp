// Many picture changes in a row over a collection that mixes every format
// with missing and damaged files: neither the saver's memory nor its GDI
// objects grow, and it still paints at the end. LUMARO_SOAK_TICKS sets the
// number of changes (scripts/soak runs 70,000, past the 65,500 GDI handles
// Wine gives a process).
#include <gtest/gtest.h>
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdlib>

#include "driver.h"

using namespace e2e;

namespace {

long ResidentKb(HANDLE process) {  // under Wine, VmRSS of the Linux process
  PROCESS_MEMORY_COUNTERS counters = {};
  return GetProcessMemoryInfo(process, &counters, sizeof counters) ? long(counters.WorkingSetSize / 1024) : -1;
}

TEST(Soak, MemoryAndGdiObjectsStayFlatAndThePictureStillPaints) {
  const char* env = getenv("LUMARO_SOAK_TICKS");
  const int ticks = std::max(1000, env ? atoi(env) : 3000);  // the figures start at 1000
  // Pictures 1-6 of every kind, 7-9 failing, 10 solid green.
  Pictures pictures;
  const int kinds[][2] = {{1, 0}, {4, 0}, {8, 0}, {24, 0}, {8, 1}, {4, 1}};  // bits, core header
  for (const auto& kind : kinds) {
    Bmp bmp{160 + 8 * int(pictures.size()), 120, kind[0], kind[1] != 0, {},
            [](int x, int y) -> unsigned { return RGB(x, y, 128); }};
    for (int c = 0; c < 1 << kind[0] && kind[0] < 24; c++) bmp.palette.push_back(RGB(c * 7, 255 - c, 60));
    pictures.push_back({"P" + std::to_string(pictures.size()) + ".BMP", "Title\\nline two"});
    WriteBmp(WorkDir() + "\\" + pictures.back().first, bmp);
  }
  WriteFile(WorkDir() + "\\DAMAGED.BMP", std::string("BM\x10\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18));
  const std::string whole = EncodeBmp({100, 100, 24, false, {}, [](int, int) -> unsigned { return 0; }});
  WriteFile(WorkDir() + "\\SHORT.BMP", whole.substr(0, whole.size() / 2));
  WriteSolidBmp(WorkDir() + "\\LAST.BMP", 320, 200, RGB(0, 200, 0));
  pictures.insert(pictures.end(), {{"DAMAGED.BMP", ""}, {"MISSING.BMP", ""}, {"SHORT.BMP", "short"},
                                   {"LAST.BMP", ""}});
  WriteSettings("[Main]\r\nShowTitle=1\r\n[ScreenSaver]\r\nChangeDelay=0\r\nCurrentPicture=0\r\n"
                "CurrentSet=Mix\r\n[Sets]\r\nMix=" + WriteCollection("MIX", 10, pictures) + "\r\n");
  MouseTo(639, 479);
  Saver saver;
  ASSERT_TRUE(saver.Start("/s"));
  HWND wnd = saver.WaitForWindow(10000);
  ASSERT_NE(nullptr, wnd);

  // Figures from the 1000th change on, when every picture has been loaded.
  long rssFirst = -1, rssPeak = 0, gdiFirst = -1, gdiPeak = 0;
  DWORD start = GetTickCount();
  for (int done = 1; done <= ticks; done++) {
    // Sent, not posted: each change is finished before the next one starts,
    // so the queue never holds a backlog that would hide input or memory.
    DWORD_PTR result;
    ASSERT_TRUE(SendMessageTimeoutA(wnd, WM_TIMER, 1, 0, SMTO_NORMAL, 30000, &result))
        << "the saver stopped answering after " << done << " changes";
    if (done % 100 || done < 1000) continue;
    const long rss = ResidentKb(saver.Process()), gdi = GdiObjects(saver.Process());
    if (rssFirst < 0) rssFirst = rss, gdiFirst = gdi;
    rssPeak = std::max(rssPeak, rss);
    gdiPeak = std::max(gdiPeak, gdi);
  }
  const double seconds = (GetTickCount() - start) / 1000.0;

  // The saver's own timer adds a change a second, so the number is only
  // known from the file. Step on to picture 10 and check that it paints.
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, SettingsPath().c_str());  // flush the cache
  const int current = int(GetPrivateProfileIntA("ScreenSaver", "CurrentPicture", -1, SettingsPath().c_str()));
  ASSERT_TRUE(current >= 1 && current <= 10) << current;
  for (int i = current; i != 10; i = i % 10 + 1) SendMessageA(wnd, WM_TIMER, 1, 0);
  EXPECT_TRUE(WaitUntil([] { return Near(ScreenPixel(320, 240), RGB(0, 200, 0)); }, 3000))
      << "the last picture did not paint";

  const long rssEnd = ResidentKb(saver.Process()), gdiEnd = GdiObjects(saver.Process());
  printf("soak: %d changes in %.1f s (%.0f per second); resident after 1000: %ld kB, peak: %ld kB, "
         "end: %ld kB; GDI objects after 1000: %ld, peak: %ld, end: %ld\n",
         ticks, seconds, ticks / seconds, rssFirst, rssPeak, rssEnd, gdiFirst, gdiPeak, gdiEnd);
  ASSERT_GT(rssFirst, 0) << "the saver's memory could not be read";
  EXPECT_LE(rssEnd - rssFirst, 2048) << "memory grew by more than 2 MB";
  ASSERT_GT(gdiFirst, 0) << "the saver's GDI handle table could not be read";
  EXPECT_LE(gdiPeak - gdiFirst, 4) << "picture changes leak GDI objects";
  MouseTo(100, 100);  // the first report may only set the reference point
  Sleep(100);
  MouseTo(120, 100);
  EXPECT_TRUE(saver.WaitForExit(5000));
}

}  // namespace
