// Reads the resources back out of the built lumaro.scr, as the system and
// the dialog code will find them: the configuration dialog's template, the
// monitor bitmap, the blank cursor, the icon and the version record.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

const WORD kUsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// The standard 16-colour table, as stored: blue, green, red, reserved.
const RGBQUAD kStandardColours[16] = {
    {0, 0, 0, 0},       {0, 0, 128, 0},     {0, 128, 0, 0},     {0, 128, 128, 0},
    {128, 0, 0, 0},     {128, 0, 128, 0},   {128, 128, 0, 0},   {192, 192, 192, 0},
    {128, 128, 128, 0}, {0, 0, 255, 0},     {0, 255, 0, 0},     {0, 255, 255, 0},
    {255, 0, 0, 0},     {255, 0, 255, 0},   {255, 255, 0, 0},   {255, 255, 255, 0},
};

struct Blob {
  const BYTE* data = nullptr;
  DWORD size = 0;
};

class ResourcesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = LoadLibraryExA(LUMARO_SCR, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  static void TearDownTestSuite() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
  }
  void SetUp() override { ASSERT_NE(module_, nullptr) << "cannot load " << LUMARO_SCR; }

  // Every resource is looked up under U.S. English only, so one stored under
  // another language is reported missing.
  static Blob Find(LPCSTR type, int id) {
    Blob blob;
    HRSRC info = FindResourceExA(module_, type, MAKEINTRESOURCEA(id), kUsEnglish);
    if (!info) return blob;
    HGLOBAL loaded = LoadResource(module_, info);
    if (!loaded) return blob;
    blob.data = static_cast<const BYTE*>(LockResource(loaded));
    blob.size = SizeofResource(module_, info);
    return blob;
  }

  static HMODULE module_;
};

HMODULE ResourcesTest::module_ = nullptr;

// --- Dialog template -------------------------------------------------------

// A class or text field of a template: absent, an ordinal, or a string.
struct NameOrOrdinal {
  bool present = false;
  bool isOrdinal = false;
  WORD ordinal = 0;
  std::wstring text;
};

// Walks a standard (not extended) dialog template. Every read is checked
// against the resource's size; a short or malformed template sets ok false.
class TemplateReader {
 public:
  explicit TemplateReader(const Blob& blob) : data_(blob.data), size_(blob.size) {}

  bool ok() const { return ok_; }
  size_t offset() const { return pos_; }

  WORD Word() {
    if (!ok_ || pos_ + 2 > size_) return Fail<WORD>();
    WORD w;
    memcpy(&w, data_ + pos_, 2);
    pos_ += 2;
    return w;
  }
  short Short() { return static_cast<short>(Word()); }
  DWORD Dword() {
    DWORD low = Word();
    return low | static_cast<DWORD>(Word()) << 16;
  }
  std::wstring String() {
    std::wstring s;
    for (WORD c = Word(); ok_ && c != 0; c = Word()) s += static_cast<wchar_t>(c);
    return s;
  }
  // 0x0000: absent; 0xFFFF and a word: an ordinal; otherwise a string.
  NameOrOrdinal Field() {
    NameOrOrdinal f;
    WORD first = Word();
    if (!ok_ || first == 0) return f;
    f.present = true;
    if (first == 0xFFFF) {
      f.isOrdinal = true;
      f.ordinal = Word();
      return f;
    }
    pos_ -= 2;
    f.text = String();
    return f;
  }
  // Controls start on a DWORD boundary of the template.
  void AlignDword() { pos_ = (pos_ + 3) & ~static_cast<size_t>(3); }
  void Skip(size_t n) {
    if (pos_ + n > size_) {
      Fail<int>();
      return;
    }
    pos_ += n;
  }

 private:
  template <typename T>
  T Fail() {
    ok_ = false;
    return T();
  }
  const BYTE* data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};

struct Control {
  DWORD style, exStyle;
  short x, y, cx, cy;
  WORD id;
  NameOrOrdinal cls, text;
  WORD extraBytes;
};

struct Dialog {
  DWORD style, exStyle;
  WORD count;
  short x, y, cx, cy;
  NameOrOrdinal menu, cls;
  std::wstring caption;
  WORD pointSize = 0;
  std::wstring face;
  std::vector<Control> controls;
};

