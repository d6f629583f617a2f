#include "places/place_table.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "places/globe.h"

// The layout is tools/pack_places.py's: a header of u32 fields, the country
// table, the cells' first places, the places and the names, little-endian.
namespace {

const uint8_t kMagic[4] = {'L', 'M', 'P', 'L'};
const uint32_t kVersion = 1;
const size_t kHeaderSize = 36, kCountrySize = 8, kPlaceSize = 8;
const int kRows = 90, kCols = 180, kCells = kRows * kCols;  // two-degree cells from 90 S and 180 W
const double kCellDegrees = 2;
const uint32_t kCellUnits = 20000;  // a cell's side in the places' 1e-4 degrees
const double kUnitsPerDegree = 10000;
const uint32_t kMaxCountries = 256;  // a place holds an 8-bit index
const double kPlaceKm = 30, kCountryKm = 100;

uint16_t Read16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t Read32(const uint8_t* p) { return uint32_t(Read16(p)) | uint32_t(Read16(p + 2)) << 16; }

// `size` bytes from `at` lie within `total`.
bool Inside(uint64_t at, uint64_t size, uint64_t total) { return at <= total && size <= total - at; }

uint32_t PlaceLat(const uint8_t* place) { return Read16(place); }  // from the cell's south edge
uint32_t PlaceLon(const uint8_t* place) { return Read16(place + 2); }  // from its west edge
uint32_t PlaceName(const uint8_t* place) { return Read32(place + 4) & 0xFFFFFF; }
uint32_t PlaceCountry(const uint8_t* place) { return place[7]; }

}  // namespace

bool PlaceTable::Open(const uint8_t* data, size_t size) {
  *this = PlaceTable();
  if (!data || size < kHeaderSize || memcmp(data, kMagic, sizeof kMagic) != 0 || Read32(data + 4) != kVersion)
    return false;
  const uint32_t countries = Read32(data + 8), places = Read32(data + 12);
  const uint32_t countriesAt = Read32(data + 16), cellsAt = Read32(data + 20), placesAt = Read32(data + 24);
  const uint32_t namesAt = Read32(data + 28), namesSize = Read32(data + 32);
  if (countries > kMaxCountries || !Inside(countriesAt, uint64_t(countries) * kCountrySize, size) ||
      !Inside(cellsAt, (uint64_t(kCells) + 1) * 4, size) || !Inside(placesAt, uint64_t(places) * kPlaceSize, size) ||
      !Inside(namesAt, namesSize, size))
    return false;
  // With a NUL at the pool's end, any offset into it starts a string that ends inside it.
  if (namesSize == 0 || data[namesAt + namesSize - 1] != 0) return false;
  for (uint32_t i = 0; i < countries; ++i) {
    const uint8_t* c = data + countriesAt + size_t(i) * kCountrySize;
    if (c[0] < 'A' || c[0] > 'Z' || c[1] < 'A' || c[1] > 'Z' || Read32(c + 4) >= namesSize) return false;
  }
  const uint8_t* cells = data + cellsAt;
  if (Read32(cells) != 0 || Read32(cells + kCells * 4) != places) return false;
  for (int cell = 0; cell < kCells; ++cell) {
    const uint32_t first = Read32(cells + cell * 4), end = Read32(cells + cell * 4 + 4);
    if (end < first || end > places) return false;
    // The search skips to a band of latitude: each cell's places must be in that order.
    uint32_t lastLat = 0;
    for (uint32_t i = first; i < end; ++i) {
      const uint8_t* p = data + placesAt + size_t(i) * kPlaceSize;
      if (PlaceLat(p) > kCellUnits || PlaceLat(p) < lastLat || PlaceLon(p) >= kCellUnits ||
          PlaceCountry(p) >= countries || PlaceName(p) >= namesSize)
        return false;
      lastLat = PlaceLat(p);
    }
  }
  m_countries = data + countriesAt;
  m_cells = cells;
  m_places = data + placesAt;
  m_names = data + namesAt;
  m_countryCount = countries;
  return true;
}

