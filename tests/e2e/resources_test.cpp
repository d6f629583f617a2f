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
  EXPECT_EQ("19 3 9 1 ", counts) << "buttons, edits, statics, list boxes";
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
