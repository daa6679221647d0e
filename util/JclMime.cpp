// Base64 encoding with line breaks and its tolerant, resumable decoder.
#include "util/JclMime.h"

#include <array>

#include "util/JclUnitVersioning.h"

namespace {
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t kLineBytes = 57;

const std::array<uint32_t, 256>& DecodeTable() {
    static const auto table = [] {
        std::array<uint32_t, 256> t;
        t.fill(255);
        for (uint32_t i = 0; i < 64; ++i)
            t[static_cast<unsigned char>(kAlphabet[i])] = i;
        return t;
    }();
    return table;
}

char* EncodeGroups(const unsigned char* In, std::size_t Count, char* Out) {
    std::size_t i = 0;
    for (; i + 3 <= Count; i += 3) {
        uint32_t v = uint32_t(In[i]) << 16 | uint32_t(In[i + 1]) << 8 | In[i + 2];
        *Out++ = kAlphabet[v >> 18];
        *Out++ = kAlphabet[(v >> 12) & 63];
        *Out++ = kAlphabet[(v >> 6) & 63];
        *Out++ = kAlphabet[v & 63];
    }
    if (Count - i == 1) {
        uint32_t v = uint32_t(In[i]) << 16;
        *Out++ = kAlphabet[v >> 18];
        *Out++ = kAlphabet[(v >> 12) & 63];
        *Out++ = '=';
        *Out++ = '=';
    } else if (Count - i == 2) {
        uint32_t v = uint32_t(In[i]) << 16 | uint32_t(In[i + 1]) << 8;
        *Out++ = kAlphabet[v >> 18];
        *Out++ = kAlphabet[(v >> 12) & 63];
        *Out++ = kAlphabet[(v >> 6) & 63];
        *Out++ = '=';
    }
    return Out;
}
} // namespace

std::size_t Base64EncodedLength(std::size_t InputBytes) {
    if (!InputBytes) return 0;
    return 4 * ((InputBytes + 2) / 3) + 2 * ((InputBytes - 1) / kLineBytes);
}

std::size_t Base64DecodedCapacity(std::size_t InputChars) {
    return (InputChars + 3) / 4 * 3;
}

void Base64EncodeBuffer(const void* Input, std::size_t Count, char* Output) {
    const auto* in = static_cast<const unsigned char*>(Input);
    for (std::size_t done = 0; done < Count; done += kLineBytes) {
        if (done) {
            *Output++ = '\r';
            *Output++ = '\n';
        }
        Output = EncodeGroups(in + done, std::min(kLineBytes, Count - done), Output);
    }
}

std::size_t Base64DecodeChunk(const char* Input, std::size_t Count, void* Output, TBase64DecodeState& State) {
    const auto& table = DecodeTable();
    auto* out = static_cast<unsigned char*>(Output);
    std::size_t written = 0;
    for (std::size_t i = 0; i < Count; ++i) {
        uint32_t v = table[static_cast<unsigned char>(Input[i])];
        if (v == 255) continue;
        State.Accumulator = State.Accumulator << 6 | v;
        if (--State.Missing == 0) {
            out[written++] = static_cast<unsigned char>(State.Accumulator >> 16);
            out[written++] = static_cast<unsigned char>(State.Accumulator >> 8);
            out[written++] = static_cast<unsigned char>(State.Accumulator);
            State.Accumulator = 0;
            State.Missing = 4;
        }
    }
    return written;
}

std::size_t Base64DecodeFinish(void* Output, TBase64DecodeState& State) {
    auto* out = static_cast<unsigned char*>(Output);
    std::size_t n = 0;
    if (State.Missing == 1) {
        out[n++] = static_cast<unsigned char>(State.Accumulator >> 10);
        out[n++] = static_cast<unsigned char>(State.Accumulator >> 2);
    } else if (State.Missing == 2) {
        out[n++] = static_cast<unsigned char>(State.Accumulator >> 4);
    }
    State = TBase64DecodeState{};
    return n;
}

AnsiString Base64EncodeText(const AnsiString& Text) {
    AnsiString out(Base64EncodedLength(Text.size()), '\0');
    Base64EncodeBuffer(Text.data(), Text.size(), out.data());
    return out;
}

AnsiString Base64DecodeText(const AnsiString& Text) {
    // Room for a finished last group beyond the capacity of whole groups.
    AnsiString out(Base64DecodedCapacity(Text.size()) + 2, '\0');
    TBase64DecodeState state;
    std::size_t n = Base64DecodeChunk(Text.data(), Text.size(), out.data(), state);
    n += Base64DecodeFinish(out.data() + n, state);
    out.resize(n);
    return out;
}

LIBRARY_UNIT_VERSION("util/JclMime.cpp", "1", "2026-12-10", "JclLib\\source\\common")
