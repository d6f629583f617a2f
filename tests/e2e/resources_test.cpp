// The resources in the built lumaro.scr where windres is known to go wrong
// or the user would see a fault: the dialog's control classes and styles,
// the monitor bitmap and the version record.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

// Looked up under U.S. English only: one stored under another language is
// reported missing.
std::string Find(LPCSTR type, int id) {
  static HMODULE module = LoadLibraryExA(LUMARO_SCR, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC info = FindResourceExA(module, type, MAKEINTRESOURCEA(id),
                               MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
  return loaded ? std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, info))
                : "";
}

TEST(Resources, DialogControlClassesAndStyles) {
  const std::string t = Find(RT_DIALOG, IDD_CONFIG);
  ASSERT_FALSE(t.empty());
  size_t pos = 0;
  auto word = [&]() -> int {  // 0 past the end
    pos += 2;
    return pos <= t.size() ? BYTE(t[pos - 2]) | BYTE(t[pos - 1]) << 8 : 0;
  };
  auto dword = [&] { return DWORD(word()) | DWORD(word()) << 16; };
  auto field = [&]() -> std::string {  // "#n" for an ordinal
    std::string s;
    int c = word();
    if (c == 0xFFFF) return "#" + std::to_string(word());
    for (; c; c = word()) s += char(c);
    return s;
  };
  EXPECT_EQ(0x90C000C0u, dword()) << "the dialog's style: no system menu";
  dword();  // extended style
  const int count = word();
  pos += 8;  // rectangle
  EXPECT_EQ("", field() + field()) << "a menu or a class of its own";
  EXPECT_EQ("Lumaro Configuration", field());
  EXPECT_EQ(8, word());
  EXPECT_EQ("MS Sans Serif", field());

  // Every control by id and class, "#128" to "#131" being the atoms of
  // button, edit, static and list box, and marked when hidden.
  std::string controls;
  std::map<int, DWORD> styles;
  for (int i = 0; i < count; i++) {
    pos = (pos + 3) & ~size_t{3};  // each control starts on a DWORD boundary
    const DWORD style = dword();
    pos += 12;  // extended style, rectangle
    const int id = short(word());
    std::string cls = field();  // windres writes a class name in capitals
    CharLowerBuffA(&cls[0], DWORD(cls.size()));
    controls += std::to_string(id) + cls + (style & WS_VISIBLE ? " " : " hidden ");
    styles[id] = style;
    field();
    pos += word();  // text, creation data
  }
  EXPECT_LE(pos, t.size());
  EXPECT_EQ("-1#128 -1#130 302#128 1007#130 hidden -1#130 201#131 -1#128 -1#130 500#129 "
            "400msctls_updown32 -1#130 -1#130 501#129 401msctls_updown32 -1#130 600#128 601#128 "
            "602#128 1#128 2#128 ", controls);
  // Buddy integers right of the field, without thousands separators; arrow
  // keys for the first only.
  EXPECT_EQ(0x500000B6u, styles[IDC_START_DELAY_SPIN]);
  EXPECT_EQ(0x50000096u, styles[IDC_CHANGE_DELAY_SPIN]);
}

TEST(Resources, MonitorBitmap) {
  const std::string b = Find(RT_BITMAP, IDB_MONITOR);
  ASSERT_EQ(16424u, b.size()) << "header, 16 colours and 170 rows of 96 bytes";
  BITMAPINFOHEADER h;
  memcpy(&h, b.data(), sizeof h);
  EXPECT_EQ((std::vector<long>{40, 185, 170, 4}),
            (std::vector<long>{long(h.biSize), h.biWidth, h.biHeight, h.biBitCount}));
  // Colour index of a pixel counted from the top-left; rows are stored bottom-up.
  auto pixel = [&](int x, int y) {
    BYTE pair = BYTE(b[40 + 64 + (169 - y) * 96 + x / 2]);
    return x % 2 ? pair & 15 : pair >> 4;
  };
  // The screen, where the preview lies, is black from (15, 16) to
  // (167, 128), and its bevel starts just beyond.
  int nonBlack = 0;
  for (int y = 16; y <= 128; ++y)
    for (int x = 15; x <= 167; ++x) nonBlack += pixel(x, y) != 0;
  EXPECT_EQ(0, nonBlack);
  for (POINT p : {POINT{14, 16}, POINT{168, 16}, POINT{15, 15}, POINT{167, 129}})
    EXPECT_NE(0, pixel(p.x, p.y)) << p.x << "," << p.y;
  EXPECT_EQ(10, pixel(105, 149)) << "the green light";
}

TEST(Resources, VersionRecord) {
  ASSERT_NE("", Find(RT_VERSION, 1)) << "version record 1 under U.S. English";
  DWORD ignored = 0, size = GetFileVersionInfoSizeA(LUMARO_SCR, &ignored);
  std::vector<BYTE> info(size);
  ASSERT_TRUE(size && GetFileVersionInfoA(LUMARO_SCR, 0, size, info.data()));
  UINT len = 0;
  auto query = [&](const std::string& path) {
    void* value = nullptr;
    return VerQueryValueA(info.data(), path.c_str(), &value, &len) ? value : nullptr;
  };
  auto* fixed = static_cast<VS_FIXEDFILEINFO*>(query("\\"));
  ASSERT_TRUE(fixed && len >= sizeof *fixed);
  EXPECT_EQ((std::vector<DWORD>{0xFEEF04BD, 0x00010000, 1, 0x00010000, 1, VOS__WINDOWS32, VFT_APP}),
            (std::vector<DWORD>{fixed->dwSignature, fixed->dwFileVersionMS, fixed->dwFileVersionLS,
                                fixed->dwProductVersionMS, fixed->dwProductVersionLS,
                                fixed->dwFileOS, fixed->dwFileType}));
  auto* translation = static_cast<WORD*>(query("\\VarFileInfo\\Translation"));
  ASSERT_TRUE(translation && len == 4) << "exactly one translation";
  EXPECT_EQ(0x04B00409u, translation[0] | DWORD(translation[1]) << 16) << "U.S. English, Unicode";
  const char* strings[][2] = {{"FileVersion", "1, 0, 0, 1"}, {"ProductVersion", "1, 0, 0, 1"},
                              {"OriginalFilename", "lumaro.scr"}, {"ProductName", "Lumaro"}};
  for (const auto& s : strings) {
    auto* value = static_cast<const char*>(query(std::string("\\StringFileInfo\\040904B0\\") + s[0]));
    EXPECT_STREQ(s[1], value ? value : "<missing>") << s[0];
  }
}

}  // namespace
