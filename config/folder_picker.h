// The system's folder picker.
#pragma once

#include <windows.h>

#include <string>

// Asks the user for a folder, modal to `owner`, with a box "Include
// subfolders" checked as `subfolders` says. TRUE with its path and the
// box's state; FALSE when the user cancelled or the picker could not be
// shown.
bool PickFolder(HWND owner, std::wstring* folder, bool* subfolders);
