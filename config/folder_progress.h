// Making a folder's collection on a thread of its own, so that the dialog
// keeps answering while a large tree, a slow disk or a share is listed. A
// window with the folders and pictures found so far, and Cancel, comes up
// when the work is not done at once.
#pragma once

#include <windows.h>

#include <string>

#include "settings/folder_files.h"

// As MakeFolderCollection. Cancelled in time, the result is kFolderCancelled
// and nothing has been written; the listing may go on a while on its thread
// (a share that stopped answering holds it), and its result is dropped.
FolderOutcome MakeFolderCollectionShowingProgress(HWND owner, const std::wstring& folder, bool subfolders);
