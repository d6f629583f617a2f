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

void Collect(const char* name, void* context) { static_cast<std::vector<std::string>*>(context)->push_back(name); }

std::vector<std::string> ListNames() {
  std::vector<std::string> names;
  ListCollections(Collect, &names);
  return names;
}

void SetText(char* field, size_t size, const std::string& text) { snprintf(field, size, "%s", text.c_str()); }
#define SET_FIELD(field, text) SetText(theSettings.field, sizeof theSettings.field, text)

class Collection : public ::testing::Test {
 protected:
  void SetUp() override { memset(&theSettings, 0, sizeof theSettings); }
  void TearDown() override { memset(&theSettings, 0, sizeof theSettings); }
  void WriteSettings(const std::string& text) { WriteFile(SettingsFilePath(), text); }

  SettingsFileScope m_scope;
  TempDir m_dir;
};

TEST_F(Collection, CatalogueListsNamesInFileOrder) {
  WriteSettings("[Sets]\r\nSEA=C:\\PICS\\SEA.INI\r\nMountains=D:\\M.INI\r\nNo Path Given\r\n=empty name\r\n");
  EXPECT_EQ((std::vector<std::string>{"SEA", "Mountains", "No Path Given", ""}), ListNames());
}

TEST_F(Collection, CatalogueEmptyOrMissing) {
  EXPECT_TRUE(ListNames().empty()) << "no settings file";
  WriteSettings("[Main]\r\nShowTitle=1\r\n");
  EXPECT_TRUE(ListNames().empty()) << "no Sets section";
  WriteSettings("[Sets]\r\n[Main]\r\nShowTitle=1\r\n");
  EXPECT_TRUE(ListNames().empty()) << "empty Sets section";
}

TEST_F(Collection, CatalogueNamesAreCutAt255) {
  std::string longName(300, 'n');
  WriteSettings("[Sets]\r\n" + longName + "=C:\\X.INI\r\n" + longName + "\r\nB=1\r\n");
  std::vector<std::string> names = ListNames();
  ASSERT_EQ(3u, names.size());
  EXPECT_EQ(std::string(255, 'n'), names[0]);
  EXPECT_EQ(std::string(255, 'n'), names[1]);
  EXPECT_EQ("B", names[2]);
}

TEST_F(Collection, CatalogueThatDoesNotFitListsWholeEntriesOnly) {
  // 100 entries of 100 characters: about 10000 bytes for an 8192-byte list.
  std::string text = "[Sets]\r\n";
  std::vector<std::string> all;
  for (int i = 0; i < 100; ++i) {
    char name[8];
    snprintf(name, sizeof name, "S%03d", i);
    all.push_back(name);
    text += std::string(name) + "=" + std::string(95, 'p') + "\r\n";
  }
  WriteSettings(text);
  std::vector<std::string> names = ListNames();
  ASSERT_EQ(81u, names.size());  // 81 * 101 = 8181 bytes fit; the 82nd is cut
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(all[i], names[i]);
}

TEST_F(Collection, ResolveFromTheCatalogue) {
  WriteFile(m_dir.Path("SEA.INI"), "[Properties]\r\nCount=10\r\n");
  WriteSettings("[Sets]\r\nSEA=C:\\PICS\\SEA.INI\r\nReal=" + m_dir.Path("SEA.INI") + "\r\nEmpty=\r\nNoEq\r\n");
  struct Case {
    const char* set;
    std::string file, dir;
    int count;
  } cases[] = {
      {"SEA", "C:\\PICS\\SEA.INI", "C:\\PICS", 0},  // no such file: Count 0
      {"Real", m_dir.Path("SEA.INI"), m_dir.Dir(), 10},
      {"", "", "", 0},
      {"Unknown", "", "", 0},
      {"Empty", "", "", 0},
      {"NoEq", "", "", 0},
  };
  for (const Case& c : cases) {
    theSettings.PictureCount = 99;
    SET_FIELD(CurrentSet, c.set);
    ResolveCurrentCollection();
    EXPECT_EQ(c.file, theSettings.CollectionFile) << c.set;
    EXPECT_EQ(c.dir, theSettings.CollectionDir) << c.set;
    EXPECT_EQ(c.count, theSettings.PictureCount) << c.set;
  }
}

TEST(CutAtLastBackslash, Examples) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"C:\\PICS\\SEA.INI", "C:\\PICS"}, {"C:\\SEA.INI", "C:"}, {"SEA.INI", "SEA.INI"},
      {"\\\\srv\\share\\a\\", "\\\\srv\\share\\a"}, {"", ""},
  };
  for (const Case& c : cases) {
    char path[kValueSize];
    snprintf(path, sizeof path, "%s", c.in);
    CutAtLastBackslash(path);
    EXPECT_STREQ(c.out, path) << c.in;
  }
}

