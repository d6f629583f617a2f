// The thread that writes the show's place to the settings file, so that a
// settings file on a share that stopped answering never holds up the
// window, and a picture being read never holds up the place. Writes are
// made in the order they were asked for.
#pragma once

#include <windows.h>

#include <string>

#include "settings/saver_settings.h"

class SettingsWriter {
 public:
  explicit SettingsWriter(std::string settingsFile);
  // Leaves the thread to finish, or to end with the process should it be
  // stuck in a write that never returns.
  ~SettingsWriter();
  SettingsWriter(const SettingsWriter&) = delete;
  SettingsWriter& operator=(const SettingsWriter&) = delete;

  // The show's place in `settings` to be written. A place not yet written
  // is replaced, as it would be overwritten; one that cannot be written is
  // left, as the next turn writes its own. FALSE when the thread cannot run.
  BOOL SavePlace(const SaverSettings& settings);
  // As the show ends: with `settings`, every key saved and its current
  // picture made the wallpaper. Waits at most `ms` for this and every write
  // asked for before.
  void Finish(const SaverSettings* settings, DWORD ms);

 private:
  struct Shared;
  BOOL Started();
  static DWORD WINAPI Run(void* shared);
  std::string m_settingsFile;
  Shared* m_pShared;
};
