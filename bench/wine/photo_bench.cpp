// The photo benchmark's Wine half: DibPicture::Load of the benchmark photos
// (written by the native build/bench/bench/photo_bench into its photos
// folder, given as the argument) for a 1920x1080 screen, beside Load of the
// same pictures as 24-bit BMPs; then where the imaging component's time and
// memory go for the 6000x4000 photo. Memory is measured in a fresh process
// per case (this program again, with --peak).
#include <windows.h>

#include <psapi.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "picture/dib_picture.h"
#include "picture/paint_geometry.h"
#include "picture/photo_file.h"

using Microsoft::WRL::ComPtr;

namespace {

const int kScreenWidth = 1920, kScreenHeight = 1080;
const UINT kBandRows = 16;

struct Photo {
  const char* label;
  int width, height, reps;
  std::string jpeg, bmp;
};

SIZE NeededOnScreen(void*, int width, int height) {
  return DrawnSize(kScreenWidth, kScreenHeight, width, height, FALSE);
}

double Median(std::vector<double> v) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

class Stopwatch {
 public:
  Stopwatch() {
    QueryPerformanceFrequency(&m_freq);
    QueryPerformanceCounter(&m_last);
  }
  // Milliseconds since the last lap or the start.
  double Lap() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const double ms = 1000.0 * double(now.QuadPart - m_last.QuadPart) / double(m_freq.QuadPart);
    m_last = now;
    return ms;
  }

 private:
  LARGE_INTEGER m_freq, m_last;
};

// Median milliseconds of `reps` runs of `run`, after one untimed run; -1 on a failure.
template <class Run>
double MedianMs(int reps, Run run) {
  if (!run()) return -1;
  std::vector<double> times;
  for (int i = 0; i < reps; ++i) {
    Stopwatch watch;
    if (!run()) return -1;
    times.push_back(watch.Lap());
  }
  return Median(times);
}

bool LoadAndPrepare(DibPicture& picture, const std::string& path, bool prepare) {
  if (!picture.Load(path.c_str(), NeededOnScreen, nullptr)) return false;
  const SIZE drawn = NeededOnScreen(nullptr, picture.m_sizeSource.cx, picture.m_sizeSource.cy);
  return !prepare || picture.Prepare(drawn.cx, drawn.cy);
}

// The ways to take the pixels out of the imaging component that the
// breakdown compares. Load's own is ScaledWhole.
enum Path {
  kScaledWhole,   // scaler (Fant) + converter to 32bpp PBGRA, one CopyPixels
  kScaledBands,   // the same, kBandRows rows a call
  kScalerOnly,    // scaler alone, the frame's 24bpp BGR, one call
  kConverterFull, // converter alone, full size
  kFrameFull,     // the frame's own 24bpp BGR, full size
  kFrameRow,      // the frame's first row only
  kPaths
};
const char* const kPathNames[kPaths] = {
    "scaler+converter, one call (Load's way)", "scaler+converter, 16-row bands", "scaler alone (24bpp), one call",
    "converter alone, full size",              "frame itself (24bpp), full size", "frame, first row only"};

struct Laps {
  double factory, decoder, frame, setup, copy;
};

// One pass of `path` over the photo; `atEnd` runs while every object and
// the pixels are still held.
template <class AtEnd>
bool RunPath(const std::string& file, Path path, Laps* laps, AtEnd atEnd) {
  wchar_t wide[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH)) return false;
  Stopwatch watch;
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))))
    return false;
  laps->factory = watch.Lap();
  ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromFilename(wide, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                &decoder)))
    return false;
  laps->decoder = watch.Lap();
  ComPtr<IWICBitmapFrameDecode> frame;
  UINT width = 0, height = 0;
  if (FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&width, &height))) return false;
  laps->frame = watch.Lap();

  const SIZE out = DecodeSize(int(width), int(height), NeededOnScreen(nullptr, int(width), int(height)));
  const bool scaled = path == kScaledWhole || path == kScaledBands || path == kScalerOnly;
  const bool converted = path == kScaledWhole || path == kScaledBands || path == kConverterFull;
  ComPtr<IWICBitmapSource> source = frame;
  if (scaled) {
    ComPtr<IWICBitmapScaler> scaler;
    if (FAILED(factory->CreateBitmapScaler(&scaler)) ||
        FAILED(scaler->Initialize(frame.Get(), UINT(out.cx), UINT(out.cy), WICBitmapInterpolationModeFant)))
      return false;
    source = scaler;
  }
  if (converted) {
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(source.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr,
                                     0.0, WICBitmapPaletteTypeCustom)))
      return false;
    source = converter;
  }
  UINT cx = 0, cy = 0;
  if (FAILED(source->GetSize(&cx, &cy))) return false;
  const UINT stride = cx * (converted ? 4 : 3);
  const UINT rows = path == kFrameRow ? 1 : cy;
  // Not zeroed: its pages are first touched by CopyPixels, as Load's block is.
  const size_t bytes = size_t(stride) * rows;
  std::unique_ptr<BYTE[]> pixels(new BYTE[bytes]);
  laps->setup = watch.Lap();

  HRESULT hr = S_OK;
  if (path == kScaledBands) {
    for (UINT y = 0; y < cy && SUCCEEDED(hr); y += kBandRows) {
      const WICRect band = {0, INT(y), INT(cx), INT(std::min(kBandRows, cy - y))};
      hr = source->CopyPixels(&band, stride, UINT(stride * band.Height), pixels.get() + size_t(y) * stride);
    }
  } else {
    const WICRect all = {0, 0, INT(cx), INT(rows)};
    hr = source->CopyPixels(&all, stride, UINT(bytes), pixels.get());
  }
  laps->copy = watch.Lap();
  atEnd();
  return SUCCEEDED(hr);
}

