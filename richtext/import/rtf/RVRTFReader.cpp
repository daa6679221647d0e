// The RTF reader's tokenizer and parser: buffered input, control words and
// their dispatch, groups and the state stack, text collection and
// emission, Unicode, hidden text and table-level synchronisation.
#include "richtext/import/rtf/RVRTFReader.h"

#include <algorithm>

#include "richtext/engine/text/RVCodePages.h"
#include "richtext/engine/text/RVFuncs.h"
#include "richtext/import/rtf/RVRTFKeywords.h"

namespace {

constexpr int BufferSize = 4096;
// Keywords are at most 32 letters; longer ones are kept no further.
constexpr int MaxKeywordLength = 64;
constexpr int64_t ProgressThreshold = 20480;

bool IsLetter(uint8_t Ch) {
    return (Ch >= 'a' && Ch <= 'z') || (Ch >= 'A' && Ch <= 'Z');
}
bool IsDigit(uint8_t Ch) {
    return Ch >= '0' && Ch <= '9';
}
int HexDigit(uint8_t Ch) {
    if (Ch >= '0' && Ch <= '9') return Ch - '0';
    if (Ch >= 'a' && Ch <= 'f') return Ch - 'a' + 10;
    if (Ch >= 'A' && Ch <= 'F') return Ch - 'A' + 10;
    return -1;
}

} // namespace

TRVRTFReader::TRVRTFReader(TComponent* AOwner) : TComponent(AOwner) {}

TRVRTFReader::~TRVRTFReader() = default;

// ---------------------------------------------------------------- reading bytes

bool TRVRTFReader::ReadByte(uint8_t& Byte) {
    if (FPushedBack) {
        FPushedBack = false;
        Byte = FLastChar;
        return true;
    }
    if (FBufferIndex >= FBufferLength) {
        if (FStreamPos >= FStreamSize) return false;
        if (FProgress) OnProgress(this, rvprtfprRunning, uint8_t(FStreamPos * 100 / FStreamSize));
        int64_t want = std::min<int64_t>(BufferSize, FStreamSize - FStreamPos);
        int64_t got = FStream->Read(FBuffer.get(), want);
        if (got <= 0) {
            // The stream ended before its size said: that is the end.
            FStreamSize = FStreamPos;
            return false;
        }
        FStreamPos += got;
        FBufferLength = int(got);
        FBufferIndex = 0;
    }
    Byte = FLastChar = FBuffer[std::size_t(FBufferIndex++)];
    return true;
}

// ---------------------------------------------------------------- the parse

void TRVRTFReader::Clear() {
    FStyleSheet.clear();
    FFontList.Clear();
    FColorList.clear();
    FListTable.clear();
    FListOverrideTable.clear();
    FStack.Clear();
    FState.Reset();
    FState.Destination = rtfd_Normal;
    FState.InputState = rtfis_Normal;
    FPendingText.clear();
    FPendingUnicode.clear();
    FNextPosition = rtf_ts_NewPara;
    FPushedBack = false;
    FPicture.reset();
    FObject.reset();
    FOldNumbering.reset();
    FCodePage = DefCodePage;
    FUnicodeSkip = 1;
    FPendingSkip = 0;
    FDepth = 0;
    FTableLevel = 0;
    FForceEmit = false;
    FBinaryCount = 0;
    FLastParam = 0;
    FSkipDestinationIfUnknown = false;
    FHexDigits = FHexValue = 0;
    FObjectNibble = -1;
    FBookmarkName.clear();
    FFieldPicture.reset();
    FFieldPictureInserted = false;
    FDefFontNumber = 0;
    FDefFontIndex = -1;
    FHeaderY = FFooterY = 720;
    FRowHeading = false;
    if (PixelsPerInch == 0) PixelsPerInch = GetScreenPixelsPerInchY();
    FPictureInserted = FObjectInserted = false;
    FRowAlignment = 0;
    FRowAlignmentSet = false;
    FSectionNumberingLevel = 0;
}

