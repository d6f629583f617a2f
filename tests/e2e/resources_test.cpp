// What the build could get wrong in lumaro.scr's resources, as a user would see it.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

std::string Find(LPCSTR type, int id) {  // under U.S. English only
  static HMODULE module = LoadLibraryExA(LUMARO_SCR, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC info = FindResourceExA(module, type, MAKEINTRESOURCEA(id), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  HGLOBAL data = info ? LoadResource(module, info) : nullptr;
  return data ? std::string(static_cast<const char*>(LockResource(data)), SizeofResource(module, info)) : "";
}

// windres stores a quoted class name as a string: controls of the system's classes need the atoms 0x80-0x83.
TEST(Resources, DialogControlsNameTheirClassesByAtoms) {
  const std::string dialog = Find(RT_DIALOG, IDD_CONFIG);
  std::string counts;
  for (char atom : {'\x80', '\x81', '\x82', '\x83'}) {
    const std::string code = std::string("\xFF\xFF", 2) + atom + '\0';
    int n = 0;
    for (size_t at = dialog.find(code); at != std::string::npos; at = dialog.find(code, at + 4)) n++;
    counts += std::to_string(n) + " ";
  }
  EXPECT_EQ("12 2 7 1 ", counts) << "buttons, edits, statics, list boxes";
}

TEST(Resources, MonitorBitmap) {
  const std::string b = Find(RT_BITMAP, IDB_MONITOR);
  ASSERT_EQ(16424u, b.size()) << "header, 16 colours and 170 rows of 96 bytes";
  BITMAPINFOHEADER h;
  memcpy(&h, b.data(), sizeof h);
  EXPECT_EQ((std::vector<long>{40, 185, 170, 4}), (std::vector<long>{long(h.biSize), h.biWidth, h.biHeight, h.biBitCount}));
  auto pixel = [&](int x, int y) {  // a colour index; y from the top, rows stored bottom-up
    const BYTE pair = BYTE(b[40 + 64 + (169 - y) * 96 + x / 2]);
    return x % 2 ? pair & 15 : pair >> 4;
  };
  // The screen, where the preview lies, is black from (15, 16) to (167, 128); the bevel starts beyond.
  for (POINT p : {POINT{15, 16}, POINT{167, 16}, POINT{15, 128}, POINT{167, 128}}) EXPECT_EQ(0, pixel(p.x, p.y)) << p.x;
  for (POINT p : {POINT{14, 16}, POINT{168, 16}, POINT{15, 15}, POINT{167, 129}}) EXPECT_NE(0, pixel(p.x, p.y)) << p.x;
}

// Sharp on high-DPI screens, and the system's look for the dialog's controls.
TEST(Resources, Manifest) {
  const std::string manifest = Find(RT_MANIFEST, 1);
  EXPECT_NE(std::string::npos, manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>")) << manifest;
  EXPECT_NE(std::string::npos, manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"")) << manifest;
}

TEST(Resources, VersionRecord) {
  std::vector<BYTE> info(GetFileVersionInfoSizeA(LUMARO_SCR, nullptr));
  ASSERT_TRUE(!info.empty() && GetFileVersionInfoA(LUMARO_SCR, 0, DWORD(info.size()), info.data()));
  auto query = [&](const std::string& path) -> std::string {
    void* value = nullptr;
    UINT len = 0;
    return VerQueryValueA(info.data(), path.c_str(), &value, &len) ? std::string(static_cast<char*>(value), len) : "";
  };
  VS_FIXEDFILEINFO fixed = {};
  memcpy(&fixed, query("\\").data(), std::min(sizeof fixed, query("\\").size()));
  EXPECT_EQ((std::vector<DWORD>{0xFEEF04BD, 0x00010000, 1, 0x00010000, 1, VOS__WINDOWS32, VFT_APP}),
            (std::vector<DWORD>{fixed.dwSignature, fixed.dwFileVersionMS, fixed.dwFileVersionLS, fixed.dwProductVersionMS,
                                fixed.dwProductVersionLS, fixed.dwFileOS, fixed.dwFileType}));
  EXPECT_EQ(std::string("\x09\x04\xB0\x04", 4), query("\\VarFileInfo\\Translation")) << "U.S. English, Unicode only";
  EXPECT_EQ("Lumaro lumaro.scr", query("\\StringFileInfo\\040904B0\\ProductName").c_str() + std::string(" ") +
                                     query("\\StringFileInfo\\040904B0\\OriginalFilename").c_str());
}

}  // namespace
