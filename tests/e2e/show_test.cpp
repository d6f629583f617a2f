// The show at 640 x 480: input ends it at once whatever the worker is doing, even waiting on a file that never
// answers; a change fades from one picture into the next, or cuts with Fade=0, and ends exactly on the new one.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <set>

#include "driver.h"

using namespace e2e;

namespace {

const COLORREF kRed = RGB(220, 30, 40), kBlue = RGB(0, 0, 255);

// The saver on the collection `dir`\SHOW.INI of `pictures`, a picture a second unless told otherwise.
std::unique_ptr<Saver> StartShow(const std::string& dir, const std::vector<std::string>& pictures, const std::string& main) {
  std::string list;
  for (size_t i = 0; i < pictures.size(); i++) list += std::to_string(i + 1) + "=" + pictures[i] + "\r\n";
  WriteFile(dir + "\\SHOW.INI", "[Properties]\r\nCount=" + std::to_string(pictures.size()) + "\r\n[Pictures]\r\n" + list);
  WriteSettings("[Main]\r\nFullScreen=1\r\n" + main + "\r\n[ScreenSaver]\r\nChangeDelay=1\r\nCurrentPicture=0\r\n"
                "CurrentSet=Show\r\n[Sets]\r\nShow=" + dir + "\\SHOW.INI\r\n");
  return std::make_unique<Saver>("/s");
}

// A key pressed while the worker decodes a 24 MP photo, or waits for ever on a file: the window goes at once and
// the process soon after; the number of the picture whose turn came is in the file.
TEST(Show, InputEndsItAtOnceWhateverTheWorkerDoes) {
  const std::string unixDir = "/tmp/lumaro-e2e-silent-" + std::to_string(GetCurrentProcessId());
  const std::string silentDir = "Z:\\tmp\\lumaro-e2e-silent-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(silentDir.c_str(), nullptr);
  ASSERT_TRUE(WriteJpeg(WorkDir() + "\\BIG.JPG", 6000, 4000));
  HANDLE silent = MakeSilentFile(unixDir, "SILENT.BMP");
  ASSERT_NE(nullptr, silent) << "no FIFO";
  const struct { const char *name; std::string dir; const char* picture; int wait; } cases[] = {
      {"a 24 MP photo being made", WorkDir(), "BIG.JPG", 100},  // made ahead from the moment red is up
      {"a file that never answers", silentDir, "SILENT.BMP", 1500}};  // its turn has come too
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteSolidBmp(c.dir + "\\RED.BMP", 64, 64, kRed);
    MouseTo(320, 240);
    std::unique_ptr<Saver> saver = StartShow(c.dir, {"RED.BMP", c.picture}, "Fade=0");
    HWND wnd = saver->WaitForWindow(10000);
    ASSERT_TRUE(wnd && WaitUntil([] { return Near(ScreenPixel(320, 240), kRed); }, 6000)) << "no red";
    SetForegroundWindow(wnd);
    Sleep(c.wait);
    const DWORD start = GetTickCount();
    Press('A');
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(wnd); }, 2000)) << "the window stayed";
    const DWORD gone = GetTickCount() - start;
    EXPECT_TRUE(saver->WaitForExit(2000)) << "the process stayed";
    printf("%s: window gone %lu ms after the key, the process %lu ms after it\n", c.name, gone, GetTickCount() - start);
    EXPECT_LE(gone, 100u);
    if (c.wait > 1000) {
      EXPECT_EQ(2, int(GetPrivateProfileIntA("ScreenSaver", "CurrentPicture", 0, kSettingsPath)));
    }
  }
  CloseHandle(silent);
  DeleteFileA((silentDir + "\\SILENT.BMP").c_str());
}

// Red to blue, the centre read as fast as the screen answers: mixed colours on the way when fading, none when
// cutting, and blue exactly at the end.
TEST(Show, AChangeFadesOrCuts) {
  WriteSolidBmp(WorkDir() + "\\RED.BMP", 64, 64, kRed);
  WriteSolidBmp(WorkDir() + "\\BLUE.BMP", 64, 64, kBlue);
  const struct { const char* main; bool fades; } cases[] = {{"", true}, {"Fade=1", true}, {"Fade=0", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(*c.main ? c.main : "no Fade key");
    MouseTo(639, 479);
    std::unique_ptr<Saver> saver = StartShow(WorkDir(), {"RED.BMP", "BLUE.BMP"}, c.main);
    ASSERT_NE(nullptr, saver->WaitForWindow(10000));
    ASSERT_TRUE(WaitUntil([] { return Near(ScreenPixel(320, 240), kRed); }, 6000)) << "no red";
    std::set<COLORREF> mixed;
    COLORREF last = 0;
    const bool blue = WaitUntil([&] {
      last = ScreenPixel(320, 240);
      if (!Near(last, kRed) && !Near(last, kBlue)) mixed.insert(last);
      return last == kBlue;
    }, 4000);
    EXPECT_TRUE(blue) << std::hex << "ends at " << last;
    printf("%s: %u mixed colours\n", c.main, unsigned(mixed.size()));
    EXPECT_EQ(c.fades, mixed.size() >= 3) << mixed.size() << " mixed colours";
  }
}

}  // namespace
