#include "settings/saver_settings.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <deque>

#include "settings/profile.h"
#include "text/named_file.h"
#include "settings/wallpaper.h"

const char kSettingsFile[] = "LUMARO.INI";

namespace {

// Changes to write at once; a deque keeps each text where the change
// points to it.
class Changes {
 public:
  void Int(const char* section, const char* key, int value) { Text(section, key, std::to_string(value)); }
  void Text(const char* section, const char* key, const std::string& value) {
    m_texts.push_back(value);
    m_changes.push_back({section, key, m_texts.back().c_str()});
  }
  void Add(const std::vector<IniChange>& more) { m_changes.insert(m_changes.end(), more.begin(), more.end()); }
  SaveResult Write(const std::string& path) const {
    SaveResult result;
    if (!WriteProfileValues(path, m_changes)) result = {false, path, NamedFileError()};
    return result;
  }

 private:
  std::deque<std::string> m_texts;
  std::vector<IniChange> m_changes;
};

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

void LoadSettings(const std::string& path, SaverSettings* settings) {
  const Profile ini(path.c_str());
  SaverSettings& s = *settings;
  s.ShowTitle = ini.Int("Main", "ShowTitle", 0);
  s.FullScreen = ini.Int("Main", "FullScreen", 0);
  s.Fade = ini.Int("Main", "Fade", 1);
  s.Shuffle = ini.Int("Main", "Shuffle", 0);
  s.Subfolders = ini.Int("Main", "Subfolders", 1);
  s.Keys = ini.Int("Main", "Keys", 0);
  s.BlankAfter = std::clamp(ini.Int("Main", "BlankAfter", 0), 0, int(kBlankAfterMax));
  s.PanZoom = ini.Int("Main", "PanZoom", 0);
  s.ShowDate = ini.Int("Main", "ShowDate", 0);
  s.ShowPlace = ini.Int("Main", "ShowPlace", 0);
  s.EachMonitor = ini.Int("Main", "EachMonitor", 0);
  s.PairPortraits = ini.Int("Main", "PairPortraits", 0);
  s.ShuffleSeed = unsigned(ini.Int("ScreenSaver", "ShuffleSeed", 0));
  s.ShuffleStep = ini.Int("ScreenSaver", "ShuffleStep", 0);
  s.ShuffleCount = ini.Int("ScreenSaver", "ShuffleCount", 0);
  snprintf(s.ShuffleSet, sizeof s.ShuffleSet, "%s", ini.String("ScreenSaver", "ShuffleSet").c_str());
  s.ChangeDelay = ini.Int("ScreenSaver", "ChangeDelay", 300);
  s.CurrentPicture = ini.Int("ScreenSaver", "CurrentPicture", 1);
  snprintf(s.CurrentSet, sizeof s.CurrentSet, "%s", ini.String("ScreenSaver", "CurrentSet").c_str());
  s.StartDelay = ini.Int("ScreenSaver", "StartDelay", 1);
  s.UpdateWallpaper = ini.Int("Wallpaper", "UpdateWallpaper", 0);
}

SaveResult SavePicturePlace(const std::string& path, const SaverSettings& s) {
  Changes changes;
  changes.Int("ScreenSaver", "CurrentPicture", s.CurrentPicture);
  if (s.Shuffle) {
    changes.Text("ScreenSaver", "ShuffleSeed", std::to_string(s.ShuffleSeed));
    changes.Int("ScreenSaver", "ShuffleStep", s.ShuffleStep);
    changes.Int("ScreenSaver", "ShuffleCount", s.ShuffleCount);
    changes.Text("ScreenSaver", "ShuffleSet", s.ShuffleSet);
  }
  return changes.Write(path);
}

SaveResult SaveSettings(const std::string& path, const SaverSettings& s, const std::vector<IniChange>& more,
                        const std::string& wallpaper) {
  Changes changes;
  changes.Int("Main", "ShowTitle", s.ShowTitle);
  changes.Int("Main", "FullScreen", s.FullScreen);
  changes.Int("Main", "Fade", s.Fade);
  changes.Int("Main", "Shuffle", s.Shuffle);
  changes.Int("Main", "Subfolders", s.Subfolders);
  changes.Int("Main", "Keys", s.Keys);
  changes.Int("Main", "BlankAfter", s.BlankAfter);
  changes.Int("Main", "PanZoom", s.PanZoom);
  changes.Int("Main", "ShowDate", s.ShowDate);
  changes.Int("Main", "ShowPlace", s.ShowPlace);
  changes.Int("Main", "EachMonitor", s.EachMonitor);
  changes.Int("Main", "PairPortraits", s.PairPortraits);
  changes.Int("ScreenSaver", "ChangeDelay", s.ChangeDelay);
  changes.Int("ScreenSaver", "CurrentPicture", s.CurrentPicture);
  changes.Text("ScreenSaver", "CurrentSet", s.CurrentSet);
  changes.Int("ScreenSaver", "StartDelay", s.StartDelay);
  changes.Int("Wallpaper", "UpdateWallpaper", s.UpdateWallpaper);
  changes.Add(more);
  // The system gets the time-out before the file gets StartDelay.
  SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, TimeoutSeconds(s.StartDelay), nullptr, SPIF_UPDATEINIFILE);
  const SaveResult result = changes.Write(path);
  if (s.UpdateWallpaper != 0 && !wallpaper.empty()) SetWallpaper(wallpaper);
  return result;
}
