// Loading and saving LUMARO.INI, and what a save asks of the system.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "settings/saver_settings.h"
#include "test_files.h"

#ifndef _WIN32
#include "platform/native_hooks.h"
#endif

namespace {

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    memset(&theSettings, 0, sizeof theSettings);
    SetWallpaper(m_sentinel.c_str());
  }
  void TearDown() override { memset(&theSettings, 0, sizeof theSettings); }

  std::string Value(const char* section, const char* key) {
    char buf[kValueSize];
    GetPrivateProfileStringA(section, key, "<absent>", buf, sizeof buf, kSettingsFile);
    return buf;
  }
  // A collection SEA with two pictures, current in the record.
  void UseCollection() {
    WriteFile(m_pics.Path("SEA.INI"), "[Properties]\r\nCount=2\r\n[Pictures]\r\n1=ONE.BMP\r\n2=LAKE.BMP\r\n");
    snprintf(theSettings.CurrentSet, sizeof theSettings.CurrentSet, "SEA");
    snprintf(theSettings.CollectionFile, sizeof theSettings.CollectionFile, "%s", m_pics.Path("SEA.INI").c_str());
    snprintf(theSettings.CollectionDir, sizeof theSettings.CollectionDir, "%s", m_pics.Dir().c_str());
  }

  SettingsFileScope m_scope;
  TempDir m_pics;
  std::string m_sentinel = m_pics.Path("BEFORE.BMP");
};

TEST_F(Settings, FirstRunGivesDefaultsAndWritesNothing) {
  LoadSettings();
  EXPECT_EQ(0, theSettings.ShowTitle);
  EXPECT_EQ(0, theSettings.FullScreen);
  EXPECT_EQ(300, theSettings.ChangeDelay);
  EXPECT_EQ(1, theSettings.CurrentPicture);
  EXPECT_STREQ("", theSettings.CurrentSet);
  EXPECT_EQ(1, theSettings.StartDelay);
  EXPECT_EQ(0, theSettings.UpdateWallpaper);
  EXPECT_STREQ("", theSettings.CollectionFile);
  EXPECT_STREQ("", theSettings.CollectionDir);
  EXPECT_EQ(0, theSettings.PictureCount);
  EXPECT_FALSE(FileExists(SettingsFilePath()));
}

TEST_F(Settings, LoadReadsEveryKeyAndResolvesTheCollection) {
  WriteFile(m_pics.Path("SEA.INI"), "[Properties]\r\nCount=12\r\n");
  WriteFile(SettingsFilePath(),
            "[Main]\r\nShowTitle=2\r\nFullScreen=1\r\n"
            "[ScreenSaver]\r\nChangeDelay=-7\r\nCurrentPicture=9\r\nCurrentSet=Sea View\r\nStartDelay=15\r\n"
            "[Wallpaper]\r\nUpdateWallpaper=3\r\n"
            "[Sets]\r\nSea View=" + m_pics.Path("SEA.INI") + "\r\n");
  LoadSettings();
  EXPECT_EQ(2, theSettings.ShowTitle);
  EXPECT_EQ(1, theSettings.FullScreen);
  EXPECT_EQ(-7, theSettings.ChangeDelay);
  EXPECT_EQ(9, theSettings.CurrentPicture);
  EXPECT_STREQ("Sea View", theSettings.CurrentSet);
  EXPECT_EQ(15, theSettings.StartDelay);
  EXPECT_EQ(3, theSettings.UpdateWallpaper);
  EXPECT_EQ(m_pics.Path("SEA.INI"), theSettings.CollectionFile);
  EXPECT_EQ(m_pics.Dir(), theSettings.CollectionDir);
  EXPECT_EQ(12, theSettings.PictureCount);
}

TEST_F(Settings, OverlongAndJunkValuesLoadSafely) {
  std::string longName(400, 'N');
  WriteFile(SettingsFilePath(),
            std::string("[ScreenSaver]\r\nChangeDelay=abc\r\nCurrentPicture=12abc\r\nStartDelay=\r\nCurrentSet=") +
                longName + "\r\n[Main]\r\nShowTitle=\x01\xfe\r\n[Sets]\r\n" + longName + "=" +
                std::string(300, 'P') + "\r\n");
  LoadSettings();
  EXPECT_EQ(0, theSettings.ChangeDelay);
  EXPECT_EQ(12, theSettings.CurrentPicture);
  EXPECT_EQ(1, theSettings.StartDelay) << "empty value: the default";
  EXPECT_EQ(0, theSettings.ShowTitle);
  EXPECT_EQ(std::string(254, 'N'), theSettings.CurrentSet);
  EXPECT_EQ(0, theSettings.PictureCount);
}

TEST_F(Settings, SaveWritesAllSevenKeysAsDecimalText) {
  theSettings.ShowTitle = 1;
  theSettings.FullScreen = 0;
  theSettings.ChangeDelay = 300;
  theSettings.CurrentPicture = -4;
  theSettings.StartDelay = 5;
  theSettings.UpdateWallpaper = 0;
  SaveSettings();
  EXPECT_EQ("1", Value("Main", "ShowTitle"));
  EXPECT_EQ("0", Value("Main", "FullScreen"));
  EXPECT_EQ("300", Value("ScreenSaver", "ChangeDelay"));
  EXPECT_EQ("-4", Value("ScreenSaver", "CurrentPicture"));
  EXPECT_EQ("", Value("ScreenSaver", "CurrentSet")) << "empty, but written";
  EXPECT_EQ("5", Value("ScreenSaver", "StartDelay"));
  EXPECT_EQ("0", Value("Wallpaper", "UpdateWallpaper"));
  EXPECT_NE(std::string::npos, ReadFile(SettingsFilePath()).find("CurrentSet="));
}

