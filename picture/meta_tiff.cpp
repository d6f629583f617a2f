// The metadata of a TIFF structure (a TIFF file, a JPEG's Exif block or a PNG's eXIf chunk): IFD0's words and
// blocks, the dates in its EXIF sub-IFD and the place in its GPS sub-IFD.
#include "picture/meta_finds.h"

namespace {

const uint16_t kImageDescription = 0x010E, kXpTitle = 0x9C9B, kXpComment = 0x9C9C, kXmp = 700, kIptc = 33723;
const uint16_t kExifIfd = 0x8769, kGpsIfd = 0x8825, kDateTimeOriginal = 0x9003, kDateTimeDigitized = 0x9004;
const uint16_t kLatitudeRef = 1, kLatitude = 2, kLongitudeRef = 3, kLongitude = 4;
const uint16_t kByte = 1, kAscii = 2, kLong = 4, kRational = 5, kUndefined = 7, kIfd = 13;
const size_t kEntrySize = 12;
// Larger IFDs and values are no photo's: refusing them bounds what a file can make us read.
const unsigned kMaxEntries = 1024;
const uint64_t kMaxValue = 256 * 1024;

struct Tiff {
  TiffBytes& bytes;
  bool big;
  uint16_t U16(const uint8_t* p) const { return uint16_t(big ? p[0] << 8 | p[1] : p[1] << 8 | p[0]); }
  uint32_t U32(const uint8_t* p) const {
    return big ? uint32_t(U16(p)) << 16 | U16(p + 2) : uint32_t(U16(p + 2)) << 16 | U16(p);
  }
};

struct Entry {
  uint16_t tag, type;
  uint32_t count;
  const uint8_t* field;  // the value itself when it fits in four bytes, else its offset
};

// An entry's value: in its field when it fits there, else where the field points. Null when not all of it is
// there or its type is unknown.
const uint8_t* Value(const Tiff& t, const Entry& e, size_t* size) {
  static const uint8_t kTypeSizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
  const uint64_t bytes = e.type < sizeof kTypeSizes ? uint64_t(e.count) * kTypeSizes[e.type] : 0;
  if (bytes == 0 || bytes > kMaxValue) return nullptr;
  *size = size_t(bytes);
  return bytes <= 4 ? e.field : t.bytes.Get(t.U32(e.field), size_t(bytes));
}

// Calls `visit` with each entry of the IFD at `offset`; nothing when its entries are not all there. The link
// to a next IFD is never followed.
template <typename Visit>
void WalkIfd(const Tiff& t, uint64_t offset, Visit visit) {
  const uint8_t* head = t.bytes.Get(offset, 2);
  const unsigned count = head ? t.U16(head) : 0;
  const uint8_t* entries = count > 0 && count <= kMaxEntries ? t.bytes.Get(offset + 2, count * kEntrySize) : nullptr;
  for (unsigned i = 0; entries && i < count; ++i) {
    const uint8_t* e = entries + i * kEntrySize;
    visit(Entry{t.U16(e), t.U16(e + 2), t.U32(e + 4), e + 8});
  }
}

std::string Text(const Tiff& t, const Entry& e, uint16_t type, std::string (*decode)(const uint8_t*, size_t)) {
  size_t size = 0;
  const uint8_t* value = e.type == type || (type == kByte && e.type == kUndefined) ? Value(t, e, &size) : nullptr;
  return value ? decode(value, size) : std::string();
}

// Degrees, minutes and seconds as RATIONALs: in degrees; false when a denominator is zero.
bool Degrees(const Tiff& t, const Entry& e, double* degrees) {
  size_t size = 0;
  const uint8_t* value = e.type == kRational && e.count >= 1 && e.count <= 3 ? Value(t, e, &size) : nullptr;
  if (!value) return false;
  double sum = 0, unit = 1;
  for (uint32_t i = 0; i < e.count; ++i, unit *= 60) {
    const uint32_t numerator = t.U32(value + 8 * i), denominator = t.U32(value + 8 * i + 4);
    if (denominator == 0) return false;
    sum += double(numerator) / denominator / unit;
  }
  *degrees = sum;
  return true;
}

// A reference letter, 'N', 'S', 'E' or 'W' and nothing after it; 0 when it is not one.
char Reference(const Entry& e) {
  const char letter = char(e.field[0]);
  return e.type == kAscii && (e.count == 1 || (e.count == 2 && e.field[1] == 0)) ? letter : 0;
}

void ReadGps(const Tiff& t, uint64_t offset, MetaFinds* finds) {
  char latitudeRef = 0, longitudeRef = 0;
  double latitude = -1, longitude = -1;
  WalkIfd(t, offset, [&](const Entry& e) {
    if (e.tag == kLatitudeRef) latitudeRef = Reference(e);
    if (e.tag == kLongitudeRef) longitudeRef = Reference(e);
    if (e.tag == kLatitude && !Degrees(t, e, &latitude)) latitude = -1;
    if (e.tag == kLongitude && !Degrees(t, e, &longitude)) longitude = -1;
  });
  if ((latitudeRef != 'N' && latitudeRef != 'S') || (longitudeRef != 'E' && longitudeRef != 'W') ||
      latitude < 0 || latitude > 90 || longitude < 0 || longitude > 180)
    return;
  finds->located = true;
  finds->latitude = latitudeRef == 'S' ? -latitude : latitude;
  finds->longitude = longitudeRef == 'W' ? -longitude : longitude;
}

std::string AsciiText(const uint8_t* data, size_t size) { return std::string(reinterpret_cast<const char*>(data), size); }

}  // namespace