TRVRTFErrorCode TRVRTFReader::ParseRtfStream(TStream& Stream) {
    TRVRTFErrorCode result = rtf_ec_OK;
    try {
        FStream = &Stream;
        FStreamSize = Stream.Size();
        FStreamPos = Stream.Position();
        Clear();
        FBuffer = std::make_unique<uint8_t[]>(BufferSize);
        FBufferLength = FBufferIndex = 0;
        FProgress = FStreamSize > ProgressThreshold && OnProgress;
        if (FProgress) OnProgress(this, rvprtfprStarting, 0);
        result = MainLoop();
    } catch (...) {
        result = rtf_ec_Exception;
    }
    FBuffer.reset();
    FStream = nullptr;
    if (FProgress) {
        try {
            OnProgress(this, rvprtfprEnding, 0);
        } catch (...) {
            if (result == rtf_ec_OK) result = rtf_ec_Exception;
        }
    }
    // What the handlers were given is theirs; nothing else outlives the parse.
    FPicture.reset();
    FObject.reset();
    FFieldPicture.reset();
    return result;
}

TRVRTFErrorCode TRVRTFReader::MainLoop() {
    uint8_t ch;
    while (ReadByte(ch)) {
        if (FDepth < 0) return rtf_ec_StackUnderflow;
        TRVRTFErrorCode r = rtf_ec_OK;
        if (FState.InputState == rtfis_Binary) {
            r = ParseChar(ch);
        } else if (ch == '\\') {
            r = ParseKeyword();
        } else if (ch == 10 || ch == 13) {
            continue;
        } else if (ch == '{') {
            FPendingSkip = 0;
            r = PushState();
        } else if (ch == '}') {
            FPendingSkip = 0;
            r = PopState();
            if (r == rtf_ec_OK && FDepth == 0) break;
        } else if (FState.InputState == rtfis_Normal) {
            if (FPendingSkip > 0) {
                --FPendingSkip;
                continue;
            }
            // Plain text of the document goes straight from the buffer.
            if (FState.Destination == rtfd_Normal && FPendingUnicode.empty() && !FPushedBack &&
                FTableLevel == std::min(FState.Para().EffectiveTableLevel(), RVRTFMaxTableLevel) &&
                ch >= 32 && ch != 127 && !(TabsAsItems && ch == 9)) {
                FPendingText += char(ch);
                int i = FBufferIndex;
                while (i < FBufferLength) {
                    uint8_t b = FBuffer[std::size_t(i)];
                    if (b < 32 || b == '\\' || b == '{' || b == '}') break;
                    ++i;
                }
                FPendingText.append(reinterpret_cast<const char*>(FBuffer.get()) + FBufferIndex,
                                    std::size_t(i - FBufferIndex));
                FBufferIndex = i;
                continue;
            }
            r = ParseChar(ch);
        } else if (FState.InputState == rtfis_Hex) {
            int digit = HexDigit(ch);
            if (digit < 0) return rtf_ec_InvalidHex;
            FHexValue = FHexValue * 16 + digit;
            if (++FHexDigits == 2) {
                uint8_t value = uint8_t(FHexValue);
                FHexValue = FHexDigits = 0;
                FState.InputState = rtfis_Normal;
                if (FPendingSkip > 0)
                    --FPendingSkip;
                else
                    r = ParseChar(value);
            }
        } else {
            return rtf_ec_Assertion;
        }
        if (r != rtf_ec_OK) return r;
    }
    return FinishParse();
}

TRVRTFErrorCode TRVRTFReader::FinishParse() {
    // Text read before the input ended is kept where it was read, also
    // when groups are still open.
    TRVRTFErrorCode result = rtf_ec_OK;
    if (!FPendingText.empty() || !FPendingUnicode.empty()) result = CollectText(0, false, false);
    UpdateMarker();
    for (int i = 0; i < FTableLevel; ++i)
        FireTable(rvf_tbl_TableForcedEnd);
    if (!FColorList.empty()) FColorList.pop_back();
    if (FDepth < 0) return rtf_ec_StackUnderflow;
    if (FDepth > 0) return rtf_ec_UnmatchedBrace;
    return result;
}

// ---------------------------------------------------------------- control words

