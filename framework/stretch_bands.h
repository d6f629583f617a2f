// How a bitmap button stretches its picture so that one part of it lands
// exactly on a given rectangle: along each axis the picture is cut in three
// bands, the middle one drawn onto the target and the outer ones scaled by
// the same ratio. A window laid over that part then stays over it, whatever
// the rounding of the dialog's layout at the system's DPI.
#pragma once

#include "platform/win.h"

// One band along one axis: source start and length, destination start and
// length, in pixels.
struct StretchBand {
  int src, cxSrc, dst, cxDst;
};

// A picture `size` pixels long whose part [from, to) must cover [dstFrom,
// dstTo). The parts before and after it keep their share, rounded to whole
// pixels. A part that is empty, or not inside the picture, or a target of
// no length, leaves all three bands empty.
void PinnedBands(int size, int from, int to, int dstFrom, int dstTo, StretchBand bands[3]);
