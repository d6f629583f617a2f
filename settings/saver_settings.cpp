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
  theSettings.Shuffle = ini.Int("Main", "Shuffle", 0);
  theSettings.Subfolders = ini.Int("Main", "Subfolders", 1);
  theSettings.ShuffleSeed = unsigned(ini.Int("ScreenSaver", "ShuffleSeed", 0));
  theSettings.ShuffleStep = ini.Int("ScreenSaver", "ShuffleStep", 0);
  theSettings.ShuffleCount = ini.Int("ScreenSaver", "ShuffleCount", 0);
  snprintf(theSettings.ShuffleSet, sizeof theSettings.ShuffleSet, "%s", ini.String("ScreenSaver", "ShuffleSet").c_str());
  theSettings.ChangeDelay = ini.Int("ScreenSaver", "ChangeDelay", 300);
  theSettings.CurrentPicture = ini.Int("ScreenSaver", "CurrentPicture", 1);
  snprintf(theSettings.CurrentSet, sizeof theSettings.CurrentSet, "%s", ini.String("ScreenSaver", "CurrentSet").c_str());
  theSettings.StartDelay = ini.Int("ScreenSaver", "StartDelay", 1);
  theSettings.UpdateWallpaper = ini.Int("Wallpaper", "UpdateWallpaper", 0);
  ResolveCurrentCollection();
}

void SavePicturePlace() {
  WriteInt("ScreenSaver", "CurrentPicture", theSettings.CurrentPicture);
  if (!theSettings.Shuffle) return;
  char seed[16];
  snprintf(seed, sizeof seed, "%u", theSettings.ShuffleSeed);
  WriteProfileValue(kSettingsFile, "ScreenSaver", "ShuffleSeed", seed);
  WriteInt("ScreenSaver", "ShuffleStep", theSettings.ShuffleStep);
  WriteInt("ScreenSaver", "ShuffleCount", theSettings.ShuffleCount);
  WriteProfileValue(kSettingsFile, "ScreenSaver", "ShuffleSet", theSettings.ShuffleSet);
}

void SaveSettings() {
  WriteInt("Main", "ShowTitle", theSettings.ShowTitle);
  WriteInt("Main", "FullScreen", theSettings.FullScreen);
  WriteInt("Main", "Fade", theSettings.Fade);
  WriteInt("Main", "Shuffle", theSettings.Shuffle);
  WriteInt("Main", "Subfolders", theSettings.Subfolders);
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