bool ParseDialog(const Blob& blob, Dialog* d) {
  TemplateReader r(blob);
  d->style = r.Dword();
  d->exStyle = r.Dword();
  d->count = r.Word();
  d->x = r.Short();
  d->y = r.Short();
  d->cx = r.Short();
  d->cy = r.Short();
  d->menu = r.Field();
  d->cls = r.Field();
  d->caption = r.String();
  if (d->style & DS_SETFONT) {
    d->pointSize = r.Word();
    d->face = r.String();
  }
  for (WORD i = 0; r.ok() && i < d->count; ++i) {
    r.AlignDword();
    Control c;
    c.style = r.Dword();
    c.exStyle = r.Dword();
    c.x = r.Short();
    c.y = r.Short();
    c.cx = r.Short();
    c.cy = r.Short();
    c.id = r.Word();
    c.cls = r.Field();
    c.text = r.Field();
    c.extraBytes = r.Word();
    r.Skip(c.extraBytes);
    if (r.ok()) d->controls.push_back(c);
  }
  return r.ok() && r.offset() <= blob.size;
}

struct ExpectedControl {
  WORD id;
  WORD classAtom;          // 0 when the class is a name
  const wchar_t* className;
  const wchar_t* text;     // empty: the template stores no text
  DWORD style;
  short x, y, cx, cy;
};

const WORD kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kListBox = 0x83;
const wchar_t kUpDown[] = L"msctls_updown32";

const ExpectedControl kControls[] = {
    {0xFFFF, kButton, nullptr, L"Screen Saver", 0x50000007, 5, 5, 310, 180},
    {0xFFFF, kStatic, nullptr, L"Preview", 0x50020001, 15, 20, 125, 8},
    {IDC_MONITOR, kButton, nullptr, L"", 0x5000000B, 15, 30, 125, 110},
    {IDC_PREVIEW_AREA, kStatic, nullptr, L"", 0x40000000, 25, 40, 102, 69},
    {0xFFFF, kStatic, nullptr, L"&Collections:", 0x50020000, 150, 20, 40, 8},
    {IDC_COLLECTIONS, kListBox, nullptr, L"", 0x50A00003, 150, 30, 160, 50},
    {0xFFFF, kButton, nullptr, L"Timing and Images", 0x50010007, 150, 75, 160, 105},
    {0xFFFF, kStatic, nullptr, L"Start screen saver after", 0x50020000, 155, 95, 80, 8},
    {IDC_START_DELAY, kEdit, nullptr, L"", 0x50810080, 235, 90, 30, 14},
    {IDC_START_DELAY_SPIN, 0, kUpDown, L"Spin1", 0x500000B6, 260, 90, 11, 14},
    {0xFFFF, kStatic, nullptr, L"minute(s)", 0x50020000, 270, 95, 30, 8},
    {0xFFFF, kStatic, nullptr, L"Change picture every", 0x50020000, 155, 115, 80, 8},
    {IDC_CHANGE_DELAY, kEdit, nullptr, L"", 0x50810080, 235, 110, 30, 14},
    {IDC_CHANGE_DELAY_SPIN, 0, kUpDown, L"Spin2", 0x50000096, 260, 110, 11, 14},
    {0xFFFF, kStatic, nullptr, L"second(s)", 0x50020000, 270, 115, 35, 8},
    {IDC_UPDATE_WALLPAPER, kButton, nullptr, L"Change &wallpaper image with screen saver",
     0x50010003, 155, 135, 151, 10},
    {IDC_FULL_SCREEN, kButton, nullptr, L"&Stretch images to full screen size", 0x50010003, 155,
     150, 125, 10},
    {IDC_SHOW_TITLE, kButton, nullptr, L"Show picture &titles", 0x50010003, 155, 165, 125, 10},
    {IDOK, kButton, nullptr, L"OK", 0x50010001, 205, 190, 50, 14},
    {IDCANCEL, kButton, nullptr, L"E&xit", 0x50010000, 260, 190, 50, 14},
};

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

