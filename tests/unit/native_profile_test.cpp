// The profile functions as the program relies on them. The same cases run
// natively against the stand-ins and under Wine against Windows' own.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win.h"
#include "test_files.h"

namespace {

const char kSample[] =
    "top=1\r\n[Sets]\r\nSEA=C:\\PICS\\SEA.INI\r\nNOEQ\r\n; note=x\r\n\r\n"
    "  Spaced Name  =  spaced value  \r\nQ=\"quoted\"\r\n"
    "[Ints]\r\na=12abc\r\nb= 7\r\nc=-3\r\nd=abc\r\ne=\r\nf=+5\r\ng=+\r\nh=- 5\r\n"
    "i=99999999999\r\nj=1234567890123456789012345678901234567890\r\n"
    "[A]\r\nk=ab\0cd\r\nbin=\x01\xff\x80z\r\n[Broken\r\nx=y\r\nno equals sign here\r\n[B]\r\nv=2";

// Section Sets of the sample as GetPrivateProfileSectionA lists it: no
// comments or blank lines, names and values trimmed, quotes kept.
const std::string kSets("SEA=C:\\PICS\\SEA.INI\0NOEQ\0Spaced Name=spaced value\0Q=\"quoted\"\0", 61);

class Profile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string text(kSample, sizeof kSample - 1);
    WriteFile(m_file, text.replace(text.find("bin="), 0, "long=" + std::string(100000, 'L') + "\r\n"));
  }
  std::string Read(const char* section, const char* key, const char* def = "def", const std::string& file = "") {
    char buf[300];
    GetPrivateProfileStringA(section, key, def, buf, 255, (file.empty() ? m_file : file).c_str());
    return buf;
  }
  int Int(const char* section, const char* key) {
    return static_cast<int>(GetPrivateProfileIntA(section, key, 42, m_file.c_str()));
  }

  TempDir m_dir;
  std::string m_file = m_dir.Path("p.ini");
};

