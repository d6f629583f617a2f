// Whether a picture stands or lies as it is shown (after its EXIF turning),
// learnt from the header at the start of its file without decoding it: so a
// show can look a few pictures ahead for the one that suits a monitor.
#pragma once

#include "platform/win.h"

enum class Shape { kUnknown, kLandscape, kPortrait };

// Taller than wide: a portrait; else (a square too) a landscape; a side
// below 1: unknown.
Shape ShapeOf(long width, long height);

struct PictureShape {
  Shape shape;
  SIZE size;  // upright; {0, 0} when unknown
};

// The shape and upright size the header of the file at `path` (UTF-8)
// claims, from at most its first 64 KiB; kUnknown when the file cannot be
// opened or read, or its format or size cannot be told from its start.
PictureShape ReadPictureShape(const char* path);
