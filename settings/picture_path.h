// Where a collection file's entry points: a full path stands as it is, any
// other form lies in the collection file's folder.
#pragma once

#include <string>

// "D:\x", "D:/x" or "\\server\share\x" (either slash), which a collection
// kept away from its pictures holds.
bool IsFullPath(const std::string& entry);

// The entry when it is a full path, else "collectionDir\entry".
std::string PicturePathFor(const std::string& collectionDir, const std::string& entry);
