// The pieces of a photo's metadata as each source gives them, before one is chosen for each field; the
// readers of each kind of block, shared by the JPEG, PNG and TIFF walks; and the text and date rules they share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "picture/photo_meta.h"

struct MetaFinds {
  PhotoDate original, digitized, xmpOriginal, xmpCreated;
  bool located = false;
  double latitude = 0, longitude = 0;
  std::string xmpTitle, xmpDescription, iptcTitle, iptcCaption, xpTitle, xpComment, imageDescription;
  bool xmpRead = false, iptcRead = false;  // one block of each is enough
};

void ReadTiffFinds(TiffBytes& bytes, MetaFinds* finds);
void ReadXmpFinds(std::string_view xml, MetaFinds* finds);
void ReadIptcFinds(const uint8_t* data, size_t size, MetaFinds* finds);
// Photoshop's image resources ("8BIM" blocks), of which only the IPTC one is read.
void ReadPhotoshopFinds(const uint8_t* data, size_t size, MetaFinds* finds);

// The first source of a kind wins: a slot once filled is kept. The text is trimmed and cut to at most
// 1000 bytes at a character's start; nothing left counts as none.
void Keep(std::string* slot, std::string text);
void Keep(PhotoDate* slot, const PhotoDate& date);

bool IsUtf8(std::string_view text);
void AppendUtf8(std::string* out, uint32_t codePoint);
// Text up to its first NUL: as it is when it is UTF-8, else taken as Latin-1.
std::string Utf8OrLatin1(const uint8_t* data, size_t size);
// UTF-16LE up to its first NUL, as UTF-8; empty when a surrogate is unpaired.
std::string Utf16LeToUtf8(const uint8_t* data, size_t size);

// "YYYY:MM:DD HH:MM:SS"; and "YYYY-MM-DD", optionally followed by "THH:MM[:SS[.s]]" and a zone. A year of 0
// when the text is of neither form or a part is out of range.
PhotoDate ExifDate(std::string_view text);
PhotoDate XmpDate(std::string_view text);
