// The byte-level pieces of RVF: lines, hexadecimal, header field strings,
// property-line escapes and the layout block.
#include "richtext/engine/formats/rvf/RVRvfFuncs.h"

#include <cstring>

#include "richtext/engine/style/RVStyle.h"

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

int HexValue(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    return -1;
}

void PutInt32(AnsiString& Out, int32_t Value) {
    auto v = uint32_t(Value);
    for (int i = 0; i < 4; ++i)
        Out += char((v >> (8 * i)) & 0xFF);
}

int32_t GetInt32(std::string_view Bytes, std::size_t& Pos) {
    if (Bytes.size() - Pos < 4) throw EZoroZudoError(errRVFDocProp);
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= uint32_t(uint8_t(Bytes[Pos + std::size_t(i)])) << (8 * i);
    Pos += 4;
    return int32_t(v);
}

} // namespace

void WriteRvfString(TStream& Stream, std::string_view S) {
    if (!S.empty()) Stream.WriteBuffer(S.data(), int64_t(S.size()));
}

void WriteRvfLine(TStream& Stream, std::string_view S) {
    if (S.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
        throw EZoroZudoError(errRVFDocProp);
    WriteRvfString(Stream, S);
    WriteRvfString(Stream, "\r\n");
}

void WriteRvfTextLine(TStream& Stream, std::string_view Text, bool Unicode, bool Hex) {
    if (Unicode && Hex) {
        WriteRvfString(Stream, StringToHex(Text));
        WriteRvfString(Stream, "\r\n");
    } else if (Unicode) {
        if (RawUnicodeEndsRvfLine(Text)) throw EZoroZudoError(errRVFDocProp);
        WriteRvfString(Stream, Text);
        WriteRvfString(Stream, std::string_view("\x29\x20", 2));
    } else {
        WriteRvfLine(Stream, Text);
    }
}

void WriteRvfBinaryLine(TStream& Stream, std::string_view Bytes) {
    if (Bytes.size() > 0x7FFFFFFF) throw EZoroZudoError(errRVFDocProp);
    AnsiString size;
    PutInt32(size, int32_t(Bytes.size()));
    WriteRvfString(Stream, size);
    WriteRvfString(Stream, Bytes);
}

int64_t BeginRvfBinaryLine(TStream& Stream) {
    int64_t start = Stream.Position();
    WriteRvfString(Stream, std::string_view("\0\0\0\0", 4));
    return start;
}

void EndRvfBinaryLine(TStream& Stream, int64_t Start) {
    int64_t end = Stream.Position();
    int64_t length = end - Start - 4;
    if (length > 0x7FFFFFFF) throw EZoroZudoError(errRVFDocProp);
    AnsiString size;
    PutInt32(size, int32_t(length));
    Stream.SetPosition(Start);
    WriteRvfString(Stream, size);
    Stream.SetPosition(end);
}

AnsiString StringToHex(std::string_view S) {
    AnsiString hex(S.size() * 2, '0');
    char* out = hex.data();
    for (unsigned char c : S) {
        *out++ = HexDigits[c >> 4];
        *out++ = HexDigits[c & 15];
    }
    return hex;
}

bool HexToString(std::string_view Hex, AnsiString& S) {
    if (Hex.size() % 2) return false;
    AnsiString bytes(Hex.size() / 2, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        int hi = HexValue(Hex[2 * i]), lo = HexValue(Hex[2 * i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes[i] = char(hi * 16 + lo);
    }
    S = std::move(bytes);
    return true;
}

bool RawUnicodeEndsRvfLine(std::string_view Raw) {
    for (std::size_t i = 0; i + 1 < Raw.size(); i += 2) {
        auto lo = uint8_t(Raw[i]), hi = uint8_t(Raw[i + 1]);
        if ((lo == 0 && hi == 0) || (lo == 0x29 && hi == 0x20)) return true;
    }
    return false;
}

AnsiString RvfQuote(const AnsiString& Text) {
    AnsiString out = "\"";
    for (char c : Text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

AnsiString MakeRvfTagStr(const TRVTag& Tag, bool StringTags) {
    if (!StringTags) {
        const int32_t* value = std::get_if<int32_t>(&Tag);
        return IntToStr(value ? *value : 0);
    }
    const AnsiString* text = std::get_if<AnsiString>(&Tag);
    if (!text || text->empty()) return "0";
    return RvfQuote(*text);
}

AnsiString MakeRvfTextStyleStr(TCustomRVData& Data, int StyleNo) {
    TRVStyle* style = Data.GetRVStyle();
    if (StyleNo < 0 || !style || !(Data.GetRVFOptions() & rvfoUseStyleNames)) return IntToStr(StyleNo);
    return RvfQuote(style->TextStyles().GetItem(StyleNo)->StyleName);
}

AnsiString MakeRvfParaStyleStr(TCustomRVData& Data, int ParaNo) {
    TRVStyle* style = Data.GetRVStyle();
    if (ParaNo < 0 || !style || !(Data.GetRVFOptions() & rvfoUseStyleNames)) return IntToStr(ParaNo);
    return RvfQuote(style->ParaStyles().GetItem(ParaNo)->StyleName);
}

AnsiString MakeRvfItemParaStr(TCustomRVData& Data, int ParaNo, bool ForceContinue) {
    return MakeRvfParaStyleStr(Data, ForceContinue ? -1 : ParaNo);
}

AnsiString EscapeLineBreaks(const AnsiString& S) {
    if (S.find_first_of(std::string_view("\x01\x02\0", 3)) != AnsiString::npos)
        throw EZoroZudoError(errRVFDocProp);
    AnsiString out = S;
    for (char& c : out)
        if (c == '\r')
            c = '\x01';
        else if (c == '\n')
            c = '\x02';
    return out;
}

AnsiString UnescapeLineBreaks(const AnsiString& S) {
    AnsiString out = S;
    for (char& c : out)
        if (c == '\x01')
            c = '\r';
        else if (c == '\x02')
            c = '\n';
    return out;
}

// ---------------------------------------------------------------- layout block

void TRVLayoutInfo::CopyFrom(const TRVLayoutInfo& Source) {
    WasRead = Source.WasRead;
    LeftMargin = Source.LeftMargin, RightMargin = Source.RightMargin;
    TopMargin = Source.TopMargin, BottomMargin = Source.BottomMargin;
    MinTextWidth = Source.MinTextWidth, MaxTextWidth = Source.MaxTextWidth;
    BiDiMode = Source.BiDiMode;
    EndsInsidePara = Source.EndsInsidePara, StartsInsidePara = Source.StartsInsidePara;
    ContinuedListNo = Source.ContinuedListNo, ContinuedListLevel = Source.ContinuedListLevel;
}

AnsiString TRVLayoutInfo::SaveToBytes(bool NoMargins) const {
    bool continuation = StartsInsidePara || EndsInsidePara;
    AnsiString block;
    PutInt32(block, NoMargins ? 1 : 0);
    PutInt32(block, (NoMargins ? 0 : 25) + (continuation ? 16 : 0));
    if (!NoMargins) {
        for (int32_t v : {LeftMargin, RightMargin, TopMargin, BottomMargin, MinTextWidth, MaxTextWidth})
            PutInt32(block, v);
        block += char(BiDiMode);
    }
    if (continuation)
        for (int32_t v : {StartsInsidePara, EndsInsidePara, ContinuedListNo, ContinuedListLevel})
            PutInt32(block, v);
    return block;
}

void TRVLayoutInfo::SaveToStream(TStream& Stream, bool WithSize, bool NoMargins) const {
    AnsiString block = SaveToBytes(NoMargins);
    if (WithSize) {
        AnsiString size;
        PutInt32(size, int32_t(block.size()));
        WriteRvfString(Stream, size);
    }
    WriteRvfString(Stream, block);
}

void TRVLayoutInfo::LoadFromBytes(std::string_view Bytes) {
    std::size_t pos = 0;
    int32_t noMargins = GetInt32(Bytes, pos);
    int64_t left = GetInt32(Bytes, pos);
    if (left < 0) throw EZoroZudoError(errRVFDocProp);
    if (noMargins == 0) {
        if (left < 25 || Bytes.size() - pos < 25) throw EZoroZudoError(errRVFDocProp);
        for (int32_t* v :
             {&LeftMargin, &RightMargin, &TopMargin, &BottomMargin, &MinTextWidth, &MaxTextWidth})
            *v = GetInt32(Bytes, pos);
        auto bidi = uint8_t(Bytes[pos++]);
        BiDiMode = TRVBiDiMode(bidi <= rvbdRightToLeft ? bidi : 0);
        left -= 25;
    }
    if (left > 15 && Bytes.size() - pos >= 16) {
        StartsInsidePara = GetInt32(Bytes, pos);
        EndsInsidePara = GetInt32(Bytes, pos);
        ContinuedListNo = GetInt32(Bytes, pos);
        ContinuedListLevel = GetInt32(Bytes, pos);
    }
    WasRead = true;
}
