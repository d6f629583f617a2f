#include <strings.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/native_hooks.h"
#include "platform/win.h"
#include "text/utf.h"

int lstrcmpiA(LPCSTR a, LPCSTR b) { return strcasecmp(a, b); }

namespace {

// There is no system screen saver or desktop here: the values are kept so
// that a later "get" returns what was set, and every call is recorded.
UINT g_timeout = 0;
std::string g_wallpaper;
std::vector<NativeSpiCall> g_calls;
NativeSpiHook g_hook = nullptr;
void* g_hookContext = nullptr;

}  // namespace

const std::vector<NativeSpiCall>& NativeSpiCalls() { return g_calls; }

void NativeClearSpiCalls() { g_calls.clear(); }

void NativeSetSpiHook(NativeSpiHook hook, void* context) {
  g_hook = hook;
  g_hookContext = context;
}

BOOL SystemParametersInfoA(UINT action, UINT uiParam, PVOID pvParam, UINT winIni) {
  NativeSpiCall call{action, uiParam, std::string(), winIni};
  if (action == SPI_SETDESKWALLPAPER && pvParam) call.text = static_cast<const char*>(pvParam);
  g_calls.push_back(call);
  if (g_hook) g_hook(call, g_hookContext);

  switch (action) {
    case SPI_SETSCREENSAVETIMEOUT:
      g_timeout = uiParam;
      return TRUE;
    case SPI_GETSCREENSAVETIMEOUT:
      if (!pvParam) return FALSE;
      *static_cast<UINT*>(pvParam) = g_timeout;
      return TRUE;
    case SPI_SETDESKWALLPAPER:
      g_wallpaper = call.text;
      return TRUE;
    case SPI_GETDESKWALLPAPER:
      if (!pvParam || uiParam == 0) return FALSE;
      snprintf(static_cast<char*>(pvParam), uiParam, "%s", g_wallpaper.c_str());
      return TRUE;
    default:
      return FALSE;
  }
}

// Recorded as the narrow call, its text in UTF-8.
BOOL SystemParametersInfoW(UINT action, UINT uiParam, PVOID pvParam, UINT winIni) {
  if (action != SPI_SETDESKWALLPAPER || !pvParam) return SystemParametersInfoA(action, uiParam, pvParam, winIni);
  std::string text = Utf16ToUtf8(std::u16string(static_cast<const char16_t*>(pvParam)));
  return SystemParametersInfoA(action, uiParam, &text[0], winIni);
}
