// What a picture's words on screen say: its title line and its line of when
// and where, from what the collection lists and what the photo itself holds.
#pragma once

#include <string>

#include "picture/photo_meta.h"

// The title shown: the one the collection lists, unless it lists none or
// only the file's name (as a folder's collection does), when the photo's own
// title, else its description, takes its place if it has one.
std::string ShownTitle(const std::string& listed, const std::string& path, const PhotoMeta& meta);

// "Place, Country", the country alone, or nothing.
std::string PlaceText(const std::string& place, const std::string& country);

// The date and the place joined by " · ", either alone, or nothing.
std::string CaptionLine(const std::string& date, const std::string& place);