TEST_F(Settings, SaveLeavesTheCatalogueAlone) {
  const std::string sets = "[Sets]\r\nSEA=C:\\PICS\\SEA.INI\r\nLAKE=D:\\L.INI\r\n";
  WriteFile(SettingsFilePath(), sets + "[ScreenSaver]\r\nCurrentSet=SEA\r\n");
  LoadSettings();
  snprintf(theSettings.CurrentSet, sizeof theSettings.CurrentSet, "LAKE");
  SaveSettings();
  char list[256];
  DWORD n = GetPrivateProfileSectionA("Sets", list, sizeof list, kSettingsFile);
  EXPECT_EQ(std::string("SEA=C:\\PICS\\SEA.INI") + '\0' + "LAKE=D:\\L.INI" + '\0', std::string(list, n));
  EXPECT_EQ("LAKE", Value("ScreenSaver", "CurrentSet"));
}

TEST_F(Settings, SaveSetsTheTimeOutInSeconds) {
  struct Case {
    int minutes;
    UINT seconds;
  } cases[] = {{5, 300}, {0, 0}, {-3, 0}, {INT_MAX, INT_MAX}, {35791394, 2147483640u}};
  for (const Case& c : cases) {
    theSettings.StartDelay = c.minutes;
    SaveSettings();
    EXPECT_EQ(c.seconds, CurrentScreenSaveTimeout()) << c.minutes;
  }
}

TEST_F(Settings, WallpaperOnlyWhenAskedFor) {
  UseCollection();
  theSettings.CurrentPicture = 2;
  theSettings.UpdateWallpaper = 0;
  SaveSettings();
  EXPECT_EQ(m_sentinel, CurrentWallpaper());

  theSettings.UpdateWallpaper = -1;  // any non-zero value
  SaveSettings();
  EXPECT_EQ(m_pics.Dir() + "\\LAKE.BMP", CurrentWallpaper());

  theSettings.CurrentPicture = 7;  // no such picture: the directory and a backslash
  SaveSettings();
  EXPECT_EQ(m_pics.Dir() + "\\", CurrentWallpaper());
}

TEST_F(Settings, WallpaperPathThatDoesNotFitIsSkipped) {
  UseCollection();
  std::string longName(250, 'W');
  WritePrivateProfileStringA("Pictures", "2", (longName + ".BMP").c_str(), theSettings.CollectionFile);
  theSettings.CurrentPicture = 2;
  theSettings.UpdateWallpaper = 1;
  SaveSettings();
  EXPECT_EQ(m_sentinel, CurrentWallpaper());
  EXPECT_EQ("1", Value("Wallpaper", "UpdateWallpaper")) << "the rest of the save still happens";
}

#ifndef _WIN32
// The order of the system calls and their arguments, which only the native
// record shows.
void CheckStartDelayNotYetWritten(const NativeSpiCall& call, void* context) {
  if (call.action != SPI_SETSCREENSAVETIMEOUT) return;
  char buf[16];
  GetPrivateProfileStringA("ScreenSaver", "StartDelay", "<absent>", buf, sizeof buf, kSettingsFile);
  *static_cast<std::string*>(context) = buf;
}

TEST_F(Settings, TimeOutIsSetBeforeStartDelayIsWritten) {
  std::string atCall;
  NativeSetSpiHook(CheckStartDelayNotYetWritten, &atCall);
  theSettings.StartDelay = 5;
  SaveSettings();
  EXPECT_EQ("<absent>", atCall);
  theSettings.StartDelay = 9;
  SaveSettings();
  EXPECT_EQ("5", atCall);
}

TEST_F(Settings, SystemCallsAndTheirArguments) {
  UseCollection();
  theSettings.StartDelay = 2;
  theSettings.CurrentPicture = 1;
  NativeClearSpiCalls();
  SaveSettings();
  ASSERT_EQ(1u, NativeSpiCalls().size());
  EXPECT_EQ(static_cast<UINT>(SPI_SETSCREENSAVETIMEOUT), NativeSpiCalls()[0].action);
  EXPECT_EQ(120u, NativeSpiCalls()[0].uiParam);
  EXPECT_EQ(static_cast<UINT>(SPIF_UPDATEINIFILE), NativeSpiCalls()[0].flags);

  theSettings.UpdateWallpaper = 1;
  NativeClearSpiCalls();
  SaveSettings();
  ASSERT_EQ(2u, NativeSpiCalls().size());
  EXPECT_EQ(static_cast<UINT>(SPI_SETSCREENSAVETIMEOUT), NativeSpiCalls()[0].action);
  const NativeSpiCall& wall = NativeSpiCalls()[1];
  EXPECT_EQ(static_cast<UINT>(SPI_SETDESKWALLPAPER), wall.action);
  EXPECT_EQ(0u, wall.uiParam);
  EXPECT_EQ(m_pics.Dir() + "\\ONE.BMP", wall.text);
  EXPECT_EQ(static_cast<UINT>(SPIF_UPDATEINIFILE), wall.flags);
}
#endif

}  // namespace
