// The line at the bottom of a photo: when it was taken, in the user's long
// date format, and where, named from its GPS position by the gazetteer the
// program carries, the country in the user's language where Windows has it.
// Each worker thread has its own.
#pragma once

#include <string>

#include "picture/photo_meta.h"
#include "places/place_table.h"

class CaptionMaker {
 public:
  CaptionMaker();
  // UTF-8; empty when the photo holds neither of what is asked.
  std::string Line(const PhotoMeta& meta, bool date, bool place);

 private:
  std::string DateText(const PhotoDate& date) const;
  std::string PlaceName(double latitude, double longitude) const;
  std::string CountryName(const char* code) const;

  PlaceTable m_places;
  bool m_bPlaces;  // the gazetteer could be read
};
