// Where LUMARO.INI lives: in each user's own folder, where an unelevated
// program may write. A user without one yet gets a copy of the settings of
// an older version, kept in the Windows folder, or else of the machine's
// defaults that the setup wrote.
#pragma once

#include <string>

struct SettingsPlaces {
  std::string user;     // %APPDATA%\Lumaro\LUMARO.INI
  std::string windows;  // LUMARO.INI in the Windows folder, as older versions kept it
  std::string machine;  // %ProgramData%\Lumaro\LUMARO.INI, from the setup
};

enum UserFolderKind { kRoamingAppData, kLocalAppData };
// The user's own %APPDATA% or %LOCALAPPDATA% (Windows only); "" when the
// system names none.
std::string UserFolder(UserFolderKind kind);

// This system's places (Windows only); empty where the system names no such
// folder, the user's then the Windows folder's.
SettingsPlaces FindSettingsPlaces();

enum class MoveIn {
  kThere,        // the user's file exists (readable or not): nothing is touched
  kFromWindows,  // copied from the Windows folder's
  kFromMachine,  // copied from the machine's defaults
  kDefaults,     // neither exists: the built-in defaults, the file made at the first save
  kFailed,       // one exists but could not be read or copied: nothing made, tried again next time
};

// Makes the user's file, when it does not exist, from the first of the
// Windows folder's and the machine's files that exists, copied byte for
// byte; the file copied from is never changed. The user's folder is made
// in any case, for the first save.
MoveIn MoveInSettings(const SettingsPlaces& places);
