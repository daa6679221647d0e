// Reading the instructions of RTF fields: the parameter and switches of
// INCLUDEPICTURE, SYMBOL, SEQ and HYPERLINK.
#pragma once

#include "platform/rtl/SysUtils.h"
#include "richtext/import/rtf/RVRTFTypes.h"

// The instruction trimmed and without a leading backslash.
AnsiString RtfFieldInstructionText(const AnsiString& Instruction);
// The first parameter of the text after a field's name: the first word
// that is no switch, ending at a space (after its closing quotation mark
// when quoted), without its quotation marks and with doubled backslashes
// made single. With HyperlinkRule a switch before it means no parameter.
AnsiString RtfFieldParameter(const AnsiString& Rest, bool HyperlinkRule);

struct TRVRTFSymbolField {
    int Code = 0;
    bool CodeValid = false;
    // The font name and the size are given too.
    bool Complete = false;
    AnsiString FontName;
    int Size = 0;
};
// The text after "SYMBOL"; false when there is no code followed by a space.
bool ParseRtfSymbolField(const AnsiString& Rest, TRVRTFSymbolField& Field);

struct TRVRTFSeqField {
    AnsiString Name;
    TRVRTFSeqType NumberingType = rtf_seqDecimal;
    bool Reset = false;
    int StartFrom = 0;
};
// The text after "SEQ".
TRVRTFSeqField ParseRtfSeqField(const AnsiString& Rest);

struct TRVRTFHyperlink {
    // Decoded, with the location after "#"; not yet given a base path.
    AnsiString Target;
    AnsiString ScreenTip;
};
// False when the instruction is no HYPERLINK field.
bool ParseRtfHyperlink(const AnsiString& Instruction, TRVRTFHyperlink& Link);
// Whether a hyperlink target needs no base path: empty, "#...", with a ":",
// or starting with two equal slashes.
bool IsAbsoluteLinkTarget(const AnsiString& Target);
