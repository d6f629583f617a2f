// Reads the resources back out of the built lumaro.scr, as the system and
// the dialog code will find them: the configuration dialog's template, the
// monitor bitmap, the blank cursor, the icon and the version record.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

// The standard 16-colour table, as stored: blue, green, red, reserved.
const RGBQUAD kStandardColours[16] = {
    {0, 0, 0, 0},       {0, 0, 128, 0},   {0, 128, 0, 0},   {0, 128, 128, 0},
    {128, 0, 0, 0},     {128, 0, 128, 0}, {128, 128, 0, 0}, {192, 192, 192, 0},
    {128, 128, 128, 0}, {0, 0, 255, 0},   {0, 255, 0, 0},   {0, 255, 255, 0},
    {255, 0, 0, 0},     {255, 0, 255, 0}, {255, 255, 0, 0}, {255, 255, 255, 0},
};

struct Blob {
  const BYTE* data = nullptr;
  DWORD size = 0;
};

// Looked up under U.S. English only: one stored under another language is
// reported missing.
Blob Find(LPCSTR type, int id) {
  static HMODULE module = LoadLibraryExA(LUMARO_SCR, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  Blob blob;
  HRSRC info = FindResourceExA(module, type, MAKEINTRESOURCEA(id),
                               MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
  if (loaded) {
    blob.data = static_cast<const BYTE*>(LockResource(loaded));
    blob.size = SizeofResource(module, info);
  }
  return blob;
}

// Walks a standard (not extended) dialog template; any read past its end
// clears `ok`.
struct TemplateReader {
  Blob blob;
  size_t pos = 0;
  bool ok = true;

  WORD Word() {
    WORD w = 0;
    if (!blob.data || pos + 2 > blob.size) ok = false;
    else memcpy(&w, blob.data + pos, 2);
    pos += 2;
    return w;
  }
  DWORD Dword() {
    DWORD low = Word();
    return low | static_cast<DWORD>(Word()) << 16;
  }
  int Short() { return static_cast<short>(Word()); }
  // A string, "#n" for an ordinal (0xFFFF, n), "" when absent.
  std::string Field() {
    WORD c = Word();
    if (c == 0xFFFF) return "#" + std::to_string(Word());
    std::string s;
    for (; ok && c != 0; c = Word()) s += static_cast<char>(c);
    return s;
  }
};

// One line per control, so a failure shows every field of it side by side.
std::string Control(int id, const std::string& cls, const std::string& text, DWORD style,
                    DWORD exStyle, int x, int y, int cx, int cy, int extra) {
  char line[256];
  snprintf(line, sizeof line,
           "id %d class %s text \"%s\" style 0x%08lX ex 0x%lX at %d,%d %dx%d extra %d", id,
           cls.c_str(), text.c_str(), static_cast<unsigned long>(style),
           static_cast<unsigned long>(exStyle), x, y, cx, cy, extra);
  return line;
}

const struct {
  int id;
  const char *cls, *text;
  DWORD style;
  int x, y, cx, cy;
} kControls[] = {
    {0xFFFF, "#128", "Screen Saver", 0x50000007, 5, 5, 310, 180},
    {0xFFFF, "#130", "Preview", 0x50020001, 15, 20, 125, 8},
    {IDC_MONITOR, "#128", "", 0x5000000B, 15, 30, 125, 110},
    {IDC_PREVIEW_AREA, "#130", "", 0x40000000, 25, 40, 102, 69},
    {0xFFFF, "#130", "&Collections:", 0x50020000, 150, 20, 40, 8},
    {IDC_COLLECTIONS, "#131", "", 0x50A00003, 150, 30, 160, 50},
    {0xFFFF, "#128", "Timing and Images", 0x50010007, 150, 75, 160, 105},
    {0xFFFF, "#130", "Start screen saver after", 0x50020000, 155, 95, 80, 8},
    {IDC_START_DELAY, "#129", "", 0x50810080, 235, 90, 30, 14},
    {IDC_START_DELAY_SPIN, "msctls_updown32", "Spin1", 0x500000B6, 260, 90, 11, 14},
    {0xFFFF, "#130", "minute(s)", 0x50020000, 270, 95, 30, 8},
    {0xFFFF, "#130", "Change picture every", 0x50020000, 155, 115, 80, 8},
    {IDC_CHANGE_DELAY, "#129", "", 0x50810080, 235, 110, 30, 14},
    {IDC_CHANGE_DELAY_SPIN, "msctls_updown32", "Spin2", 0x50000096, 260, 110, 11, 14},
    {0xFFFF, "#130", "second(s)", 0x50020000, 270, 115, 35, 8},
    {IDC_UPDATE_WALLPAPER, "#128", "Change &wallpaper image with screen saver", 0x50010003, 155,
     135, 151, 10},
    {IDC_FULL_SCREEN, "#128", "&Stretch images to full screen size", 0x50010003, 155, 150, 125, 10},
    {IDC_SHOW_TITLE, "#128", "Show picture &titles", 0x50010003, 155, 165, 125, 10},
    {IDOK, "#128", "OK", 0x50010001, 205, 190, 50, 14},
    {IDCANCEL, "#128", "E&xit", 0x50010000, 260, 190, 50, 14},
};

TEST(Resources, DialogTemplate) {
  TemplateReader r{Find(RT_DIALOG, IDD_CONFIG)};
  char header[256];
  DWORD style = r.Dword(), exStyle = r.Dword();
  int count = r.Word(), x = r.Short(), y = r.Short(), cx = r.Short(), cy = r.Short();
  std::string menu = r.Field(), cls = r.Field(), caption = r.Field();
  int points = style & DS_SETFONT ? r.Word() : 0;
  std::string face = style & DS_SETFONT ? r.Field() : "";
  snprintf(header, sizeof header, "style 0x%08lX ex 0x%lX, %d controls at %d,%d %dx%d, menu \"%s\" "
           "class \"%s\" caption \"%s\" font %d \"%s\"", static_cast<unsigned long>(style),
           static_cast<unsigned long>(exStyle), count, x, y, cx, cy, menu.c_str(), cls.c_str(),
           caption.c_str(), points, face.c_str());
  // No system menu and no added styles; no menu, the system's dialog class.
  EXPECT_STREQ("style 0x90C000C0 ex 0x0, 20 controls at 14,17 320x210, menu \"\" class \"\" "
               "caption \"Lumaro Configuration\" font 8 \"MS Sans Serif\"", header);
  ASSERT_TRUE(r.ok) << "template missing or truncated";

  for (const auto& want : kControls) {
    r.pos = (r.pos + 3) & ~size_t{3};  // each control starts on a DWORD boundary
    DWORD cStyle = r.Dword(), cEx = r.Dword();
    int cx0 = r.Short(), cy0 = r.Short(), ccx = r.Short(), ccy = r.Short(), id = r.Word();
    std::string ccls = r.Field(), text = r.Field();
    int extra = r.Word();
    r.pos += extra;
    // Class names match without regard to case; windres stores capitals.
    for (char& c : ccls) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    ASSERT_TRUE(r.ok) << "template ends before control id " << want.id;
    EXPECT_EQ(Control(want.id, want.cls, want.text, want.style, 0, want.x, want.y, want.cx,
                      want.cy, 0),
              Control(id, ccls, text, cStyle, cEx, cx0, cy0, ccx, ccy, extra));
  }
  EXPECT_LE(r.pos, r.blob.size);
}

// --- Monitor bitmap --------------------------------------------------------

const int kLightGrey = 7, kDarkGrey = 8, kGreen = 10, kWhite = 15, kBlack = 0;

class MonitorBitmap : public ::testing::Test {
 protected:
  void SetUp() override {
    bitmap_ = Find(RT_BITMAP, IDB_MONITOR);
    ASSERT_EQ(16424u, bitmap_.size) << "header, 16 colours and 170 rows of 96 bytes";
  }
  // Colour index of a pixel counted from the top-left; rows are stored bottom-up.
  int Pixel(int x, int y) const {
    BYTE pair = bitmap_.data[40 + 64 + (169 - y) * 96 + x / 2];
    return x % 2 ? pair & 0x0F : pair >> 4;
  }
  Blob bitmap_;
};

TEST_F(MonitorBitmap, HeaderAndColourTable) {
  BITMAPINFOHEADER h;
  memcpy(&h, bitmap_.data, sizeof h);
  // Size, width, height (bottom-up), planes, bits, compression, image size,
  // resolution, colours used and important.
  EXPECT_EQ((std::vector<long>{40, 185, 170, 1, 4, BI_RGB, 16320, 0, 0, 0, 16}),
            (std::vector<long>{long(h.biSize), h.biWidth, h.biHeight, h.biPlanes, h.biBitCount,
                               long(h.biCompression), long(h.biSizeImage), h.biXPelsPerMeter,
                               h.biYPelsPerMeter, long(h.biClrUsed), long(h.biClrImportant)}));
  EXPECT_EQ(0, memcmp(bitmap_.data + 40, kStandardColours, sizeof kStandardColours));
}

// The preview window is laid over the screen, so its edges must be exact.
TEST_F(MonitorBitmap, ScreenIsBlackUpToItsBevel) {
  const int left = 15, top = 16, right = 167, bottom = 128;
  int nonBlack = 0;
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) nonBlack += Pixel(x, y) != kBlack;
  EXPECT_EQ(0, nonBlack) << "pixels of the screen that are not black";
  for (int x : {left, right})
    for (int y : {top, bottom}) {
      SCOPED_TRACE("corner " + std::to_string(x) + "," + std::to_string(y));
      int dx = x == left ? -1 : 1, dy = y == top ? -1 : 1;
      EXPECT_NE(kBlack, Pixel(x + dx, y));
      EXPECT_NE(kBlack, Pixel(x, y + dy));
      EXPECT_NE(kBlack, Pixel(x + dx, y + dy));
    }
  // Sunken: shadow above and left, light below and right.
  EXPECT_EQ(kDarkGrey, Pixel(90, top - 1));
  EXPECT_EQ(kDarkGrey, Pixel(left - 1, 70));
  EXPECT_EQ(kWhite, Pixel(90, bottom + 1));
  EXPECT_EQ(kWhite, Pixel(right + 1, 70));
}

TEST_F(MonitorBitmap, StandAndGreenLight) {
  // The light is the 2 x 2 square at (105, 149).
  for (int y = 148; y <= 151; ++y)
    for (int x = 104; x <= 107; ++x)
      EXPECT_EQ(x >= 105 && x <= 106 && y >= 149 && y <= 150, Pixel(x, y) == kGreen)
          << "at " << x << "," << y;
  // Each piece spans exactly its columns: drawn at its outer columns,
  // background just beyond them; below the foot, background only.
  const struct {
    const char* name;
    int row, left, right;
  } pieces[] = {{"front strip", 151, 48, 135}, {"neck", 159, 56, 127}, {"foot", 165, 36, 146}};
  for (const auto& p : pieces) {
    SCOPED_TRACE(p.name);
    EXPECT_NE(kLightGrey, Pixel(p.left, p.row));
    EXPECT_NE(kLightGrey, Pixel(p.right, p.row));
    EXPECT_EQ(kLightGrey, Pixel(p.left - 1, p.row));
    EXPECT_EQ(kLightGrey, Pixel(p.right + 1, p.row));
  }
  EXPECT_NE(kLightGrey, Pixel(0, 73)) << "casing's left edge";
  EXPECT_NE(kLightGrey, Pixel(184, 73)) << "casing's right edge";
  for (int x = 0; x < 185; ++x) EXPECT_EQ(kLightGrey, Pixel(x, 169)) << "row 169, x " << x;
}

// --- Cursor and icon -------------------------------------------------------

bool AllBytes(const BYTE* p, size_t n, BYTE value) {
  for (size_t i = 0; i < n; ++i)
    if (p[i] != value) return false;
  return true;
}

// The resource as 16-bit words, so a header reads as one list.
std::vector<int> Words(const Blob& blob, size_t count) {
  std::vector<int> words;
  for (size_t i = 0; i < count && 2 * i + 1 < blob.size; i++)
    words.push_back(blob.data[2 * i] | blob.data[2 * i + 1] << 8);
  return words;
}

TEST(Resources, BlankCursor) {
  Blob group = Find(RT_GROUP_CURSOR, IDC_BLANK_CURSOR);
  ASSERT_EQ(20u, group.size) << "a group of one cursor";
  const int id = Words(group, 10)[9];
  // Reserved, type 2, one entry: 32 wide, 64 high (both masks), one plane
  // of 1 bit, 308 bytes, its id.
  EXPECT_EQ((std::vector<int>{0, 2, 1, 32, 64, 1, 1, 308, 0, id}), Words(group, 10));
  // What LoadCursor picks from the group for a standard cursor.
  EXPECT_EQ(id, LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group.data), FALSE, 32, 32,
                                            LR_MONOCHROME));
  // Hot spot (0, 0), a 40-byte header of 32 x 64 x 1 bit, two colours, the
  // XOR mask and the AND mask.
  Blob image = Find(RT_CURSOR, id);
  ASSERT_EQ(308u, image.size);
  EXPECT_EQ((std::vector<int>{0, 0, 40, 0, 32, 0, 64, 0, 1, 1}), Words(image, 10));
  EXPECT_TRUE(AllBytes(image.data + 52, 128, 0x00)) << "XOR mask must be all zeros";
  EXPECT_TRUE(AllBytes(image.data + 180, 128, 0xFF)) << "AND mask must be all ones";
}