// Styles compare as hex text, so a failure shows the flags readably.
std::string Hex(DWORD value) {
  char text[16];
  snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

TEST_F(ResourcesTest, DialogHeader) {
  Dialog d;
  ASSERT_TRUE(ParseDialog(Find(RT_DIALOG, IDD_CONFIG), &d)) << "template missing or truncated";
  EXPECT_EQ(Hex(d.style), Hex(0x90C000C0)) << "no system menu, no added styles";
  EXPECT_EQ(d.exStyle, 0u);
  EXPECT_EQ(d.count, 20);
  EXPECT_EQ(d.x, 14);
  EXPECT_EQ(d.y, 17);
  EXPECT_EQ(d.cx, 320);
  EXPECT_EQ(d.cy, 210);
  EXPECT_FALSE(d.menu.present) << "no menu";
  EXPECT_FALSE(d.cls.present) << "the system's dialog class";
  EXPECT_EQ(Narrow(d.caption), "Lumaro Configuration");
  EXPECT_EQ(d.pointSize, 8);
  EXPECT_EQ(Narrow(d.face), "MS Sans Serif");
}

TEST_F(ResourcesTest, DialogControlsInOrder) {
  Dialog d;
  ASSERT_TRUE(ParseDialog(Find(RT_DIALOG, IDD_CONFIG), &d)) << "template missing or truncated";
  ASSERT_EQ(d.controls.size(), sizeof kControls / sizeof kControls[0]);
  for (size_t i = 0; i < d.controls.size(); ++i) {
    const Control& got = d.controls[i];
    const ExpectedControl& want = kControls[i];
    SCOPED_TRACE("control #" + std::to_string(i + 1) + " (id " + std::to_string(want.id) +
                 ", \"" + Narrow(want.text) + "\")");
    EXPECT_EQ(got.id, want.id);
    if (want.classAtom) {
      EXPECT_TRUE(got.cls.isOrdinal) << "class stored as the name \"" << Narrow(got.cls.text)
                                     << "\", not as the standard atom";
      EXPECT_EQ(got.cls.ordinal, want.classAtom);
    } else {
      // Window class names match without regard to case; windres stores
      // this one in capitals.
      EXPECT_FALSE(got.cls.isOrdinal);
      EXPECT_EQ(lstrcmpiW(got.cls.text.c_str(), want.className), 0)
          << "class \"" << Narrow(got.cls.text) << "\"";
    }
    EXPECT_EQ(Hex(got.style), Hex(want.style));
    EXPECT_EQ(got.exStyle, 0u);
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.cx, want.cx);
    EXPECT_EQ(got.cy, want.cy);
    EXPECT_FALSE(got.text.isOrdinal);
    EXPECT_EQ(Narrow(got.text.text), Narrow(want.text));
    EXPECT_EQ(got.extraBytes, 0);
  }
}

// --- Monitor bitmap --------------------------------------------------------

const int kMonitorWidth = 185, kMonitorHeight = 170, kMonitorStride = 96;
const int kLightGrey = 7, kDarkGrey = 8, kGreen = 10, kWhite = 15, kBlack = 0;

class MonitorBitmapTest : public ResourcesTest {
 protected:
  void SetUp() override {
    ResourcesTest::SetUp();
    bitmap_ = Find(RT_BITMAP, IDB_MONITOR);
    ASSERT_EQ(bitmap_.size, 16424u) << "header, 16 colours and 170 rows of 96 bytes";
  }
  // Colour index of a pixel counted from the top-left; rows are stored bottom-up.
  int Pixel(int x, int y) const {
    const BYTE* row = bitmap_.data + 40 + 64 + (kMonitorHeight - 1 - y) * kMonitorStride;
    BYTE pair = row[x / 2];
    return x % 2 ? pair & 0x0F : pair >> 4;
  }
  Blob bitmap_;
};

TEST_F(MonitorBitmapTest, HeaderAndColourTable) {
  BITMAPINFOHEADER h;
  memcpy(&h, bitmap_.data, sizeof h);
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, kMonitorWidth);
  EXPECT_EQ(h.biHeight, kMonitorHeight) << "positive: stored bottom-up";
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 4);
  EXPECT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(h.biSizeImage, 16320u);
  EXPECT_EQ(h.biXPelsPerMeter, 0);
  EXPECT_EQ(h.biYPelsPerMeter, 0);
  EXPECT_EQ(h.biClrUsed, 0u);
  EXPECT_EQ(h.biClrImportant, 16u);
  EXPECT_EQ(memcmp(bitmap_.data + 40, kStandardColours, sizeof kStandardColours), 0);
}

