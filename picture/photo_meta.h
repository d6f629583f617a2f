// What a photo says of itself: when it was taken, where, and its title and description, read with small
// bounded parsers of our own (the system's metadata reader returns none of them under Wine).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct PhotoDate { int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0; };  // year 0: none
struct PhotoMeta {
  PhotoDate taken;          // EXIF DateTimeOriginal, else DateTimeDigitized, else XMP exif:DateTimeOriginal, else xmp:CreateDate; never the file's time
  bool located = false;     // GPS latitude and longitude both read, references included, and in range
  double latitude = 0, longitude = 0;  // degrees; south and west negative
  std::string title;        // UTF-8: XMP dc:title (the x-default entry, else the first), else IPTC Object Name (2:05), else EXIF XPTitle
  std::string description;  // UTF-8: XMP dc:description, else IPTC Caption-Abstract (2:120), else EXIF ImageDescription, else XPComment
};

// What the bytes at a photo file's start say of it: JPEG (APP1 "Exif", APP1 XMP "http://ns.adobe.com/xap/1.0/", APP13
// "Photoshop 3.0" 8BIM resource 0x0404 IPTC), TIFF (IFD0, its EXIF and GPS sub-IFDs, XMP tag 700, IPTC tag 33723) and
// PNG (eXIf chunk; iTXt "XML:com.adobe.xmp", uncompressed). A field that cannot be trusted stays empty. Never reads
// outside [head, head + size).
PhotoMeta ReadPhotoMeta(const uint8_t* head, size_t size);

// A TIFF structure's bytes, asked for by range: the range's first byte, or null when not all of it can be had.
// What it returns stays valid while the object lives.
class TiffBytes {
 public:
  virtual const uint8_t* Get(uint64_t offset, size_t length) = 0;

 protected:
  ~TiffBytes() = default;
};

// The same for a TIFF file whose parts may lie anywhere in it, each asked for as it is needed.
PhotoMeta ReadTiffMeta(TiffBytes& bytes);
