// Base64 (MIME) encoding with line breaks and a tolerant, resumable decoder.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/rtl/SysUtils.h"

struct TBase64DecodeState {
    uint32_t Accumulator = 0;
    int Missing = 4; // values still missing to complete the group of four
};

std::size_t Base64EncodedLength(std::size_t InputBytes);
std::size_t Base64DecodedCapacity(std::size_t InputChars);
// Writes exactly Base64EncodedLength(Count) characters.
void Base64EncodeBuffer(const void* Input, std::size_t Count, char* Output);
// Skips every character outside the alphabet; returns the bytes written.
std::size_t Base64DecodeChunk(const char* Input, std::size_t Count, void* Output, TBase64DecodeState& State);
std::size_t Base64DecodeFinish(void* Output, TBase64DecodeState& State);
AnsiString Base64EncodeText(const AnsiString& Text);
AnsiString Base64DecodeText(const AnsiString& Text);