void ReadTiffFinds(TiffBytes& bytes, MetaFinds* finds) {
  const uint8_t* header = bytes.Get(0, 8);
  if (!header || header[0] != header[1] || (header[0] != 'I' && header[0] != 'M')) return;
  const Tiff t{bytes, header[0] == 'M'};
  if (t.U16(header + 2) != 42) return;
  // Only the first EXIF and GPS links are followed, and nothing from within them: no loop of links can
  // hold us, and at most three IFDs are read.
  uint32_t exif = 0, gps = 0;
  WalkIfd(t, t.U32(header + 4), [&](const Entry& e) {
    if (e.tag == kImageDescription) Keep(&finds->imageDescription, Text(t, e, kAscii, Utf8OrLatin1));
    if (e.tag == kXpTitle) Keep(&finds->xpTitle, Text(t, e, kByte, Utf16LeToUtf8));
    if (e.tag == kXpComment) Keep(&finds->xpComment, Text(t, e, kByte, Utf16LeToUtf8));
    const bool link = (e.type == kLong || e.type == kIfd) && e.count == 1;
    if (link && e.tag == kExifIfd && exif == 0) exif = t.U32(e.field);
    if (link && e.tag == kGpsIfd && gps == 0) gps = t.U32(e.field);
    size_t size = 0;
    const uint8_t* block = nullptr;
    if (e.tag == kXmp && !finds->xmpRead && (block = Value(t, e, &size)) != nullptr)
      finds->xmpRead = true, ReadXmpFinds(std::string_view(reinterpret_cast<const char*>(block), size), finds);
    if (e.tag == kIptc && !finds->iptcRead && (block = Value(t, e, &size)) != nullptr)
      finds->iptcRead = true, ReadIptcFinds(block, size, finds);
  });
  if (exif != 0)
    WalkIfd(t, exif, [&](const Entry& e) {
      if (e.tag == kDateTimeOriginal) Keep(&finds->original, ExifDate(Text(t, e, kAscii, AsciiText)));
      if (e.tag == kDateTimeDigitized) Keep(&finds->digitized, ExifDate(Text(t, e, kAscii, AsciiText)));
    });
  if (gps != 0 && !finds->located) ReadGps(t, gps, finds);
}
