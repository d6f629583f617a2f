// Test-only controls of the native stand-ins: where bare profile names live,
// and what the system-settings calls were asked to do.
#pragma once

#include <string>
#include <vector>

#include "platform/native_win.h"

// The directory that holds bare profile names: the one set here, else
// $LUMARO_HOME, else $HOME/.lumaro. Null or "" returns to the environment.
void NativeSetProfileDirectory(const char* dir);
std::string NativeProfileDirectory();

// One SystemParametersInfoA call. `text` is the string behind the pointer
// for SPI_SETDESKWALLPAPER and empty otherwise.
struct NativeSpiCall {
  UINT action;
  UINT uiParam;
  std::string text;
  UINT flags;
};

const std::vector<NativeSpiCall>& NativeSpiCalls();
void NativeClearSpiCalls();

// Called inside SystemParametersInfoA, after the call has been recorded.
// Null removes the hook.
typedef void (*NativeSpiHook)(const NativeSpiCall& call, void* context);
void NativeSetSpiHook(NativeSpiHook hook, void* context);
