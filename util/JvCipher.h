// String ciphers: a plain text turned into a scrambled one of the same
// length and back. The Caesar cipher shifts every byte.
#pragma once

#include <cstdint>

#include "platform/rtl/Classes.h"

class TJvCustomCipher : public TComponent {
public:
    explicit TJvCustomCipher(TComponent* AOwner);

    AnsiString Key;
    // The scrambled text.
    AnsiString Encoded;
    bool IsStored = true;

    // The plain text, computed from Encoded.
    AnsiString Decoded() const;
    // Scrambles Value into Encoded.
    void SetDecoded(const AnsiString& Value);

    // Turn Size bytes in place.
    virtual void Decode(const AnsiString& AKey, uint8_t* Buf, uint32_t Size) const = 0;
    virtual void Encode(const AnsiString& AKey, uint8_t* Buf, uint32_t Size) const = 0;
};

class TJvCaesarCipher : public TJvCustomCipher {
public:
    using TJvCustomCipher::TJvCustomCipher;
    void Decode(const AnsiString& AKey, uint8_t* Buf, uint32_t Size) const override;
    void Encode(const AnsiString& AKey, uint8_t* Buf, uint32_t Size) const override;
};
