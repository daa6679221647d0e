// The byte-level pieces of RVF that its writer, its reader and the item
// records share: lines, hexadecimal payloads, header field strings,
// property-line escapes and the layout block.
#pragma once

#include <string_view>

#include "richtext/engine/document/CRVData.h"

// Bytes as they are, no line end.
void WriteRvfString(TStream& Stream, std::string_view S);
// S and CR LF. A line holding CR, LF or NUL would read back cut, so it is
// refused with EZoroZudoError.
void WriteRvfLine(TStream& Stream, std::string_view S);
// A text item's line: Unicode and Hex give the hexadecimal of the UTF-16
// bytes; else the raw bytes. Ended by CR LF, or by U+2029 for raw UTF-16.
void WriteRvfTextLine(TStream& Stream, std::string_view Text, bool Unicode, bool Hex);
// A binary line: a 4-byte little-endian length and the bytes.
void WriteRvfBinaryLine(TStream& Stream, std::string_view Bytes);
// Starts a binary line whose length is patched by EndRvfBinaryLine: the
// payload is written straight into the stream.
int64_t BeginRvfBinaryLine(TStream& Stream);
void EndRvfBinaryLine(TStream& Stream, int64_t Start);

// Two upper-case digits a byte, the high nibble first.
AnsiString StringToHex(std::string_view S);
// The reverse, either case; false (S unchanged) for an odd length or a
// pair that is not hexadecimal.
bool HexToString(std::string_view Hex, AnsiString& S);

// Whether a raw UTF-16 text holds a unit that ends a binary Unicode line
// (U+2029 or NUL), so that it must travel as hexadecimal.
bool RawUnicodeEndsRvfLine(std::string_view Raw);

// ---- header field strings
// The text in double quotes, inner quotes doubled.
AnsiString RvfQuote(const AnsiString& Text);
AnsiString MakeRvfTagStr(const TRVTag& Tag, bool StringTags);
// Numbers, or quoted style names with rvfoUseStyleNames (text styles from
// 0 and paragraph styles from 0).
AnsiString MakeRvfTextStyleStr(TCustomRVData& Data, int StyleNo);
AnsiString MakeRvfParaStyleStr(TCustomRVData& Data, int ParaNo);
AnsiString MakeRvfItemParaStr(TCustomRVData& Data, int ParaNo, bool ForceContinue);

// Document property lines: CR -> 0x01, LF -> 0x02, and back. A property
// that already holds 0x01, 0x02 or NUL would not read back: refused with
// EZoroZudoError.
AnsiString EscapeLineBreaks(const AnsiString& S);
AnsiString UnescapeLineBreaks(const AnsiString& S);

// The margins and text widths of a control, and where a saved range
// begins and ends inside paragraphs.
class TRVLayoutInfo : public TObject {
public:
    bool WasRead = false;
    int32_t LeftMargin = 0, RightMargin = 0, TopMargin = 0, BottomMargin = 0;
    int32_t MinTextWidth = 0, MaxTextWidth = 0;
    TRVBiDiMode BiDiMode = rvbdUnspecified;
    int32_t EndsInsidePara = 0;
    int32_t StartsInsidePara = 0;
    int32_t ContinuedListNo = -1;
    int32_t ContinuedListLevel = 0;

    void CopyFrom(const TRVLayoutInfo& Source);
    // With its total size first when WithSize (the binary form).
    void SaveToStream(TStream& Stream, bool WithSize, bool NoMargins) const;
    AnsiString SaveToBytes(bool NoMargins) const;
    // The block without its total size; a margin part shorter than its
    // fields raises EZoroZudoError "Invalid RVF format".
    void LoadFromBytes(std::string_view Bytes);
};
