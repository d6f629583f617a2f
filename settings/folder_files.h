// Making a folder's collection file on Windows: the folder listed, the
// earlier collection file read, the new one written whole.
#pragma once

#include <string>

enum FolderResult {
  kFolderWritten,
  kFolderNoPictures,     // none the slideshow could show; nothing written
  kFolderNotWritable,    // the collection file could not be written there
  kFolderPathTooLong,    // longer than kMaxFolderPath characters
  kFolderNotReadable,    // the folder, or its collection file, could not be read
};

struct FolderOutcome {
  FolderResult result;
  int pictures;      // in the file written; else the pictures found
  int leftOutLong;   // as FolderCollection counts them
  std::string collectionFile;  // the folder's path and "\COLLECTION.INI", in UTF-8
  std::string name;            // the catalogue name the folder suggests
};

// Writes, or brings up to date, the collection file of `folder`: in the ANSI
// code page when every name fits it, as older versions read it, else in
// UTF-16LE with its mark. On any result but kFolderWritten the folder is as
// it was.
FolderOutcome MakeFolderCollection(const wchar_t* folder);