TEST_F(Collection, PicturePathJoinsDirectoryAndName) {
  WriteFile(m_dir.Path("SEA.INI"), "[Pictures]\r\n1=LAKE.BMP\r\n10=sub\\TEN.BMP\r\n");
  SET_FIELD(CollectionFile, m_dir.Path("SEA.INI"));
  SET_FIELD(CollectionDir, "C:\\PICS");
  char path[kPathSize];
  EXPECT_TRUE(LookUpPicturePath("1", path, sizeof path));
  EXPECT_STREQ("C:\\PICS\\LAKE.BMP", path);
  EXPECT_TRUE(LookUpPicturePath("10", path, sizeof path));
  EXPECT_STREQ("C:\\PICS\\sub\\TEN.BMP", path);
  EXPECT_TRUE(LookUpPicturePath("010", path, sizeof path));
  EXPECT_STREQ("C:\\PICS\\", path) << "keys have no leading zeros";

  SET_FIELD(CollectionDir, "C:");
  EXPECT_TRUE(LookUpPicturePath("1", path, sizeof path));
  EXPECT_STREQ("C:\\LAKE.BMP", path);

  SET_FIELD(CollectionFile, "");
  EXPECT_TRUE(LookUpPicturePath("1", path, sizeof path));
  EXPECT_STREQ("C:\\", path) << "no collection file: empty name";
}

TEST_F(Collection, PicturePathThatDoesNotFitIsRefused) {
  std::string dir(250, 'd');
  WriteFile(m_dir.Path("SEA.INI"), "[Pictures]\r\n1=ABCD\r\n2=ABCDE\r\n");
  SET_FIELD(CollectionFile, m_dir.Path("SEA.INI"));
  SET_FIELD(CollectionDir, dir);
  char path[kPathSize];
  EXPECT_TRUE(LookUpPicturePath("1", path, sizeof path));  // 255 characters: fits
  EXPECT_EQ(dir + "\\ABCD", path);
  memset(path, 'X', sizeof path);
  EXPECT_FALSE(LookUpPicturePath("2", path, sizeof path));
  EXPECT_STREQ("", path);
  EXPECT_FALSE(LookUpPicturePath("1", path, 10));
  EXPECT_STREQ("", path);
}

TEST(ConvertLineBreaks, Examples) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"Sunset\\nat sea", "Sunset\r\nat sea"},
      {"a\\\\nb", "a\\\r\nb"},  // a doubled backslash protects nothing
      {"a\\Nb", "a\\Nb"},
      {"\\n\\n", "\r\n\r\n"},
      {"end\\", "end\\"},
      {"", ""},
  };
  for (const Case& c : cases) {
    char text[64];
    snprintf(text, sizeof text, "%s", c.in);
    ConvertLineBreaks(text);
    EXPECT_STREQ(c.out, text) << c.in;
  }
}

TEST_F(Collection, TitleIsReadAndConverted) {
  WriteFile(m_dir.Path("SEA.INI"), "[Titles]\r\n1=Sunset\\nat sea\r\n2=" + std::string(300, 't') + "\r\n");
  SET_FIELD(CollectionFile, m_dir.Path("SEA.INI"));
  char title[256];
  LookUpTitle("1", title);
  EXPECT_STREQ("Sunset\r\nat sea", title);
  LookUpTitle("2", title);
  EXPECT_EQ(std::string(254, 't'), title);
  LookUpTitle("3", title);
  EXPECT_STREQ("", title);
}

TEST_F(Collection, SelectSwitchesWithoutReadingCountOrWriting) {
  WriteFile(m_dir.Path("LAKE.INI"), "[Properties]\r\nCount=10\r\n");
  const std::string settings = "[Sets]\r\nSEA=C:\\PICS\\SEA.INI\r\nLAKE=" + m_dir.Path("LAKE.INI") + "\r\n";
  WriteSettings(settings);
  SET_FIELD(CurrentSet, "SEA");
  ResolveCurrentCollection();
  theSettings.CurrentPicture = 7;

  SelectCollection("LAKE");
  EXPECT_STREQ("LAKE", theSettings.CurrentSet);
  EXPECT_EQ(m_dir.Path("LAKE.INI"), theSettings.CollectionFile);
  EXPECT_EQ(m_dir.Dir(), theSettings.CollectionDir);
  EXPECT_EQ(0, theSettings.PictureCount) << "Count is read at load only";
  EXPECT_EQ(7, theSettings.CurrentPicture);
  EXPECT_EQ(settings, ReadFile(SettingsFilePath()));

  SelectCollection("lake");  // case counts in the comparison, so this is a switch
  EXPECT_STREQ("lake", theSettings.CurrentSet);
  SelectCollection("Unknown");
  EXPECT_STREQ("", theSettings.CollectionFile);
  EXPECT_STREQ("", theSettings.CollectionDir);
}

TEST_F(Collection, SelectingTheCurrentCollectionDoesNothing) {
  WriteSettings("[Sets]\r\nSEA=C:\\PICS\\SEA.INI\r\n");
  SET_FIELD(CurrentSet, "SEA");
  SET_FIELD(CollectionFile, "stale");
  SET_FIELD(CollectionDir, "stale dir");
  SelectCollection("SEA");
  EXPECT_STREQ("stale", theSettings.CollectionFile) << "not even looked up again";
  EXPECT_STREQ("stale dir", theSettings.CollectionDir);
}

TEST_F(Collection, SelectCutsAnOverlongName) {
  std::string name(400, 'x');
  WriteSettings("[Sets]\r\n" + std::string(255, 'x') + "=C:\\P\\X.INI\r\n");
  SelectCollection(name.c_str());
  EXPECT_EQ(std::string(255, 'x'), theSettings.CurrentSet);
  EXPECT_STREQ("C:\\P\\X.INI", theSettings.CollectionFile);
  EXPECT_STREQ("C:\\P", theSettings.CollectionDir);
}

}  // namespace
