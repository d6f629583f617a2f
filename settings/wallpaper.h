// The desktop wallpaper. Since Windows 8 the saver that the system starts on
// idle runs on a desktop of its own, where setting the wallpaper fails; from
// there the saver starts itself on the user's desktop to set it.
#pragma once

#include <string>

#include "platform/win.h"

// TRUE when a thread on the desktop named `desktop` leaves the wallpaper to a
// process on "Default": any other name but "" (a name that could not be read).
BOOL HandsWallpaperOver(const std::string& desktop);

// `program` started with the switch that sets `path` as the wallpaper.
std::string WallpaperCommandLine(const std::string& program, const std::string& path);

// Sets `path`, in UTF-8, as the wallpaper, here or through a process on the
// default desktop. As with the system's own savers, a failure goes unseen and
// nothing waits for the other process.
void SetWallpaper(const std::string& path);

// Sets it from this thread's desktop, whatever that is.
void SetWallpaperHere(const std::string& path);

#ifdef _WIN32
// For the wallpaper switch: sets the path that follows it, read from the wide
// command line, since the narrow one loses what the code page cannot hold.
void SetWallpaperFromCommandLine();
#endif
