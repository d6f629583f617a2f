// The running saver under Wine + Xvfb: how soon a picture reaches the screen after its number is written, how
// soon input takes the window away while a 24 MP photo is being made, and (on a 1920x1080 display) how many
// frames a 1-second fade draws and how much CPU the saver uses between changes and once blank; with pan and
// zoom, the frames a second, the CPU and the memory while pictures move.
// Usage: change_bench [latency|fade|pan] [saver], the saver this build's lumaro.scr unless named, so that an
// older build can be timed in the same run.
#include <windows.h>

#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "driver.h"
#include "picture/blend.h"

using namespace e2e;

namespace {

const char* g_scr = LUMARO_SCR;

// A photo-like JPEG (soft light and sensor noise, the same every time) written by the system's encoder: what
// decoding it costs depends on its size, as a camera's does.
bool WriteJpeg(const std::string& path, UINT width, UINT height, BYTE base = 96) {
  using Microsoft::WRL::ComPtr;
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  const std::wstring wide(path.begin(), path.end());
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
      FAILED(factory->CreateStream(&stream)) || FAILED(stream->InitializeFromFilename(wide.c_str(), GENERIC_WRITE)) ||
      FAILED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder)) ||
      FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
      FAILED(encoder->CreateNewFrame(&frame, nullptr)) || FAILED(frame->Initialize(nullptr)) ||
      FAILED(frame->SetSize(width, height)) || FAILED(frame->SetPixelFormat(&format)))
    return false;
  std::vector<BYTE> rows(size_t(width) * 3 * 64);
  uint32_t random = 2463534242u;
  for (UINT y = 0; y < height; y += 64) {
    const UINT n = std::min<UINT>(64, height - y);
    for (size_t i = 0; i < size_t(width) * 3 * n; i++) {
      random ^= random << 13, random ^= random >> 17, random ^= random << 5;
      rows[i] = BYTE(base + (i / 3 % width) * 64 / width + (y + i / (3 * width)) * 64 / height + random % 24);
    }
    if (FAILED(frame->WritePixels(n, width * 3, UINT(width * 3 * n), rows.data()))) return false;
  }
  return SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

double Now() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f), QueryPerformanceCounter(&t);
  return 1000.0 * double(t.QuadPart) / double(f.QuadPart);
}

void Print(const char* label, std::vector<double> v) {
  if (v.empty()) return (void)printf("%-44s no figures\n", label);
  std::sort(v.begin(), v.end());
  printf("%-44s median %7.1f ms, worst %7.1f ms (%zu)\n", label, v[v.size() / 2], v.back(), v.size());
}

std::string Settings(const std::string& coll, int delay, int fade) {
  return "[Main]\r\nFullScreen=0\r\nFade=" + std::to_string(fade) + "\r\n[ScreenSaver]\r\nChangeDelay=" +
         std::to_string(delay) + "\r\nCurrentPicture=0\r\nCurrentSet=B\r\n[Sets]\r\nB=" + coll + "\r\n";
}

// Two photos of one size, told apart by their brightness at the centre.
std::string WritePhotos(const char* name, UINT width, UINT height) {
  Pictures pictures;
  for (BYTE base : {40, 150}) {
    pictures.push_back({std::string(name) + std::to_string(base) + ".JPG", ""});
    WriteJpeg(WorkDir() + "\\" + pictures.back().first, width, height, base);
  }
  return WriteCollection(name, 2, pictures);
}

// From each change's number in the file to the first pixel of the new picture at the centre, over `changes`.
std::vector<double> Latencies(const std::string& coll, int delay, int fade, int changes) {
  WriteSettings(Settings(coll, delay, fade));
  MouseTo(639, 479);
  Saver saver("/s", g_scr);
  std::vector<double> out;
  if (!saver.WaitForWindow(10000)) return out;
  int stored = StoredPicture();
  COLORREF shown = ScreenPixel(320, 240);
  for (double written = 0, deadline = Now() + 1000.0 * (delay + 3) * (changes + 1); Now() < deadline;) {
    const int now = StoredPicture();
    if (now != stored && now > 0) stored = now, written = Now(), shown = ScreenPixel(320, 240);
    if (written > 0 && ScreenPixel(320, 240) != shown) {
      out.push_back(Now() - written);
      written = 0;
      if (int(out.size()) == changes + 1) break;
    }
    Sleep(1);  // a poll a millisecond, leaving the saver's threads the processor
  }
  if (!out.empty()) out.erase(out.begin());  // the first picture comes up over the desktop
  return out;
}

