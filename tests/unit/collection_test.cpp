// The catalogue, resolving and switching collections, and the lookups in a
// collection file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/collection.h"
#include "settings/saver_settings.h"
#include "test_files.h"

namespace {

#define SET_FIELD(field, text) snprintf(theSettings.field, sizeof theSettings.field, "%s", std::string(text).c_str())

class Collection : public ::testing::Test {
 protected:
  void SetUp() override { memset(&theSettings, 0, sizeof theSettings); }
  void TearDown() override { memset(&theSettings, 0, sizeof theSettings); }
  void WriteSettings(const std::string& text) { WriteFile(SettingsFilePath(), text); }
  std::string Resolved() {
    return std::string(theSettings.CollectionFile) + " | " + theSettings.CollectionDir + " | " +
           std::to_string(theSettings.PictureCount);
  }

  SettingsFileScope m_scope;
  TempDir m_dir;
};

TEST_F(Collection, CatalogueListsWholeNamesInFileOrder) {
  // 100 entries of 101 bytes for an 8192-byte list: 81 fit, the 82nd is cut.
  std::string big = "[Sets]\r\n";
  std::vector<std::string> first81;
  for (int i = 0; i < 100; ++i) {
    char name[8];
    snprintf(name, sizeof name, "S%03d", i);
    big += std::string(name) + "=" + std::string(95, 'p') + "\r\n";
    if (i < 81) first81.push_back(name);
  }
  const std::string n300(300, 'n'), n255(255, 'n');
  const struct {
    const char* name;
    std::string text;  // "" for no file
    std::vector<std::string> names;
  } cases[] = {
      {"no settings file", "", {}},
      {"file order", "[Sets]\r\nSEA=C:\\PICS\\SEA.INI\r\nMountains=D:\\M.INI\r\nNo Path Given\r\n=empty name\r\n",
       {"SEA", "Mountains", "No Path Given", ""}},
      {"no Sets section", "[Main]\r\nShowTitle=1\r\n", {}},
      {"empty Sets section", "[Sets]\r\n[Main]\r\nShowTitle=1\r\n", {}},
      {"names cut at 255", "[Sets]\r\n" + n300 + "=C:\\X.INI\r\n" + n300 + "\r\nB=1\r\n", {n255, n255, "B"}},
      {"more than the list holds", big, first81},
  };
  for (const auto& c : cases) {
    if (!c.text.empty()) WriteSettings(c.text);
    std::vector<std::string> names;
    ListCollections([](const char* name, void* v) { static_cast<std::vector<std::string>*>(v)->push_back(name); },
                    &names);
    EXPECT_EQ(c.names, names) << c.name;
  }
}

TEST_F(Collection, ResolveFromTheCatalogue) {
  WriteFile(m_dir.Path("SEA.INI"), "[Properties]\r\nCount=10\r\n");
  WriteSettings("[Sets]\r\nSEA=C:\\PICS\\SEA.INI\r\nReal=" + m_dir.Path("SEA.INI") + "\r\nEmpty=\r\nNoEq\r\n");
  const struct {
    const char* set;
    std::string resolved;
  } cases[] = {
      {"SEA", "C:\\PICS\\SEA.INI | C:\\PICS | 0"},  // no such file: Count 0
      {"Real", m_dir.Path("SEA.INI") + " | " + m_dir.Dir() + " | 10"},
      {"", " |  | 0"}, {"Unknown", " |  | 0"}, {"Empty", " |  | 0"}, {"NoEq", " |  | 0"},
  };
  for (const auto& c : cases) {
    theSettings.PictureCount = 99;
    SET_FIELD(CurrentSet, c.set);
    ResolveCurrentCollection();
    EXPECT_EQ(c.resolved, Resolved()) << c.set;
  }
}

TEST(CollectionText, PathCutAndLineBreakExamples) {
  const struct {
    void (*convert)(char*);
    const char* in;
    const char* out;
  } cases[] = {
      {CutAtLastBackslash, "C:\\PICS\\SEA.INI", "C:\\PICS"},
      {CutAtLastBackslash, "C:\\SEA.INI", "C:"},
      {CutAtLastBackslash, "SEA.INI", "SEA.INI"},
      {CutAtLastBackslash, "\\\\srv\\share\\a\\", "\\\\srv\\share\\a"},
      {CutAtLastBackslash, "", ""},
      {ConvertLineBreaks, "Sunset\\nat sea", "Sunset\r\nat sea"},
      {ConvertLineBreaks, "a\\\\nb", "a\\\r\nb"},  // a doubled backslash protects nothing
      {ConvertLineBreaks, "a\\Nb\\", "a\\Nb\\"},
      {ConvertLineBreaks, "\\n\\n", "\r\n\r\n"},
  };
  for (const auto& c : cases) {
    char text[kValueSize];
    snprintf(text, sizeof text, "%s", c.in);
    c.convert(text);
    EXPECT_STREQ(c.out, text) << c.in;
  }
}

TEST_F(Collection, PicturePathsAndTitles) {
  const std::string sea = m_dir.Path("SEA.INI"), d250(250, 'd');
  WriteFile(sea, "[Pictures]\r\n1=LAKE.BMP\r\n10=sub\\TEN.BMP\r\n2=ABCD\r\n3=ABCDE\r\n"
                 "[Titles]\r\n1=Sunset\\nat sea\r\n2=" + std::string(300, 't') + "\r\n");
  const struct {
    std::string file, dir;
    const char* key;
    size_t size;
    std::string path;  // "" when refused
  } cases[] = {
      {sea, "C:\\PICS", "1", kPathSize, "C:\\PICS\\LAKE.BMP"},
      {sea, "C:\\PICS", "10", kPathSize, "C:\\PICS\\sub\\TEN.BMP"},
      {sea, "C:\\PICS", "010", kPathSize, "C:\\PICS\\"},  // keys have no leading zeros
      {sea, "C:", "1", kPathSize, "C:\\LAKE.BMP"},
      {"", "C:", "1", kPathSize, "C:\\"},             // no collection file: an empty name
      {sea, d250, "2", kPathSize, d250 + "\\ABCD"},  // 255 characters fit
      {sea, d250, "3", kPathSize, ""},
      {sea, "C:\\PICS", "1", 10, ""},
  };
  for (const auto& c : cases) {
    SET_FIELD(CollectionFile, c.file);
    SET_FIELD(CollectionDir, c.dir);
    char path[kPathSize];
    memset(path, 'X', sizeof path);
    EXPECT_EQ(!c.path.empty(), LookUpPicturePath(c.key, path, c.size) != FALSE) << c.dir << " " << c.key;
    EXPECT_EQ(c.path, path) << c.dir << " " << c.key;
  }
  SET_FIELD(CollectionFile, sea);
  const std::pair<const char*, std::string> titles[] = {
      {"1", "Sunset\r\nat sea"}, {"2", std::string(254, 't')}, {"3", ""}};
  for (const auto& t : titles) {
    char title[kValueSize];
    LookUpTitle(t.first, title);
    EXPECT_EQ(t.second, title) << "title " << t.first;
  }
}

TEST_F(Collection, SelectSwitchesWithoutReadingCountOrWriting) {
  WriteFile(m_dir.Path("LAKE.INI"), "[Properties]\r\nCount=10\r\n");
  const std::string settings = "[Sets]\r\nSEA=C:\\PICS\\SEA.INI\r\nLAKE=" + m_dir.Path("LAKE.INI") + "\r\n" +
                               std::string(255, 'x') + "=C:\\P\\X.INI\r\n";
  WriteSettings(settings);
  SET_FIELD(CurrentSet, "SEA");
  SET_FIELD(CollectionFile, "stale");
  theSettings.CurrentPicture = 7;
  SelectCollection("SEA");
  EXPECT_EQ("stale |  | 0", Resolved()) << "the current name: nothing, not even a look-up";

  SelectCollection("LAKE");
  EXPECT_STREQ("LAKE", theSettings.CurrentSet);
  EXPECT_EQ(m_dir.Path("LAKE.INI") + " | " + m_dir.Dir() + " | 0", Resolved()) << "Count is read at load only";
  EXPECT_EQ(7, theSettings.CurrentPicture);
  SelectCollection("lake");  // case counts in the comparison, so this is a switch
  EXPECT_STREQ("lake", theSettings.CurrentSet);
  SelectCollection("Unknown");
  EXPECT_EQ(" |  | 0", Resolved());
  SelectCollection(std::string(400, 'x').c_str());
  EXPECT_EQ(std::string(255, 'x'), theSettings.CurrentSet) << "an over-long name is cut";
  EXPECT_EQ("C:\\P\\X.INI | C:\\P | 0", Resolved());
  EXPECT_EQ(settings, ReadFile(SettingsFilePath())) << "nothing written";
}

}  // namespace
