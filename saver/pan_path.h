// The slow drift of a picture while it is on screen: two views of it and
// the way between them. Each frame's view comes from the clock alone, so a
// late frame shows the path as far as the clock says and nothing adds up.
#pragma once

struct PanFocus { double x, y; };  // the picture's most detailed part, 0..1 of each side
// A view: a rectangle of the drawn rectangle's shape inside the picture, its
// centre in fractions 0..1 of the picture's width and height, spanning 1/zoom
// of each.
struct PanView { double x, y, zoom; };
struct PanPath {
  PanView from = {0.5, 0.5, 1.0}, to = {0.5, 0.5, 1.0};  // still and whole until planned
  bool ease = false;  // smoothstep in time instead of a constant pace
};

const double kPanMaxZoom = 1.12;  // the worker prepares each picture at its rectangle x this

// The path of a picture drawn in a `rectWidth` x `rectHeight` rectangle on a `screenWidth` x `screenHeight`
// monitor; the picture itself is `pictureWidth` x `pictureHeight` upright (its shape, which may differ from the
// rectangle's when stretched); `place` is its number in the show (zoom in on even, out on odd, by turns);
// `lengthMs` its whole time on screen from the start of its fade in to the end of its fade out; `fade`: whether
// changes fade (without, the motion eases in and out).
// A picture of about the screen's shape zooms between the whole of it and its focus; a panorama crosses its width at
// one zoom; a portrait hangs from its top row. The content crosses at most 2% of the screen's width a second and the
// zoom changes by at most 2% a second, a short time shortening the way. No time, or a size below 1: still and whole.
PanPath PlanPan(int rectWidth, int rectHeight, int pictureWidth, int pictureHeight, int screenWidth,
                int screenHeight, int place, PanFocus focus, int lengthMs, bool fade);

// The view `elapsedMs` into the path's `lengthMs` (clamped to 0..lengthMs): zoom geometric,
// z = z0 * (z1 / z0)^s, the centre linear in s, where s = t or smoothstep(t) with t = elapsed / length.
PanView ViewAt(const PanPath& path, int elapsedMs, int lengthMs);