// Input while a 24 MP photo is being made: a key 50 ms after the picture before it is up (when this build makes
// the next ahead), or 50 ms after the photo's number is written (when a build that loads at the change loads it).
std::vector<double> ExitTimes(const std::string& coll, bool atItsTurn, int runs, std::vector<double>* ended) {
  std::vector<double> out;
  for (int i = 0; i < runs; i++) {
    WriteSettings(Settings(coll, 1, 0));
    MouseTo(320, 240);
    Saver saver("/s", g_scr);
    HWND wnd = saver.WaitForWindow(10000);
    if (!wnd) continue;
    SetForegroundWindow(wnd);
    // Picture 1 (red) up, or picture 2's number written.
    WaitUntil([&] { return atItsTurn ? StoredPicture() == 2 : Near(ScreenPixel(320, 240), RGB(220, 30, 40)); }, 8000);
    Sleep(50);
    const double start = Now();
    Press('A');
    while (IsWindowVisible(wnd) && Now() - start < 5000) Sleep(1);
    out.push_back(Now() - start);
    if (saver.WaitForExit(5000)) ended->push_back(Now() - start);
  }
  return out;
}

std::string Proc(int pid, const char* file) { return ReadFile("Z:\\proc\\" + std::to_string(pid) + "\\" + file); }

// The Linux process of the saver whose command line contains `marker` (Wine gives it the Windows one), or 0.
int LinuxPid(const std::string& marker) {
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &fd);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int found = 0;
  do {
    const int pid = atoi(fd.cFileName);
    std::string cmdline = pid > 0 ? Proc(pid, "cmdline") : "";
    std::replace(cmdline.begin(), cmdline.end(), '\0', ' ');
    if (cmdline.find(marker) != std::string::npos && cmdline.find("lumaro.scr") != std::string::npos) found = pid;
  } while (!found && FindNextFileA(find, &fd));
  FindClose(find);
  return found;
}

long long LinuxCpuTicks(int pid) {  // user and system time, fields 14 and 15 after the command in brackets
  const std::string stat = Proc(pid, "stat");
  const size_t close = stat.rfind(')');
  long long utime = 0, stime = 0;
  if (close == std::string::npos ||
      sscanf(stat.c_str() + close + 1, "%*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %lld %lld", &utime, &stime) != 2)
    return -1;
  return utime + stime;
}

// The per cent of one core the saver started with `tag` uses over the next `ms`; -1 when it cannot be read.
double CpuOver(const char* tag, DWORD ms) {
  const int pid = LinuxPid(tag);
  const long long before = pid ? LinuxCpuTicks(pid) : -1;
  const DWORD start = GetTickCount();
  Sleep(ms);
  const long long after = pid ? LinuxCpuTicks(pid) : -1;
  return before < 0 || after < 0 ? -1.0 : double(after - before) / ((GetTickCount() - start) / 1000.0);  // 1/100 s ticks
}

// Frames drawn in each 1-second fade from red to blue filling the screen (distinct colours seen at the centre),
// then the per cent of a core used over 10 s with no change due.
void Fade() {
  WriteSolidBmp(WorkDir() + "\\RED.BMP", 64, 64, RGB(220, 30, 40));
  WriteSolidBmp(WorkDir() + "\\BLUE.BMP", 64, 64, RGB(0, 0, 255));
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  std::vector<double> frames;
  {
    WriteSettings("[Main]\r\nFullScreen=1\r\n[ScreenSaver]\r\nChangeDelay=2\r\nCurrentPicture=0\r\nCurrentSet=B\r\n"
                  "[Sets]\r\nB=" + WriteCollection("F", 2, {{"RED.BMP", ""}, {"BLUE.BMP", ""}}) + "\r\n");
    MouseTo(cx - 1, cy - 1);
    Saver saver("/s", g_scr);
    saver.WaitForWindow(10000);
    WaitUntil([&] { return ScreenPixel(cx / 2, cy / 2) == RGB(220, 30, 40); }, 10000);  // the first picture: a cut
    for (int fade = 0; fade < 6; fade++) {
      COLORREF from = ScreenPixel(cx / 2, cy / 2);
      double start = Now();
      while (ScreenPixel(cx / 2, cy / 2) == from && Now() - start < 5000) continue;
      std::set<COLORREF> seen;
      start = Now();
      for (COLORREF c; Now() - start < 1100;)
        if ((c = ScreenPixel(cx / 2, cy / 2)) != RGB(220, 30, 40) && c != RGB(0, 0, 255)) seen.insert(c);
      frames.push_back(double(seen.size() + 1));  // the last frame is the new picture itself
    }
  }
  std::sort(frames.begin(), frames.end());
  printf("%-44s median %5.0f, fewest %5.0f (%dx%d)\n", "frames drawn in a 1-second fade", frames[frames.size() / 2],
         frames.front(), cx, cy);

  WriteSettings("[ScreenSaver]\r\nChangeDelay=300\r\nCurrentPicture=0\r\nCurrentSet=B\r\n[Sets]\r\nB=" +
                WriteCollection("F", 2, {{"RED.BMP", ""}, {"BLUE.BMP", ""}}) + "\r\n");
  Saver saver("/s idlebench", g_scr);
  saver.WaitForWindow(10000);
  Sleep(3000);
  printf("%-44s %.2f %% of one core\n", "CPU between changes (10 s)", CpuOver("idlebench", 10000));

  // Blank after a minute of a second: faded out by 5 s, then a minute of nothing to do.
  SetEnvironmentVariableA("LUMARO_TEST_MINUTE_MS", "1000");
  WriteSettings("[Main]\r\nBlankAfter=1\r\n[ScreenSaver]\r\nChangeDelay=1\r\nCurrentPicture=0\r\nCurrentSet=B\r\n[Sets]\r\nB=" +
                WriteCollection("F", 2, {{"RED.BMP", ""}, {"BLUE.BMP", ""}}) + "\r\n");
  Saver blank("/s blankbench", g_scr);
  SetEnvironmentVariableA("LUMARO_TEST_MINUTE_MS", nullptr);
  blank.WaitForWindow(10000);
  Sleep(5000);
  const double blankCpu = CpuOver("blankbench", 60000);
  printf("%-44s %.2f %% of one core, black %s\n", "CPU once blank (60 s)", blankCpu,
         ScreenPixel(cx / 2, cy / 2) == 0 ? "yes" : "no");
}