TRVRTFErrorCode TRVRTFReader::ParseKeyword() {
    FLastParam = 0;
    uint8_t ch;
    if (!ReadByte(ch)) return rtf_ec_EndOfFile;
    char keyword[MaxKeywordLength + 1];
    int length = 0;
    if (!IsLetter(ch)) {
        // \'hh in the document's own groups: both digits straight from the
        // buffer when they are there.
        if (ch == '\'' && !OnTranslateKeyword && FState.Destination != rtfd_Skip && !FPushedBack &&
            FBufferIndex + 1 < FBufferLength) {
            int high = HexDigit(FBuffer[std::size_t(FBufferIndex)]);
            int low = HexDigit(FBuffer[std::size_t(FBufferIndex + 1)]);
            if (high >= 0 && low >= 0) {
                FBufferIndex += 2;
                FLastChar = FBuffer[std::size_t(FBufferIndex - 1)];
                FSkipDestinationIfUnknown = false;
                if (FPendingSkip > 0) {
                    --FPendingSkip;
                    return rtf_ec_OK;
                }
                return ParseChar(uint8_t(high << 4 | low));
            }
        }
        keyword[0] = char(ch);
        int index = FindRtfKeyword(std::string_view(keyword, 1));
        if (OnTranslateKeyword) {
            bool done = false;
            if (TRVRTFErrorCode r = TranslateKeyword(AnsiString(1, char(ch)), 0, false, done); r || done)
                return r;
        }
        return Dispatch(index, 0, false);
    }
    bool tooLong = false;
    bool more = true;
    while (more && IsLetter(ch)) {
        if (length < MaxKeywordLength)
            keyword[length++] = char(ch);
        else
            tooLong = true;
        more = ReadByte(ch);
    }
    bool negative = false;
    if (more && ch == '-') {
        negative = true;
        more = ReadByte(ch);
    }
    bool fParam = false;
    int64_t value = 0;
    if (more && IsDigit(ch)) {
        fParam = true;
        while (more && IsDigit(ch)) {
            // Saturates instead of wrapping: a huge number stays huge.
            value = std::min<int64_t>(value * 10 + (ch - '0'), int64_t(INT32_MAX) + 1);
            more = ReadByte(ch);
        }
    }
    if (more && ch != ' ') PushBack();
    int param = 0;
    if (fParam)
        param = negative ? int(-std::min<int64_t>(value, int64_t(INT32_MAX) + 1))
                         : int(std::min<int64_t>(value, INT32_MAX));
    FLastParam = param;
    std::string_view word(keyword, std::size_t(length));
    if (OnTranslateKeyword) {
        bool done = false;
        if (TRVRTFErrorCode r = TranslateKeyword(AnsiString(word), param, fParam, done); r || done) return r;
    }
    return Dispatch(tooLong ? -1 : FindRtfKeyword(word), param, fParam);
}

TRVRTFErrorCode TRVRTFReader::TranslateKeyword(const AnsiString& Keyword, int Param, bool fParam,
                                               bool& Done) {
    AnsiString text;
    bool doDefault = true;
    OnTranslateKeyword(this, Keyword, Param, fParam, text, doDefault);
    for (char c : text)
        if (TRVRTFErrorCode r = ParseChar(uint8_t(c)); r) return r;
    Done = !doDefault;
    return rtf_ec_OK;
}

TRVRTFErrorCode TRVRTFReader::Dispatch(int RecordIndex, int Param, bool fParam) {
    if (RecordIndex < 0) {
        if (FSkipDestinationIfUnknown) FState.Destination = rtfd_Skip;
        FSkipDestinationIfUnknown = false;
        return rtf_ec_OK;
    }
    FSkipDestinationIfUnknown = false;
    const TRVRTFsymbol& rec = RtfKeywordRecord(RecordIndex);
    switch (rec.Kind) {
    case rtf_kwd_Char:
        if (FPendingSkip > 0) {
            --FPendingSkip;
            return rtf_ec_OK;
        }
        return ParseChar(uint8_t(rec.Index));
    case rtf_kwd_UnicodeChar:
        if (FPendingSkip > 0) {
            --FPendingSkip;
            return rtf_ec_OK;
        }
        if (FState.Destination == rtfd_Normal && OnNewUnicodeText) return UnicodeUnit(char16_t(rec.Default));
        return ParseChar(uint8_t(rec.Index));
    case rtf_kwd_Destination:
        return ChangeDestination(rec.Index, Param);
    case rtf_kwd_Property:
        if (rec.UseDefault || !fParam) Param = rec.Default;
        if (FState.Destination == rtfd_Normal && rec.Target == rtf_tgt_Char)
            if (TRVRTFErrorCode r = EmitPending(true, false); r) return r;
        return ChangeProperty(rec.Index, Param, fParam);
    case rtf_kwd_Special:
        if (FState.Destination == rtfd_Skip && rec.Index != ispecBin) return rtf_ec_OK;
        switch (rec.Index) {
        case ispecBin: {
            // Never more than what is left of the input.
            int64_t left = FStreamSize - FStreamPos + (FBufferLength - FBufferIndex) + (FPushedBack ? 1 : 0);
            FState.InputState = rtfis_Binary;
            FBinaryCount = std::min<int64_t>(FLastParam, left);
            return rtf_ec_OK;
        }
        case ispecHex:
            FState.InputState = rtfis_Hex;
            return rtf_ec_OK;
        case ispecSkipDest:
            FSkipDestinationIfUnknown = true;
            return rtf_ec_OK;
        }
        return rtf_ec_BadTable;
    }
    return rtf_ec_BadTable;
}

