#pragma once
#include <cstdint>
bool SwapsSides(int orientation);
void OrientPixels(const uint32_t* source, int width, int height, int orientation, uint32_t* target);
