// Where bare profile names live natively: the tests' own directory.
#include <cstdlib>
#include <string>

#include "platform/native_hooks.h"

namespace {

bool g_haveDirOverride = false;
std::string g_dirOverride;

}  // namespace

void NativeSetProfileDirectory(const char* dir) {
  g_haveDirOverride = dir && *dir;
  g_dirOverride = g_haveDirOverride ? dir : "";
}

std::string NativeProfileDirectory() {
  if (g_haveDirOverride) return g_dirOverride;
  const char* home = getenv("LUMARO_HOME");
  if (home && *home) return home;
  home = getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.lumaro";
}
