// Collections of folders Lumaro cannot write into (a read-only share, a
// DVD, another user's folder): their files are kept in the user's local
// application data, "Lumaro\Collections\<name>.INI", each naming its folder
// in Properties so that adding the folder again finds it.
#pragma once

#include <string>
#include <vector>

// A file of that place, as listed there.
struct LocalCollection {
  std::string fileName;  // "Holiday.INI"
  std::string folder;    // the folder its Properties name; "" when none
};

// The folder a collection file names in its Properties; "" when none.
std::string FolderOfCollection(const char* path);

// The name of the file in a place whose path has `dirLength` characters
// for the collection of `folder`: the file made for it before, with
// `*madeBefore` set, else its catalogue name made fit for a file name and
// unique among the other files there. Either way "dir\name" has at most
// 254 characters; "" when the place leaves no room for one.
std::string LocalCollectionFileName(const std::string& folder, const std::vector<LocalCollection>& files,
                                    size_t dirLength, bool* madeBefore);

#ifdef _WIN32
// The file for `folder` in %LOCALAPPDATA%\Lumaro\Collections, as
// LocalCollectionFileName chooses it. FALSE when the system names no such
// place, or it cannot be read or leaves no room.
bool LocalCollectionFile(const std::string& folder, std::string* file, bool* madeBefore);

// Makes the folders of `file` that are missing; FALSE when one cannot be made.
bool MakeLocalCollectionFolders(const std::string& file);
#endif
