// Making a folder's collection file on Windows: the folder listed, the
// earlier collection file read, the new one written whole.
#pragma once

#include <string>
#include <vector>

#include "settings/folder_tree.h"

enum FolderResult {
  kFolderWritten,
  kFolderNoPictures,     // none the slideshow could show; nothing written
  kFolderNotWritable,    // the collection file could be written neither there nor locally
  kFolderPathTooLong,    // longer than kMaxFolderPath characters
  kFolderNotReadable,    // the folder, or its collection file, could not be read
  kFolderCancelled,      // nothing written
};

struct FolderOutcome {
  FolderResult result;
  int pictures;      // in the file written; else the pictures found
  int leftOutLong;   // as FolderCollection counts them
  std::string collectionFile;  // the folder's path and "\COLLECTION.INI", or the local file, in UTF-8
  std::string name;            // the catalogue name the folder suggests
};

// The system's listing of one folder, as ListFolderFn.
bool ListFolder(const std::wstring& folder, std::vector<FolderEntry>* entries);

// Writes, or brings up to date, the collection file of `folder`, with the
// pictures of its subfolders when asked, into the folder or, when it cannot
// be written there, into local app data: in the ANSI code page when every
// name fits it, as older versions read it, else in UTF-16LE with its mark.
// On any result but kFolderWritten the folder is as it was. `progress`
// counts what is found and may cancel from another thread.
FolderOutcome MakeFolderCollection(const wchar_t* folder, bool subfolders, FolderProgress* progress);
