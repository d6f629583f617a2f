#include "settings/wallpaper.h"

#include "text/utf.h"

BOOL HandsWallpaperOver(const std::string& desktop) {
  return !desktop.empty() && !SameTextIgnoringCase(desktop, "Default");
}

namespace {

// In quotes, as the command-line parser reads it back: backslashes before a
// quote escape it, so those ending a path ("C:\PICS\") are doubled.
std::string Quoted(const std::string& text) {
  const size_t kept = text.find_last_not_of('\\') + 1;
  return '"' + text + text.substr(kept) + '"';
}

}  // namespace

std::string WallpaperCommandLine(const std::string& program, const std::string& path) {
  return Quoted(program) + " /w " + Quoted(path);
}

void SetWallpaperHere(const std::string& path) {
  std::u16string wide = Utf8ToUtf16(path);
  SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, &wide[0], SPIF_UPDATEINIFILE);
}

#ifndef _WIN32
// There is one desktop here.
void SetWallpaper(const std::string& path) { SetWallpaperHere(path); }
#endif
