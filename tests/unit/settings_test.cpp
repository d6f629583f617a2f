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

// The whole record in one line, so that a failure shows every field.
std::string Record() {
  const SaverSettings& s = theSettings;
  char text[1024];
  snprintf(text, sizeof text, "ShowTitle=%d FullScreen=%d ChangeDelay=%d CurrentPicture=%d CurrentSet=%s StartDelay=%d "
           "UpdateWallpaper=%d File=%s Dir=%s Count=%d", s.ShowTitle, s.FullScreen, s.ChangeDelay, s.CurrentPicture,
           s.CurrentSet, s.StartDelay, s.UpdateWallpaper, s.CollectionFile, s.CollectionDir, s.PictureCount);
  return text;
}

// The seven keys as the file holds them.
std::string SavedKeys() {
  static const char* const keys[][2] = {{"Main", "ShowTitle"},         {"Main", "FullScreen"},
                                        {"ScreenSaver", "ChangeDelay"}, {"ScreenSaver", "CurrentPicture"},
                                        {"ScreenSaver", "CurrentSet"},  {"ScreenSaver", "StartDelay"},
                                        {"Wallpaper", "UpdateWallpaper"}};
  std::string all;
  for (const auto& k : keys) {
    char buf[kValueSize];
    GetPrivateProfileStringA(k[0], k[1], "<absent>", buf, sizeof buf, kSettingsFile);
    all += std::string(k[1]) + "=" + buf + " ";
  }
  return all;
}

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    memset(&theSettings, 0, sizeof theSettings);
    SetWallpaper(m_before.c_str());
  }
  void TearDown() override { memset(&theSettings, 0, sizeof theSettings); }
  // A current collection SEA with two pictures.
  void UseCollection() {
    WriteFile(m_pics.Path("SEA.INI"), "[Properties]\r\nCount=2\r\n[Pictures]\r\n1=ONE.BMP\r\n2=LAKE.BMP\r\n");
    snprintf(theSettings.CurrentSet, sizeof theSettings.CurrentSet, "SEA");
    snprintf(theSettings.CollectionFile, sizeof theSettings.CollectionFile, "%s", m_pics.Path("SEA.INI").c_str());
    snprintf(theSettings.CollectionDir, sizeof theSettings.CollectionDir, "%s", m_pics.Dir().c_str());
  }

  SettingsFileScope m_scope;
  TempDir m_pics;
  std::string m_before = m_pics.Path("BEFORE.BMP");
};

TEST_F(Settings, Load) {
  LoadSettings();
  EXPECT_EQ("ShowTitle=0 FullScreen=0 ChangeDelay=300 CurrentPicture=1 CurrentSet= StartDelay=1 UpdateWallpaper=0 "
            "File= Dir= Count=0", Record()) << "first run: every default";
  EXPECT_FALSE(FileExists(SettingsFilePath())) << "loading writes nothing";

  WriteFile(m_pics.Path("SEA.INI"), "[Properties]\r\nCount=12\r\n");
  WriteFile(SettingsFilePath(), "[Main]\r\nShowTitle=2\r\nFullScreen=1\r\n[ScreenSaver]\r\nChangeDelay=-7\r\n"
            "CurrentPicture=9\r\nCurrentSet=Sea View\r\nStartDelay=15\r\n[Wallpaper]\r\nUpdateWallpaper=3\r\n"
            "[Sets]\r\nSea View=" + m_pics.Path("SEA.INI") + "\r\n");
  LoadSettings();
  EXPECT_EQ("ShowTitle=2 FullScreen=1 ChangeDelay=-7 CurrentPicture=9 CurrentSet=Sea View StartDelay=15 "
            "UpdateWallpaper=3 File=" + m_pics.Path("SEA.INI") + " Dir=" + m_pics.Dir() + " Count=12", Record());

  const std::string longName(400, 'N');
  WriteFile(SettingsFilePath(), "[ScreenSaver]\r\nChangeDelay=abc\r\nCurrentPicture=12abc\r\nStartDelay=\r\n"
            "CurrentSet=" + longName + "\r\n[Main]\r\nShowTitle=\x01\xfe\r\n[Sets]\r\n" + longName + "=" +
            std::string(300, 'P') + "\r\n");
  LoadSettings();
  EXPECT_EQ("ShowTitle=0 FullScreen=0 ChangeDelay=0 CurrentPicture=12 CurrentSet=" + std::string(254, 'N') +
            " StartDelay=1 UpdateWallpaper=0 File= Dir= Count=0", Record()) << "junk and over-long values";
}