// ---------------------------------------------------------------- groups

TRVRTFErrorCode TRVRTFReader::PushState() {
    if (FDepth >= RVRTFMaxGroupDepth) return rtf_ec_StackOverflow;
    FStack.Push(FState);
    FState.InputState = rtfis_Normal;
    ++FDepth;
    if (FState.Destination == rtfd_StyleSheet) {
        NewStyleSheetEntry();
        FState.Destination = rtfd_StyleSheetEntry;
    }
    return rtf_ec_OK;
}

TRVRTFErrorCode TRVRTFReader::PopState() {
    if (FStack.Empty()) return rtf_ec_StackUnderflow;
    if (FStack.Depth() == 1) {
        UpdateMarker();
        if (OnEndParsing) OnEndParsing(this);
    }
    TRVRTFDestination ending = FState.Destination;
    if (ending == rtfd_StyleSheetEntry && FStack.Top().Destination == rtfd_StyleSheet &&
        !FStyleSheet.empty()) {
        FStyleSheet.back().ParaProps = FState.Para();
        FStyleSheet.back().CharProps = FState.Char();
    }
    if (ending == rtfd_FieldInstruction) {
        TRVRTFReaderState& saved = FStack.EditTop();
        saved.SetFieldInstruction(FState.FieldInstruction());
        saved.FieldResultHandled = FState.FieldResultHandled;
    }
    if (ending == rtfd_Normal)
        if (TRVRTFErrorCode r = CollectText(0, false, false); r) return r;
    if (ending != FStack.Top().Destination) {
        if (TRVRTFErrorCode r = EndDestination(ending); r) return r;
        if (ending == rtfd_FieldInstruction) FStack.EditTop().FieldResultHandled = FState.FieldResultHandled;
    }
    TRVRTFHeaderFooterType hf = FState.HFType;
    if (hf != FStack.Top().HFType && (hf == rtf_hf_Header || hf == rtf_hf_Footer) && OnHeaderFooter) {
        if (TRVRTFErrorCode r = SyncTableLevel(true); r) return r;
        bool supported = false;
        OnHeaderFooter(this, hf, false, supported);
    }
    bool footnoteEnds = FState.InFootnote && !FStack.Top().InFootnote;
    FState = FStack.Pop();
    if (ending == rtfd_OldNumbering && FState.Destination != rtfd_OldNumbering && FOldNumbering) {
        TRVRTFParaProperties& para = FState.EditPara();
        if (!para.Marker) para.Marker.emplace();
        para.Marker->CopyFrom(*FOldNumbering, false);
        FOldNumbering.reset();
    }
    if (footnoteEnds) {
        while (FTableLevel > 0 && FireTable(rvf_tbl_TableEnd))
            --FTableLevel;
        FTableLevel = std::min(FState.Para().EffectiveTableLevel(), RVRTFMaxTableLevel);
        if (OnNote) OnNote(this, rtf_ne_End, FNextPosition);
    }
    --FDepth;
    return rtf_ec_OK;
}

// ---------------------------------------------------------------- characters and text

