#pragma once
#include <cstddef>
#include <cstdint>
int PhotoOrientation(const uint8_t* head, size_t size);
int TiffOrientation(const uint8_t* data, size_t size);
