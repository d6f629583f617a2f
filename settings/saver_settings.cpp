#include "settings/saver_settings.h"

#include <climits>
#include <cstdint>
#include <cstdio>

#include "settings/collection.h"
#include "settings/profile.h"
#include "text/utf.h"

const char kSettingsFile[] = "LUMARO.INI";

SaverSettings theSettings;

namespace {

void WriteInt(const char* section, const char* key, int value) {
  char text[16];
  snprintf(text, sizeof text, "%d", value);
  WriteProfileValue(kSettingsFile, section, key, text);
}

// Minutes to the system's seconds. StartDelay comes from a typed field or an
// edited file, so the product is formed in 64 bits; a negative delay gives 0
// and one too long for a signed int gives INT_MAX, which every reader of the
// stored time-out takes the same way, signed or not.
UINT TimeoutSeconds(int minutes) {
  int64_t seconds = static_cast<int64_t>(minutes) * 60;
  if (seconds < 0) return 0;
  if (seconds > INT_MAX) return INT_MAX;
  return static_cast<UINT>(seconds);
}

}  // namespace

void LoadSettings() {
  const Profile ini(kSettingsFile);
  theSettings.ShowTitle = ini.Int("Main", "ShowTitle", 0);
  theSettings.FullScreen = ini.Int("Main", "FullScreen", 0);
  theSettings.Fade = ini.Int("Main", "Fade", 1);
  theSettings.ChangeDelay = ini.Int("ScreenSaver", "ChangeDelay", 300);
  theSettings.CurrentPicture = ini.Int("ScreenSaver", "CurrentPicture", 1);
  snprintf(theSettings.CurrentSet, sizeof theSettings.CurrentSet, "%s", ini.String("ScreenSaver", "CurrentSet").c_str());
  theSettings.StartDelay = ini.Int("ScreenSaver", "StartDelay", 1);
  theSettings.UpdateWallpaper = ini.Int("Wallpaper", "UpdateWallpaper", 0);
  ResolveCurrentCollection();
}

void SaveSettings() {
  WriteInt("Main", "ShowTitle", theSettings.ShowTitle);
  WriteInt("Main", "FullScreen", theSettings.FullScreen);
  WriteInt("Main", "Fade", theSettings.Fade);
  WriteInt("ScreenSaver", "ChangeDelay", theSettings.ChangeDelay);
  WriteInt("ScreenSaver", "CurrentPicture", theSettings.CurrentPicture);
  WriteProfileValue(kSettingsFile, "ScreenSaver", "CurrentSet", theSettings.CurrentSet);
  // The system gets the time-out before the file gets StartDelay.
  SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, TimeoutSeconds(theSettings.StartDelay), nullptr,
                        SPIF_UPDATEINIFILE);
  WriteInt("ScreenSaver", "StartDelay", theSettings.StartDelay);
  WriteInt("Wallpaper", "UpdateWallpaper", theSettings.UpdateWallpaper);

  if (theSettings.UpdateWallpaper != 0) {
    char key[16];
    snprintf(key, sizeof key, "%d", theSettings.CurrentPicture);
    std::string path;
    // A path cut to fit would name some other file: skip the wallpaper then.
    if (LookUpPicturePath(key, &path)) {
      std::u16string wide = Utf8ToUtf16(path);
      SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, &wide[0], SPIF_UPDATEINIFILE);
    }
  }
}
