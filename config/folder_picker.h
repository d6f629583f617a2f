// The system's folder picker.
#pragma once

#include <windows.h>

#include <string>

// Asks the user for a folder, modal to `owner`. TRUE with its path; FALSE
// when the user cancelled or the picker could not be shown.
bool PickFolder(HWND owner, std::wstring* folder);
