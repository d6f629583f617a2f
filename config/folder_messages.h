// What the dialog tells the user after making a folder's collection.
#pragma once

#include <windows.h>

#include <string>

#include "settings/folder_files.h"

// Why no collection was made, or, when one was made without some of the
// folder's pictures, how many were left out and why. Nothing otherwise.
void ReportFolderOutcome(HWND owner, const std::wstring& folder, const FolderOutcome& outcome,
                         const char* listedName);
