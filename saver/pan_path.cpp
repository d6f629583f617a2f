#include "saver/pan_path.h"

#include <algorithm>
#include <cmath>

namespace {

// A picture whose shape is this much wider or taller than the screen's is
// long: it pans along its length with little zoom.
const double kLongShape = 1.15;
const double kLongZoom = 1.06;
// The most a second: the content crosses this share of the screen's width,
// the zoom changes by this factor.
const double kPanPace = 0.02;
const double kZoomPace = 1.02;
// Smoothstep's pace peaks at 1.5 times its average.
const double kEasedPeak = 1.5;

// NaN gives `lo`: a focus nobody could measure stays inside.
double Clamp(double v, double lo, double hi) { return v > lo ? (v < hi ? v : hi) : lo; }

}  // namespace

PanPath PlanPan(int rectWidth, int rectHeight, int pictureWidth, int pictureHeight, int screenWidth,
                int screenHeight, int place, PanFocus focus, int lengthMs, bool fade) {
  const PanView whole = {0.5, 0.5, 1.0};
  PanPath path = {whole, whole, !fade};
  if (lengthMs <= 0 || std::min({rectWidth, rectHeight, pictureWidth, pictureHeight, screenWidth, screenHeight}) < 1)
    return path;
  // The time the path would take at its peak pace throughout: the caps hold
  // at the peak, so the way is measured against it.
  const double seconds = lengthMs / 1000.0 / (path.ease ? kEasedPeak : 1.0);
  const double panMost = kPanPace * screenWidth * seconds;  // on-screen pixels
  const double zoomMost = std::pow(kZoomPace, seconds);
  const double shape = double(pictureWidth) / pictureHeight * screenHeight / screenWidth;
  const bool in = (place & 1) == 0;

  if (shape > kLongShape) {
    // A panorama crosses its slack at one zoom, the way shortened about the
    // middle when time is short; it turns back on the next.
    const double z = kLongZoom;
    const double lo = std::max(0.5 / z, 0.5 - panMost / (2 * rectWidth * z));
    const double hi = std::min(1 - 0.5 / z, 0.5 + panMost / (2 * rectWidth * z));
    path.from = {in ? lo : hi, 0.5, z};
    path.to = {in ? hi : lo, 0.5, z};
    return path;
  }
  PanView close;
  if (shape < 1 / kLongShape) {
    // A portrait's subject is most often near its top: the views hang from
    // its top row, so the centre moves by 0.5 - 0.5 / z, on screen
    // 0.5 (z - 1) rectHeight.
    const double z = std::min({kLongZoom, zoomMost, 1 + 2 * panMost / rectHeight});
    close = {0.5, 0.5 / z, z};
  } else {
    const double z = std::min(kPanMaxZoom, zoomMost);
    const double dx = Clamp(focus.x, 0.5 / z, 1 - 0.5 / z) - 0.5;
    const double dy = Clamp(focus.y, 0.5 / z, 1 - 0.5 / z) - 0.5;
    // Too far for the time: toward the middle, which keeps the view inside.
    const double way = std::hypot(dx * rectWidth * z, dy * rectHeight * z);
    const double k = way > panMost ? panMost / way : 1.0;
    close = {0.5 + dx * k, 0.5 + dy * k, z};
  }
  path.from = in ? whole : close;
  path.to = in ? close : whole;
  return path;
}

PanView ViewAt(const PanPath& path, int elapsedMs, int lengthMs) {
  const double t = lengthMs <= 0 ? 1.0 : Clamp(double(elapsedMs) / lengthMs, 0.0, 1.0);
  // The ends exactly as planned, so a view at the picture's edge stays in it.
  if (t <= 0) return path.from;
  if (t >= 1) return path.to;
  const double s = path.ease ? t * t * (3 - 2 * t) : t;
  const PanView& a = path.from;
  const PanView& b = path.to;
  // Geometric zoom: the same share of change each moment, which the eye reads as even.
  return {a.x + (b.x - a.x) * s, a.y + (b.y - a.y) * s, a.zoom * std::pow(b.zoom / a.zoom, s)};
}