// --- Memory, in a process of its own per case -----------------------------

// Our Linux process, found by a word of our command line (Wine gives a
// process the Windows command line); 0 if not found.
int LinuxPid(const std::string& marker) {
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &fd);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int found = 0;
  do {
    const int pid = atoi(fd.cFileName);
    if (pid <= 0) continue;
    std::string path = std::string("Z:\\proc\\") + fd.cFileName + "\\cmdline", cmdline;
    if (FILE* file = fopen(path.c_str(), "rb")) {
      char buffer[1024];
      const size_t got = fread(buffer, 1, sizeof buffer, file);
      fclose(file);
      cmdline.assign(buffer, got);
      std::replace(cmdline.begin(), cmdline.end(), '\0', ' ');
    }
    if (cmdline.find(marker) != std::string::npos) found = pid;
  } while (!found && FindNextFileA(find, &fd));
  FindClose(find);
  return found;
}

// Wine's PeakWorkingSetSize is Linux's VmHWM: reset to the present working
// set through clear_refs. Opened by its pid, because Wine's server opens
// files for the process and "self" would be the server.
bool ResetPeak(int linuxPid) {
  if (!linuxPid) return false;
  const std::string path = "Z:\\proc\\" + std::to_string(linuxPid) + "\\clear_refs";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, "5", 1, &written, nullptr) && written == 1;
  CloseHandle(file);
  return ok;
}

PROCESS_MEMORY_COUNTERS Counters() {
  PROCESS_MEMORY_COUNTERS pmc = {};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  return pmc;
}

const int kLoadCase = kPaths;  // the cases are the paths, then Load itself

// The child: warm up (the codec DLLs loaded, the heap grown once) on the
// small photo, reset the peak, run one case on the large one, and print
// "<peak over the start> <private bytes held at the end over the start>
// <peak reset>" in bytes.
int PeakChild(int which, const char* marker, const std::string& small, const std::string& large) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
  {
    DibPicture warm;
    if (!warm.Load(small.c_str(), NeededOnScreen, nullptr)) return 3;
  }
  const bool reset = ResetPeak(LinuxPid(marker));
  const PROCESS_MEMORY_COUNTERS before = Counters();
  PROCESS_MEMORY_COUNTERS end = before;
  bool ok;
  if (which == kLoadCase) {
    DibPicture picture;
    ok = picture.Load(large.c_str(), NeededOnScreen, nullptr) != FALSE;
    end = Counters();
  } else {
    Laps laps;
    ok = RunPath(large, Path(which), &laps, [&] { end = Counters(); });
  }
  const PROCESS_MEMORY_COUNTERS after = Counters();
  printf("%lld %lld %d\n", (long long)after.PeakWorkingSetSize - (long long)before.WorkingSetSize,
         (long long)end.PagefileUsage - (long long)before.PagefileUsage, reset ? 1 : 0);
  CoUninitialize();
  return ok ? 0 : 1;
}

struct Peak {
  double peakMiB = -1, heldMiB = -1;
  bool reset = false;
};

// Runs this program again as the child of case `which`; its line read through a pipe.
Peak MeasureInChild(int which, const std::string& dir) {
  Peak peak;
  char self[MAX_PATH];
  if (!GetModuleFileNameA(nullptr, self, MAX_PATH)) return peak;
  const std::string marker = "peakcase-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(which);
  std::string cmd = std::string("\"") + self + "\" --peak " + std::to_string(which) + " " + marker + " \"" + dir + "\"";
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return peak;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writeEnd;
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi = {};
  const BOOL started = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  CloseHandle(writeEnd);
  std::string out;
  if (started) {
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got) out.append(buffer, got);
    if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 99);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    long long peakBytes = 0, heldBytes = 0;
    int reset = 0;
    if (code == 0 && sscanf(out.c_str(), "%lld %lld %d", &peakBytes, &heldBytes, &reset) == 3) {
      peak.peakMiB = double(peakBytes) / (1 << 20);
      peak.heldMiB = double(heldBytes) / (1 << 20);
      peak.reset = reset != 0;
    }
  }
  CloseHandle(readEnd);
  return peak;
}

long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ? long(data.nFileSizeLow) : -1;
}

