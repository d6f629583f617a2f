// Where a photo was taken, in words: the nearest town or city of 1,000
// people or more and its country, from a gazetteer packed into the saver at
// build time (tools/pack_places.py). Nothing here goes online.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The gazetteer, read in place from its bytes (a resource); nothing is copied.
class PlaceTable {
 public:
  // False, and empty, when the bytes are not a table this reader can trust (every count and offset is checked here, once).
  bool Open(const uint8_t* data, size_t size);
  struct Answer {
    enum Kind { kNothing, kCountry, kPlace } kind = kNothing;
    std::string place;       // UTF-8, kPlace only
    char country[3] = "";    // ISO alpha-2, kCountry and kPlace
    double km = 0;           // to the nearest place; kCountry and kPlace
  };
  // The nearest place by great-circle distance, when within 30 km; further, only its country when within 100 km
  // (a point inside a country); beyond that (at sea, the poles), nothing. Coordinates out of range: nothing.
  Answer Describe(double latitude, double longitude) const;
  // The English name of a country by its code, or "" when the table has none.
  std::string CountryName(const char* code) const;

 private:
  struct Nearest {
    bool found = false;  // within the search's limit
    uint32_t place = 0;
    double arc = 0;      // radians
  };
  Nearest Search(double latitude, double longitude, double limitArc) const;
  const uint8_t* Place(uint32_t index) const { return m_places + size_t(index) * 8; }
  const char* Name(uint32_t offset) const { return reinterpret_cast<const char*>(m_names + offset); }

  const uint8_t* m_countries = nullptr;
  const uint8_t* m_cells = nullptr;
  const uint8_t* m_places = nullptr;
  const uint8_t* m_names = nullptr;
  uint32_t m_countryCount = 0;
};
