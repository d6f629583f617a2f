#include "picture/exif_orientation.h"
#include "picture/orient_pixels.h"
int PhotoOrientation(const uint8_t*, size_t) { return 1; }
int TiffOrientation(const uint8_t*, size_t) { return 1; }
bool SwapsSides(int o) { return o >= 5 && o <= 8; }
void OrientPixels(const uint32_t* s, int w, int h, int, uint32_t* t) { for (int y = 0; y < h; ++y) for (int x = 0; x < w; ++x) t[(h - 1 - y) * w + x] = s[y * w + x]; }
