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

// The saver on `dir`\SHOW.INI: RED.BMP (written here), then `next`, a change a second, and red on the screen.
std::unique_ptr<Saver> StartShow(const std::string& dir, const char* next, const std::string& main) {
  WriteSolidBmp(dir + "\\RED.BMP", 64, 64, kRed);
  WriteFile(dir + "\\SHOW.INI", std::string("[Properties]\r\nCount=2\r\n[Pictures]\r\n1=RED.BMP\r\n2=") + next + "\r\n");
  WriteSettings("[Main]\r\nFullScreen=1\r\n" + main + "\r\n[ScreenSaver]\r\nChangeDelay=1\r\nCurrentPicture=0\r\n"
                "CurrentSet=Show\r\n[Sets]\r\nShow=" + dir + "\\SHOW.INI\r\n");
  auto saver = std::make_unique<Saver>("/s");
  EXPECT_TRUE(SetForegroundWindow(saver->WaitForWindow(10000)));
  EXPECT_TRUE(WaitUntil([] { return Near(ScreenPixel(320, 240), kRed); }, 6000)) << "no red";
  return saver;
}

// A key pressed while the worker decodes a 24 MP photo (made ahead from the moment red is up), or waits for ever
// on a file after its turn has come: the window goes at once, the process soon after, and the number is stored.
TEST(Show, InputEndsItAtOnceWhateverTheWorkerDoes) {
  const std::string unixDir = "/tmp/lumaro-e2e-" + std::to_string(GetCurrentProcessId()), silentDir = "Z:" + unixDir;
  CreateDirectoryA(silentDir.c_str(), nullptr);
  HANDLE silent = MakeSilentFile(unixDir, "SILENT.BMP");
  ASSERT_NE(nullptr, silent) << "no FIFO";
  ASSERT_TRUE(CopyFileA(LUMARO_BIG_PHOTO, (WorkDir() + "\\BIG.JPG").c_str(), FALSE)) << GetLastError();
  const struct { const char *name; std::string dir; const char* picture; int wait; } cases[] = {
      {"a 24 MP photo being made", WorkDir(), "BIG.JPG", 100}, {"a file that never answers", silentDir, "SILENT.BMP", 1500}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MouseTo(320, 240);
    std::unique_ptr<Saver> saver = StartShow(c.dir, c.picture, "Fade=0");
    Sleep(c.wait);
    const DWORD start = GetTickCount();
    Press('A');
    ASSERT_TRUE(WaitUntil([&] { return !saver->WaitForWindow(0); }, 2000)) << "the window stayed";
    const DWORD gone = GetTickCount() - start;
    EXPECT_TRUE(saver->WaitForExit(2000)) << "the process stayed";
    printf("%s: window gone %lu ms after the key, the process %lu ms\n", c.name, gone, GetTickCount() - start);
    EXPECT_LE(gone, 100u);
    EXPECT_EQ(c.wait > 1000 ? 2 : 1, int(GetPrivateProfileIntA("ScreenSaver", "CurrentPicture", 0, kSettingsPath)));
  }
  CloseHandle(silent);
  DeleteFileA((silentDir + "\\SILENT.BMP").c_str());
}

// Red to blue, the centre read as fast as the screen answers: mixed colours on the way when fading (Fade absent or
// 1), none when cutting, and blue exactly at the end.
TEST(Show, AChangeFadesOrCuts) {
  WriteSolidBmp(WorkDir() + "\\BLUE.BMP", 64, 64, kBlue);
  for (const char* main : {"", "Fade=0"}) {
    SCOPED_TRACE(main);
    MouseTo(639, 479);
    std::unique_ptr<Saver> saver = StartShow(WorkDir(), "BLUE.BMP", main);
    std::set<COLORREF> mixed;
    COLORREF last = 0;
    EXPECT_TRUE(WaitUntil([&] {
      if (!Near(last = ScreenPixel(320, 240), kRed) && !Near(last, kBlue)) mixed.insert(last);
      return last == kBlue;
    }, 4000)) << std::hex << "ends at " << last;
    EXPECT_EQ(!*main, mixed.size() >= 3) << mixed.size() << " mixed colours";
  }
}

}  // namespace
