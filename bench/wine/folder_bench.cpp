// A photo library under Wine: 100,000 pictures in 1,000 folders (10 of 100,
// 100 pictures each; empty files, as only names count) made into a
// collection, then brought up to date after 1,000 were added; a picture's
// path and title looked up in that collection, through the slideshow's
// index and through Windows' profile functions; and the saver's start-up
// to its first picture and its memory on that collection against one of
// ten pictures. Goals: under 3 s to make or update, under 5 ms a look-up,
// under 8 MB more memory, no slower start.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "driver.h"
#include "settings/collection.h"
#include "settings/folder_files.h"
#include "settings/saver_settings.h"

using namespace e2e;

namespace {

const int kRuns = 3;

double Now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * double(count.QuadPart) / double(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void CreateEmpty(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

std::wstring Leaf(const std::wstring& root, int folder) {
  return root + L"\\" + std::to_wstring(2000 + folder / 100) + L"\\" + std::to_wstring(folder % 100) + L" Event";
}

// Pictures `from` to `to` - 1 of each of the first `folders` leaf folders.
void AddPictures(const std::wstring& root, int folders, int from, int to) {
  for (int f = 0; f < folders; ++f) {
    CreateDirectoryW((root + L"\\" + std::to_wstring(2000 + f / 100)).c_str(), nullptr);
    CreateDirectoryW(Leaf(root, f).c_str(), nullptr);
    for (int i = from; i < to; ++i) CreateEmpty(Leaf(root, f) + L"\\IMG_" + std::to_wstring(i) + L".jpg");
  }
}

double Make(const std::wstring& root, FolderOutcome* outcome) {
  FolderProgress progress;
  const double start = Now();
  *outcome = MakeFolderCollection(root.c_str(), true, &progress);
  return Now() - start;
}

// Look-ups of random pictures' paths and titles in `file`, through the index (the first one
// builds it) and through GetPrivateProfileStringW.
void LookUps(const std::string& file, int count) {
  CollectionIndex index;
  const std::string dir = file.substr(0, file.rfind('\\'));
  std::vector<double> ours, windows;
  double first = 0;
  srand(1);
  const std::wstring wide = Wide(file);
  for (int i = 0; i < 200; ++i) {
    const int number = 1 + rand() % count;
    const std::string key = std::to_string(number);
    std::string path;
    double start = Now();
    index.Refresh(file);
    LookUpPicturePath(index, dir, number, &path);
    LookUpTitle(index, number);
    const double spent = Now() - start;
    if (i == 0) first = spent;
    else ours.push_back(spent);
    if (i < 5) {
      wchar_t value[300];
      start = Now();
      GetPrivateProfileStringW(L"Pictures", Wide(key).c_str(), L"", value, 300, wide.c_str());
      GetPrivateProfileStringW(L"Titles", Wide(key).c_str(), L"", value, 300, wide.c_str());
      windows.push_back(Now() - start);
    }
  }
  printf("look-up of a picture's path and title in %d: %.3f ms (median of %zu; the first, which reads the file "
         "once, %.1f ms); Windows' profile functions: %.1f ms (median of %zu); goal 5 ms\n",
         count, Median(ours), ours.size(), first, Median(windows), windows.size());
}

struct Start {
  double firstPictureMs;
  PROCESS_MEMORY_COUNTERS_EX memory;
};

// lumaro.scr /s on `collection`, whose picture 2 (the first shown after CurrentPicture 1) is red.
Start RunSaver(const std::string& collection) {
  WriteSettings("[Main]\r\nFade=0\r\n[ScreenSaver]\r\nCurrentSet=Bench\r\nCurrentPicture=1\r\nChangeDelay=300\r\n"
                "[Sets]\r\nBench=" + collection + "\r\n");
  MouseTo(639, 479);
  Start start = {};
  const double begun = Now();
  Saver saver("/s");
  WaitUntil([] { return Near(ScreenPixel(320, 240), RGB(255, 0, 0)); }, 20000);
  start.firstPictureMs = Now() - begun;
  Sleep(1000);
  start.memory.cb = sizeof start.memory;
  GetProcessMemoryInfo(saver.Process(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&start.memory), sizeof start.memory);
  return start;
}

}  // namespace

int main() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring root = std::wstring(temp) + L"lumaro-library-bench";
  RemoveTree(root);
  CreateDirectoryW(root.c_str(), nullptr);
  AddPictures(root, 1000, 1, 101);
  const std::string collection = Utf8(root) + "\\COLLECTION.INI";

  std::vector<double> made, updated;
  FolderOutcome outcome = {};
  for (int run = 0; run < kRuns; ++run) {
    DeleteFileW(Wide(collection).c_str());
    made.push_back(Make(root, &outcome));
    printf("run %d: made %d pictures in %.0f ms\n", run + 1, outcome.pictures, made.back());
  }
  for (int run = 0; run < kRuns; ++run) {
    AddPictures(root, 100, 101 + 10 * run, 111 + 10 * run);  // 1,000 more
    updated.push_back(Make(root, &outcome));
    printf("run %d: updated to %d pictures in %.0f ms\n", run + 1, outcome.pictures, updated.back());
  }
  printf("library of 100,000 pictures in 1,000 folders: made in %.0f ms, updated after 1,000 added in %.0f ms "
         "(medians of %d; goal 3000 ms)\n", Median(made), Median(updated), kRuns);
  LookUps(collection, outcome.pictures);

  // The saver on it, against ten pictures; each time picture 2 is a red BMP.
  const std::string ten = WorkDir() + "\\TEN.INI";
  Pictures tenPictures;
  for (int i = 1; i <= 10; ++i) tenPictures.push_back({"RED.BMP", ""});
  WriteSolidBmp(WorkDir() + "\\RED.BMP", 320, 200, RGB(255, 0, 0));
  WriteCollection("TEN", 10, tenPictures);
  // The library's picture 2: the second name of its first folder.
  WriteSolidBmp(Utf8(Leaf(root, 0)) + "\\IMG_2.jpg", 320, 200, RGB(255, 0, 0));
  std::vector<double> startTen, startBig;
  Start a = {}, b = {};
  for (int run = 0; run < kRuns; ++run) {
    a = RunSaver(ten), b = RunSaver(collection);
    startTen.push_back(a.firstPictureMs), startBig.push_back(b.firstPictureMs);
  }
  printf("saver start-up to the first picture: %.0f ms with 10 pictures, %.0f ms with %d (medians of %d)\n",
         Median(startTen), Median(startBig), outcome.pictures, kRuns);
  printf("saver memory: committed %.1f MB with 10 pictures, %.1f MB with %d (%+.1f MB; goal under 8); working set "
         "%.1f / %.1f MB, peak %.1f / %.1f MB\n",
         a.memory.PagefileUsage / 1048576.0, b.memory.PagefileUsage / 1048576.0, outcome.pictures,
         (double(b.memory.PagefileUsage) - double(a.memory.PagefileUsage)) / 1048576.0, a.memory.WorkingSetSize / 1048576.0,
         b.memory.WorkingSetSize / 1048576.0, a.memory.PeakWorkingSetSize / 1048576.0, b.memory.PeakWorkingSetSize / 1048576.0);
  RemoveTree(root);
  return 0;
}