TEST(Resources, BlackIcon) {
  Blob group = Find(RT_GROUP_ICON, IDI_LUMARO);
  ASSERT_EQ(20u, group.size) << "a group of one icon";
  const int id = Words(group, 10)[9];
  // Reserved, type 1, one entry: 32 x 32 bytes, 16 colours and a zero byte,
  // one plane of 4 bits, 744 bytes, its id.
  EXPECT_EQ((std::vector<int>{0, 1, 1, 0x2020, 16, 1, 4, 744, 0, id}), Words(group, 10));
  // A 40-byte header of 32 x 64 (both masks) x 4 bits, the standard
  // colours, every pixel black and fully opaque.
  Blob image = Find(RT_ICON, id);
  ASSERT_EQ(744u, image.size);
  EXPECT_EQ((std::vector<int>{40, 0, 32, 0, 64, 0, 1, 4}), Words(image, 8));
  EXPECT_EQ(0, memcmp(image.data + 40, kStandardColours, sizeof kStandardColours));
  EXPECT_TRUE(AllBytes(image.data + 104, 512 + 128, 0x00));
}

// --- Version record --------------------------------------------------------

TEST(Resources, VersionRecord) {
  ASSERT_NE(nullptr, Find(RT_VERSION, 1).data) << "version record 1 under U.S. English";
  DWORD ignored = 0, size = GetFileVersionInfoSizeA(LUMARO_SCR, &ignored);
  std::vector<BYTE> info(size);
  ASSERT_TRUE(size && GetFileVersionInfoA(LUMARO_SCR, 0, size, info.data()));
  auto query = [&](const char* path, UINT* len) {
    void* value = nullptr;
    return VerQueryValueA(info.data(), path, &value, len) ? value : nullptr;
  };
  UINT len = 0;
  auto* fixed = static_cast<VS_FIXEDFILEINFO*>(query("\\", &len));
  ASSERT_TRUE(fixed && len >= sizeof *fixed);
  EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
  EXPECT_EQ((std::vector<DWORD>{0x00010000, 1, 0x00010000, 1, VOS__WINDOWS32, VFT_APP}),
            (std::vector<DWORD>{fixed->dwFileVersionMS, fixed->dwFileVersionLS,
                                fixed->dwProductVersionMS, fixed->dwProductVersionLS,
                                fixed->dwFileOS, fixed->dwFileType}));
  auto* translation = static_cast<WORD*>(query("\\VarFileInfo\\Translation", &len));
  ASSERT_TRUE(translation && len == 4) << "exactly one translation";
  EXPECT_EQ(0x0409, translation[0]);
  EXPECT_EQ(1200, translation[1]);
  const char* strings[][2] = {{"FileVersion", "1, 0, 0, 1"}, {"ProductVersion", "1, 0, 0, 1"},
                              {"OriginalFilename", "lumaro.scr"}, {"ProductName", "Lumaro"}};
  for (const auto& s : strings) {
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + s[0];
    auto* value = static_cast<const char*>(query(path.c_str(), &len));
    EXPECT_STREQ(s[1], value ? value : "<missing>") << s[0];
  }
}

}  // namespace