// A status line of the Linux process, in kB ("VmHWM": the most it has held).
long long StatusKb(int pid, const char* key) {
  const std::string status = Proc(pid, "status");
  const size_t at = status.find(std::string(key) + ":");
  return at == std::string::npos ? -1 : atoll(status.c_str() + at + strlen(key) + 1);
}

// Frames a second on screen over `ms`, counted as changes of a strip of the centre row (a moving photo changes
// it every frame), only while `counts` says of the strip's mean (0 to 255).
double FramesPerSecond(DWORD ms, const std::function<bool(int)>& counts) {
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  std::vector<DWORD> last;
  int frames = 0;
  double counted = 0, before = Now();
  for (const double start = Now(); Now() - start < ms;) {
    const Screenshot strip({cx / 2 - 32, cy / 2, cx / 2 + 32, cy / 2 + 1});
    long sum = 0;
    for (DWORD p : strip.bits) sum += p & 255;
    const double now = Now();
    if (counts(int(sum / 64))) {
      counted += now - before;
      if (strip.bits != last) frames++;
    }
    last = strip.bits, before = now;
  }
  return counted > 0 ? frames * 1000.0 / counted : 0;
}

// Two photos of the screen's size (dark and light) moving: frames a second while one drifts and while two fade,
// the CPU while one drifts, and the most memory the saver held over ten changes with and without the motion.
void Pan() {
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  const std::string coll = WritePhotos("PAN", UINT(cx), UINT(cy));
  const auto settings = [&](const char* main, int delay) {
    return std::string("[Main]\r\nFullScreen=1\r\n") + main + "\r\n[ScreenSaver]\r\nChangeDelay=" + std::to_string(delay) +
           "\r\nCurrentPicture=0\r\nCurrentSet=B\r\n[Sets]\r\nB=" + coll + "\r\n";
  };
  MouseTo(cx - 1, cy - 1);
  {
    WriteSettings(settings("PanZoom=1", 60));
    Saver saver("/s panbench", g_scr);
    saver.WaitForWindow(10000);
    Sleep(3000);
    printf("%-44s %5.1f (%dx%d)\n", "frames a second, moving", FramesPerSecond(4000, [](int) { return true; }), cx, cy);
    printf("%-44s %.1f %% of one core\n", "CPU while moving (10 s)", CpuOver("panbench", 10000));
  }
  {
    WriteSettings(settings("PanZoom=1", 2));
    Saver saver("/s", g_scr);
    saver.WaitForWindow(10000);
    Sleep(2000);  // the photos' centres average about 70 and 180
    printf("%-44s %5.1f\n", "frames a second, moving and fading",
           FramesPerSecond(12000, [](int mean) { return mean > 90 && mean < 160; }));
  }
  for (const char* main : {"PanZoom=0", "PanZoom=1"}) {
    WriteSettings(settings(main, 1));
    Saver saver((std::string("/s mem") + main).c_str(), g_scr);
    saver.WaitForWindow(10000);
    Sleep(12000);
    const int pid = LinuxPid(main);
    printf("%-44s %6lld MB (%s)\n", "most memory held over ten changes", StatusKb(pid, "VmHWM") / 1024, main);
  }
}