TRVRTFErrorCode TRVRTFReader::ParseChar(uint8_t Ch) {
    TRVRTFErrorCode r;
    if (FState.Destination == rtfd_Normal) {
        bool isBreak = (Ch == 10 || Ch == 13) && OnUpdateMarker;
        if (isBreak) UpdateMarker();
        r = CollectText(Ch, true, true);
        if (isBreak && r == rtf_ec_OK) UpdateMarker();
    } else {
        r = DestinationChar(Ch);
    }
    if (FState.InputState == rtfis_Binary && --FBinaryCount < 1) FState.InputState = rtfis_Normal;
    return r;
}

TRVRTFErrorCode TRVRTFReader::CollectText(uint8_t Ch, bool SyncTables, bool AllowClosing) {
    if (SyncTables)
        if (TRVRTFErrorCode r = SyncTableLevel(AllowClosing); r) return r;
    if (TabsAsItems && Ch == 9) {
        if (TRVRTFErrorCode r = Emit(rtf_ts_ContinuePara, false); r) return r;
        FPendingText.assign(1, '\t');
        return Emit(rtf_ts_ContinuePara, false);
    }
    switch (Ch) {
    case 0:
        return Emit(rtf_ts_ContinuePara, false);
    case 13:
        return Emit(rtf_ts_NewLine, true);
    case 10:
        return Emit(rtf_ts_NewPara, true);
    default:
        if (!FPendingUnicode.empty())
            if (TRVRTFErrorCode r = Emit(rtf_ts_ContinuePara, false); r) return r;
        FPendingText += char(Ch);
        return rtf_ec_OK;
    }
}

TRVRTFErrorCode TRVRTFReader::EmitPending(bool SyncTables, bool AllowClosing) {
    return CollectText(0, SyncTables, AllowClosing);
}

// An emission at the next-text position P; Q (when HasQ, else 0, which is
// rtf_ts_ContinuePara) becomes the next position.
TRVRTFErrorCode TRVRTFReader::Emit(TRVRTFPosition Q, bool HasQ) {
    if (!HasQ) Q = rtf_ts_ContinuePara;
    TRVRTFPosition p = FNextPosition;
    if (!FForceEmit && FPendingText.empty() && FPendingUnicode.empty()) {
        if (p == rtf_ts_ContinuePara) {
            FNextPosition = Q;
            return rtf_ec_OK;
        }
        if (!HasQ) return rtf_ec_OK;
    }
    FNextPosition = Q;
    return FireText(p);
}

const TRVRTFParaProperties& TRVRTFReader::FinalisedPara() {
    const TRVRTFParaProperties& para = FState.Para();
    if (para.Shading != 0 || (!para.Tabs.empty() && !para.TabsFinalised)) FState.EditPara().Finalise();
    return FState.Para();
}

TRVRTFErrorCode TRVRTFReader::FireText(TRVRTFPosition Position) {
    FinalisedPara();
    // The handlers get the pending texts themselves, which keep their
    // buffers for the next text.
    TRVRTFErrorCode result = rtf_ec_OK;
    try {
        if (OnNewUnicodeText && !FPendingUnicode.empty())
            OnNewUnicodeText(this, FPendingUnicode, Position);
        else if (OnNewText)
            OnNewText(this, FPendingText, Position);
    } catch (...) {
        result = rtf_ec_Aborted;
    }
    FPendingText.clear();
    FPendingUnicode.clear();
    return result;
}

TRVRTFErrorCode TRVRTFReader::SetHidden(bool Value) {
    if (Value == FState.Char().Hidden) return rtf_ec_OK;
    if (Value && FPendingText.empty() && FPendingUnicode.empty()) FState.EditChar().Hidden = true;
    FForceEmit = Value;
    TRVRTFErrorCode r = Emit(rtf_ts_ContinuePara, false);
    FForceEmit = false;
    FState.EditChar().Hidden = Value;
    return r;
}

// ---------------------------------------------------------------- Unicode

TRVRTFErrorCode TRVRTFReader::UnicodeUnit(char16_t Unit) {
    if (TRVRTFErrorCode r = SyncTableLevel(true); r) return r;
    if (!FPendingText.empty())
        if (TRVRTFErrorCode r = Emit(rtf_ts_ContinuePara, false); r) return r;
    if (Unit != 0) FPendingUnicode += Unit;
    return rtf_ec_OK;
}