// The preview window is laid over this rectangle, so its edges must be exact.
TEST_F(MonitorBitmapTest, ScreenIsBlackUpToItsBevel) {
  const int left = 15, top = 16, right = 167, bottom = 128;
  int nonBlack = 0;
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) nonBlack += Pixel(x, y) != kBlack;
  EXPECT_EQ(nonBlack, 0) << "pixels of the screen that are not black";

  struct Corner {
    const char* name;
    int x, y, dx, dy;
  } corners[] = {{"top-left", left, top, -1, -1},
                 {"top-right", right, top, 1, -1},
                 {"bottom-left", left, bottom, -1, 1},
                 {"bottom-right", right, bottom, 1, 1}};
  for (const Corner& c : corners) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Pixel(c.x, c.y), kBlack);
    EXPECT_NE(Pixel(c.x + c.dx, c.y), kBlack) << "beside the corner";
    EXPECT_NE(Pixel(c.x, c.y + c.dy), kBlack) << "above or below the corner";
    EXPECT_NE(Pixel(c.x + c.dx, c.y + c.dy), kBlack) << "diagonally outside";
  }
  // Sunken: shadow above and left, light below and right.
  EXPECT_EQ(Pixel(90, top - 1), kDarkGrey);
  EXPECT_EQ(Pixel(left - 1, 70), kDarkGrey);
  EXPECT_EQ(Pixel(90, bottom + 1), kWhite);
  EXPECT_EQ(Pixel(right + 1, 70), kWhite);
}

TEST_F(MonitorBitmapTest, StandAndGreenLight) {
  for (int y = 149; y <= 150; ++y)
    for (int x = 105; x <= 106; ++x) EXPECT_EQ(Pixel(x, y), kGreen) << "light at " << x << "," << y;
  EXPECT_NE(Pixel(104, 149), kGreen);
  EXPECT_NE(Pixel(107, 150), kGreen);
  EXPECT_NE(Pixel(105, 148), kGreen);
  EXPECT_NE(Pixel(106, 151), kGreen);

  // Each piece below the casing spans exactly its columns: drawn at its
  // outer columns, background just beyond them.
  struct Piece {
    const char* name;
    int top, bottom, left, right;
  } pieces[] = {{"casing", 0, 146, 0, 184},
                {"front strip", 147, 155, 48, 135},
                {"neck", 156, 162, 56, 127},
                {"foot", 163, 168, 36, 146}};
  for (const Piece& p : pieces) {
    SCOPED_TRACE(p.name);
    int middle = (p.top + p.bottom) / 2;
    EXPECT_NE(Pixel(p.left, middle), kLightGrey);
    EXPECT_NE(Pixel(p.right, middle), kLightGrey);
    if (p.left > 0) {
      EXPECT_EQ(Pixel(p.left - 1, middle), kLightGrey);
      EXPECT_EQ(Pixel(p.right + 1, middle), kLightGrey);
    }
  }
  for (int x = 0; x < kMonitorWidth; ++x) EXPECT_EQ(Pixel(x, 169), kLightGrey) << "row 169, x " << x;
}

// --- Cursor and icon -------------------------------------------------------