// Cells are read ring by ring around the point's own, each only when it
// could hold a place nearer than the best so far, and the rings stop once
// nothing outside them could.
PlaceTable::Nearest PlaceTable::Search(double latitude, double longitude, double limitArc) const {
  if (longitude == 180) longitude = -180;  // where the columns of cells begin
  const GlobePoint here = PointAt(latitude, longitude);
  const int row = std::min(int((latitude + 90) / kCellDegrees), kRows - 1);
  const int col = int((longitude + 180) / kCellDegrees) % kCols;
  Nearest best;
  best.arc = limitArc;
  double bestHalfChord = std::sin(limitArc / 2) * std::sin(limitArc / 2);

  // The least arc from the point to the cell `dc` columns east of its own (west when negative); each cell is
  // one `dc` from -89 to 90.
  auto bound = [&](int r, int dc) {
    const double south = r * kCellDegrees - 90, west = (col + dc) * kCellDegrees - 180;  // west unwrapped
    const double latGap = std::max({south - latitude, latitude - south - kCellDegrees, 0.0});
    const double lonGap = std::max({west - longitude, longitude - west - kCellDegrees, 0.0});
    return std::max(latGap * kRadiansPerDegree, ArcToMeridian(here, lonGap));
  };
  auto visit = [&](int r, int dc) {
    if (bound(r, dc) > best.arc) return;
    const double south = r * kCellDegrees - 90, west = (col + dc) * kCellDegrees - 180;
    const uint8_t* starts = m_cells + ((r * kCols + (col + dc + kCols) % kCols) * 4);
    uint32_t lo = Read32(starts), end = Read32(starts + 4);
    // A place further north or south than the best so far is further away too.
    const double from = (latitude - best.arc / kRadiansPerDegree - south) * kUnitsPerDegree;
    for (uint32_t hi = end; lo < hi;) {
      const uint32_t mid = lo + (hi - lo) / 2;
      if (PlaceLat(Place(mid)) < from) lo = mid + 1; else hi = mid;
    }
    for (uint32_t i = lo; i < end; ++i) {
      const uint8_t* p = Place(i);
      const double lat = south + PlaceLat(p) / kUnitsPerDegree;
      if ((lat - latitude) * kRadiansPerDegree > best.arc) break;
      const double halfChord = HalfChord(here, PointAt(lat, west + PlaceLon(p) / kUnitsPerDegree));
      if (halfChord < bestHalfChord) {
        bestHalfChord = halfChord;
        best.found = true, best.place = i, best.arc = ArcOfHalfChord(halfChord);
      }
    }
  };

  const int farthest = kCols / 2;
  for (int k = 0; k <= farthest; ++k) {
    for (int r = std::max(0, row - k); r <= std::min(kRows - 1, row + k); ++r) {
      if (r == row - k || r == row + k) {
        for (int dc = std::max(-k, 1 - farthest); dc <= std::min(k, farthest); ++dc) visit(r, dc);
      } else {
        if (k < farthest) visit(r, -k);
        visit(r, k);
      }
    }
    // Any cell not read yet is at least as far as the nearest of these.
    double beyond = std::numeric_limits<double>::infinity();
    if (row - k > 0) beyond = std::min(beyond, bound(row - k - 1, 0));
    if (row + k < kRows - 1) beyond = std::min(beyond, bound(row + k + 1, 0));
    if (k + 1 < farthest) beyond = std::min(beyond, bound(row, -k - 1));
    if (k < farthest) beyond = std::min(beyond, bound(row, k + 1));
    if (beyond > best.arc) break;
  }
  return best;
}

PlaceTable::Answer PlaceTable::Describe(double latitude, double longitude) const {
  Answer answer;
  // Written so that NaN fails too.
  if (!m_cells || !(latitude >= -90 && latitude <= 90) || !(longitude >= -180 && longitude <= 180)) return answer;
  const Nearest nearest = Search(latitude, longitude, kCountryKm / kEarthKm);
  if (!nearest.found) return answer;
  const uint8_t* p = Place(nearest.place);
  memcpy(answer.country, m_countries + PlaceCountry(p) * kCountrySize, 2);
  answer.km = nearest.arc * kEarthKm;
  answer.kind = answer.km <= kPlaceKm ? Answer::kPlace : Answer::kCountry;
  if (answer.kind == Answer::kPlace) answer.place = Name(PlaceName(p));
  return answer;
}

std::string PlaceTable::CountryName(const char* code) const {
  if (!m_cells || !code || !code[0] || !code[1] || code[2]) return "";
  for (uint32_t i = 0; i < m_countryCount; ++i) {
    const uint8_t* c = m_countries + size_t(i) * kCountrySize;
    if (c[0] == uint8_t(code[0]) && c[1] == uint8_t(code[1])) return Name(Read32(c + 4));
  }
  return "";
}
