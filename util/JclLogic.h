// Bits in arrays of 32-bit words.
#pragma once

#include <cstdint>

void SetBitInArray(uint32_t* Words, int BitIndex);
bool TestBitInArray(const uint32_t* Words, int BitIndex);