TRVRTFErrorCode TRVRTFReader::UnicodeChar(int Param) {
    // Modulo 65536, also for negative numbers, without signed overflow.
    auto unit = char16_t(uint32_t(Param) & 0xFFFF);
    switch (FState.Destination) {
    case rtfd_Normal:
        if (!OnNewUnicodeText) return rtf_ec_OK;
        FPendingSkip = FUnicodeSkip;
        return UnicodeUnit(unit);
    case rtfd_NumberingTextAfter:
    case rtfd_NumberingTextBefore:
        if (FOldNumbering && unit >= 0xF000 && unit <= 0xF0FF) {
            int font = FOldNumbering->FontIndex;
            if (font >= 0 && font < FFontList.Count() && SameText(FFontList.Items(font).Name, "Symbol")) {
                FPendingSkip = FUnicodeSkip;
                return ParseChar(uint8_t(unit & 0xFF));
            }
        }
        break;
    case rtfd_LevelText:
        FPendingSkip = FUnicodeSkip;
        if (!FListTable.empty() && !FListTable.back().Levels.empty()) {
            TRVRTFListLevel97& level = FListTable.back().Levels.back();
            if (level.LevelTextW.empty()) level.LevelTextW = RVCodePageToWide(FCodePage, level.LevelText);
            if (int(level.LevelTextW.size()) < RVRTFMaxNameLength) {
                level.LevelTextW += unit;
                level.LevelText += RVWideToCodePage(FCodePage, std::u16string_view(&unit, 1));
            }
        }
        return rtf_ec_OK;
    default:
        break;
    }
    if (FUnicodeSkip <= 0) return rtf_ec_OK;
    FPendingSkip = FUnicodeSkip;
    AnsiString bytes = RVWideToCodePage(FCodePage, std::u16string_view(&unit, 1));
    for (char c : bytes)
        if (TRVRTFErrorCode r = ParseChar(uint8_t(c)); r) return r;
    return rtf_ec_OK;
}

// ---------------------------------------------------------------- tables and markers

TRVRTFErrorCode TRVRTFReader::SyncTableLevel(bool AllowClosing) {
    int level = std::min(FState.Para().EffectiveTableLevel(), RVRTFMaxTableLevel);
    while (FTableLevel < level) {
        FireTable(rvf_tbl_TableStart);
        ++FTableLevel;
    }
    if (AllowClosing && !FState.Para().NoTableClosing)
        while (FTableLevel > level && FireTable(rvf_tbl_TableEnd))
            --FTableLevel;
    return rtf_ec_OK;
}

bool TRVRTFReader::FireTable(TRVRTFTableEventKind Kind) {
    UpdateMarker();
    bool processed = true;
    if (Kind == rvf_tbl_TableStart) FRowAlignmentSet = false;
    if (OnTable) OnTable(this, Kind, processed);
    return processed;
}

void TRVRTFReader::UpdateMarker() {
    if (!OnUpdateMarker) return;
    if (const TRVRTFParaProperties& para = FState.Para(); para.Marker) {
        const TRVRTFCharProperties& ch = FState.Char();
        const TRVRTFMarkerProperties& m = *para.Marker;
        TFontStyles style = (m.FontStyle & fsUnderline) | (ch.Style & (fsBold | fsItalic | fsStrikeOut));
        bool changes = (!(m.Fixed & rtf_fixed_Color) && m.Color != ch.Color) ||
                       (!(m.Fixed & rtf_fixed_Font) && m.FontIndex != ch.FontIndex) ||
                       (!(m.Fixed & rtf_fixed_Size) && m.FontSize != ch.Size) || m.FontStyle != style;
        if (changes) {
            TRVRTFMarkerProperties& edit = *FState.EditPara().Marker;
            if (!(edit.Fixed & rtf_fixed_Color)) edit.Color = ch.Color;
            if (!(edit.Fixed & rtf_fixed_Font)) edit.FontIndex = ch.FontIndex;
            if (!(edit.Fixed & rtf_fixed_Size)) edit.FontSize = ch.Size;
            edit.FontStyle = style;
        }
    }
    OnUpdateMarker(this);
}

const TRVRTFFont* TRVRTFReader::CurrentFont() const {
    int index = FState.Char().FontIndex;
    return index >= 0 && index < FFontList.Count() ? &FFontList.Items(index) : nullptr;
}
