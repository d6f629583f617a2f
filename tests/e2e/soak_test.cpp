// Many picture changes over every format and failing files: memory and GDI objects stay flat, the picture still
// paints. LUMARO_SOAK_TICKS sets the count (scripts/soak: 70,000, past Wine's 65,500 GDI handles per process).
#include <gtest/gtest.h>
#include <windows.h>

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <random>

#include "driver.h"

using namespace e2e;

namespace {

long ResidentKb(HANDLE process) {  // Wine answers with the Linux process's VmRSS
  PROCESS_MEMORY_COUNTERS counters = {};
  return GetProcessMemoryInfo(process, &counters, sizeof counters) ? long(counters.WorkingSetSize / 1024) : -1;
}

// Counted in the process's own handle table (GetGuiResources answers 0 under Wine), which its environment
// block names at 0x94 (0xF8 in a 64-bit process, which this one's bitness matches): 0x10000 entries of 24
// bytes in both, a live one with its type at byte 14.
long GdiObjects(HANDLE process) {
  PROCESS_BASIC_INFORMATION info = {};
  void* table = nullptr;
  std::vector<BYTE> entries(0x10000 * 24);
  const size_t offset = sizeof(void*) == 8 ? 0xF8 : 0x94;
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &info, sizeof info, nullptr) ||
      !ReadProcessMemory(process, reinterpret_cast<BYTE*>(info.PebBaseAddress) + offset, &table, sizeof table, nullptr) ||
      !table || !ReadProcessMemory(process, table, &entries[0], entries.size(), nullptr))
    return -1;
  long live = 0;
  for (size_t i = 14; i < entries.size(); i += 24) live += entries[i] != 0;
  return live;
}

TEST(Soak, MemoryAndGdiObjectsStayFlatAndThePictureStillPaints) {
  const char* env = getenv("LUMARO_SOAK_TICKS");
  const int ticks = std::max(1000, env ? atoi(env) : 3000);  // the figures start at 1000
  // Pictures 1-6 of every kind, 7-9 failing (header only, missing, cut short), 10 green.
  Pictures pictures;
  for (int bits : {1, 4, 8, 24, 8, 4}) {
    BmpFile bmp;  // the last two with 12-byte headers
    bmp.headerSize = pictures.size() > 4 ? 12 : 40, bmp.width = 160 + 8 * int(pictures.size()), bmp.height = 120;
    bmp.bitCount = uint16_t(bits), bmp.table = ColourTable(bits < 24 ? 1 << bits : 0, bmp.headerSize == 12 ? 3 : 4);
    bmp.bits = Pattern(RowBytes(bits, bmp.width) * 120);
    pictures.push_back({"P" + std::to_string(pictures.size()) + ".BMP", "Title\\nline two"});
    WriteBmp(WorkDir() + "\\" + pictures.back().first, bmp);
  }
  pictures.insert(pictures.end(), {{"DAMAGED.BMP", ""}, {"MISSING.BMP", ""}, {"SHORT.BMP", "short"}, {"LAST.BMP", ""}});
  // The last has its colour at the end of a 12-byte header's table: palettes are drawn right.
  BmpFile last;
  last.headerSize = 12, last.width = 320, last.height = 200, last.bitCount = 4, last.bits.assign(160 * 200, 0xFF);
  last.table.assign(45, 0xFF), last.table.insert(last.table.end(), {0, 200, 0});
  WriteBmp(WorkDir() + "\\LAST.BMP", last);
  WriteFile(WorkDir() + "\\DAMAGED.BMP", std::string("BM\x10\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18));
  WriteFile(WorkDir() + "\\SHORT.BMP", ReadFile(WorkDir() + "\\LAST.BMP").substr(0, 20000));
  MouseTo(639, 479);
  std::unique_ptr<Saver> saver;
  HWND wnd = Restart(saver, ShowSettings(pictures, "ShowTitle=1", "ChangeDelay=0\r\nCurrentPicture=0"));
  ASSERT_NE(nullptr, wnd);

  long rssFirst = -1, gdiFirst = -1, gdiPeak = 0;
  const DWORD start = GetTickCount();
  for (int done = 1, stored = 0; done <= ticks;) {
    // Sent, not posted: each change ends before the next, so no backlog can hide input or memory. A tick that
    // finds the picture whose turn came still being made changes nothing: only a new number counts.
    DWORD_PTR result;
    ASSERT_TRUE(SendMessageTimeoutA(wnd, WM_TIMER, 1, 0, SMTO_NORMAL, 30000, &result)) << "no answer at " << done;
    const int now = StoredPicture();
    if (now <= 0 || now == stored) {
      Sleep(1);
      continue;
    }
    stored = now;
    const int changes = done++;
    if (changes % 100 || changes < 1000) continue;
    const long rss = ResidentKb(saver->Process()), gdi = GdiObjects(saver->Process());
    if (rssFirst < 0) rssFirst = rss, gdiFirst = gdi;
    gdiPeak = std::max(gdiPeak, gdi);
  }
  const double seconds = (GetTickCount() - start) / 1000.0;

  // The saver's own timer adds a change a second: the file tells where to step on to picture 10, asked
  // again should that timer have stepped on between the reading and the steps.
  int current = 0;
  EXPECT_TRUE(WaitUntil([&] {
    if (current && Near(ScreenPixel(320, 240), RGB(0, 200, 0))) return true;
    if ((current = StoredPicture()) < 1 || current > 10) return false;
    for (int i = current; i != 10; i = i % 10 + 1) SendMessageA(wnd, WM_TIMER, 1, 0);
    Sleep(200);
    return Near(ScreenPixel(320, 240), RGB(0, 200, 0));
  }, 5000)) << "no last picture";
  const long rssEnd = ResidentKb(saver->Process());
  printf("soak: %d changes in %.1f s; resident kB after 1000: %ld, end: %ld; GDI objects after 1000: %ld, peak: "
         "%ld, end: %ld\n", ticks, seconds, rssFirst, rssEnd, gdiFirst, gdiPeak, GdiObjects(saver->Process()));
  ASSERT_GT(rssFirst, 0) << "the saver's memory could not be read";
  EXPECT_LE(rssEnd - rssFirst, 2048) << "memory grew by more than 2 MB";
  ASSERT_GT(gdiFirst, 0) << "the saver's GDI handle table could not be read";
  EXPECT_LE(gdiPeak - gdiFirst, 4) << "picture changes leak GDI objects";
  MouseTo(100, 100);  // the first report may only set the reference point
  Sleep(100);
  MouseTo(120, 100);
  EXPECT_TRUE(saver->WaitForExit(5000));

  // Killed at random instants over 200 changes at the shortest delay: LUMARO.INI always reads whole, as it was
  // but for the number.
  const auto shape = [](std::string text) {
    const size_t at = text.find("CurrentPicture=") + 15, end = text.find('\r', at);
    return at < 15 || end == std::string::npos ? text : text.replace(at, end - at, "#");
  };
  const std::string whole = shape(ReadFile(kSettingsPath));
  std::mt19937 random(28);
  for (int changes = 0; changes < 200;) {
    saver.reset(new Saver("/s"));
    ASSERT_NE(nullptr, wnd = saver->WaitForWindow(10000));
    for (int n = 1 + random() % 20; n > 0; --n, ++changes) PostMessageA(wnd, WM_TIMER, 1, 0);
    Sleep(random() % 30);
    TerminateProcess(saver->Process(), 1);
    ASSERT_TRUE(saver->WaitForExit(5000));
    ASSERT_EQ(whole, shape(ReadFile(kSettingsPath))) << "after " << changes << " changes";
  }
}

}  // namespace
