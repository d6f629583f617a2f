// The profile functions as the program relies on them. The same cases run
// natively against the stand-ins and under Wine against Windows' own.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "platform/win.h"
#include "test_files.h"

namespace {

const char kSample[] =
    "top=1\r\n"
    "[Sets]\r\n"
    "SEA=C:\\PICS\\SEA.INI\r\n"
    "NOEQ\r\n"
    "; note=x\r\n"
    "\r\n"
    "  Spaced Name  =  spaced value  \r\n"
    "Q=\"quoted\"\r\n"
    "[Ints]\r\n"
    "a=12abc\r\nb= 7\r\nc=-3\r\nd=abc\r\ne=\r\nf=+5\r\ng=+\r\nh=- 5\r\n"
    "i=99999999999\r\nj=1234567890123456789012345678901234567890\r\n";

class Profile : public ::testing::Test {
 protected:
  void SetUp() override {
    m_file = m_dir.Path("p.ini");
    WriteFile(m_file, kSample);
  }
  std::string Read(const char* section, const char* key, const char* def = "def", DWORD size = 255) {
    char buf[300];
    GetPrivateProfileStringA(section, key, def, buf, size, m_file.c_str());
    return buf;
  }
  TempDir m_dir;
  std::string m_file;
};

TEST_F(Profile, StringReadsValueOrDefault) {
  EXPECT_EQ("C:\\PICS\\SEA.INI", Read("Sets", "SEA"));
  EXPECT_EQ("def", Read("Sets", "LAKE")) << "missing key";
  EXPECT_EQ("def", Read("Nope", "SEA")) << "missing section";
  EXPECT_EQ("def", Read("Sets", "NOEQ")) << "line without '='";
  EXPECT_EQ("", Read("Ints", "e")) << "empty value is not absent";
  char buf[20] = "x";
  GetPrivateProfileStringA("Sets", "SEA", "", buf, sizeof buf, m_dir.Path("none.ini").c_str());
  EXPECT_STREQ("", buf) << "missing file";
}

TEST_F(Profile, NamesIgnoreCaseAndBlanksValuesAreTrimmed) {
  EXPECT_EQ("C:\\PICS\\SEA.INI", Read("sets", "sea"));
  EXPECT_EQ("spaced value", Read("SETS", "spaced name"));
  EXPECT_EQ("spaced value", Read(" Sets ", "  Spaced Name "));
  EXPECT_EQ("quoted", Read("Sets", "Q")) << "one pair of quotes goes";
  EXPECT_EQ("1", Read("", "top")) << "lines before any section";
}

TEST_F(Profile, StringReadIsCutAndAlwaysTerminated) {
  char buf[16];
  memset(buf, 'X', sizeof buf);
  EXPECT_EQ(4u, GetPrivateProfileStringA("Sets", "SEA", "", buf, 5, m_file.c_str()));
  EXPECT_STREQ("C:\\P", buf);
  EXPECT_EQ('X', buf[5]);

  memset(buf, 'X', sizeof buf);
  EXPECT_EQ(0u, GetPrivateProfileStringA("Sets", "SEA", "", buf, 1, m_file.c_str()));
  EXPECT_EQ('\0', buf[0]);
  EXPECT_EQ('X', buf[1]);

  memset(buf, 'X', sizeof buf);
  EXPECT_EQ(0u, GetPrivateProfileStringA("Sets", "SEA", "", buf, 0, m_file.c_str()));
  EXPECT_EQ('X', buf[0]) << "size 0 writes nothing";

  memset(buf, 'X', sizeof buf);
  GetPrivateProfileStringA("Sets", "none", "longdefault", buf, 5, m_file.c_str());
  EXPECT_STREQ("long", buf) << "the default is cut too";
}

TEST_F(Profile, IntParsesLikeWindows) {
  struct Case {
    const char* key;
    int expected;
  } cases[] = {
      {"a", 12},          // digits up to the first other character
      {"b", 7},           // leading blank
      {"c", -3},          //
      {"d", 0},           // no digits at all
      {"e", 42},          // empty value: the default
      {"f", 5},           //
      {"g", 0},           // a sign alone
      {"h", 0},           // sign and digits apart
      {"i", 1215752191},  // 99999999999 wraps around modulo 2^32
      {"j", 1849262357},  // only the first 29 characters count
      {"zz", 42},         // missing
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, static_cast<int>(GetPrivateProfileIntA("Ints", c.key, 42, m_file.c_str()))) << c.key;
  EXPECT_EQ(42, static_cast<int>(GetPrivateProfileIntA("Ints", "a", 42, m_dir.Path("none.ini").c_str())));
}

TEST_F(Profile, WriteReplacesAndKeepsOtherLines) {
  EXPECT_TRUE(WritePrivateProfileStringA("sets", "sea", "D:\\X.INI", m_file.c_str()));
  EXPECT_EQ("D:\\X.INI", Read("Sets", "SEA"));
  std::string text = ReadFile(m_file);
  EXPECT_EQ(std::string::npos, text.find("C:\\PICS\\SEA.INI")) << "old value replaced, not repeated";
  EXPECT_NE(std::string::npos, text.find("; note=x")) << "comment kept";
  EXPECT_EQ("quoted", Read("Sets", "Q"));
  EXPECT_EQ(12, static_cast<int>(GetPrivateProfileIntA("Ints", "a", 0, m_file.c_str())));

  EXPECT_TRUE(WritePrivateProfileStringA("Ints", "new", "  v v  ", m_file.c_str()));
  EXPECT_EQ("v v", Read("Ints", "new"));
  EXPECT_TRUE(WritePrivateProfileStringA("Fresh", "K", "", m_file.c_str()));
  EXPECT_EQ("", Read("Fresh", "K"));
  EXPECT_EQ("C:\\PICS\\SEA.INI", Read("Sets", "NOEQ", "C:\\PICS\\SEA.INI")) << "untouched";
}

TEST_F(Profile, WriteCreatesFileButNotDirectory) {
  std::string file = m_dir.Path("new.ini");
  EXPECT_TRUE(WritePrivateProfileStringA("Main", "ShowTitle", "1", file.c_str()));
  EXPECT_EQ(1u, GetPrivateProfileIntA("Main", "ShowTitle", 0, file.c_str()));

  std::string deep = m_dir.Path("sub\\new.ini");
  WritePrivateProfileStringA("Main", "ShowTitle", "1", deep.c_str());
  EXPECT_FALSE(FileExists(deep));
}

TEST(ProfileBareName, LivesInTheSettingsDirectory) {
  SettingsFileScope scope;
  EXPECT_FALSE(FileExists(SettingsFilePath()));
  WritePrivateProfileStringA("Main", "ShowTitle", "1", "LUMARO.INI");
  EXPECT_NE(std::string::npos, ReadFile(SettingsFilePath()).find("ShowTitle=1"));
  EXPECT_EQ(1u, GetPrivateProfileIntA("main", "showtitle", 0, "LUMARO.INI"));
}

std::string List(const char* buf, DWORD size) { return std::string(buf, size); }

// Section Sets of the sample as GetPrivateProfileSectionA lists it.
std::string FullSets() {
  std::string s;
  for (const char* e : {"SEA=C:\\PICS\\SEA.INI", "NOEQ", "Spaced Name=spaced value", "Q=\"quoted\""}) {
    s += e;
    s += '\0';
  }
  return s + '\0';
}

TEST_F(Profile, SectionListsEntriesInOrder) {
  char buf[300];
  memset(buf, 'X', sizeof buf);
  DWORD n = GetPrivateProfileSectionA("Sets", buf, sizeof buf, m_file.c_str());
  const std::string full = FullSets();
  EXPECT_EQ(full.size() - 1, n);
  EXPECT_EQ(full, List(buf, full.size())) << "comments and blank lines are left out";

  memset(buf, 'X', sizeof buf);
  EXPECT_EQ(0u, GetPrivateProfileSectionA("Nope", buf, sizeof buf, m_file.c_str()));
  EXPECT_EQ(0, buf[0]);
  memset(buf, 'X', sizeof buf);
  EXPECT_EQ(0u, GetPrivateProfileSectionA("Sets", buf, sizeof buf, m_dir.Path("none.ini").c_str()));
  EXPECT_EQ(0, buf[0]);
}

TEST_F(Profile, SectionIsCutToFit) {
  const std::string full = FullSets();
  const DWORD fit = static_cast<DWORD>(full.size());
  char buf[80];
  // One byte to spare.
  memset(buf, 'X', sizeof buf);
  EXPECT_EQ(fit - 1, GetPrivateProfileSectionA("Sets", buf, fit + 1, m_file.c_str()));
  EXPECT_EQ(full, List(buf, fit));
  EXPECT_EQ('X', buf[fit]);
  // Exactly enough room: the whole list, but reported as cut.
  memset(buf, 'X', sizeof buf);
  EXPECT_EQ(fit - 2, GetPrivateProfileSectionA("Sets", buf, fit, m_file.c_str()));
  EXPECT_EQ(full, List(buf, fit));
  EXPECT_EQ('X', buf[fit]);
  // Cut: size - 2 characters of the list, then two terminators.
  for (DWORD size : std::initializer_list<DWORD>{fit - 1, 40, 23, 10, 3, 2}) {
    memset(buf, 'X', sizeof buf);
    EXPECT_EQ(size - 2, GetPrivateProfileSectionA("Sets", buf, size, m_file.c_str())) << size;
    EXPECT_EQ(full.substr(0, size - 2) + std::string(2, '\0'), List(buf, size)) << size;
    EXPECT_EQ('X', buf[size]) << size;
  }
}

TEST_F(Profile, JunkNeverBreaksReads) {
  static const char kHead[] = "[A]\r\nk=ab\0cd\r\nbin=\x01\xff\x80z\r\n";
  std::string junk(kHead, sizeof kHead - 1);
  junk += "[Broken\r\nx=y\r\n";
  junk += "long=" + std::string(100000, 'L') + "\r\n";
  junk += "no equals sign here\r\n[B]\r\nv=2";  // no final line break
  WriteFile(m_file, junk);
  EXPECT_EQ("ab", Read("A", "k")) << "a NUL ends the value";
  EXPECT_EQ("\x01\xff\x80z", Read("A", "bin"));
  EXPECT_EQ("y", Read("A", "x")) << "a header without ']' is an ordinary line";
  EXPECT_EQ("def", Read("Broken", "x"));
  EXPECT_EQ(std::string(254, 'L'), Read("A", "long"));
  EXPECT_EQ(2u, GetPrivateProfileIntA("B", "v", 0, m_file.c_str()));

  char buf[64];
  memset(buf, 'X', sizeof buf);
  DWORD n = GetPrivateProfileSectionA("A", buf, 32, m_file.c_str());
  EXPECT_EQ(30u, n);
  EXPECT_EQ(0, buf[30]);
  EXPECT_EQ(0, buf[31]);
  EXPECT_EQ('X', buf[32]);

  EXPECT_TRUE(WritePrivateProfileStringA("B", "w", "3", m_file.c_str()));
  EXPECT_EQ(3u, GetPrivateProfileIntA("B", "w", 0, m_file.c_str()));
  EXPECT_EQ(2u, GetPrivateProfileIntA("B", "v", 0, m_file.c_str()));
  EXPECT_EQ("ab", Read("A", "k"));
}

}  // namespace
