#include "places/globe.h"

#include <algorithm>
#include <cmath>

GlobePoint PointAt(double latDegrees, double lonDegrees) {
  const double lat = latDegrees * kRadiansPerDegree;
  return GlobePoint{lat, lonDegrees * kRadiansPerDegree, std::cos(lat)};
}

double HalfChord(const GlobePoint& a, const GlobePoint& b) {
  const double sinLat = std::sin((b.lat - a.lat) / 2), sinLon = std::sin((b.lon - a.lon) / 2);
  return sinLat * sinLat + a.cosLat * b.cosLat * sinLon * sinLon;
}

double ArcOfHalfChord(double halfChord) { return 2 * std::asin(std::sqrt(std::min(1.0, std::max(0.0, halfChord)))); }

double ArcToMeridian(const GlobePoint& p, double degrees) {
  if (degrees >= 90) return 90 * kRadiansPerDegree - std::fabs(p.lat);
  return std::asin(std::min(1.0, p.cosLat * std::sin(degrees * kRadiansPerDegree)));
}
