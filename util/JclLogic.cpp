// Setting and testing bits in arrays of 32-bit words.
#include "util/JclLogic.h"

#include "util/JclUnitVersioning.h"

void SetBitInArray(uint32_t* Words, int BitIndex) {
    Words[BitIndex / 32] |= 1u << (BitIndex % 32);
}

bool TestBitInArray(const uint32_t* Words, int BitIndex) {
    return Words[BitIndex / 32] & (1u << (BitIndex % 32));
}

LIBRARY_UNIT_VERSION("util/JclLogic.cpp", "1", "2026-12-10", "JclLib\\source\\common")
