// How long one picture change takes in the running saver (tick to painted),
// and how much CPU the saver uses between ticks. Runs under Wine + Xvfb.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver.h"

using namespace e2e;

namespace {

const int kChanges = 40;

// Writes two pictures of one kind that differ in colour and returns the
// collection path.
std::string WriteKind(const char* name, int width, int height, int bits) {
  std::vector<std::pair<std::string, std::string>> pictures;
  for (int n = 0; n < 2; n++) {
    std::string file = std::string(name) + (n ? "B.BMP" : "A.BMP");
    if (bits == 8) {
      BmpFile bmp;
      bmp.width = width, bmp.height = height, bmp.bitCount = 8;
      for (int c = 0; c < 256; c++) bmp.table.insert(bmp.table.end(), {128, uint8_t(n ? 255 - c : c), uint8_t(c), 0});
      for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) bmp.bits.push_back(uint8_t(x ^ y));
      WriteBmp(WorkDir() + "\\" + file, bmp);
    } else {
      WriteBmp(WorkDir() + "\\" + file, width, height, [n](int x, int y) { return RGB(x & 255, y & 255, n ? 200 : 40); });
    }
    pictures.push_back({file, "Benchmark picture"});
  }
  return WriteCollection(name, 2, pictures);
}

std::string Proc(int pid, const char* file) {
  return ReadFile("Z:\\proc\\" + std::to_string(pid) + "\\" + file);
}

// The Linux process of lumaro.scr whose command line contains `marker`
// (Wine gives it the Windows command line), or 0.
int LinuxPid(const std::string& marker) {
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &fd);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int found = 0;
  do {
    int pid = atoi(fd.cFileName);
    std::string cmdline = pid > 0 ? Proc(pid, "cmdline") : "";
    for (char& c : cmdline)
      if (c == '\0') c = ' ';
    if (cmdline.find(marker) != std::string::npos &&
        cmdline.find("lumaro.scr") != std::string::npos)
      found = pid;
  } while (!found && FindNextFileA(find, &fd));
  FindClose(find);
  return found;
}

// User plus system CPU time of a Linux process, in clock ticks.
long long LinuxCpuTicks(int pid) {
  // After the command in brackets: the state is field 3, utime and stime 14 and 15.
  std::string stat = Proc(pid, "stat");
  size_t close = stat.rfind(')');
  long long utime = 0, stime = 0;
  if (close == std::string::npos ||
      sscanf(stat.c_str() + close + 1, "%*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %lld %lld",
             &utime, &stime) != 2)
    return -1;
  return utime + stime;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Milliseconds of each of kChanges changes, tick sent to pixels on screen,
// then of as many repaints of the last picture.
bool TimeChanges(const std::string& coll, int fullScreen, std::vector<double>* times,
                 std::vector<double>* repaints) {
  WriteSettings("[Main]\r\nShowTitle=1\r\nFullScreen=" + std::to_string(fullScreen) +
                "\r\n[ScreenSaver]\r\nChangeDelay=0\r\nCurrentPicture=0\r\nCurrentSet=B\r\n"
                "[Sets]\r\nB=" + coll + "\r\n");
  MouseTo(639, 479);
  // ChangeDelay 0: every tick is a change (the saver's own timer adds one
  // a second, between the measured ones).
  Saver saver("/s");
  HWND wnd = saver.WaitForWindow(10000);
  if (!wnd) return false;
  Sleep(1500);  // the first change, from the saver's own timer
  LARGE_INTEGER freq, t0, t1;
  QueryPerformanceFrequency(&freq);
  for (int i = 0; i < kChanges; i++) {
    QueryPerformanceCounter(&t0);
    SendMessageA(wnd, WM_TIMER, 1, 0);
    ScreenPixel(320, 240);  // a round trip to the X server: the paint is done
    QueryPerformanceCounter(&t1);
    times->push_back(1000.0 * (t1.QuadPart - t0.QuadPart) / freq.QuadPart);
  }
  for (int i = 0; i < kChanges; i++) {
    QueryPerformanceCounter(&t0);
    SendMessageA(wnd, WM_PAINT, 0, 0);
    ScreenPixel(320, 240);
    QueryPerformanceCounter(&t1);
    repaints->push_back(1000.0 * (t1.QuadPart - t0.QuadPart) / freq.QuadPart);
  }
  return true;
}

// Per cent of one core the saver uses while it waits between changes.
double IdleCpu(const std::string& coll) {
  WriteSettings("[ScreenSaver]\r\nChangeDelay=300\r\nCurrentPicture=0\r\nCurrentSet=B\r\n"
                "[Sets]\r\nB=" + coll + "\r\n");
  MouseTo(639, 479);
  Saver saver("/s idlebench");
  if (!saver.WaitForWindow(10000)) return -1;
  Sleep(2000);
  int pid = LinuxPid("idlebench");
  if (!pid) return -1;
  long long before = LinuxCpuTicks(pid);
  DWORD start = GetTickCount();
  Sleep(10000);
  long long after = LinuxCpuTicks(pid);
  double seconds = (GetTickCount() - start) / 1000.0;
  return 100.0 * (after - before) / 100.0 / seconds;  // clock ticks are 1/100 s
}

}  // namespace

int main() {
  struct Kind {
    const char* name;
    int width, height, bits;
  } kinds[] = {{"FHD24", 1920, 1080, 24}, {"XGA8", 1024, 768, 8}, {"VGA24", 640, 480, 24}};

  printf("%-26s %10s %10s %10s\n", "picture change", "median ms", "min ms", "max ms");
  std::string anyCollection;
  for (const Kind& k : kinds) {
    std::string coll = WriteKind(k.name, k.width, k.height, k.bits);
    anyCollection = coll;
    for (int fullScreen : {0, 1}) {
      std::vector<double> times, repaints;
      if (!TimeChanges(coll, fullScreen, &times, &repaints)) {
        printf("%s: the saver did not start\n", k.name);
        return 1;
      }
      char label[64];
      snprintf(label, sizeof label, "%dx%d %d-bit %s", k.width, k.height, k.bits,
               fullScreen ? "stretched" : "centred");
      printf("%-26s %10.2f %10.2f %10.2f\n", label, Median(times),
             *std::min_element(times.begin(), times.end()),
             *std::max_element(times.begin(), times.end()));
      printf("%-26s %10.2f %10.2f %10.2f\n", "  repaint", Median(repaints),
             *std::min_element(repaints.begin(), repaints.end()),
             *std::max_element(repaints.begin(), repaints.end()));
    }
  }
  double cpu = IdleCpu(anyCollection);
  printf("CPU between ticks (10 s, ChangeDelay 300): %.2f %% of one core\n", cpu);
  return 0;
}