std::string Size(SIZE s) { return std::to_string(s.cx) + "x" + std::to_string(s.cy); }

}  // namespace

int main(int argc, char** argv) {
  std::string dir = LUMARO_PHOTO_DIR;
  if (argc == 5 && strcmp(argv[1], "--peak") == 0) {
    dir = argv[4];
    return PeakChild(atoi(argv[2]), argv[3], dir + "\\photo_1920x1080.jpg", dir + "\\photo_6000x4000.jpg");
  }
  if (argc > 1) dir = argv[1];
  std::vector<Photo> photos = {{"1920x1080", 1920, 1080, 9, "", ""}, {"6000x4000", 6000, 4000, 5, "", ""}};
  for (Photo& p : photos) {
    const std::string stem = dir + "\\photo_" + p.label;
    p.jpeg = stem + ".jpg", p.bmp = stem + ".bmp";
    if (FileSize(p.jpeg) <= 0 || FileSize(p.bmp) <= 0) {
      fprintf(stderr, "%s or its .bmp is missing: run build/bench/bench/photo_bench first\n", p.jpeg.c_str());
      return 1;
    }
  }
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;

  printf("Under Wine: medians (ms) for a %dx%d screen, centred\n", kScreenWidth, kScreenHeight);
  printf("%-10s %10s %10s %12s %10s %12s\n", "photo", "drawn", "JPEG Load", "+ Prepare", "BMP Load", "+ Prepare");
  for (const Photo& p : photos) {
    DibPicture picture;
    const double jpeg = MedianMs(p.reps, [&] { return LoadAndPrepare(picture, p.jpeg, false); });
    const double jpegPrepared = MedianMs(p.reps, [&] { return LoadAndPrepare(picture, p.jpeg, true); });
    const double bmp = MedianMs(p.reps, [&] { return LoadAndPrepare(picture, p.bmp, false); });
    const double bmpPrepared = MedianMs(p.reps, [&] { return LoadAndPrepare(picture, p.bmp, true); });
    printf("%-10s %10s %10.2f %12.2f %10.2f %12.2f\n", p.label,
           Size(NeededOnScreen(nullptr, p.width, p.height)).c_str(), jpeg, jpegPrepared, bmp, bmpPrepared);
    fflush(stdout);
  }

  const Photo& large = photos[1];
  printf("\nWhere Load's time goes, %s JPEG: medians (ms) of each step\n", large.label);
  printf("%-42s %8s %9s %8s %8s %9s %8s\n", "pixels taken by", "factory", "decoder", "frame", "setup", "CopyPix",
         "total");
  for (int path = 0; path < kPaths; ++path) {
    std::vector<double> factory, decoder, frame, setup, copy, total;
    bool ok = true;
    for (int i = 0; ok && i <= large.reps; ++i) {
      Laps laps;
      ok = RunPath(large.jpeg, Path(path), &laps, [] {});
      if (i == 0) continue;  // untimed, as in MedianMs
      factory.push_back(laps.factory), decoder.push_back(laps.decoder), frame.push_back(laps.frame);
      setup.push_back(laps.setup), copy.push_back(laps.copy);
      total.push_back(laps.factory + laps.decoder + laps.frame + laps.setup + laps.copy);
    }
    if (!ok) {
      printf("%-42s failed\n", kPathNames[path]);
      continue;
    }
    printf("%-42s %8.2f %9.2f %8.2f %8.2f %9.2f %8.2f\n", kPathNames[path], Median(factory), Median(decoder),
           Median(frame), Median(setup), Median(copy), Median(total));
    fflush(stdout);
  }

  const double shownMiB = 1620.0 * 1080 * 4 / (1 << 20), fileMiB = double(FileSize(large.jpeg)) / (1 << 20);
  printf("\nMemory of one %s JPEG load, each case in a fresh process (MiB over the working set before it)\n",
         large.label);
  printf("goal: under 3 x %.2f (1620x1080x4) + %.2f (file) = %.2f MiB\n", shownMiB, fileMiB, 3 * shownMiB + fileMiB);
  printf("%-42s %10s %12s %8s\n", "case", "peak WS", "held at end", "vs goal");
  for (int which = 0; which <= kLoadCase; ++which) {
    const Peak peak = MeasureInChild(which, dir);
    const char* name = which == kLoadCase ? "DibPicture::Load (the saver)" : kPathNames[which];
    if (peak.peakMiB < 0) {
      printf("%-42s failed\n", name);
      continue;
    }
    printf("%-42s %10.1f %12.1f %7.2fx%s\n", name, peak.peakMiB, peak.heldMiB,
           peak.peakMiB / (3 * shownMiB + fileMiB), peak.reset ? "" : "  (peak not reset: includes the warm-up)");
    fflush(stdout);
  }
  printf("peak WS: PeakWorkingSetSize (Linux VmHWM). held at end: PagefileUsage (anonymous memory) with the case's\n"
         "objects and pixels still alive; Wine's PeakPagefileUsage is only the present value, so not used.\n");
  CoUninitialize();
  return 0;
}