#pragma pack(push, 2)
struct GroupHeader {
  WORD reserved, type, count;
};
struct CursorGroupEntry {
  WORD width, height, planes, bitCount;
  DWORD bytes;
  WORD id;
};
struct IconGroupEntry {
  BYTE width, height, colourCount, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

bool AllBytes(const BYTE* p, size_t n, BYTE value) {
  for (size_t i = 0; i < n; ++i)
    if (p[i] != value) return false;
  return true;
}

TEST_F(ResourcesTest, BlankCursor) {
  Blob group = Find(RT_GROUP_CURSOR, IDC_BLANK_CURSOR);
  ASSERT_EQ(group.size, sizeof(GroupHeader) + sizeof(CursorGroupEntry));
  GroupHeader gh;
  CursorGroupEntry entry;
  memcpy(&gh, group.data, sizeof gh);
  memcpy(&entry, group.data + sizeof gh, sizeof entry);
  EXPECT_EQ(gh.type, 2) << "cursor group";
  EXPECT_EQ(gh.count, 1);
  EXPECT_EQ(entry.width, 32);
  EXPECT_EQ(entry.height, 64) << "both masks";
  EXPECT_EQ(entry.bitCount, 1);

  // What LoadCursor picks from the group for a standard cursor.
  EXPECT_EQ(LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group.data), FALSE, 32, 32, LR_MONOCHROME),
            entry.id);

  Blob image = Find(RT_CURSOR, entry.id);
  const size_t masks = 32 * 4;
  ASSERT_EQ(image.size, 4 + 40 + 8 + 2 * masks);
  ASSERT_EQ(entry.bytes, image.size);
  WORD hotSpot[2];
  memcpy(hotSpot, image.data, sizeof hotSpot);
  EXPECT_EQ(hotSpot[0], 0);
  EXPECT_EQ(hotSpot[1], 0);
  BITMAPINFOHEADER h;
  memcpy(&h, image.data + 4, sizeof h);
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 32);
  EXPECT_EQ(h.biHeight, 64);
  EXPECT_EQ(h.biBitCount, 1);
  const BYTE* xorMask = image.data + 4 + 40 + 8;
  EXPECT_TRUE(AllBytes(xorMask, masks, 0x00)) << "XOR mask must be all zeros";
  EXPECT_TRUE(AllBytes(xorMask + masks, masks, 0xFF)) << "AND mask must be all ones";
}

TEST_F(ResourcesTest, BlackIcon) {
  Blob group = Find(RT_GROUP_ICON, IDI_LUMARO);
  ASSERT_EQ(group.size, sizeof(GroupHeader) + sizeof(IconGroupEntry));
  GroupHeader gh;
  IconGroupEntry entry;
  memcpy(&gh, group.data, sizeof gh);
  memcpy(&entry, group.data + sizeof gh, sizeof entry);
  EXPECT_EQ(gh.type, 1) << "icon group";
  EXPECT_EQ(gh.count, 1);
  EXPECT_EQ(entry.width, 32);
  EXPECT_EQ(entry.height, 32);
  EXPECT_EQ(entry.colourCount, 16);
  EXPECT_EQ(entry.bitCount, 4);

  Blob image = Find(RT_ICON, entry.id);
  const size_t xorSize = 32 * 16, andSize = 32 * 4;
  ASSERT_EQ(image.size, 40 + 64 + xorSize + andSize);
  BITMAPINFOHEADER h;
  memcpy(&h, image.data, sizeof h);
  EXPECT_EQ(h.biWidth, 32);
  EXPECT_EQ(h.biHeight, 64);
  EXPECT_EQ(h.biBitCount, 4);
  EXPECT_EQ(memcmp(image.data + 40, kStandardColours, sizeof kStandardColours), 0);
  EXPECT_TRUE(AllBytes(image.data + 40 + 64, xorSize, 0x00)) << "every pixel black";
  EXPECT_TRUE(AllBytes(image.data + 40 + 64 + xorSize, andSize, 0x00)) << "fully opaque";
}

// --- Version record --------------------------------------------------------

TEST_F(ResourcesTest, VersionRecord) {
  ASSERT_NE(Find(RT_VERSION, 1).data, nullptr) << "version record 1 under U.S. English";
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(LUMARO_SCR, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(LUMARO_SCR, 0, size, info.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
  ASSERT_GE(len, sizeof *fixed);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &len));
  ASSERT_EQ(len, 4u) << "exactly one translation";
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 1200);

  const struct {
    const char* key;
    const char* value;
  } strings[] = {{"FileVersion", "1, 0, 0, 1"},
                 {"ProductVersion", "1, 0, 0, 1"},
                 {"OriginalFilename", "lumaro.scr"},
                 {"ProductName", "Lumaro"}};
  for (const auto& s : strings) {
    std::string path = std::string("\\StringFileInfo\\040904B0\\") + s.key;
    char* value = nullptr;
    EXPECT_TRUE(VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &len))
        << s.key;
    if (value) {
      EXPECT_STREQ(value, s.value) << s.key;
    }
  }
}

}  // namespace
