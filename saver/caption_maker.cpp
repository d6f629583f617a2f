#include "saver/caption_maker.h"

#include <windows.h>

#include <cstdio>

#include "res/resource.h"
#include "saver/caption_text.h"
#include "text/utf.h"

namespace {
typedef int(WINAPI* GeoInfoEx)(PWSTR location, GEOTYPE type, PWSTR data, int size);
const GEOTYPE kFriendlyName = GEOTYPE(8);  // GEO_FRIENDLYNAME
}  // namespace

CaptionMaker::CaptionMaker() : m_bPlaces(false) {
  // Read where it lies in the program's image: nothing is copied.
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_PLACES), MAKEINTRESOURCEW(10));  // RT_RCDATA
  HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (bytes) m_bPlaces = m_places.Open(static_cast<const uint8_t*>(bytes), SizeofResource(nullptr, found));
}

std::string CaptionMaker::Line(const PhotoMeta& meta, bool date, bool place) {
  return CaptionLine(date && meta.taken.year ? DateText(meta.taken) : "",
                     place && meta.located ? PlaceName(meta.latitude, meta.longitude) : "");
}

std::string CaptionMaker::DateText(const PhotoDate& date) const {
  SYSTEMTIME time = {};
  time.wYear = WORD(date.year), time.wMonth = WORD(date.month), time.wDay = WORD(date.day);
  wchar_t text[128];
  // A date the system cannot write (before 1601) is written as its digits.
  if (date.year >= 1601 && GetDateFormatEx(nullptr /* the user's locale */, DATE_LONGDATE, &time, nullptr, text, 128, nullptr) > 0)
    return Narrow(text);
  char digits[16];
  snprintf(digits, sizeof digits, "%04d-%02d-%02d", date.year % 10000, date.month % 100, date.day % 100);
  return digits;
}

std::string CaptionMaker::PlaceName(double latitude, double longitude) const {
  if (!m_bPlaces) return "";
  const PlaceTable::Answer answer = m_places.Describe(latitude, longitude);
  if (answer.kind == PlaceTable::Answer::kNothing) return "";
  return PlaceText(answer.kind == PlaceTable::Answer::kPlace ? answer.place : "", CountryName(answer.country));
}

std::string CaptionMaker::CountryName(const char* code) const {
  // Windows 10 names countries in the user's language; before it, and where
  // it has no name, the gazetteer's English one.
  static const GeoInfoEx geoInfoEx =
      reinterpret_cast<GeoInfoEx>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetGeoInfoEx")));
  wchar_t location[3] = {wchar_t(code[0]), wchar_t(code[0] ? code[1] : 0), 0}, name[128];
  if (geoInfoEx && code[0] && geoInfoEx(location, kFriendlyName, name, 128) > 1) return Narrow(name);
  const std::string english = m_places.CountryName(code);
  return english.empty() ? code : english;
}
