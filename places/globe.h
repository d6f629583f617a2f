// Distances on the globe, taken as a sphere, in radians of arc: between two
// points, and the least from a point to anything a whole band of latitude
// or of longitude away, which lets a search pass over cells unread.
#pragma once

const double kEarthKm = 6371.0088;  // the mean radius
const double kRadiansPerDegree = 0.017453292519943295;

// A point, its latitude's cosine kept as every distance from it needs it.
struct GlobePoint {
  double lat, lon, cosLat;  // radians
};
GlobePoint PointAt(double latDegrees, double lonDegrees);

// sin^2 of half the arc between the two: grows with the arc, so it compares
// distances without the arcsine.
double HalfChord(const GlobePoint& a, const GlobePoint& b);
double ArcOfHalfChord(double halfChord);

// The shortest arc from `p` to a meridian `degrees` of longitude east or
// west of it (0 to 180); past 90 the nearest of those points is a pole.
double ArcToMeridian(const GlobePoint& p, double degrees);