TEST_F(Profile, StringReads) {
  const struct {
    const char *section, *key, *expected, *what;
  } cases[] = {
      {"Sets", "SEA", "C:\\PICS\\SEA.INI", "value"},
      {"Sets", "LAKE", "def", "missing key"},
      {"Nope", "SEA", "def", "missing section"},
      {"Sets", "NOEQ", "def", "line without '='"},
      {"Ints", "e", "", "an empty value is not absent"},
      {"sets", "sea", "C:\\PICS\\SEA.INI", "names ignore case"},
      {" Sets ", "  Spaced Name ", "spaced value", "blanks around names and values go"},
      {"Sets", "Q", "quoted", "one pair of quotes goes"},
      {"", "top", "1", "lines before any section"},
      {"A", "k", "ab", "a NUL ends the value"},
      {"A", "bin", "\x01\xff\x80z", "bytes as they stand"},
      {"A", "x", "y", "a header without ']' is an ordinary line"},
      {"Broken", "x", "def", "... and no section"},
      {"B", "v", "2", "no final line break"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, Read(c.section, c.key)) << c.what;
  EXPECT_EQ(std::string(254, 'L'), Read("A", "long")) << "cut at size - 1";
  EXPECT_EQ("", Read("Sets", "SEA", "", m_dir.Path("none.ini"))) << "missing file";
}

TEST_F(Profile, StringReadIsCutAndAlwaysTerminated) {
  const struct {
    const char* key;
    DWORD size, returned;
    std::string bytes;  // then an untouched 'X'
  } cases[] = {
      {"SEA", 5, 4, std::string("C:\\P", 5)},
      {"SEA", 1, 0, std::string(1, '\0')},
      {"SEA", 0, 0, ""},                             // size 0 writes nothing
      {"none", 5, 4, std::string("long", 5)},  // the default is cut too
  };
  for (const auto& c : cases) {
    char buf[16];
    memset(buf, 'X', sizeof buf);
    EXPECT_EQ(c.returned, GetPrivateProfileStringA("Sets", c.key, "longdefault", buf, c.size, m_file.c_str()));
    EXPECT_EQ(c.bytes + "X", std::string(buf, c.bytes.size() + 1)) << c.key << " in " << c.size;
  }
}

TEST_F(Profile, IntParsesLikeWindows) {
  const struct {
    const char* key;
    int expected;
  } cases[] = {
      {"a", 12}, {"b", 7}, {"c", -3}, {"f", 5},   // digits up to the first other character, after blanks
      {"d", 0},  {"g", 0}, {"h", 0},              // no digits, a sign alone, sign and digits apart
      {"e", 42}, {"zz", 42},                      // an empty value or none: the default
      {"i", 1215752191}, {"j", 1849262357},       // wraps modulo 2^32; only the first 29 characters count
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, Int("Ints", c.key)) << c.key;
  EXPECT_EQ(42, static_cast<int>(GetPrivateProfileIntA("Ints", "a", 42, m_dir.Path("none.ini").c_str())));
}

TEST_F(Profile, WriteReplacesCreatesAndKeepsOtherLines) {
  EXPECT_TRUE(WritePrivateProfileStringA("sets", "sea", "D:\\X.INI", m_file.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("Ints", "new", "  v v  ", m_file.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("Fresh", "K", "", m_file.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("B", "w", "3", m_file.c_str()));
  EXPECT_EQ("D:\\X.INI", Read("Sets", "SEA"));
  EXPECT_EQ(std::string::npos, ReadFile(m_file).find("C:\\PICS\\SEA.INI")) << "replaced, not repeated";
  EXPECT_NE(std::string::npos, ReadFile(m_file).find("; note=x")) << "comment kept";
  EXPECT_EQ("v v quoted  3 2 ab 12", Read("Ints", "new") + " " + Read("Sets", "Q") + " " + Read("Fresh", "K") + " " +
                                         Read("B", "w") + " " + Read("B", "v") + " " + Read("A", "k") + " " +
                                         std::to_string(Int("Ints", "a")));

  const std::string file = m_dir.Path("new.ini"), deep = m_dir.Path("sub\\new.ini");
  EXPECT_TRUE(WritePrivateProfileStringA("Main", "ShowTitle", "1", file.c_str()));
  EXPECT_EQ("1", Read("Main", "ShowTitle", "", file)) << "a new file";
  WritePrivateProfileStringA("Main", "ShowTitle", "1", deep.c_str());
  EXPECT_FALSE(FileExists(deep)) << "but no new directory";

  SettingsFileScope scope;
  WritePrivateProfileStringA("Main", "ShowTitle", "1", "LUMARO.INI");
  EXPECT_NE(std::string::npos, ReadFile(SettingsFilePath()).find("ShowTitle=1")) << "a bare name";
  EXPECT_EQ(1u, GetPrivateProfileIntA("main", "showtitle", 0, "LUMARO.INI"));
}

// Whole, the list ends in two NULs and the count leaves out the last; cut,
// it holds size - 2 characters and two NULs, and the count is size - 2.
TEST_F(Profile, SectionListsEntriesInOrderAndIsCutToFit) {
  const DWORD fit = DWORD(kSets.size() + 1);
  for (DWORD size : {DWORD(300), fit + 1, fit, fit - 1, DWORD(40), DWORD(23), DWORD(10), DWORD(3), DWORD(2)}) {
    char buf[310];
    memset(buf, 'X', sizeof buf);
    std::string expected = size >= fit ? kSets + '\0' : kSets.substr(0, size - 2) + std::string(2, '\0');
    EXPECT_EQ(size > fit ? fit - 1 : size - 2, GetPrivateProfileSectionA("Sets", buf, size, m_file.c_str())) << size;
    EXPECT_EQ(expected + 'X', std::string(buf, expected.size() + 1)) << size;
  }
  char buf[8] = "XXXXXXX";
  EXPECT_EQ(0u, GetPrivateProfileSectionA("Nope", buf, sizeof buf, m_file.c_str()));
  EXPECT_EQ(0u, GetPrivateProfileSectionA("Sets", buf + 1, 7, m_dir.Path("none.ini").c_str()));
  EXPECT_EQ(std::string(2, '\0'), std::string(buf, 2)) << "missing section, missing file";
}

}  // namespace