// One fade frame at the screen's size drawn three ways into a window of our own: the saver's (BlendPixels a band
// at a time, each band to the window), GDI's AlphaBlend over a copy of the old frame in a third section, then to the
// window, and AlphaBlend straight onto the window over the old frame copied there. Milliseconds a frame.
void BlendWays() {
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN), kFrames = 60, kBand = 64;
  HWND wnd = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, cx, cy, 0, 0, 0, 0);
  HDC screen = GetDC(wnd), mem[3];
  BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  uint32_t* bits[3];
  HBITMAP sections[3];
  for (int i = 0; i < 3; i++) {
    sections[i] = CreateDIBSection(screen, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits[i]), nullptr, 0);
    mem[i] = CreateCompatibleDC(screen);
    SelectObject(mem[i], sections[i]);
    std::fill(bits[i], bits[i] + size_t(cx) * cy, i ? 0x000000FFu : 0x00DC1E28u);
  }
  std::vector<uint32_t> band(size_t(cx) * kBand);
  const char* names[] = {"own blend, by bands to the window", "AlphaBlend in a third section, to the window",
                         "AlphaBlend onto the window"};
  for (int way = 0; way < 3; way++) {
    const double start = Now();
    for (int f = 0; f < kFrames; f++) {
      const BYTE level = BYTE(f * 255 / kFrames);
      const BLENDFUNCTION blend = {AC_SRC_OVER, 0, level, 0};
      if (way == 0) {
        for (int top = 0; top < cy; top += kBand) {
          const int rows = std::min(kBand, cy - top);
          BlendPixels(bits[0] + size_t(top) * cx, bits[1] + size_t(top) * cx, band.data(), size_t(rows) * cx, level);
          BITMAPINFO part = {{sizeof(BITMAPINFOHEADER), cx, -rows, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
          SetDIBitsToDevice(screen, 0, top, cx, rows, 0, 0, 0, rows, band.data(), &part, DIB_RGB_COLORS);
        }
      } else if (way == 1) {
        BitBlt(mem[2], 0, 0, cx, cy, mem[0], 0, 0, SRCCOPY);
        AlphaBlend(mem[2], 0, 0, cx, cy, mem[1], 0, 0, cx, cy, blend);
        BitBlt(screen, 0, 0, cx, cy, mem[2], 0, 0, SRCCOPY);
      } else {
        BitBlt(screen, 0, 0, cx, cy, mem[0], 0, 0, SRCCOPY);
        AlphaBlend(screen, 0, 0, cx, cy, mem[1], 0, 0, cx, cy, blend);
      }
      GetPixel(screen, cx / 2, cy / 2);  // the X server has it all
    }
    printf("%-44s %7.2f ms a frame (%dx%d)\n", names[way], (Now() - start) / kFrames, cx, cy);
  }
  for (int i = 0; i < 3; i++) DeleteDC(mem[i]), DeleteObject(sections[i]);
  ReleaseDC(wnd, screen);
  DestroyWindow(wnd);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "latency";
  if (argc > 2) g_scr = argv[2];
  printf("== %s: %s\n", mode.c_str(), g_scr);
  if (mode == "pan") {
    Pan();
    return 0;
  }
  if (mode == "fade") {
    if (argc <= 2) BlendWays();
    Fade();
    return 0;
  }
  WriteSolidBmp(WorkDir() + "\\RED.BMP", 64, 64, RGB(220, 30, 40));
  for (const auto& [name, w, h] : {std::make_tuple("FHD", 1920u, 1080u), std::make_tuple("MP24", 6000u, 4000u)}) {
    const std::string coll = WritePhotos(name, w, h);
    const std::string size = std::to_string(w) + "x" + std::to_string(h);
    Print((size + " JPEG, number to screen, cut").c_str(), Latencies(coll, 1, 0, 8));
    Print((size + " JPEG, number to first fade frame").c_str(), Latencies(coll, 2, 1, 8));
  }
  const std::string big = WriteCollection("EXIT", 2, {{"RED.BMP", ""}, {"MP24150.JPG", ""}});
  for (const bool atItsTurn : {false, true}) {
    std::vector<double> ended;
    Print(atItsTurn ? "key to window gone, 24 MP at its turn" : "key to window gone, 24 MP made ahead",
          ExitTimes(big, atItsTurn, 5, &ended));
    Print("  key to process ended", ended);
  }
  return 0;
}
