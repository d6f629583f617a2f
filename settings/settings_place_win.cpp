// The known folders came with Windows Vista; the program runs on 7 and later.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include "settings/saver_settings.h"
#include "settings/settings_place.h"
#include "text/utf.h"

namespace {
std::string KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::string folder;
  if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &path))) folder = Narrow(path);
  CoTaskMemFree(path);
  return folder;
}

std::string InFolder(const std::string& folder, const char* sub) {
  return folder.empty() ? std::string() : folder + sub + "\\" + kSettingsFile;
}
}  // namespace

std::string UserFolder(UserFolderKind kind) {
  return KnownFolder(kind == kLocalAppData ? FOLDERID_LocalAppData : FOLDERID_RoamingAppData);
}

SettingsPlaces FindSettingsPlaces() {
  wchar_t windows[MAX_PATH] = L"";
  const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
  SettingsPlaces places;
  places.windows = InFolder(length > 0 && length < MAX_PATH ? Narrow(windows) : std::string(), "");
  places.machine = InFolder(KnownFolder(FOLDERID_ProgramData), "\\Lumaro");
  places.user = InFolder(UserFolder(kRoamingAppData), "\\Lumaro");
  // Without a folder of the user's own, the settings stay where they were.
  if (places.user.empty()) places.user = places.windows;
  return places;
}
