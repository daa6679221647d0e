// The string ciphers and the Caesar cipher's byte shift.
#include "util/JvCipher.h"

#include "util/JclUnitVersioning.h"

LIBRARY_UNIT_VERSION("util/JvCipher.cpp", "1", "2026-12-10", "JvLib\\run")

namespace {

// 13 unless the key is a whole number from 1 to 255.
unsigned CaesarShift(const AnsiString& Key) {
    int shift = 0;
    if (Key.empty() || !TryStrToInt(Key, shift) || shift <= 0 || shift >= 256) return 13;
    return unsigned(shift);
}

} // namespace

TJvCustomCipher::TJvCustomCipher(TComponent* AOwner) : TComponent(AOwner) {
    IsStored = true;
}

AnsiString TJvCustomCipher::Decoded() const {
    AnsiString buf = Encoded;
    Decode(Key, reinterpret_cast<uint8_t*>(buf.data()), uint32_t(buf.size()));
    return buf;
}

void TJvCustomCipher::SetDecoded(const AnsiString& Value) {
    AnsiString buf = Value;
    Encode(Key, reinterpret_cast<uint8_t*>(buf.data()), uint32_t(buf.size()));
    Encoded = buf;
}

void TJvCaesarCipher::Decode(const AnsiString& AKey, uint8_t* Buf, uint32_t Size) const {
    if (Size == 0) return;
    const unsigned shift = CaesarShift(AKey);
    for (uint32_t i = 0; i < Size; ++i)
        Buf[i] = uint8_t(Buf[i] - shift);
}

void TJvCaesarCipher::Encode(const AnsiString& AKey, uint8_t* Buf, uint32_t Size) const {
    if (Size == 0) return;
    const unsigned shift = CaesarShift(AKey);
    for (uint32_t i = 0; i < Size; ++i)
        Buf[i] = uint8_t(Buf[i] + shift);
}
