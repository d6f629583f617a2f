// Names and files in any encoding: UTF-8 and UTF-16, case, numbers and lines as the profile functions read
// them, and the encoding each write leaves a profile file in.
#include <gtest/gtest.h>

#include "settings/profile.h"
#include "text/ansi.h"
#include "text/named_file.h"
#include "text/text_file.h"
#include "text/utf.h"
#include "unit/settings_fixture.h"

namespace {

TEST(Text, Utf8Utf16AndCase) {
  const std::pair<std::string, bool> forms[] = {
      {"plain", true}, {"caf\xC3\xA9 \xE6\x9D\xB1 \xF0\x9F\x8E\x89 \xEF\xBF\xBD", true}, {"\xC0\x80", false},
      {"\xE0\x80\x80", false}, {"\xED\xA0\x80", false}, {"\xF4\x90\x80\x80", false}, {"\xE2\x82", false},
      {"\x80", false}, {"\xF5\x80\x80\x80", false}, {"a\xC3", false}, {"\xC3(", false}, {"\xED\xBF\xBF", false},
      {"\xC2\x80\xE0\xA0\x80\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", true}};  // the least of each length, and the last
  for (const auto& [text, valid] : forms) {
    EXPECT_EQ(valid, IsUtf8(text.data(), text.size())) << text;
    EXPECT_EQ(valid, text == Utf16ToUtf8(Utf8ToUtf16(text))) << text;
  }
  EXPECT_EQ(u"\uFFFDa\uFFFD\uFFFD\U0001F389", Utf8ToUtf16("\xC0" "a\xE2\x82\xF0\x9F\x8E\x89"));
  EXPECT_EQ("\xEF\xBF\xBD" "a\xEF\xBF\xBD", Utf16ToUtf8(std::u16string(u"\xD83C" u"a" u"\xDF89")));  // unpaired halves
  const std::string mixed = "a\xCE\xA9\xF0\x90\x80\x80" "b";  // 1 + 1 + 2 (U+10000) + 1 units
  const char* cuts[] = {"", "a", "a\xCE\xA9", "a\xCE\xA9", "a\xCE\xA9\xF0\x90\x80\x80"};
  for (size_t units = 0; units < 5; ++units) EXPECT_EQ(cuts[units], CutToUnits(mixed, units)) << units;
  EXPECT_EQ(mixed, CutToUnits(mixed, 5));
  EXPECT_EQ(5u, Utf16Length(mixed));

  const std::tuple<const char*, const char*, bool> pairs[] = {
      {"Sets", "SETS", true}, {"caf\xC3\xA9", "CAF\xC3\x89", true}, {"\xC3\xB7", "\xC3\x97", false},
      {"\xC3\xBF", "\xC5\xB8", true}, {"\xC5\x82", "\xC5\x81", true}, {"\xC4\x9F", "\xC4\x9E", true},
      {"\xC5\xBE", "\xC5\xBD", true}, {"\xCE\xAC\xCE\xAD\xCF\x8C\xCF\x8E", "\xCE\x86\xCE\x88\xCE\x8C\xCE\x8F", true},
      {"\xCF\x82\xCE\xBB", "\xCE\xA3\xCE\x9B", true}, {"\xD0\xBC\xD1\x91", "\xD0\x9C\xD0\x81", true},
      {"\xD1\xA1\xD2\x8B", "\xD1\xA0\xD2\x8A", true}, {"\xC3\x9F", "SS", false}, {"a", "ab", false}, {"", "", true},
      // each range's first and last letters
      {"āŋňźίαаяѐѡҁҋҿ", "ĀŊŇŹΊΑАЯЀѠҀҊҾ", true}};
  for (const auto& [a, b, same] : pairs) {
    EXPECT_EQ(same, SameTextIgnoringCase(a, b)) << a << " " << b;
    EXPECT_EQ(same, SameTextIgnoringCase(b, a)) << b << " " << a;
  }
}

// Numbers as the profile functions read them, and the lines around them as they take them.
TEST_F(Settings, NumbersAndLines) {
  WriteFile(m_file, "[M]\n \t a = \v0x1F\f\nb=0o17\n  \r\n[not a header\nc=0b12\nd=-12\ne=+7 x\nf=  42abc\ng=0XaB\n"
                    "h=0xaFz\ni=0xFa\nj=4294967297\nk=z\nl=\ns=xyzx\nq='quoted'\n");
  const Profile ini(m_file.c_str());
  std::string read;
  for (const char* key : {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"}) read += std::to_string(ini.Int("M", key, 99)) + " ";
  EXPECT_EQ("31 15 1 -12 7 42 0 175 250 1 0 99 xyzx quoted", read + ini.String("M", "s") + " " + ini.String("M", "q"));
}

// A file is replaced whole or not at all: a move that fails (onto a folder, or into a folder that does not exist)
// leaves what was there and no new file beside it.
TEST_F(Settings, ReplacedWholeOrNotAtAll) {
  const std::string file = m_dir.Path("F.INI"), folder = m_dir.Path("D.INI");
  std::filesystem::create_directories(LocalPath(folder + "\\inside"));
  WriteFile(file, "old");
  const std::tuple<std::string, bool, std::string> cases[] = {
      {file, true, "new"}, {folder, false, ""}, {m_dir.Path("missing\\F.INI"), false, ""}};
  for (const auto& [path, replaced, after] : cases) {
    EXPECT_EQ(replaced, ReplaceNamedFile(path, "new")) << path;
    EXPECT_TRUE(replaced || NamedFileError() != 0) << path << ": no reason";
    EXPECT_EQ(after, ReadFile(path)) << path;
  }
  EXPECT_TRUE(std::filesystem::is_directory(LocalPath(folder + "\\inside")));
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(LocalPath(m_dir.dir))) files += entry.is_regular_file();
  EXPECT_EQ(1u, files) << "a new file was left beside the old";
}

class Encodings : public Settings {
 protected:
  std::string Read() {
    std::ifstream in(LocalPath(m_file), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
};

// A write keeps a file in the code page while its names fit there; a name that does not turns the file into
// UTF-16 whole, keeping every section, and later writes keep it so. A UTF-8 file goes back to the code page
// when everything fits, as Windows' own functions cannot read UTF-8.
TEST_F(Encodings, WritesKeepOrWidenTheFile) {
  WriteFile(m_file, "[Other]\r\nKeep=\xFF" "es\r\nGone=1\r\n");
  ASSERT_TRUE(WriteProfileValue(m_file.c_str(), "Sets", "Caf\xC3\xA9", "C:\\c"));
  ASSERT_TRUE(WriteProfileValue(m_file.c_str(), "Other", "Gone", nullptr));
  EXPECT_EQ("[Other]\r\nKeep=\xFF" "es\r\n[Sets]\r\nCaf\xE9=C:\\c\r\n", Read().substr(Read().find('[')));
  ASSERT_TRUE(WriteProfileValue(m_file.c_str(), "Sets", "\xCE\x95\xCE\xBB", "C:\\\xCE\xB5"));
  ASSERT_TRUE(WriteProfileValue(m_file.c_str(), "Main", "Fade", "0"));
  ASSERT_TRUE(WriteProfileValue(m_file.c_str(), "Sets", "Caf\xC3\xA9", nullptr));
  EXPECT_EQ("\xFF\xFE", Read().substr(0, 2));
  const Profile widened(m_file.c_str());
  EXPECT_EQ("\xC3\xBF" "es|C:\\\xCE\xB5|0|", widened.String("Other", "Keep") + "|" + widened.String("Sets", "\xCE\xB5\xCE\xBB") +
                                                "|" + widened.String("Main", "Fade") + "|" + widened.String("Sets", "Caf\xC3\xA9"));
#ifdef _WIN32
  // What an older version, reading through the narrow functions, gets from it.
  char old[64];
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, m_file.c_str());
  GetPrivateProfileStringA("Other", "Keep", "", old, sizeof old, m_file.c_str());
  EXPECT_STREQ("\xFF" "es", old);
#endif
  WriteFile(m_file, "\xFF\xFE");  // empty, but UTF-16
  ASSERT_TRUE(WriteProfileValue(m_file.c_str(), "Main", "Fade", "1"));
  EXPECT_EQ(std::string("\xFF\xFE[\0", 4), Read().substr(0, 4));
  WriteFile(m_file, "[Sets]\r\nCaf\xC3\xA9=C:\\c\r\n");
  ASSERT_TRUE(WriteProfileValue(m_file.c_str(), "Main", "Fade", "1"));
  EXPECT_EQ("[Sets]\r\nCaf\xE9=C:\\c\r\n[Main]\r\nFade=1\r\n", Read().substr(Read().find('[')));

#ifdef _WIN32
  // A file in the code page, as the program writes it, comes out of our writes byte for byte as the system's own
  // writes leave it. (Wine's, unlike Windows', also drop blank lines and the blanks around "=".)
  const std::string start = "; kept\r\n[Main]\r\nFade=0\r\nshowtitle=1\r\n[Sets]\r\nA=C:\\a\r\n[Old]\r\nX=1\r\n";
  const IniChange changes[] = {{"Main", "ShowTitle", "0"}, {"Main", "New", "2"},      {"Sets", "B", "C:\\b"},
                               {"Sets", "A", nullptr},     {"Wallpaper", "UpdateWallpaper", "1"},
                               {" Main ", "Fade", "1"},    {"Caf\xC3\xA9", "K", "\xC3\xA9t\xC3\xA9"}};
  const std::string theirs = m_dir.Path("THEIRS.INI");
  WriteFile(m_file, start), WriteFile(theirs, start);
  for (const IniChange& c : changes) {
    ASSERT_TRUE(WriteProfileValues(m_file, {c})) << c.section;
    std::string s, k, v;
    Utf8ToAnsi(c.section, &s), Utf8ToAnsi(c.key ? c.key : "", &k), Utf8ToAnsi(c.value ? c.value : "", &v);
    WritePrivateProfileStringA(s.c_str(), c.key ? k.c_str() : nullptr, c.value ? v.c_str() : nullptr, theirs.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, theirs.c_str());
    EXPECT_EQ(ReadFile(theirs), Read()) << "after " << c.section << " " << (c.key ? c.key : "-");
  }
#endif
}

}  // namespace
