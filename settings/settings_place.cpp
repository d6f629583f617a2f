#include "settings/settings_place.h"

#include "settings/profile.h"
#include "text/named_file.h"

MoveIn MoveInSettings(const SettingsPlaces& places) {
  const size_t slash = places.user.find_last_of("\\/");
  if (slash != std::string::npos) MakeNamedFolder(places.user.substr(0, slash));
  if (NamedFileExists(places.user)) return MoveIn::kThere;
  const struct {
    const std::string& path;
    MoveIn result;
  } sources[] = {{places.windows, MoveIn::kFromWindows}, {places.machine, MoveIn::kFromMachine}};
  for (const auto& source : sources) {
    if (source.path.empty() || !NamedFileExists(source.path)) continue;
    // Taking the next one instead would hide this one's settings for good
    // once the user saves.
    std::string bytes;
    if (!ReadNamedFile(source.path, &bytes, kMaxProfileBytes) || !ReplaceNamedFile(places.user, bytes))
      return MoveIn::kFailed;
    return source.result;
  }
  return MoveIn::kDefaults;
}