TEST_F(Settings, SaveWritesEveryKeyButNotTheCatalogue) {
  const std::string sets = "[Sets]\r\nSEA=C:\\PICS\\SEA.INI\r\nLAKE=D:\\L.INI\r\n";
  WriteFile(SettingsFilePath(), sets);
  theSettings = SaverSettings{1, 0, 300, -4, "", 5, 0, "", "", 0};
  SaveSettings();
  EXPECT_EQ("ShowTitle=1 FullScreen=0 ChangeDelay=300 CurrentPicture=-4 CurrentSet= StartDelay=5 UpdateWallpaper=0 ",
            SavedKeys());
  char list[256];
  DWORD n = GetPrivateProfileSectionA("Sets", list, sizeof list, kSettingsFile);
  EXPECT_EQ(std::string("SEA=C:\\PICS\\SEA.INI") + '\0' + "LAKE=D:\\L.INI" + '\0', std::string(list, n));
}

TEST_F(Settings, SaveSetsTheTimeOutInSeconds) {
  const struct {
    int minutes;
    UINT seconds;
  } cases[] = {{5, 300}, {0, 0}, {-3, 0}, {INT_MAX, INT_MAX}, {35791394, 2147483640u}};
  for (const auto& c : cases) {
    theSettings.StartDelay = c.minutes;
    SaveSettings();
    EXPECT_EQ(c.seconds, CurrentScreenSaveTimeout()) << c.minutes;
  }
}

TEST_F(Settings, WallpaperOnlyWhenAskedFor) {
  UseCollection();
  WritePrivateProfileStringA("Pictures", "3", (std::string(250, 'W') + ".BMP").c_str(), theSettings.CollectionFile);
  const struct {
    int update, picture;
    std::string wallpaper;
  } cases[] = {
      {0, 2, m_before},
      {1, 3, m_before},                      // a path that does not fit: no call, the rest is saved
      {-1, 2, m_pics.Dir() + "\\LAKE.BMP"},  // any non-zero value
      {1, 7, m_pics.Dir() + "\\"},           // no such picture: the directory and a backslash
  };
  for (const auto& c : cases) {
    theSettings.UpdateWallpaper = c.update;
    theSettings.CurrentPicture = c.picture;
    SaveSettings();
    EXPECT_EQ(c.wallpaper, CurrentWallpaper()) << c.update << ", picture " << c.picture;
    EXPECT_EQ(UINT(c.update), GetPrivateProfileIntA("Wallpaper", "UpdateWallpaper", 99, kSettingsFile));
  }
}

#ifndef _WIN32
// Only the native record shows the calls' order and arguments.
void RecordStartDelayAtTimeOut(const NativeSpiCall& call, void* context) {
  if (call.action != SPI_SETSCREENSAVETIMEOUT) return;
  char buf[16];
  GetPrivateProfileStringA("ScreenSaver", "StartDelay", "<absent>", buf, sizeof buf, kSettingsFile);
  *static_cast<std::string*>(context) += std::string(buf) + " ";
}

std::string Call(UINT action, UINT uiParam, const std::string& text, UINT flags) {
  return std::to_string(action) + " " + std::to_string(uiParam) + " " + text + " " + std::to_string(flags) + "; ";
}

TEST_F(Settings, SystemCallsTheirOrderAndArguments) {
  std::string atCall;
  NativeSetSpiHook(RecordStartDelayAtTimeOut, &atCall);
  UseCollection();
  theSettings.StartDelay = 2;
  theSettings.CurrentPicture = 1;
  SaveSettings();
  theSettings.StartDelay = 9;
  theSettings.UpdateWallpaper = 1;
  NativeClearSpiCalls();
  SaveSettings();
  EXPECT_EQ("<absent> 2 ", atCall) << "the time-out is set before StartDelay is written";
  std::string calls;
  for (const NativeSpiCall& c : NativeSpiCalls()) calls += Call(c.action, c.uiParam, c.text, c.flags);
  EXPECT_EQ(Call(SPI_SETSCREENSAVETIMEOUT, 540, "", SPIF_UPDATEINIFILE) +
                Call(SPI_SETDESKWALLPAPER, 0, m_pics.Dir() + "\\ONE.BMP", SPIF_UPDATEINIFILE),
            calls);
}
#endif

}  // namespace
